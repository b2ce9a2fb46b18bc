#include "dsp/effects/auto_pan.h"

namespace pelko {

constexpr EffectKind kAutoPanKind{80, "AutoPan",
    {{{"Frequency", 0.5f, true, false}, {"Depth", 1.0f, false, false}, {}, {}, {}, {}}}};

AutoPan::AutoPan(float sampleRate) : Effect(kAutoPanKind, sampleRate) { applyDefaults(); }

void AutoPan::applyParam(int index, float value)
{
    if (index == 0) {
        lfo_.setCoefficient(rateCoefficient(0, value, 1.5f * (0.05f + value)));
    } else if (index == 1) {
        depth_ = value;
    }
}

void AutoPan::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    const float amount = depth_ * mix();
    const float rest = 1.0f - mix();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        lfo_.step();
        const float b = lfo_.b();
        const float g = b * b * amount;
        outL[i] = (g + rest) * xL;
        outR[i] = (1.0f - g) * xR;
    }
    lfo_.renormalise();
}

void AutoPan::visitState(EffectStateVisitor& visitor) const { visitValues(visitor, {lfo_.a(), lfo_.b()}); }

}  // namespace pelko
