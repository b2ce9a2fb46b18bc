// "Stereo Delay" (type 1) and "Cross Delay" (type 2): one delay line per channel with damped
// feedback. Times run from 1 to 500 ms, or a step of the tempo-sync table. The cross delay
// feeds each line from the other line's damped tap (ping-pong); both take their output from
// their own line.
//
// A line of n samples delays by n − 1: the tap is read before the line is written.
#pragma once

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect.h"

namespace pelko {

extern const EffectKind kStereoDelayKind;
extern const EffectKind kCrossDelayKind;

class StereoDelay final : public Effect {
public:
    StereoDelay(const EffectKind& kind, float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

    int lineLength(int channel) const { return lines_[channel & 1].length(); }
    int lineCapacity(int channel) const { return lines_[channel & 1].capacity(); }

    void reserveSyncedTimes(const std::array<float, kEffectParameters>& values) override;
    bool linesShortened() const override { return shortened_[0] || shortened_[1]; }
    void growShortenedLines() override;

private:
    void applyParam(int index, float value) override;
    void sampleRateChanged() override;
    void reserveFreeTimes();

    const bool cross_;
    DelayLine lines_[2];
    // Per line, the longest sync step reserved for at the slowest tempo (−1: none).
    int reservedSteps_[2] = {-1, -1};
    bool shortened_[2] = {false, false};
    float damped_[2] = {0.0f, 0.0f};
    float feedback_ = 0.0f;
    float pole_ = 0.0f;
};

}  // namespace pelko
