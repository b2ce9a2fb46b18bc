// "Rotary Speaker" (type 81): a one-pole crossover splits the mono sum into a low and a high
// rotor. Each rotor's LFO sweeps a short (1 ms) delay for the Doppler shift and modulates the
// level for the horn passing by: the left pickup reads with (1 + s), the right with (1 − s),
// and "Separation" blends each pickup into the other channel.
//
// Both pickups of a rotor hear the same signal, so each rotor has one line read at two
// positions rather than a line per pickup.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/filter_sections.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kRotarySpeakerKind;

class RotarySpeaker final : public Effect {
public:
    explicit RotarySpeaker(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    // Clears only the crossover state.
    void reset() override { crossover_.reset(); }
    void visitState(EffectStateVisitor& visitor) const override;

private:
    void applyParam(int index, float value) override;
    void sampleRateChanged() override { prepareLines(); }
    void prepareLines();

    DelayLine lines_[2];  // low rotor, high rotor
    QuadratureLfo lfos_[2];
    OnePoleLowpass crossover_;
    float half_ = 0.0f;
    float depth_[2] = {0.0f, 0.0f};
    float separation_ = 0.0f;
};

}  // namespace pelko
