// The base of the additive page's editors: a control that shows one additive settings object
// ("ADDITIVE_SETTINGS1" … "6"), kept as a working copy read through the editor. The first bound
// object of that kind is shown; a rebind of the page (kind 4, base 184 + oscillator) switches to
// the base object; a change of the shown object (kind 0) reads the copy again.
//
// Edits change the copy and write it back whole through EditorServices::editObject, which runs
// under the plug-in's lock and reports the change: the engine never sees a half-edited object.
//
// Attributes shared by the additive controls: "levelBarColor", "phaseBarColor", "gridTextColor",
// "gridTextFont", and "bgColor" for the area behind the drawing.
#pragma once

#include "editor/controls/skin_control.h"
#include "params/additive_settings_object.h"

#include <optional>

namespace pelko {

class AdditiveBoundControl : public SkinControl {
public:
    AdditiveBoundControl(ControlListener* listener, int tag);

    // The shown object's index, or -1.
    int shownObject() const { return shown_; }
    // The working copy; none before an object was read.
    const AdditiveSettingsObject* settings() const { return working_ ? &*working_ : nullptr; }

    static bool isAdditiveObject(int index);

protected:
    ~AdditiveBoundControl() override = default;

    void configure(SkinAttributes& attributes, const std::string& item) override;
    void bindObject(int index) override;
    void objectChanged(int index) override;
    void rebind(int base) override;

    // After the copy was read again.
    virtual void settingsRead() {}
    // Reads the shown object into the copy; false when there is none of the right kind.
    bool readShown();
    // Writes the copy whole into the shown object (the editor reports the change).
    void commit();
    AdditiveSettingsObject* editable() { return working_ ? &*working_ : nullptr; }

    Colour levelColour_{90, 200, 255, 0};
    Colour phaseColour_{255, 170, 70, 0};
    Colour gridTextColour_{150, 150, 165, 0};
    Colour backgroundColour_{20, 22, 30, 0};
    int gridTextFont_ = 6;

private:
    int shown_ = -1;
    std::optional<AdditiveSettingsObject> working_;
};

}  // namespace pelko
