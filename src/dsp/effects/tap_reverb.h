// "8 Taps Reverb" (type 41): per channel a diffusion stage (a feedback line whose length is the
// "Room size"), a short colour echo subtracted from the signal, and a one-second main line read
// by eight taps with fixed gains. The taps' sum is damped and fed into the other channel's main
// line ("Feedback"). "Pre-delay" scales the tap positions, from 20 % to 100 % of a second.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"

#include <array>

namespace pelko {

extern const EffectKind kTapReverbKind;

class TapReverb final : public Effect {
public:
    static constexpr int kTaps = 8;

    explicit TapReverb(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

    // Offset of tap k behind the main line's write position, in samples.
    int tapOffset(int channel, int tap) const { return channels_[channel & 1].tapOffsets[tap % kTaps]; }

private:
    struct Channel {
        DelayLine diffusion;
        DelayLine colour;
        DelayLine main;
        std::array<int, kTaps> tapOffsets{};
        float gain = 0.0f;  // diffusion gain g (negative)
        float inverseGain = 0.0f;
        float damped = 0.0f;
    };

    void applyParam(int index, float value) override;
    void sampleRateChanged() override { prepareLines(); }
    void prepareLines();
    // The diffusion stage: t from the line, the line gets t·g + u, output t·(1/g − g) − u/g.
    static float diffuse(Channel& c, float u);
    // Damped sum of the taps after the main line was written.
    float taps(Channel& c, const float* gains) const;

    std::array<Channel, 2> channels_;
    float feedback_ = 0.0f;
    float pole_ = 0.0f;
};

}  // namespace pelko
