#include "plugin/editor_port.h"

#include "params/parameter_ids.h"

#include <algorithm>

namespace pelko {

std::string EditorPort::Reading::displayText(int parameter) const
{
    std::string text;
    plugin_.parameterDisplay(parameter, text);
    return text;
}

void EditorPort::beginGesture(int parameter)
{
    if (parameter >= 0 && parameter < kParameterCount && plugin_.host() != nullptr) {
        plugin_.host()->beginEdit(parameter);
    }
}

void EditorPort::endGesture(int parameter)
{
    if (parameter >= 0 && parameter < kParameterCount && plugin_.host() != nullptr) {
        plugin_.host()->endEdit(parameter);
    }
}

std::optional<std::string> EditorPort::parameterDisplayName(int index) const
{
    if (index < 0 || index >= kParameterCount) {
        return std::nullopt;
    }
    return std::string(parameterTable()[static_cast<std::size_t>(index)].displayName);
}

void EditorPort::incrementParameter(int index)
{
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    float v = plugin_.getParameter(index) + parameterTable()[static_cast<std::size_t>(index)].step;
    if (v >= 0.0f && v <= 1.0f) {
        plugin_.setParameterAutomated(index, v);
    }
}

void EditorPort::decrementParameter(int index)
{
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    float v = plugin_.getParameter(index) - parameterTable()[static_cast<std::size_t>(index)].step;
    if (v >= 0.0f && v <= 1.0f) {
        plugin_.setParameterAutomated(index, v);
    }
}

bool EditorPort::parameterIsDiscrete(int index, bool& discrete) const
{
    if (index < 0 || index >= kParameterCount) {
        return false;
    }
    if (index >= param::kFxParameter && index < param::kFxParameter + param::kFxParameterCount) {
        LockGuard lock(plugin_.processLock());
        const int row = index - param::kFxParameter;
        discrete = plugin_.effects().isDiscrete(row / param::kFxParametersPerSlot, row % param::kFxParametersPerSlot);
    } else {
        discrete = index >= param::kOscCoarse && index < param::kOscCoarse + param::kTuneRows;
    }
    return true;
}

namespace {
bool validSlot(int slot) { return slot >= 0 && slot < kProgramCount; }
}  // namespace

bool EditorPort::renameProgram(int slot, std::string_view name)
{
    if (!validSlot(slot)) {
        return false;
    }
    plugin_.renameProgram(slot, name.substr(0, std::min(name.size(), static_cast<std::size_t>(kProgramNameLength))));
    return true;
}

bool EditorPort::copyProgram(int slot)
{
    if (!validSlot(slot)) {
        return false;
    }
    plugin_.copyProgram(slot);
    return true;
}

bool EditorPort::pasteProgram(int slot)
{
    if (!validSlot(slot) || !plugin_.clipboardPresent()) {
        return false;
    }
    plugin_.pasteProgram(slot);
    return true;
}

bool EditorPort::clearProgram(int slot)
{
    if (!validSlot(slot)) {
        return false;
    }
    plugin_.initialiseProgram(slot, false);
    if (slot == plugin_.currentProgram()) {
        plugin_.selectProgram(slot);
    }
    return true;
}

bool EditorPort::writeProgram(int slot)
{
    if (!plugin_.copyEditBufferTo(slot)) {
        return false;
    }
    plugin_.selectProgram(slot);
    return true;
}

}  // namespace pelko
