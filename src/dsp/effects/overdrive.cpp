#include "dsp/effects/overdrive.h"

#include <cmath>

namespace pelko {

constexpr EffectKind kOverdriveKind{97, "Overdrive",
    {{{"LP Cutoff", 0.5f, false, false}, {"LP Q", 0.6f, false, false}, {"HP Cutoff", 0.4f, false, false},
      {"HP Q", 0.6f, false, false}, {"Drive", 0.8f, false, false}, {"Gain", 0.5f, false, false}}}};

float overdriveShape(float h, float drive, float gain)
{
    float s = h < 0.0f ? -gain : gain;
    float t = std::fabs(h * drive);
    // Float magnitudes stay below 2^128, so 130 halvings bring any finite t to 1 or less.
    for (int halvings = 0; t > 1.0f && halvings < 130; ++halvings) {
        t *= 0.5f;
        s *= 2.0f;
    }
    return (2.0f - t) * s * t;
}

Overdrive::Overdrive(float sampleRate) : Effect(kOverdriveKind, sampleRate) { applyDefaults(); }

void Overdrive::applyParam(int index, float value)
{
    switch (index) {
    case 0: lowStage_.requestedF = svfFrequency(value, invSampleRate()); lowStage_.update(); break;
    case 1: lowStage_.q = svfDamping(value); lowStage_.update(); break;
    case 2: highStage_.requestedF = svfFrequency(value, invSampleRate()); highStage_.update(); break;
    case 3: highStage_.q = svfDamping(value); highStage_.update(); break;
    case 4: drive_ = 15.5f * value + 0.5f; break;
    case 5: gain_ = 0.9f * value + 0.1f; break;
    default: break;
    }
}

void Overdrive::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float x[2] = {inL[i], inR[i]};
        float y[2];
        for (int ch = 0; ch < 2; ++ch) {
            highpass_[ch].process(x[ch] + guard, highStage_.f, highStage_.q);
            const float w = overdriveShape(highpass_[ch].high, drive_, gain_);
            lowpass_[ch].process(w - guard, lowStage_.f, lowStage_.q);
            y[ch] = mixed(x[ch], lowpass_[ch].low);
        }
        outL[i] = y[0];
        outR[i] = y[1];
    }
    flipDenormalGuard();
}

void Overdrive::reset()
{
    for (int ch = 0; ch < 2; ++ch) {
        highpass_[ch].reset();
        lowpass_[ch].reset();
    }
}

void Overdrive::visitState(EffectStateVisitor& visitor) const
{
    for (int ch = 0; ch < 2; ++ch) {
        visitValues(visitor, {highpass_[ch].low, highpass_[ch].band, highpass_[ch].high});
        visitValues(visitor, {lowpass_[ch].low, lowpass_[ch].band, lowpass_[ch].high});
    }
}

}  // namespace pelko
