// In-place editing of a display's text: a text editor opened over the display, in the look of a
// skin item ("width", "height", "font" as a system font index, "foregroundColor",
// "borderColor", "backgroundColor"), removed again when the edit ends. The owner gets the new
// text when it differs from the old one.
#pragma once

#include "editor/toolkit/control.h"
#include "editor/toolkit/text_editor.h"

#include <functional>
#include <string>

namespace pelko {

class SkinAttributes;

class TextEditing final : public ControlListener {
public:
    using Done = std::function<void(DrawContext* context, const std::string& text)>;
    // Optional: told the text after every key that changed it, and told about Escape (which then
    // does nothing else).
    struct Watch {
        std::function<void(const std::string& text)> typed;
        std::function<void()> escaped;
    };

    ~TextEditing() override;

    // Opens the editor over `owner` (which must sit in a container) with the text; false when
    // it cannot be placed. `area` (the container's coordinates) places it elsewhere than at the
    // owner's top left; the item's "width" and "height" still decide its size when given.
    bool start(View& owner, SkinAttributes& attributes, const std::string& item, const std::string& text, Done done,
               const Rect* area = nullptr, Watch watch = {});
    bool editing() const { return editor_ && editor_->editing(); }
    TextEditor* editor() const { return editor_.get(); }
    // Removes an open editor without taking its text.
    void cancel();

    void valueChanged(DrawContext* context, Control& control) override;

private:
    Ref<TextEditor> editor_;
    Done done_;
    View* owner_ = nullptr;
};

}  // namespace pelko
