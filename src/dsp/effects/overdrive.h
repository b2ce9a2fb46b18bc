// "Overdrive" (type 97): per channel a highpass state-variable section, a waveshaper and a
// lowpass section. The shaper is a parabola gain·(2t − t²) of t = |h·drive| up to t = 1; above,
// every halving of t doubles the gain, so it keeps growing with the input (by 1.5× to 2× per
// octave of level) instead of clipping.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/filter_sections.h"

namespace pelko {

extern const EffectKind kOverdriveKind;

// The waveshaper: s = gain with the sign of h, t = |h·drive|; while t > 1: t /= 2, s *= 2;
// result (2 − t)·s·t. Infinite input cannot hang it (the halving is bounded).
float overdriveShape(float h, float drive, float gain);

class Overdrive final : public Effect {
public:
    explicit Overdrive(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    struct Stage {
        float requestedF = 0.0f;
        float f = 0.0f;
        float q = 1.0f;
        void update() { f = stableSvfFrequency(requestedF, q); }
    };

    void applyParam(int index, float value) override;

    StateVariableSection highpass_[2];
    StateVariableSection lowpass_[2];
    Stage lowStage_;
    Stage highStage_;
    float drive_ = 1.0f;
    float gain_ = 1.0f;
};

}  // namespace pelko
