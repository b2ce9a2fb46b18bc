// "Ring Modulator" (type 95): a sine carrier multiplies the input. The carrier is written into
// a 10 ms line and read back at positions swept by a second LFO (vibrato: left with its sine,
// right with its cosine), and each channel's product passes a one-pole lowpass.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/filter_sections.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kRingModulatorKind;

class RingModulator final : public Effect {
public:
    explicit RingModulator(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    void applyParam(int index, float value) override;
    void sampleRateChanged() override { prepareLine(); }
    void prepareLine();

    DelayLine carrierLine_;
    QuadratureLfo carrier_;
    QuadratureLfo vibrato_;
    OnePoleLowpass lowpass_[2];
    float half_ = 0.0f;
    float depth_ = 0.0f;
};

}  // namespace pelko
