#pragma once

#include "plugin/vst2_abi.h"

namespace pelko {

// Asks the host for its version, constructs one plug-in object and returns its descriptor, or
// nullptr (after telling the user) when the host is too old or the object cannot be built.
vst2::AEffect* pluginEntry(vst2::HostCallback host);

}  // namespace pelko
