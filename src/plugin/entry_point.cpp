#include "plugin/entry_point.h"

namespace pelko {

vst2::AEffect* pluginEntry(vst2::HostCallback host)
{
    if (host == nullptr || host(nullptr, vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    return nullptr;
}

}  // namespace pelko
