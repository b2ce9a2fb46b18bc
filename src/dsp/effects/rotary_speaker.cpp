#include "dsp/effects/rotary_speaker.h"

namespace pelko {

constexpr EffectKind kRotarySpeakerKind{81, "Rotary Speaker",
    {{{"Speed", 0.5f, false, false}, {"Depth", 1.0f, false, false}, {"Cutoff", 0.5f, false, false},
      {"Separation", 0.7f, false, false}, {}, {}}}};

RotarySpeaker::RotarySpeaker(float sampleRate) : Effect(kRotarySpeakerKind, sampleRate)
{
    prepareLines();
    applyDefaults();
}

void RotarySpeaker::prepareLines()
{
    const int length = delaySamples(0.001f * sampleRate()) + 1;
    for (DelayLine& line : lines_) {
        line.setCapacity(length);
        line.resize(length);
    }
    half_ = 0.001f * sampleRate() * 0.5f - 1.0f;
}

void RotarySpeaker::applyParam(int index, float value)
{
    switch (index) {
    case 0:
        lfos_[0].setCoefficient(coefficientForHz(0.5f * (8.9f * value + 0.1f)));
        lfos_[1].setCoefficient(coefficientForHz(0.5f * (8.88f * value + 0.12f)));
        break;
    case 1:
        depth_[0] = value * half_;
        depth_[1] = value * half_ * 0.9f;
        break;
    case 2: crossover_.setCutoff(7550.0f * value + 50.0f, invSampleRate()); break;
    case 3: separation_ = value; break;
    default: break;
    }
}

void RotarySpeaker::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    const float sep = separation_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        const float m = xL + xR;
        const float lo = crossover_.process(m);
        lines_[0].write(lo);
        lines_[1].write(m - lo);
        float wetL = 0.0f;
        float wetR = 0.0f;
        for (int r = 0; r < 2; ++r) {
            lfos_[r].step();
            const float s = lfos_[r].b();
            const float a = lines_[r].readFractional((s + 1.0f) * depth_[r] + 1.0f) * (1.0f + s);
            const float b = lines_[r].readFractional((1.0f - s) * depth_[r] + 1.0f) * (1.0f - s);
            wetL += a + sep * b;
            wetR += sep * a + b;
        }
        outL[i] = mixed(xL, wetL);
        outR[i] = mixed(xR, wetR);
    }
    lfos_[0].renormalise();
    lfos_[1].renormalise();
}

void RotarySpeaker::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, lines_[0]);
    visitLine(visitor, lines_[1]);
    visitValues(visitor, {crossover_.state(), lfos_[0].a(), lfos_[0].b(), lfos_[1].a(), lfos_[1].b()});
}

}  // namespace pelko
