// Displays of names: the current program's name (a click opens the program menu), the tuning
// scale's name, and the patch's comment lines and author, which a click edits in place. The
// name is drawn after the label in the label set's font.
#pragma once

#include "editor/controls/label_controls.h"
#include "editor/controls/text_editing.h"

namespace pelko {

class Frame;

// A menu of the current bank's program names, the current one checked; choosing one selects it.
void openProgramMenu(Frame& frame, EditorServices& services, Point where);

class NameDisplay : public LabelControl {
public:
    NameDisplay(ControlListener* listener, int tag) : LabelControl(listener, tag) {}

    void draw(DrawContext& context) override;
    virtual std::string name() const = 0;

protected:
    ~NameDisplay() override = default;
};

// "CurrentPresetNameDisplayer": the editor sets the name (tag 10001); a refresh reads it from the
// program list. A left click opens the current slot's program menu ("Rename" edits the name in
// place, in the look of "BankNameEditor"); a right click the list of the bank's programs.
class ProgramNameDisplay final : public NameDisplay {
public:
    ProgramNameDisplay(ControlListener* listener, int tag) : NameDisplay(listener, tag) {}

    void setText(std::string text);
    std::string name() const override { return text_; }
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    TextEditing& editing() { return editing_; }

protected:
    ~ProgramNameDisplay() override = default;
    void refresh() override;

private:
    void startRename(int slot);

    std::string text_;
    TextEditing editing_;
};

// "TuningScaleDisplayer": the name of the bound tuning scale object.
class TuningScaleDisplay final : public NameDisplay {
public:
    TuningScaleDisplay(ControlListener* listener, int tag) : NameDisplay(listener, tag) {}
    std::string name() const override;

protected:
    ~TuningScaleDisplay() override = default;
};

// "UserCommentDisplayer", "PresetAuthorDisplayer": the bound text object, edited in place in the
// look of the editor item; the edited text is written to the object.
class EditableTextDisplay final : public NameDisplay {
public:
    EditableTextDisplay(ControlListener* listener, int tag, std::string editorItem)
        : NameDisplay(listener, tag), editorItem_(std::move(editorItem))
    {
    }
    std::string name() const override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    TextEditing& editing() { return editing_; }

protected:
    ~EditableTextDisplay() override = default;

private:
    std::string editorItem_;
    TextEditing editing_;
};

}  // namespace pelko
