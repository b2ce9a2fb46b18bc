// A table-driven envelope runner kept as the reference for EnvelopeRunner: it converts the whole
// shape into per-segment tables when the note starts, the straightforward way. The runner under
// test works each segment out when it begins and must produce the same values, bit for bit.
#pragma once

#include "engine/envelope_runner.h"
#include "params/envelope_shape.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace test_reference {
namespace detail {

constexpr float kMaxTicks = 1 << 30;
inline float flushDenormal(float v) { return std::fabs(v) < FLT_MIN ? 0.0f : v; }
inline float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace detail

using detail::finiteOr;
using detail::flushDenormal;
using detail::kMaxTicks;

class TableEnvelopeRunner {
public:
    // Converts a scaled level into the quantity the envelope drives.
    using Convert = pelko::EnvelopeRunner::Convert;

    static constexpr int kMinSegment = 50;  // ticks: shorter segments are stretched to this
    static constexpr int kFadeTicks = 4000;
    static constexpr int kRestartTicks = 100;

    // Prepares the runner for a note. timeScale: ticks per second (sample rate, or sample rate/64
    // for control-rate envelopes, times 120/tempo when synced); timeFactor: the velocity/key time
    // factor. Returns whether the envelope changes at all (a constant one need not be stepped).
    bool start(float levelScale, float timeScale, float timeFactor, const pelko::EnvelopeShape& shape,
               int minSegment = kMinSegment, Convert convert = pelko::EnvelopeRunner::identity, float convertArgument = 0.0f);

    // One tick.
    void step()
    {
        --samplesLeft_;
        value_ = (rate_ * x_ * exponent_ + 1.0f) * value_;
        x_ = (1.0f - rate_ * x_) * x_;
        if (samplesLeft_ == 0) {
            load(next_);
        }
        output_ = offset_ + value_;
    }

    // Note-off: a looping envelope continues with the segments after its loop, from where it is.
    // Without segments after the loop it fades out; without a loop nothing changes.
    void release();
    // Falls from the current value to 0 in 4000 ticks, remembering the interrupted segment.
    void fastFade();
    // After a fast fade: rises from 0 to the interrupted segment's level in 100 ticks and goes on
    // after it. Without an interrupted segment the envelope ends.
    void softRestart();
    // Legato transfer: continues with segment `index` from fromLevel, reaching its level after
    // remainingFraction of its time. index = segment count stops the envelope where it is.
    void jumpTo(int index, float fromLevel, float remainingFraction);

    float output() const { return output_; }
    // Whether the envelope still runs (false once it has ended).
    bool running() const { return segmentLength_ != 0; }
    int currentSegment() const { return current_; }
    int segmentCount() const { return count_; }
    float currentValue() const { return value_ + offset_; }
    // Part of the current segment still to go (samplesLeft / time), for a legato transfer.
    float remainingFraction() const;

private:
    static constexpr int kSlots = pelko::EnvelopeShape::kCapacity + 2;
    // The spare loop slot. It lies past every possible segment count, so "past the end" (the
    // segment count) and the loop slot never coincide, even for a full shape.
    static constexpr int kLoopSlot = pelko::EnvelopeShape::kCapacity + 1;

    void load(int j);
    void goIdle();

    float x_ = 0.0f;
    float value_ = 0.0f;
    float rate_ = 0.0f;
    float exponent_ = 0.0f;
    float offset_ = 0.0f;
    float startDelta_ = 0.0f;
    float output_ = 0.0f;
    std::int32_t samplesLeft_ = 1000;
    std::int32_t segmentLength_ = 0;
    int current_ = 0;
    int next_ = 0;
    int saved_ = -1;
    int count_ = 0;
    int releaseIndex_ = kLoopSlot;
    bool fading_ = false;

