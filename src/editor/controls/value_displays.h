// The value displays of parameters and assignment ranges.
//
// ParameterDisplay shows the plug-in's display text of its parameter ("BitmapParamDisplayer",
// "SeqNoteDisplayer", "EffectParamDisplayer"; the last is disabled while the slot's effect has
// no such parameter, i.e. its text is empty). With `learns`, learn mode shows the number of the
// MIDI controller assigned to the parameter ("%02d", "--" for none) instead.
//
// MatrixDisplay ("MatrixParamDisplayer", "MatrixRingModDisplayer") is a parameter display that
// is disabled while the routing switch of its cell is off: the switch objects bound to it
// ("MATRIX_DISABLED_FM_SETTINGS" for the FM amounts, "..._OSC_OUT_..." for the oscillator
// outputs, "..._FLT_OUT_..." for the product-bus outputs) hold one character per cell, '0' off.
// Clicking it switches the cell.
//
// UserControlTextDisplay ("UserControlTextDisplayer") is a parameter display whose label is the
// bound user-control text object; a click edits that text in place.
//
// AssignmentRangeDisplay ("UserAssignmentMinValue") shows one end of an assignment of the
// assignments panel's working copy as a percentage: row "row" (0–15) of the panel's user
// control, its low end, or its high end when the item's "end" is 1. The wheel changes it.
#pragma once

#include "editor/controls/label_controls.h"
#include "editor/controls/text_editing.h"

namespace pelko {

class ParameterDisplay : public ValueDisplay {
public:
    enum class Kind { kParameter, kSeqNote, kEffect };

    ParameterDisplay(ControlListener* listener, int tag, Kind kind) : ValueDisplay(listener, tag), kind_(kind) {}

    std::string valueText() const override;
    bool disabled() const override;

protected:
    ~ParameterDisplay() override = default;

    Kind kind_;
};

class MatrixDisplay final : public ParameterDisplay {
public:
    MatrixDisplay(ControlListener* listener, int tag) : ParameterDisplay(listener, tag, Kind::kParameter) {}
    bool disabled() const override;
    // A left click switches the display's routing cell off or on (in every switch object bound
    // to it); the parameter's value is kept, so switching back restores the cell's amount.
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    // The switch cell of a parameter in a routing-switch object; -1 when it has none there.
    static int switchCell(int switchObject, int parameter);

protected:
    ~MatrixDisplay() override = default;
};

class UserControlTextDisplay final : public ParameterDisplay {
public:
    UserControlTextDisplay(ControlListener* listener, int tag) : ParameterDisplay(listener, tag, Kind::kParameter) {}
    std::string labelText() const override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    TextEditing& editing() { return editing_; }

protected:
    ~UserControlTextDisplay() override = default;

private:
    int textObject() const;
    TextEditing editing_;
};

class AssignmentRangeDisplay final : public ValueDisplay {
public:
    AssignmentRangeDisplay(ControlListener* listener, int tag) : ValueDisplay(listener, tag) {}
    std::string valueText() const override;
    bool disabled() const override;
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;
    int row() const { return row_; }

protected:
    ~AssignmentRangeDisplay() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void rebind(int base) override;
    void popupClosed(bool apply) override;

private:
    int row_ = 0;
    bool high_ = false;
};

}  // namespace pelko
