#include "dsp/effects/tap_reverb.h"

#include "dsp/effects/filter_sections.h"

namespace pelko {

constexpr EffectKind kTapReverbKind{41, "8 Taps Reverb",
    {{{"Pre-delay", 0.614f, false, false}, {"Feedback", 1.0f, false, false}, {"Diffusion", 0.0f, false, false},
      {"Room size", 0.5f, false, false}, {"Color", 0.95f, false, false}, {"Cutoff", 0.95f, false, false}}}};

namespace {

constexpr float kTapPosition[2][TapReverb::kTaps] = {
    {0.0607f, 0.3036f, 0.3785f, 0.421f, 0.685f, 0.8079f, 0.84039f, 0.999f},
    {0.0617f, 0.3026f, 0.3695f, 0.401f, 0.695f, 0.8168f, 0.83138f, 0.9718f}};
constexpr float kTapGain[2][TapReverb::kTaps] = {
    {0.841f, -0.504f, 0.379f, -0.246f, 0.272f, -0.192f, 0.217f, 0.181f},
    {0.831f, 0.514f, -0.369f, -0.256f, 0.242f, 0.212f, -0.207f, 0.191f}};
constexpr float kColourSubtract[2] = {0.87f, 0.89f};

}  // namespace

TapReverb::TapReverb(float sampleRate) : Effect(kTapReverbKind, sampleRate)
{
    prepareLines();
    applyDefaults();
}

void TapReverb::prepareLines()
{
    const int second = delaySamples(sampleRate());
    for (Channel& c : channels_) {
        c.main.setCapacity(second);
        c.main.resize(second);
        c.diffusion.setCapacity(delaySamples(0.2f * sampleRate()) + 1);
        c.colour.setCapacity(delaySamples(0.003f * sampleRate()) + 1);
    }
}

void TapReverb::applyParam(int index, float value)
{
    const float sr = sampleRate();
    switch (index) {
    case 0: {
        const float t = (0.8f * value + 0.2f) * static_cast<float>(delaySamples(sr));
        for (int ch = 0; ch < 2; ++ch) {
            for (int k = 0; k < kTaps; ++k) {
                channels_[ch].tapOffsets[k] = delaySamples(t * kTapPosition[ch][k]);
            }
        }
        break;
    }
    case 1: feedback_ = -0.4f * value; break;
    case 2:
        channels_[0].gain = -0.3f - 0.6f * value;
        channels_[1].gain = -0.31f - 0.58f * value;
        for (Channel& c : channels_) {
            c.inverseGain = 1.0f / c.gain;
        }
        break;
    case 3:
        channels_[0].diffusion.resize(delaySamples((0.19f * value + 0.01f) * sr));
        channels_[1].diffusion.resize(delaySamples((0.18f * value + 0.015f) * sr));
        break;
    case 4:
        channels_[0].colour.resize(delaySamples((0.0025f * value + 0.0005f) * sr));
        channels_[1].colour.resize(delaySamples((0.0026f * value + 0.0004f) * sr));
        break;
    case 5: pole_ = dampingPole(10500.0f * value + 500.0f, invSampleRate()); break;
    default: break;
    }
}

float TapReverb::diffuse(Channel& c, float u)
{
    const float t = c.diffusion.read();
    c.diffusion.write(t * c.gain + u);
    return t * (c.inverseGain - c.gain) - u * c.inverseGain;
}

float TapReverb::taps(Channel& c, const float* gains) const
{
    float sum = 0.0f;
    for (int k = 0; k < kTaps; ++k) {
        sum += gains[k] * c.main.tap(c.tapOffsets[k]);
    }
    c.damped = (c.damped - sum) * pole_ + sum + 1e-24f;
    return c.damped;
}

void TapReverb::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    Channel& left = channels_[0];
    Channel& right = channels_[1];
    const float fb = feedback_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        const float aL = diffuse(left, xL - 1e-24f);
        const float aR = diffuse(right, xR + 1e-24f);
        left.colour.write(aL);
        const float cL = left.colour.read();
        left.main.write(aL + fb * right.damped - kColourSubtract[0] * cL + 1e-24f);
        right.colour.write(aR);
        const float cR = right.colour.read();
        right.main.write(aR + fb * left.damped - kColourSubtract[1] * cR - 1e-24f);
        const float wetL = taps(left, kTapGain[0]);
        const float wetR = taps(right, kTapGain[1]);
        outL[i] = mixed(xL, wetL);
        outR[i] = mixed(xR, wetR);
    }
}

void TapReverb::reset()
{
    for (Channel& c : channels_) {
        c.diffusion.clear();
        c.colour.clear();
        c.main.clear();
        c.damped = 0.0f;
    }
}

void TapReverb::visitState(EffectStateVisitor& visitor) const
{
    for (const Channel& c : channels_) {
        visitLine(visitor, c.diffusion);
        visitLine(visitor, c.colour);
        visitLine(visitor, c.main);
        visitValues(visitor, {c.damped});
    }
}

}  // namespace pelko
