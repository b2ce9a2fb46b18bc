#include "editor/controls/control_registry.h"

#include "platform/debug_output.h"

namespace pelko {

ControlRegistry& ControlRegistry::shared()
{
    static ControlRegistry registry;
    return registry;
}

void ControlRegistry::add(const std::string& type, ControlCreator creator)
{
    creators_[type] = std::move(creator);
}

Ref<View> ControlRegistry::create(const std::string& type, ControlListener* listener, int tag) const
{
    auto found = creators_.find(type);
    if (found != creators_.end()) {
        return found->second(listener, tag);
    }
    debugOutput("genericFactory: create failed\n");
    debugOutput(std::to_string(creators_.size()) + " items in registry\n");
    for (const auto& entry : creators_) {
        debugOutput(entry.first + "\n");
    }
    return {};
}

}  // namespace pelko
