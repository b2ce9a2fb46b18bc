#include "editor/controls/choice_menus.h"

#include "editor/toolkit/frame.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"

namespace pelko {

int ChoiceMenu::editedObject() const
{
    int first = kind_ == Kind::kWave ? object::kOscShapeId : (kind_ == Kind::kFilterMode ? object::kFilterMode : object::kFxType);
    int count = kind_ == Kind::kWave ? 6 : 2;
    for (int index : objects_) {
        if (index >= first && index < first + count) {
            return index;
        }
    }
    return -1;
}

std::vector<ChoiceGroup> ChoiceMenu::choices() const
{
    if (services_ == nullptr) {
        return {};
    }
    switch (kind_) {
    case Kind::kWave:
        return services_->waveChoices();
    case Kind::kFilterMode:
        return services_->filterModeChoices();
    case Kind::kEffectType:
        return services_->effectTypeChoices();
    }
    return {};
}

std::string ChoiceMenu::waveText(const ChoiceGroup& group, const std::string& entry)
{
    return group.title.empty() ? entry : group.title + "\\" + entry;
}

std::string ChoiceMenu::storedWave() const
{
    std::string text;
    int index = editedObject();
    if (services_ != nullptr && index >= 0) {
        services_->readObject(index, [&](const PatchObject& stored) {
            if (auto* wave = dynamic_cast<const WaveNameObject*>(&stored)) {
                text = std::string(wave->text());
            }
        });
    }
    return text;
}

std::string ChoiceMenu::name() const
{
    int index = editedObject();
    if (services_ == nullptr || index < 0) {
        return {};
    }
    if (kind_ == Kind::kWave) {
        // The wave's own name, without its archive.
        std::string text = storedWave();
        std::size_t slash = text.rfind('\\');
        return slash == std::string::npos ? text : text.substr(slash + 1);
    }
    int id = 0;
    bool haveId = false;
    services_->readObject(index, [&](const PatchObject& stored) {
        if (auto* number = dynamic_cast<const IntegerObject*>(&stored)) {
            id = number->value();
            haveId = true;
        }
    });
    if (!haveId) {
        return {};
    }
    for (const ChoiceGroup& group : choices()) {
        for (std::size_t i = 0; i < group.entries.size() && i < group.values.size(); ++i) {
            if (group.values[i] == id) {
                return group.entries[i];
            }
        }
    }
    return {};
}

bool ChoiceMenu::choose(int chosen)
{
    int index = editedObject();
    if (services_ == nullptr || index < 0 || chosen < 0) {
        return false;
    }
    int at = 0;
    for (const ChoiceGroup& group : choices()) {
        for (std::size_t i = 0; i < group.entries.size(); ++i, ++at) {
            if (at != chosen) {
                continue;
            }
            if (kind_ == Kind::kWave) {
                std::string wave = waveText(group, group.entries[i]);
                services_->editObject(index, [&](PatchObject& stored) {
                    if (auto* object = dynamic_cast<WaveNameObject*>(&stored)) {
                        object->setText(wave);
                    }
                });
            } else {
                if (i >= group.values.size()) {
                    return false;
                }
                int id = group.values[i];
                services_->editObject(index, [&](PatchObject& stored) {
                    if (auto* object = dynamic_cast<IntegerObject*>(&stored)) {
                        object->setValue(id);
                    }
                });
            }
            notifyListener(nullptr);
            setDirty(true);
            invalidate();
            return true;
        }
    }
    return false;
}

MouseResponse ChoiceMenu::mouse(DrawContext&, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0 || frame_ == nullptr) {
        return MouseResponse::kNotHandled;
    }
    std::vector<ChoiceGroup> groups = choices();
    // Waves are told apart by archive and name (two archives may hold waves of the same name).
    std::string current = kind_ == Kind::kWave ? storedWave() : name();
    std::vector<MenuItem> items;
    int preselected = -1;
    int at = 0;
    for (const ChoiceGroup& group : groups) {
        std::vector<MenuItem> entries;
        for (const std::string& entry : group.entries) {
            MenuItem item = MenuItem::entry(entry);
            item.checked = (kind_ == Kind::kWave ? waveText(group, entry) : entry) == current;
            if (item.checked && preselected < 0) {
                preselected = at;
            }
            entries.push_back(std::move(item));
            ++at;
        }
        if (group.title.empty()) {
            for (MenuItem& item : entries) {
                items.push_back(std::move(item));
            }
        } else if (!entries.empty()) {
            items.push_back(MenuItem::submenu(group.title, std::move(entries)));
        }
    }
    if (items.empty()) {
        return MouseResponse::kHandled;
    }
    Point origin = parentOrigin();
    Ref<ChoiceMenu> self = Ref<ChoiceMenu>::share(this);
    frame_->openPopupMenu(std::move(items), Point{rect_.left + origin.h, rect_.bottom + origin.v},
                          [self](int chosen) { self->choose(chosen); }, preselected);
    return MouseResponse::kHandled;
}

}  // namespace pelko
