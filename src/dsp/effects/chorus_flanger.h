// "Chorus 1" (type 9) and "Flanger 1" (type 15): one class, two delay ranges. Each channel has
// one line whose read position an LFO sweeps (left with the sine, right with the cosine), with
// negative feedback of the previous wet sample. Chorus 1: 5 ms plus up to 75 ms; Flanger 1:
// 0.25 ms plus up to 3.75 ms ("Intensity" sets the length, "Depth" how much of it is swept).
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kChorusKind;
extern const EffectKind kFlangerKind;

class ChorusFlanger final : public Effect {
public:
    // Chorus 1 when the kind is kChorusKind, Flanger 1 otherwise.
    ChorusFlanger(const EffectKind& kind, float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

    int lineLength() const { return lines_[0].length(); }

private:
    void applyParam(int index, float value) override;
    void sampleRateChanged() override { reserveLines(); }
    void reserveLines();

    const float minMs_;
    const float rangeMs_;
    DelayLine lines_[2];
    QuadratureLfo lfo_;
    float half_ = 0.0f;
    float depth_ = 0.0f;
    float feedback_ = 0.0f;
    float wetL_ = 0.0f;
    float wetR_ = 0.0f;
};

}  // namespace pelko
