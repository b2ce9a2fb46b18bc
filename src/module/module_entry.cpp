// The module's only exported symbols. Hosts on Linux look up VSTPluginMain first, then main; a C++
// function cannot be called main at namespace scope, so the second one gets its name from the
// assembler label. Before the first instance is made the editor's factory is installed, so every
// instance gets an editor.
#include "editor/core/editor.h"
#include "plugin/entry_point.h"

#define PELKO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

vst2::AEffect* entry(vst2::HostCallback host)
{
    pelko::installPluginEditorFactory(&pelko::Editor::make);
    return pelko::pluginEntry(host);
}

}  // namespace

PELKO_EXPORT vst2::AEffect* VSTPluginMain(vst2::HostCallback host) { return entry(host); }

PELKO_EXPORT vst2::AEffect* pluginMainAlias(vst2::HostCallback host) __asm__("main");
vst2::AEffect* pluginMainAlias(vst2::HostCallback host) { return entry(host); }
