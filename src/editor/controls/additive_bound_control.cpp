#include "editor/controls/additive_bound_control.h"

#include "params/patch_object_table.h"

namespace pelko {

AdditiveBoundControl::AdditiveBoundControl(ControlListener* listener, int tag) : SkinControl(listener, tag) {}

bool AdditiveBoundControl::isAdditiveObject(int index)
{
    return index >= object::kAdditiveSettings && index < object::kAdditiveSettings + 6;
}

void AdditiveBoundControl::configure(SkinAttributes& a, const std::string& item)
{
    SkinControl::configure(a, item);
    a.colour(item, "levelBarColor", levelColour_);
    a.colour(item, "phaseBarColor", phaseColour_);
    a.colour(item, "gridTextColor", gridTextColour_);
    a.colour(item, "bgColor", backgroundColour_);
    if (a.has(item, "gridTextFont")) {
        gridTextFont_ = a.systemFont(item, "gridTextFont");
    }
}

void AdditiveBoundControl::bindObject(int index)
{
    SkinControl::bindObject(index);
    if (shown_ < 0 && isAdditiveObject(index)) {
        shown_ = index;
        readShown();
    }
}

void AdditiveBoundControl::objectChanged(int index)
{
    if (index == shown_) {
        readShown();
    }
    setDirty(true);
}

void AdditiveBoundControl::rebind(int base)
{
    if (!isAdditiveObject(base)) {
        return;
    }
    shown_ = base;
    readShown();
    setDirty(true);
}

bool AdditiveBoundControl::readShown()
{
    if (services_ == nullptr || shown_ < 0) {
        return false;
    }
    bool read = false;
    services_->readObject(shown_, [&](const PatchObject& object) {
        if (auto* additive = dynamic_cast<const AdditiveSettingsObject*>(&object)) {
            if (!working_) {
                working_.emplace();
            }
            working_->copyFrom(*additive);
            read = true;
        }
    });
    if (read) {
        settingsRead();
    }
    return read;
}

void AdditiveBoundControl::commit()
{
    if (!working_ || services_ == nullptr || shown_ < 0) {
        return;
    }
    const AdditiveSettingsObject& edited = *working_;
    services_->editObject(shown_, [&](PatchObject& object) {
        if (dynamic_cast<AdditiveSettingsObject*>(&object) != nullptr) {
            object.copyFrom(edited);
        }
    });
    // The editor's change report normally reads the copy again; a stand-in editor may not.
    readShown();
    setDirty(true);
}

}  // namespace pelko
