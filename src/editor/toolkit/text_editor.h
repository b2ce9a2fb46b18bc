// The one-line text editor that in-place editing opens over a control: drawn by the toolkit,
// at most 255 characters, the whole initial text selected, keys from the frame while it is the
// focus view. Return confirms and ends the edit; losing the focus ends it too. Ending (once)
// clears the frame's focus, keeps the previous text, takes the new one, calls the listener and
// sends the container (or the frame) the message "LooseFocus".
#pragma once

#include "editor/toolkit/control.h"

#include <string>

namespace pelko {

class TextEditor : public Control {
public:
    static constexpr std::size_t kMaxLength = 255;

    TextEditor(const Rect& rect, ControlListener* listener, int tag, std::string text = {});

    void setText(std::string text);
    const std::string& text() const { return text_; }
    const std::string& previousText() const { return previousText_; }
    bool confirmed() const { return confirmed_; }
    bool editing() const { return editing_; }
    std::size_t cursor() const { return cursor_; }
    // The selected characters, [start, end).
    std::pair<std::size_t, std::size_t> selection() const;

    // Look: alignment (1 centre, 2 right, otherwise left), the system font (its face at the
    // smaller of its table size and the height - 2, normal weight) and the colours.
    void setAlignment(int align) { align_ = align; }
    void setFont(int index) { font_ = index; }
    void setColours(Colour foreground, Colour background, Colour border);

    // Starts editing: becomes the frame's focus view with everything selected.
    void startEditing();
    // Ends editing (does nothing when not editing or not the focus view any more).
    void endEditing(DrawContext* context);

    void draw(DrawContext& context) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    int keyDown(int key) override;
    void looseFocus(DrawContext* context) override;

protected:
    ~TextEditor() override = default;

private:
    void eraseSelection();
    void insert(char c);

    std::string text_;
    std::string previousText_;
    std::size_t cursor_ = 0;
    std::size_t anchor_ = 0;
    bool editing_ = false;
    bool confirmed_ = false;
    int align_ = 0;
    int font_ = 0;
    Colour foreground_ = colours::kBlack;
    Colour background_ = colours::kWhite;
    Colour border_ = colours::kBlack;
    int scroll_ = 0;

};

}  // namespace pelko
