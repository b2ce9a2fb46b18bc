#include "dsp/effects/ring_modulator.h"

namespace pelko {

constexpr EffectKind kRingModulatorKind{95, "Ring Modulator",
    {{{"Speed 1", 0.5f, true, false}, {"Speed 2", 0.1f, true, false}, {"Depth", 0.4f, false, false},
      {"Cutoff", 0.8f, false, false}, {}, {}}}};

RingModulator::RingModulator(float sampleRate) : Effect(kRingModulatorKind, sampleRate)
{
    prepareLine();
    applyDefaults();
}

void RingModulator::prepareLine()
{
    const int length = delaySamples(0.01f * sampleRate()) + 1;
    carrierLine_.setCapacity(length);
    carrierLine_.resize(length);
    half_ = 0.01f * sampleRate() * 0.5f - 1.0f;
}

void RingModulator::applyParam(int index, float value)
{
    switch (index) {
    case 0: carrier_.setCoefficient(rateCoefficient(0, value, 0.5f * (9999.0f * value * value + 1.0f))); break;
    case 1: vibrato_.setCoefficient(rateCoefficient(1, value, 0.5f * (999.9f * value * value + 0.1f))); break;
    case 2: depth_ = value * half_; break;
    case 3:
        for (OnePoleLowpass& lp : lowpass_) {
            lp.setCutoff(19950.0f * value * value + 50.0f, invSampleRate());
        }
        break;
    default: break;
    }
}

void RingModulator::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    const float d = depth_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        carrier_.step();
        carrierLine_.write(carrier_.b());
        vibrato_.step();
        const float cL = carrierLine_.readFractional((vibrato_.b() + 1.0f) * d + 1.0f);
        const float cR = carrierLine_.readFractional((vibrato_.a() + 1.0f) * d + 1.0f);
        outL[i] = mixed(xL, lowpass_[0].process(cL * xL));
        outR[i] = mixed(xR, lowpass_[1].process(cR * xR));
    }
    carrier_.renormalise();
    vibrato_.renormalise();
}

void RingModulator::reset()
{
    carrierLine_.clear();
    lowpass_[0].reset();
    lowpass_[1].reset();
}

void RingModulator::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, carrierLine_);
    visitValues(visitor, {lowpass_[0].state(), lowpass_[1].state(), carrier_.a(), carrier_.b(), vibrato_.a(),
                          vibrato_.b()});
}

}  // namespace pelko