    std::array<float, kSlots> time_{};
    std::array<float, kSlots> level_{};
    std::array<float, kSlots> exponentOf_{};
    std::array<float, kSlots> norm_{};
    std::array<float, kSlots> delta_{};
    std::array<float, kSlots> base_{};
    std::array<float, kSlots> invTime_{};
    std::array<int, kSlots> nextIndex_{};
};


inline bool TableEnvelopeRunner::start(float levelScale, float timeScale, float timeFactor, const pelko::EnvelopeShape& shape,
                           int minSegment, Convert convert, float convertArgument)
{
    if (convert == nullptr) {
        convert = pelko::EnvelopeRunner::identity;
    }
    levelScale = finiteOr(levelScale, 0.0f);
    timeScale = std::max(finiteOr(timeScale, 0.0f), 0.0f);
    timeFactor = std::max(finiteOr(timeFactor, 1.0f), 0.0f);
    const float minimum = static_cast<float>(std::max(minSegment, 1));
    const int n = std::min(shape.segmentCount(), pelko::EnvelopeShape::kCapacity);
    count_ = n;
    saved_ = -1;
    fading_ = false;

    // Times: the velocity/key factor applies to the sensitive part of each duration; segments
    // shorter than the minimum are stretched and the extra time is taken from the next one.
    float carry = 0.0f;
    for (int i = 0; i < n; ++i) {
        const pelko::EnvelopeSegment& s = shape.segment(i);
        const float a = shape.velocityTimeSensitivity(i);
        float t = (a + (1.0f - a) * timeFactor) * s.duration * timeScale;
        t = std::clamp(finiteOr(t, 0.0f), 0.0f, kMaxTicks) - carry;
        carry = 0.0f;
        if (t < minimum) {
            carry = minimum - t;
            t = minimum;
        }
        time_[static_cast<std::size_t>(i)] = std::floor(t);
    }

    float previous = finiteOr(convert(shape.segment(0).startLevel * levelScale, convertArgument), 0.0f);
    bool nonConstant = false;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const pelko::EnvelopeSegment& s = shape.segment(i);
        nonConstant = nonConstant || s.endLevel != shape.segment(0).startLevel;
        level_[at] = finiteOr(convert(s.endLevel * levelScale, convertArgument), 0.0f);
        exponentOf_[at] = s.curveExponent;
        norm_[at] = s.curveNorm;
        delta_[at] = flushDenormal((level_[at] - previous) * s.curveNorm);
        base_[at] = previous - delta_[at];
        invTime_[at] = 1.0f / time_[at];
        nextIndex_[at] = i + 1;
        previous = level_[at];
    }

    const int loopStart = shape.loopStart();
    const int loopEnd = loopStart + shape.loopLength() - 1;
    if (shape.loopLength() > 0 && loopStart >= 0 && loopEnd < n) {
        const auto l0 = static_cast<std::size_t>(loopStart);
        const auto l1 = static_cast<std::size_t>(loopEnd);
        constexpr auto slot = static_cast<std::size_t>(kLoopSlot);
        nextIndex_[l1] = kLoopSlot;
        nextIndex_[slot] = nextIndex_[l0];
        time_[slot] = time_[l0];
        exponentOf_[slot] = exponentOf_[l0];
        norm_[slot] = norm_[l0];
        invTime_[slot] = invTime_[l0];
        level_[slot] = level_[l0];
        delta_[slot] = flushDenormal((level_[l0] - level_[l1]) * norm_[l0]);
        base_[slot] = level_[l1] - delta_[slot];
        releaseIndex_ = loopEnd + 1;
    } else {
        releaseIndex_ = kLoopSlot;
    }

    if (n == 0) {
        goIdle();
        offset_ = 0.0f;
        value_ = previous;
        output_ = previous;
        return false;
    }
    load(0);
    output_ = level_[0];
    return nonConstant;
}

inline void TableEnvelopeRunner::goIdle()
{
    segmentLength_ = 0;
    rate_ = 0.0f;
    x_ = 0.0f;
    exponent_ = 0.0f;
    samplesLeft_ = 1000;
    next_ = count_;
    current_ = count_;
}

