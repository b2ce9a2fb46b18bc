#include "dsp/effects/quad_phaser.h"

#include <cmath>

namespace pelko {

constexpr EffectKind kQuadPhaserKind{30, "Quad Phaser",
    {{{"Speed", 0.5f, true, false}, {"Depth", 0.25f, false, false}, {"Feedback", 0.5f, false, false}, {}, {},
      {}}}};

QuadPhaser::QuadPhaser(float sampleRate) : Effect(kQuadPhaserKind, sampleRate) { applyDefaults(); }

void QuadPhaser::applyParam(int index, float value)
{
    switch (index) {
    case 0: lfo_.setCoefficient(rateCoefficient(0, value, 0.99f * value + 0.01f)); break;
    case 1: depth_ = value; break;
    case 2: feedback_ = 0.8f * value; break;
    default: break;
    }
}

void QuadPhaser::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    Chain& left = chains_[0];
    Chain& right = chains_[1];
    const float amount = depth_ * mix();
    const float fb = feedback_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        lfo_.step();
        const float cL = -0.5f - std::fabs(lfo_.a()) * 0.4f;
        const float cR = -0.5f - std::fabs(lfo_.b()) * 0.4f;
        const float yL = left.run(xL + fb * left.out[kStages - 1], cL);
        const float yR = right.run(xR + fb * right.out[kStages - 1], cR);
        outL[i] = xL + amount * yL;
        outR[i] = xR + amount * yR;
    }
    lfo_.renormalise();
}

void QuadPhaser::reset()
{
    for (Chain& c : chains_) {
        c.in.fill(0.0f);
        c.out.fill(0.0f);
    }
}

void QuadPhaser::visitState(EffectStateVisitor& visitor) const
{
    for (const Chain& c : chains_) {
        visitor.visit(c.in);
        visitor.visit(c.out);
    }
    visitValues(visitor, {lfo_.a(), lfo_.b()});
}

}  // namespace pelko
