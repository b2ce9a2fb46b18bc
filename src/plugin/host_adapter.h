// The C functions of the descriptor: each finds its SynthPlugin through AEffect::object and
// forwards the call. No exception ever crosses into the host.
#pragma once

#include "plugin/vst2_abi.h"

namespace pelko {

class SynthPlugin;

// Fills the descriptor's function pointers.
void attachHostFunctions(vst2::AEffect& effect);

}  // namespace pelko
