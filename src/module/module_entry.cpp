// The module's only exported symbols. Hosts on Linux look up VSTPluginMain first, then main; a C++
// function cannot be called main at namespace scope, so the second one gets its name from the
// assembler label.
#include "plugin/entry_point.h"

#define PELKO_EXPORT extern "C" __attribute__((visibility("default")))

PELKO_EXPORT vst2::AEffect* VSTPluginMain(vst2::HostCallback host) { return pelko::pluginEntry(host); }

PELKO_EXPORT vst2::AEffect* pluginMainAlias(vst2::HostCallback host) __asm__("main");
vst2::AEffect* pluginMainAlias(vst2::HostCallback host) { return pelko::pluginEntry(host); }
