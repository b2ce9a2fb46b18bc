#include "dsp/effects/chorus_flanger.h"

namespace pelko {

constexpr EffectKind kChorusKind{9, "Chorus 1",
    {{{"Speed", 0.5f, true, false}, {"Intensity", 0.25f, false, false}, {"Depth", 1.0f, false, false},
      {"Feedback", 0.15f, false, false}, {}, {}}}};
constexpr EffectKind kFlangerKind{15, "Flanger 1", kChorusKind.parameters};

ChorusFlanger::ChorusFlanger(const EffectKind& kind, float sampleRate)
    : Effect(kind, sampleRate),
      minMs_(kind.typeId == kChorusKind.typeId ? 5.0f : 0.25f),
      rangeMs_(kind.typeId == kChorusKind.typeId ? 75.0f : 3.75f)
{
    reserveLines();
    applyDefaults();
}

void ChorusFlanger::reserveLines()
{
    for (DelayLine& line : lines_) {
        line.setCapacity(delaySamples((minMs_ + rangeMs_) * sampleRate() * 0.001f) + 2);
    }
}

void ChorusFlanger::applyParam(int index, float value)
{
    switch (index) {
    case 0: lfo_.setCoefficient(rateCoefficient(0, value, 0.5f * (0.025f + value))); break;
    case 1: {
        const float length = (value * rangeMs_ + minMs_) * sampleRate() * 0.001f;
        lines_[0].resize(delaySamples(length) + 1);
        lines_[1].resize(delaySamples(length) + 1);
        half_ = length * 0.5f - 1.0f;
        break;
    }
    case 2: depth_ = value; break;
    case 3: feedback_ = -0.95f * value; break;
    default: break;
    }
}

void ChorusFlanger::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    DelayLine& left = lines_[0];
    DelayLine& right = lines_[1];
    const float sweep = depth_ * half_;
    const float fb = feedback_;
    const float guard = denormalGuard();
    float yL = wetL_;
    float yR = wetR_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        left.write(yL * fb + (xL - guard));
        right.write(yR * fb + (xR + guard));
        lfo_.step();
        yL = left.readFractional((lfo_.b() + 1.0f) * sweep + 1.0f);
        yR = right.readFractional((lfo_.a() + 1.0f) * sweep + 1.0f);
        outL[i] = mixed(xL, yL);
        outR[i] = mixed(xR, yR);
    }
    wetL_ = yL;
    wetR_ = yR;
    lfo_.renormalise();
    flipDenormalGuard();
}

void ChorusFlanger::reset()
{
    lfo_.restart();
    lines_[0].clear();
    lines_[1].clear();
    wetL_ = wetR_ = 0.0f;
}

void ChorusFlanger::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, lines_[0]);
    visitLine(visitor, lines_[1]);
    visitValues(visitor, {lfo_.a(), lfo_.b(), wetL_, wetR_});
}

}  // namespace pelko
