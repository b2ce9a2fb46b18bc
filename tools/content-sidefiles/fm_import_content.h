// The content the FM bulk-dump import reads: one looping pitch envelope per LFO wave and the
// settings of the two effect slots.
#pragma once

#include "params/envelope_object.h"
#include "params/setting_objects.h"
#include "storage/side_files.h"

#include <array>

namespace content_sidefiles {

// The envelope of LFO wave 0–5 (triangle, saw down, saw up, square, sine, sample and hold):
// segment 0 is the LFO delay (level 0.5, no change), the loop is one period of 1 s between the
// levels 0 (down) and 1 (up), and a short release returns to 0.5.
pelko::EnvelopeObject lfoEnvelope(int wave);

struct EffectSettings {
    pelko::IntegerObject type;
    std::array<float, pelko::kEffectFileValues> values{};
};
// FX slot 0: a light stereo ensemble; slot 1: a small stereo reverb.
EffectSettings fmEffect(int slot);

}  // namespace content_sidefiles
