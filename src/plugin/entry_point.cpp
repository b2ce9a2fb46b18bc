#include "plugin/entry_point.h"

#include "platform/messages.h"
#include "plugin/host_adapter.h"
#include "plugin/synth_plugin.h"

#include <new>

namespace pelko {

vst2::AEffect* pluginEntry(vst2::HostCallback host)
{
    // A host that answers version 0 is too old: no descriptor, nothing shown.
    if (host == nullptr || host(nullptr, vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    SynthPlugin* plugin = nullptr;
    try {
        plugin = new (std::nothrow) SynthPlugin(host);
    } catch (...) {
        plugin = nullptr;
    }
    if (plugin == nullptr) {
        showPlainMessage("cant alloc vsti", "error");
        return nullptr;
    }
    if (!plugin->initOk()) {
        showPlainMessage("cant init vsti", "error");
        delete plugin;
        return nullptr;
    }
    attachHostFunctions(*plugin->effect());
    return plugin->effect();
}

}  // namespace pelko
