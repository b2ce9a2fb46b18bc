#include "plugin/entry_point.h"

#include "platform/messages.h"
#include "plugin/vst2_adapter.h"

#include <new>

namespace pelko {

vst2::AEffect* pluginEntry(vst2::HostCallback host)
{
    // A host that answers version 0 is too old: no descriptor, nothing shown.
    if (host == nullptr || host(nullptr, vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    Vst2Adapter* adapter = nullptr;
    try {
        adapter = new (std::nothrow) Vst2Adapter(host);
    } catch (...) {
        adapter = nullptr;
    }
    if (adapter == nullptr) {
        showPlainMessage("cant alloc vsti", "error");
        return nullptr;
    }
    if (!adapter->initOk()) {
        showPlainMessage("cant init vsti", "error");
        delete adapter;
        return nullptr;
    }
    return adapter->effect();
}

}  // namespace pelko
