// "Stereo Reverb" (type 40) and "Stereo Oktaverb" (type 45): per channel a feedback delay
// network of three lines. Each line's feedback is its own damped output minus the other two
// (so the network mixes them), diffused by a first-order allpass and scaled by −0.445. The
// channels are coupled through their outputs ("Length").
//
// The Oktaverb reads every line twice per sample, so the recirculating sound rises one octave
// on each pass; the two samples read are averaged.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/filter_sections.h"

#include <array>

namespace pelko {

extern const EffectKind kStereoReverbKind;
extern const EffectKind kStereoOktaverbKind;

class StereoReverb final : public Effect {
public:
    StereoReverb(const EffectKind& kind, float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

    int lineLength(int channel, int line) const { return networks_[channel & 1].lines[line % 3].length(); }

private:
    struct Network {
        std::array<DelayLine, 3> lines;
        std::array<OnePoleLowpass, 3> damping;
        std::array<float, 3> allpassCoefficient{};
        std::array<float, 3> allpassState{};
        std::array<float, 3> allpassInput{};  // previous feedback value entering each allpass
        std::array<float, 3> dampingFactor{};
        int readBeforeWrite = -1;            // Oktaverb: the line whose extra read precedes its write
        float output = 0.0f;
    };

    void applyParam(int index, float value) override;
    void sampleRateChanged() override { reserveLines(); }
    void reserveLines();
    float run(Network& n, float u);

    const bool octave_;
    std::array<Network, 2> networks_;
    float coupling_ = 0.0f;
};

}  // namespace pelko
