#include "dsp/effects/stereo_reverb.h"

namespace pelko {

constexpr EffectKind kStereoReverbKind{40, "Stereo Reverb",
    {{{"Time", 0.614f, false, false}, {"Length", 1.0f, false, false}, {"Damp", 0.0f, false, false},
      {"Diffusion", 0.95f, false, false}, {}, {}}}};
constexpr EffectKind kStereoOktaverbKind{45, "Stereo Oktaverb", kStereoReverbKind.parameters};

namespace {

constexpr float kLineFeedback = -0.445f;
constexpr float kDampingFactor[2][3] = {{0.93f, 0.49f, 0.77f}, {0.43f, 0.79f, 0.97f}};
constexpr float kDiffusion[2][3] = {{-0.7465277f, -0.729166f, -1.0f}, {-1.0f, -0.7265277f, -0.749166f}};

// Line lengths from A = 0.061·T (left) and B = 0.053·T (right), T the "Time" in samples.
void lineLengths(int channel, float t, int lengths[3])
{
    if (channel == 0) {
        const float a = 0.061f * t;
        lengths[0] = delaySamples(a) + 1;
        lengths[1] = delaySamples(a + 1001.0f) + 1;
        lengths[2] = delaySamples(a + 1273.0f) + 1;
    } else {
        const float b = 0.053f * t;
        lengths[0] = delaySamples(b + 937.0f) + 1;
        lengths[1] = delaySamples(b) + 1;
        lengths[2] = delaySamples(b + 353.0f) + 1;
    }
}

}  // namespace

StereoReverb::StereoReverb(const EffectKind& kind, float sampleRate)
    : Effect(kind, sampleRate), octave_(kind.typeId == kStereoOktaverbKind.typeId)
{
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 3; ++i) {
            networks_[ch].dampingFactor[i] = kDampingFactor[ch][i];
        }
    }
    networks_[0].readBeforeWrite = octave_ ? 1 : -1;
    reserveLines();
    applyDefaults();
}

void StereoReverb::reserveLines()
{
    for (int ch = 0; ch < 2; ++ch) {
        int lengths[3];
        lineLengths(ch, 3.0f * sampleRate(), lengths);
        for (int i = 0; i < 3; ++i) {
            networks_[ch].lines[i].setCapacity(lengths[i] + 2);  // + rounding of T at v = 1
        }
    }
}

void StereoReverb::applyParam(int index, float value)
{
    switch (index) {
    case 0:
        for (int ch = 0; ch < 2; ++ch) {
            int lengths[3];
            lineLengths(ch, (2.8f * value + 0.2f) * sampleRate(), lengths);
            for (int i = 0; i < 3; ++i) {
                networks_[ch].lines[i].resize(lengths[i]);
            }
        }
        break;
    case 1: coupling_ = 0.3f * value; break;
    case 2: {
        const float hz = ((1.0f - value) * 0.4999f + 0.001f) * 5512.5f;
        for (Network& n : networks_) {
            for (int i = 0; i < 3; ++i) {
                n.damping[i].setCutoff(hz * n.dampingFactor[i], invSampleRate());
            }
        }
        break;
    }
    case 3:
        for (int ch = 0; ch < 2; ++ch) {
            for (int i = 0; i < 3; ++i) {
                networks_[ch].allpassCoefficient[i] = kDiffusion[ch][i] * value;
            }
        }
        break;
    default: break;
    }
}

float StereoReverb::run(Network& n, float u)
{
    const float d0 = n.damping[0].state();
    const float d1 = n.damping[1].state();
    const float d2 = n.damping[2].state();
    const float feedback[3] = {d0 - d1 - d2, d1 - d0 - d2, d2 - (d0 + d1)};
    float sum = 0.0f;
    for (int i = 0; i < 3; ++i) {
        const float m = feedback[i];
        const float z = (m - n.allpassState[i]) * n.allpassCoefficient[i] + n.allpassInput[i] + 1e-24f;
        n.allpassState[i] = z;
        n.allpassInput[i] = m;
        DelayLine& line = n.lines[i];
        float t;
        if (!octave_) {
            line.write(z * kLineFeedback + u);
            t = line.read();
        } else if (i == n.readBeforeWrite) {
            const float first = line.read();
            line.write(z * kLineFeedback + u);
            t = (first + line.read()) * 0.5f;
        } else {
            line.write(z * kLineFeedback + u);
            const float first = line.read();
            t = (first + line.read()) * 0.5f;
        }
        sum += n.damping[i].process(t);
    }
    n.output = sum;
    return sum;
}

void StereoReverb::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    Network& left = networks_[0];
    Network& right = networks_[1];
    const float kx = coupling_;
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i] - guard;
        const float xR = inR[i] + guard;
        const float yL = left.output;
        const float yR = right.output;
        const float wetL = run(left, xL + (0.3f * yR - yL) * kx);
        const float wetR = run(right, xR + (0.3f * yL - yR) * kx);
        outL[i] = mixed(xL, wetL);
        outR[i] = mixed(xR, wetR);
    }
    flipDenormalGuard();
}

void StereoReverb::reset()
{
    for (Network& n : networks_) {
        for (int i = 0; i < 3; ++i) {
            n.lines[i].clear();
            n.damping[i].reset();
        }
        n.allpassState.fill(0.0f);
        n.allpassInput.fill(0.0f);
        n.output = 0.0f;
    }
}

void StereoReverb::visitState(EffectStateVisitor& visitor) const
{
    for (const Network& n : networks_) {
        for (int i = 0; i < 3; ++i) {
            visitLine(visitor, n.lines[i]);
            visitValues(visitor, {n.damping[i].state()});
        }
        visitor.visit(n.allpassState);
        visitor.visit(n.allpassInput);
        visitValues(visitor, {n.output});
    }
}

}  // namespace pelko
