#include "dsp/effects/three_band_eq.h"

namespace pelko {

constexpr EffectKind kThreeBandEqKind{90, "3-bands EQ",
    {{{"Cutoff", 0.614f, false, false}, {"Rez", 1.0f, false, false}, {"Low", 0.2f, false, false},
      {"Mid", 0.2f, false, false}, {"High", 0.2f, false, false}, {}}}};

ThreeBandEq::ThreeBandEq(float sampleRate) : Effect(kThreeBandEqKind, sampleRate) { applyDefaults(); }

void ThreeBandEq::applyParam(int index, float value)
{
    switch (index) {
    case 0:
        requestedF_ = svfFrequency(value, invSampleRate());
        updateFrequency();
        break;
    case 1:
        q_ = svfDamping(value);
        updateFrequency();
        break;
    case 2: low_ = value; break;
    case 3: mid_ = value; break;
    case 4: high_ = value; break;
    default: break;
    }
}

void ThreeBandEq::updateFrequency() { f_ = stableSvfFrequency(requestedF_, q_); }

void ThreeBandEq::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    StateVariableSection& left = sections_[0];
    StateVariableSection& right = sections_[1];
    const float f = f_;
    const float q = q_;
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        left.process(xL + guard, f, q);
        right.process(xR + guard, f, q);
        outL[i] = mixed(xL, mid_ * left.bandIn + low_ * left.low + high_ * left.high);
        outR[i] = mixed(xR, mid_ * right.bandIn + low_ * right.low + high_ * right.high);
    }
    flipDenormalGuard();
}

void ThreeBandEq::reset()
{
    sections_[0].reset();
    sections_[1].reset();
}

void ThreeBandEq::visitState(EffectStateVisitor& visitor) const
{
    for (const StateVariableSection& s : sections_) {
        visitValues(visitor, {s.low, s.band, s.high, s.bandIn});
    }
}

}  // namespace pelko
