#include "dsp/effects/stereo_delay.h"

#include "dsp/effects/filter_sections.h"
#include "dsp/effects/tempo_sync.h"
#include "platform/threads.h"

#include <algorithm>

namespace pelko {

constexpr EffectKind kStereoDelayKind{1, "Stereo Delay",
    {{{"Left Time", 0.5f, true, false}, {"Right Time", 0.25f, true, false}, {"Feedback", 0.95f, false, true},
      {"Damp", 0.5f, false, false}, {}, {}}}};
constexpr EffectKind kCrossDelayKind{2, "Cross Delay", kStereoDelayKind.parameters};

StereoDelay::StereoDelay(const EffectKind& kind, float sampleRate)
    : Effect(kind, sampleRate), cross_(kind.typeId == kCrossDelayKind.typeId)
{
    reserveFreeTimes();
    applyDefaults();
}

void StereoDelay::reserveFreeTimes()
{
    // The longest free time, 500 ms, or the synced step reserved for, whichever is longer.
    for (int i = 0; i < 2; ++i) {
        int samples = delaySamples(0.5f * sampleRate()) + 1;
        if (reservedSteps_[i] >= 0) {
            samples = std::max(samples, slowestSyncedDelaySamples(syncStepValue(reservedSteps_[i])));
        }
        lines_[i].setCapacity(samples);
    }
}

void StereoDelay::reserveSyncedTimes(const std::array<float, kEffectParameters>& values)
{
    for (int i = 0; i < 2; ++i) {
        const int step = syncStepIndex(values[static_cast<std::size_t>(i)]);
        if (step > reservedSteps_[i]) {
            reservedSteps_[i] = step;
            lines_[i].reserve(slowestSyncedDelaySamples(syncStepValue(step)));
        }
    }
}

void StereoDelay::growShortenedLines()
{
    for (int i = 0; i < 2; ++i) {
        if (shortened_[i]) {
            applyParam(i, param(i));
        }
    }
}

void StereoDelay::sampleRateChanged() { reserveFreeTimes(); }

void StereoDelay::applyParam(int index, float value)
{
    switch (index) {
    case 0:
    case 1: {
        DelayLine& line = lines_[index];
        shortened_[index] = false;
        if (!isSynced(index)) {
            line.resize(delaySamples((0.499f * value + 0.001f) * sampleRate()));
        } else if (onAudioThread()) {
            // No memory is taken here: a step longer than the line has room for plays as long as
            // fits until the line is grown off the audio thread.
            const int wanted = std::max(syncedDelaySamples(value), 1);
            shortened_[index] = wanted > line.capacity();
            line.resize(std::min(wanted, line.capacity()));
        } else {
            line.reserve(slowestSyncedDelaySamples(value));
            line.resize(syncedDelaySamples(value));
        }
        break;
    }
    case 2: feedback_ = (2.0f * value - 1.0f) * 0.98f; break;
    case 3: pole_ = dampingPole((1.0f - value) * 21950.0f + 100.0f, invSampleRate()); break;
    default: break;
    }
}

void StereoDelay::process(const float* inL, const float* inR, float* outL, float* outR, int frames)
{
    DelayLine& left = lines_[0];
    DelayLine& right = lines_[1];
    float sL = damped_[0];
    float sR = damped_[1];
    const float fb = feedback_;
    const float pole = pole_;
    for (int i = 0; i < frames; ++i) {
        const float xL = inL[i];
        const float xR = inR[i];
        const float tL = left.read();
        const float tR = right.read();
        sL = (sL - tL) * pole + tL + 1e-24f;
        sR = (sR - tR) * pole + tR + 1e-24f;
        if (cross_) {
            left.write(sR * fb + xL);
            right.write(sL * fb + xR);
        } else {
            left.write(sL * fb + xL);
            right.write(sR * fb + xR);
        }
        outL[i] = mixed(xL, tL);
        outR[i] = mixed(xR, tR);
    }
    damped_[0] = sL;
    damped_[1] = sR;
}

void StereoDelay::reset()
{
    for (DelayLine& line : lines_) {
        line.clear();
    }
    damped_[0] = damped_[1] = 0.0f;
}

void StereoDelay::visitState(EffectStateVisitor& visitor) const
{
    visitLine(visitor, lines_[0]);
    visitLine(visitor, lines_[1]);
    visitValues(visitor, {damped_[0], damped_[1]});
}

}  // namespace pelko
