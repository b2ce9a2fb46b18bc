#include "plugin/editor_port.h"

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

}  // namespace pelko
