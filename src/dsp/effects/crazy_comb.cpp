#include "dsp/effects/crazy_comb.h"

namespace pelko {

constexpr EffectKind kCrazyCombKind{50, "CrazyComb",
    {{{"Min Length", 0.5f, false, false}, {"Mod Depth", 1.0f, false, false}, {"Mod Speed", 0.25f, true, false},
      {"Feedback", 0.5f, false, true}, {}, {}}}};

CrazyComb::CrazyComb(float sampleRate) : Effect(kCrazyCombKind, sampleRate)
{
    reserveLines();
    applyDefaults();
}

void CrazyComb::reserveLines()
{
    for (DelayLine& line : lines_) {
        line.setCapacity(delaySamples(0.003f * sampleRate()) + 1);
    }
}

void CrazyComb::applyParam(int index, float value)
{
    switch (index) {
    case 0:
        lines_[0].resize(delaySamples((0.0025f * value + 0.0005f) * sampleRate()));
        lines_[1].resize(delaySamples((0.0026f * value + 0.0004f) * sampleRate()));
        break;
    case 1: depth_ = value * value * value * value * 0.49f; break;
    case 2: lfo_.setCoefficient(rateCoefficient(2, value, 1.5f * (0.05f + value))); break;
    case 3: feedback_ = (2.0f * value - 1.0f) * 0.98f; break;
    default: break;
    }
}

void CrazyComb::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    DelayLine& left = lines_[0];
    DelayLine& right = lines_[1];
    const float lengthL = static_cast<float>(left.length());
    const float lengthR = static_cast<float>(right.length());
    const float m = depth_;
    const float fb = feedback_;
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i] - guard;
        const float xR = inR[i] + guard;
        lfo_.step();
        const float wetL = left.readFractional((1.0f - (lfo_.b() + 1.0f) * m) * lengthL);
        const float wetR = right.readFractional((1.0f - (lfo_.a() + 1.0f) * m) * lengthR);
        left.write(wetR * fb + xL);
        right.write(wetL * fb + xR);
        outL[i] = mixed(xL, wetL);
        outR[i] = mixed(xR, wetR);
    }
    lfo_.renormalise();
}

void CrazyComb::reset()
{
    lines_[0].clear();
    lines_[1].clear();
}

void CrazyComb::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, lines_[0]);
    visitLine(visitor, lines_[1]);
    visitValues(visitor, {lfo_.a(), lfo_.b()});
}

}  // namespace pelko
