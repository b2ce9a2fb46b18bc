// "Rich Chorus" (type 10): per channel a short colour delay (1 to 50 ms) adds a fixed echo of
// the input, and four LFOs at unrelated rates sweep four taps around a 10 ms base delay. The
// channels feed each other through the wet signal.
//
// Each channel has two modulated lines; taps 1 and 3 read the first, taps 2 and 4 the second,
// each line being written with its input plus a tenth of one tap of the other line.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

#include <array>

namespace pelko {

extern const EffectKind kRichChorusKind;

class RichChorus final : public Effect {
public:
    explicit RichChorus(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    struct Channel {
        DelayLine colour;
        DelayLine lines[2];
        std::array<QuadratureLfo, 4> lfos;
        std::array<float, 4> depth{};
        std::array<float, 4> taps{};
        float wet = 0.0f;
    };

    void applyParam(int index, float value) override;
    void sampleRateChanged() override { prepareLines(); }
    void prepareLines();
    // One sample of one channel; `x` is the guarded input, `otherWet` the other channel's
    // previous wet value.
    float run(Channel& c, float x, float otherWet);

    std::array<Channel, 2> channels_;
    float baseDelay_ = 0.0f;
    float feedback_ = 0.0f;
};

}  // namespace pelko
