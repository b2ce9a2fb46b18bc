// "AutoPan" (type 80): an LFO moves the signal between the channels. With the LFO's sine b,
// g = b²·depth·mix; left gain g + 1 − mix, right gain 1 − g. The mix takes part in the gains
// directly instead of the usual dry/wet blend.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kAutoPanKind;

class AutoPan final : public Effect {
public:
    explicit AutoPan(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override {}
    void visitState(EffectStateVisitor& visitor) const override;

private:
    void applyParam(int index, float value) override;

    QuadratureLfo lfo_;
    float depth_ = 0.0f;
};

}  // namespace pelko
