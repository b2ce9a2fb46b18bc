#include "dsp/effects/rich_chorus.h"

namespace pelko {

constexpr EffectKind kRichChorusKind{10, "Rich Chorus",
    {{{"Speed", 0.5f, true, false}, {"Depth", 1.0f, false, false}, {"Feedback", 0.5f, false, true},
      {"Color", 0.25f, false, false}, {}, {}}}};

namespace {

// Rate multipliers of the four LFOs per channel: free rate m·(0.05 + v) Hz, synced rate
// 60·m'·beats/bpm Hz with m' = m/4.
constexpr float kRateFactor[2][4] = {{2.0f, 2.5f, 3.15f, 2.2f}, {2.1f, 2.65f, 3.05f, 1.95f}};
constexpr float kSyncedFactor[2][4] = {{0.5f, 0.625f, 0.7875f, 0.55f}, {0.525f, 0.6625f, 0.7625f, 0.4875f}};
// Sweep depths, as fractions of D = (0.95·v + 0.05)·sampleRate.
constexpr float kDepth[2][4] = {{0.0012f, 0.0009f, 0.00087f, 0.0011f}, {0.0013f, 0.00091f, 0.00086f, 0.001f}};

}  // namespace

RichChorus::RichChorus(float sampleRate) : Effect(kRichChorusKind, sampleRate)
{
    prepareLines();
    applyDefaults();
}

void RichChorus::prepareLines()
{
    baseDelay_ = 0.01f * sampleRate();
    const int modulated = delaySamples(0.0115f * sampleRate()) + 1;
    for (Channel& c : channels_) {
        c.colour.setCapacity(delaySamples(0.05f * sampleRate()) + 1);
        for (DelayLine& line : c.lines) {
            line.setCapacity(modulated);
            line.resize(modulated);
        }
    }
}

void RichChorus::applyParam(int index, float value)
{
    switch (index) {
    case 0:
        for (int ch = 0; ch < 2; ++ch) {
            for (int j = 0; j < 4; ++j) {
                const float hz = isSynced(0) ? 2.0f * kSyncedFactor[ch][j] * syncedRateHz(value)
                                             : kRateFactor[ch][j] * (0.05f + value);
                channels_[ch].lfos[j].setCoefficient(coefficientForHz(hz));
            }
        }
        break;
    case 1: {
        const float d = (0.95f * value + 0.05f) * sampleRate();
        for (int ch = 0; ch < 2; ++ch) {
            for (int j = 0; j < 4; ++j) {
                channels_[ch].depth[j] = kDepth[ch][j] * d;
            }
        }
        break;
    }
    case 2: feedback_ = (2.0f * value - 1.0f) * 0.8f; break;
    case 3: {
        const int length = delaySamples((0.049f * value + 0.001f) * sampleRate());
        channels_[0].colour.resize(length);
        channels_[1].colour.resize(length);
        break;
    }
    default: break;
    }
}

float RichChorus::run(Channel& c, float x, float otherWet)
{
    const float u = feedback_ * otherWet + x;
    c.colour.write(x);
    const float v = c.colour.read() + u;
    float offsets[4];
    for (int j = 0; j < 4; ++j) {
        c.lfos[j].step();
        offsets[j] = c.lfos[j].b() * c.depth[j] + baseDelay_;
    }
    c.lines[0].write(v - 0.1f * c.taps[1]);
    c.lines[1].write(v + 0.1f * c.taps[2]);
    c.taps[0] = c.lines[0].readFractional(offsets[0]);
    c.taps[1] = c.lines[1].readFractional(offsets[1]);
    c.taps[2] = c.lines[0].readFractional(offsets[2]);
    c.taps[3] = c.lines[1].readFractional(offsets[3]);
    return (c.taps[0] + c.taps[1] + c.taps[2] + c.taps[3]) * 0.25f;
}

void RichChorus::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    if (frames <= 0) {
        return;
    }
    Channel& left = channels_[0];
    Channel& right = channels_[1];
    const float guard = denormalGuard();
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        const float previousLeft = left.wet;
        left.wet = run(left, xL - guard, right.wet);
        right.wet = run(right, xR + guard, previousLeft);
        outL[i] = mixed(xL, left.wet);
        outR[i] = mixed(xR, right.wet);
    }
    for (Channel& c : channels_) {
        for (QuadratureLfo& lfo : c.lfos) {
            lfo.renormalise();
        }
    }
    // The guard keeps its sign here. The colour echo repeats the guarded input, so after a sign
    // flip the echoed guard and the new one would cancel for the echo's whole length, and the
    // recirculating remainder would sink into denormals.
}

void RichChorus::reset()
{
    for (Channel& c : channels_) {
        c.colour.clear();
        c.lines[0].clear();
        c.lines[1].clear();
        c.taps.fill(0.0f);
        c.wet = 0.0f;
    }
}

void RichChorus::visitState(EffectStateVisitor& visitor) const
{
    for (const Channel& c : channels_) {
        visitLine(visitor, c.colour);
        visitLine(visitor, c.lines[0]);
        visitLine(visitor, c.lines[1]);
        visitor.visit(c.taps);
        visitValues(visitor, {c.wet});
        for (const QuadratureLfo& lfo : c.lfos) {
            visitValues(visitor, {lfo.a(), lfo.b()});
        }
    }
}

}  // namespace pelko
