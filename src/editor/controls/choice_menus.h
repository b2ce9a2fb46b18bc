// The choice menus: a label-set control showing the current choice of its patch object; a left
// press opens a menu of the choices (groups with a title become submenus), and choosing writes
// the object through the editor and reports it. A choice outside the list is ignored.
// - "OscShapeMenu": the oscillator's wave-name object ("OSC1_SHAPE_ID" …); the name written is
//   the group's title, "\" and the entry (the archive and the wave), or the entry alone for an
//   untitled group ("Off"). The mute switch is kept.
// - "FilterModeMenu", "EffectTypeMenu": an integer object ("FLT1_MODE" …, "FX1_TYPE" …); the
//   entry's value (a stored type id) is written.
#pragma once

#include "editor/controls/name_displays.h"

namespace pelko {

class ChoiceMenu final : public NameDisplay {
public:
    enum class Kind { kWave, kFilterMode, kEffectType };

    ChoiceMenu(ControlListener* listener, int tag, Kind kind) : NameDisplay(listener, tag), kind_(kind) {}

    std::string name() const override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    // Writes the choice with this index (depth-first over the groups); false when outside.
    bool choose(int index);
    std::vector<ChoiceGroup> choices() const;
    // The object the menu edits, or -1.
    int editedObject() const;

protected:
    ~ChoiceMenu() override = default;

private:
    // The text a wave entry writes: "archive\wave", or the entry alone for an untitled group.
    static std::string waveText(const ChoiceGroup& group, const std::string& entry);
    // The wave-name object's text as stored.
    std::string storedWave() const;

    Kind kind_;
};

}  // namespace pelko
