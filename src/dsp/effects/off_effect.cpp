#include "dsp/effects/off_effect.h"

namespace pelko {

constexpr EffectKind kOffKind{0, "Off", {}};

}  // namespace pelko
