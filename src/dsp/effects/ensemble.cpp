#include "dsp/effects/ensemble.h"

namespace pelko {

constexpr EffectKind kStereoEnsembleKind{20, "Stereo Ensemble",
    {{{"Speed 1", 0.5f, true, false}, {"Speed 2", 0.25f, true, false}, {"Amount 1", 0.5f, false, false},
      {"Amount 2", 0.5f, false, false}, {"Feedback", 0.5f, false, true}, {}}}};
constexpr EffectKind kCrossEnsembleKind{21, "Cross-Ensemble", kStereoEnsembleKind.parameters};
constexpr EffectKind kRichEnsembleKind{22, "Rich Ensemble",
    {{{"Speed 1", 0.5f, true, false}, {"Speed 2", 0.25f, true, false}, {"Amount", 1.0f, false, false},
      {"Feedback", 0.5f, false, true}, {}, {}}}};

namespace {
constexpr float kCentreDelay = 0.012f;  // seconds
}

EnsembleBase::EnsembleBase(const EffectKind& kind, float sampleRate) : Effect(kind, sampleRate) { prepareLines(); }

void EnsembleBase::prepareLines()
{
    const int length = delaySamples(sampleRate() * 0.033f);
    for (DelayLine& line : lines_) {
        line.setCapacity(length);
        line.resize(length);
    }
}

void EnsembleBase::renormaliseLfos()
{
    lfo1_.renormalise();
    lfo2_.renormalise();
}

void EnsembleBase::reset()
{
    lines_[0].clear();
    lines_[1].clear();
}

void EnsembleBase::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, lines_[0]);
    visitLine(visitor, lines_[1]);
    visitValues(visitor, {lfo1_.a(), lfo1_.b(), lfo2_.a(), lfo2_.b()});
}

Ensemble::Ensemble(const EffectKind& kind, float sampleRate)
    : EnsembleBase(kind, sampleRate), cross_(kind.typeId == kCrossEnsembleKind.typeId)
{
    applyDefaults();
}

void Ensemble::applyParam(int index, float value)
{
    switch (index) {
    case 0: lfo1_.setCoefficient(rateCoefficient(0, value, 9.99f * value + 0.01f)); break;
    case 1: lfo2_.setCoefficient(rateCoefficient(1, value, 18.0f * value + 2.0f)); break;
    case 2: delayDepth_ = 0.0025f * value; break;
    case 3: levelDepth_ = 0.5f * value; break;
    case 4: feedback_ = (2.0f * value - 1.0f) * 0.98f; break;
    default: break;
    }
}

void Ensemble::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    DelayLine& left = lines_[0];
    DelayLine& right = lines_[1];
    const float sr = sampleRate();
    const float depth = delayDepth_;
    const float level = levelDepth_;
    const float fb = feedback_;
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        lfo1_.step();
        lfo2_.step();
        const float tapL = left.readFractional((lfo1_.b() * depth + kCentreDelay) * sr) *
                           ((lfo2_.b() - 1.0f) * level + 1.0f);
        const float tapR = right.readFractional((lfo1_.a() * depth + kCentreDelay) * sr) *
                           ((lfo2_.a() - 1.0f) * level + 1.0f);
        left.write((cross_ ? tapR : tapL) * fb + guard + xL);
        right.write((cross_ ? tapL : tapR) * fb + guard + xR);
        outL[i] = mixed(xL, tapL);
        outR[i] = mixed(xR, tapR);
    }
    renormaliseLfos();
}

RichEnsemble::RichEnsemble(float sampleRate) : EnsembleBase(kRichEnsembleKind, sampleRate) { applyDefaults(); }

void RichEnsemble::applyParam(int index, float value)
{
    switch (index) {
    case 0: lfo1_.setCoefficient(rateCoefficient(0, value, 9.99f * value + 0.01f)); break;
    case 1: lfo2_.setCoefficient(rateCoefficient(1, value, 9.99f * value + 0.01f)); break;
    case 2: amount_ = 0.00075f * value; break;
    case 3: feedback_ = (2.0f * value - 1.0f) * 0.98f; break;
    default: break;
    }
}

void RichEnsemble::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    constexpr float kSin120 = 0.8660254f;
    DelayLine& left = lines_[0];
    DelayLine& right = lines_[1];
    const float sr = sampleRate();
    const float a = amount_;
    const float fb = feedback_;
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        lfo1_.step();
        lfo2_.step();
        const float s = lfo1_.b() + lfo2_.b();
        const float q = lfo1_.a() + lfo2_.a();
        const float dA = (s * a + kCentreDelay) * sr;
        const float dB = (0.5f * q * a + kSin120 * s * a + kCentreDelay) * sr;
        const float dC = (kSin120 * s * a - 0.5f * q * a + kCentreDelay) * sr;
        const float wetL =
            (left.readFractional(dA) + left.readFractional(dB) + left.readFractional(dC)) * 0.3333f;
        const float wetR =
            (right.readFractional(dA) + right.readFractional(dB) + right.readFractional(dC)) * 0.3333f;
        left.write(wetL * fb + guard + xL);
        right.write(wetR * fb + xR - guard);
        outL[i] = mixed(xL, wetL);
        outR[i] = mixed(xR, wetR);
    }
    renormaliseLfos();
}

}  // namespace pelko
