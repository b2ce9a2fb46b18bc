// "CrazyComb" (type 50): two short cross-coupled comb lines (0.5 to 3 ms) whose read
// positions an LFO sweeps between the full length and a small fraction of it.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kCrazyCombKind;

class CrazyComb final : public Effect {
public:
    explicit CrazyComb(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    void applyParam(int index, float value) override;
    void sampleRateChanged() override { reserveLines(); }
    void reserveLines();

    DelayLine lines_[2];
    QuadratureLfo lfo_;
    float depth_ = 0.0f;
    float feedback_ = 0.0f;
};

}  // namespace pelko
