// "Quad Phaser" (type 30): per channel a chain of six first-order allpass stages with
// feedback from the last stage. One LFO moves the allpass coefficient between −0.5 and −0.9
// (left with |cosine|, right with |sine|), so the notches sweep at twice the LFO rate.
// The output is the input plus depth · mix times the chain output.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

#include <array>

namespace pelko {

extern const EffectKind kQuadPhaserKind;

class QuadPhaser final : public Effect {
public:
    explicit QuadPhaser(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    static constexpr int kStages = 6;
    struct Chain {
        std::array<float, kStages> in{};   // previous input of each stage
        std::array<float, kStages> out{};  // previous output of each stage
        float guard = 1e-24f;              // flips sign every sample

        float run(float u, float c)
        {
            u += guard;
            guard = -guard;
            for (int s = 0; s < kStages; ++s) {
                const float y = (u - out[s]) * c + in[s];
                in[s] = u;
                out[s] = y;
                u = y;
            }
            return u;
        }
    };

    void applyParam(int index, float value) override;

    QuadratureLfo lfo_;
    std::array<Chain, 2> chains_;
    float depth_ = 0.0f;
    float feedback_ = 0.0f;
};

}  // namespace pelko