inline void TableEnvelopeRunner::load(int j)
{
    const bool valid = (j >= 0 && j < count_) || (j == kLoopSlot && releaseIndex_ != kLoopSlot);
    if (!valid) {
        goIdle();
        return;
    }
    const auto at = static_cast<std::size_t>(j);
    current_ = j;
    startDelta_ = delta_[at];
    offset_ = base_[at];
    samplesLeft_ = segmentLength_ = static_cast<std::int32_t>(time_[at]);
    x_ = 1.0f;
    value_ = startDelta_;
    rate_ = invTime_[at];
    exponent_ = exponentOf_[at];
    next_ = nextIndex_[at];
}

inline void TableEnvelopeRunner::release()
{
    if (fading_ || count_ == 0 || releaseIndex_ == kLoopSlot) {
        return;  // no loop: the envelope plays to its end
    }
    if (releaseIndex_ == count_) {
        fastFade();  // nothing after the loop
        return;
    }
    if (current_ >= releaseIndex_ && current_ != kLoopSlot) {
        return;  // already in the release part, or ended
    }
    const float v = value_ + offset_;
    load(releaseIndex_);
    const auto at = static_cast<std::size_t>(current_);
    startDelta_ = flushDenormal((level_[at] - v) * norm_[at]);
    value_ = startDelta_;
    offset_ = v - startDelta_;
}

inline void TableEnvelopeRunner::fastFade()
{
    const float v = value_ + offset_;
    const bool inSegment = (current_ >= 0 && current_ < count_) || current_ == kLoopSlot;
    saved_ = inSegment ? current_ : -1;
    next_ = count_;
    samplesLeft_ = segmentLength_ = kFadeTicks;
    rate_ = 1.0f / static_cast<float>(kFadeTicks);
    exponent_ = -4.0f;
    x_ = 1.0f;  // the curve (1 + n/T)^−4 starts at the segment's beginning
    startDelta_ = value_ = v * 16.0f / 15.0f;
    offset_ = v - startDelta_;
    fading_ = true;
}

inline void TableEnvelopeRunner::softRestart()
{
    fading_ = false;
    if (saved_ == -1) {
        goIdle();
        return;
    }
    // Rises from where the fade got to (0 once it has finished) to the level of the interrupted
    // segment along (1 + n/T)^2, whose norm is 1/3.
    const float from = value_ + offset_;
    const auto at = static_cast<std::size_t>(saved_);
    current_ = saved_;
    next_ = nextIndex_[at];
    samplesLeft_ = segmentLength_ = kRestartTicks;
    rate_ = 1.0f / static_cast<float>(kRestartTicks);
    exponent_ = 2.0f;
    x_ = 1.0f;
    startDelta_ = value_ = (level_[at] - from) / 3.0f;
    offset_ = from - startDelta_;
    saved_ = -1;
}

inline void TableEnvelopeRunner::jumpTo(int index, float fromLevel, float remainingFraction)
{
    fading_ = false;
    const bool valid = (index >= 0 && index < count_) || (index == kLoopSlot && releaseIndex_ != kLoopSlot);
    if (!valid) {
        // Stops where it is: no further change of the output.
        const float hold = output_;
        goIdle();
        value_ = hold;
        offset_ = 0.0f;
        return;
    }
    fromLevel = finiteOr(fromLevel, 0.0f);
    remainingFraction = std::clamp(finiteOr(remainingFraction, 1.0f), 0.0f, 1.0f);
    const auto at = static_cast<std::size_t>(index);
    current_ = index;
    exponent_ = 2.0f;
    startDelta_ = (level_[at] - fromLevel) / 3.0f;
    offset_ = fromLevel - startDelta_;
    samplesLeft_ = segmentLength_ = std::max<std::int32_t>(static_cast<std::int32_t>(time_[at] * remainingFraction), 1);
    x_ = 1.0f;
    value_ = startDelta_;
    output_ = fromLevel;
    rate_ = 1.0f / static_cast<float>(samplesLeft_);
    next_ = nextIndex_[at];
}

inline float TableEnvelopeRunner::remainingFraction() const
{
    const bool inSegment = (current_ >= 0 && current_ < count_) || current_ == kLoopSlot;
    if (!inSegment || segmentLength_ == 0) {
        return 0.0f;
    }
    return static_cast<float>(samplesLeft_) / time_[static_cast<std::size_t>(current_)];
}

}  // namespace test_reference
