// The ensembles: 33 ms lines per channel read around a 12 ms delay by two LFOs.
//
// "Stereo Ensemble" (type 20) and "Cross-Ensemble" (type 21): LFO 1 sweeps the delay
// (up to ±2.5 ms), LFO 2 modulates the level of the tap; the cross version writes each line
// with the other channel's tap.
// "Rich Ensemble" (type 22): the two LFOs are combined into three taps 120° apart, averaged.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"
#include "dsp/effects/quadrature_lfo.h"

namespace pelko {

extern const EffectKind kStereoEnsembleKind;
extern const EffectKind kCrossEnsembleKind;
extern const EffectKind kRichEnsembleKind;

// The two 33 ms lines and two LFOs that all ensembles share.
class EnsembleBase : public Effect {
public:
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

protected:
    EnsembleBase(const EffectKind& kind, float sampleRate);
    void sampleRateChanged() override { prepareLines(); }
    void prepareLines();
    void renormaliseLfos();

    DelayLine lines_[2];
    QuadratureLfo lfo1_;
    QuadratureLfo lfo2_;
    float feedback_ = 0.0f;
};

class Ensemble final : public EnsembleBase {
public:
    Ensemble(const EffectKind& kind, float sampleRate);
    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;

private:
    void applyParam(int index, float value) override;

    const bool cross_;
    float delayDepth_ = 0.0f;  // seconds
    float levelDepth_ = 0.0f;
};

class RichEnsemble final : public EnsembleBase {
public:
    explicit RichEnsemble(float sampleRate);
    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;

private:
    void applyParam(int index, float value) override;

    float amount_ = 0.0f;  // seconds
};

}  // namespace pelko
