#include "engine/envelope_runner.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace pelko {
namespace {

// Longest segment: about 6.7 hours at 44.1 kHz, far beyond any envelope, and exact in a float.
constexpr float kMaxTicks = 1 << 30;

float flushDenormal(float v) { return std::fabs(v) < FLT_MIN ? 0.0f : v; }
float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

float EnvelopeRunner::identity(float level, float) { return level; }
float EnvelopeRunner::pitchRatio(float level, float depth) { return std::pow(depth, 2.0f * level - 1.0f); }
float EnvelopeRunner::phaseOffset(float level, float length) { return level * length; }

bool EnvelopeRunner::start(float levelScale, float timeScale, float timeFactor, const EnvelopeShape& shape,
                           int minSegment, Convert convert, float convertArgument)
{
    shape_ = &shape;
    convert_ = convert != nullptr ? convert : identity;
    convertArgument_ = convertArgument;
    levelScale_ = finiteOr(levelScale, 0.0f);
    timeScale_ = std::max(finiteOr(timeScale, 0.0f), 0.0f);
    timeFactor_ = std::max(finiteOr(timeFactor, 1.0f), 0.0f);
    minimum_ = static_cast<float>(std::max(minSegment, 1));
    const int n = std::min(shape.segmentCount(), EnvelopeShape::kCapacity);
    count_ = n;
    saved_ = -1;
    fading_ = false;
    chainIndex_ = 0;
    chainCarry_ = 0.0f;
    loopCarry_ = 0.0f;

    bool nonConstant = false;
    for (int i = 0; i < n; ++i) {
        nonConstant = nonConstant || shape.segment(i).endLevel != shape.segment(0).startLevel;
    }

    const int loopStart = shape.loopStart();
    const int loopEnd = loopStart + shape.loopLength() - 1;
    if (shape.loopLength() > 0 && loopStart >= 0 && loopEnd < n) {
        loopStart_ = loopStart;
        loopEnd_ = loopEnd;
        releaseIndex_ = loopEnd + 1;
    } else {
        releaseIndex_ = kLoopSlot;
    }

    if (n == 0) {
        const float level = levelOf(-1);
        goIdle();
        offset_ = 0.0f;
        value_ = level;
        output_ = level;
        return false;
    }
    load(0);
    output_ = target_;
    return nonConstant;
}

bool EnvelopeRunner::playable(int j) const
{
    if (shape_ == nullptr) {
        return false;
    }
    const int inShape = std::min(count_, shape_->segmentCount());
    if (j == kLoopSlot) {
        return hasLoop() && loopEnd_ < inShape;
    }
    return j >= 0 && j < inShape;
}

float EnvelopeRunner::levelOf(int j) const
{
    const float level = j < 0 ? shape_->segment(0).startLevel : shape_->segment(j).endLevel;
    return finiteOr(convert_(level * levelScale_, convertArgument_), 0.0f);
}

float EnvelopeRunner::rawTicks(int j) const
{
    // The velocity/key factor applies to the sensitive part of each duration.
    const float a = shape_->velocityTimeSensitivity(j);
    const float t = (a + (1.0f - a) * timeFactor_) * shape_->segment(j).duration * timeScale_;
    return std::clamp(finiteOr(t, 0.0f), 0.0f, kMaxTicks);
}

std::int32_t EnvelopeRunner::ticksOf(int j)
{
    // Segments shorter than the minimum are stretched and the extra time is taken from the next.
    if (j < chainIndex_) {
        const bool inLoop = hasLoop() && j >= loopStart_;
        chainIndex_ = inLoop ? loopStart_ : 0;
        chainCarry_ = inLoop ? loopCarry_ : 0.0f;
    }
    float t = minimum_;
    for (; chainIndex_ <= j; ++chainIndex_) {
        if (chainIndex_ == loopStart_) {
            loopCarry_ = chainCarry_;
        }
        t = rawTicks(chainIndex_) - chainCarry_;
        chainCarry_ = 0.0f;
        if (t < minimum_) {
            chainCarry_ = minimum_ - t;
            t = minimum_;
        }
    }
    return static_cast<std::int32_t>(std::floor(t));
}

EnvelopeRunner::Segment EnvelopeRunner::segmentAt(int j)
{
    // The loop slot plays the loop's first segment again, arriving from the loop's last level.
    const int k = j == kLoopSlot ? loopStart_ : j;
    const EnvelopeSegment& s = shape_->segment(k);
    Segment out;
    out.ticks = ticksOf(k);
    out.level = levelOf(k);
    out.exponent = s.curveExponent;
    out.norm = s.curveNorm;
    out.next = hasLoop() && k == loopEnd_ ? kLoopSlot : k + 1;
    return out;
}

void EnvelopeRunner::goIdle()
{
    segmentLength_ = 0;
    rate_ = 0.0f;
    x_ = 0.0f;
    exponent_ = 0.0f;
    samplesLeft_ = 1000;
    next_ = count_;
    current_ = count_;
}

void EnvelopeRunner::load(int j)
{
    if (!playable(j)) {
        goIdle();
        return;
    }
    const Segment s = segmentAt(j);
    const float from = levelOf(j == kLoopSlot ? loopEnd_ : j - 1);
    current_ = j;
    currentTicks_ = s.ticks;
    target_ = s.level;
    norm_ = s.norm;
    startDelta_ = flushDenormal((s.level - from) * s.norm);
    offset_ = from - startDelta_;
    samplesLeft_ = segmentLength_ = s.ticks;
    x_ = 1.0f;
    value_ = startDelta_;
    rate_ = 1.0f / static_cast<float>(s.ticks);
    exponent_ = s.exponent;
    next_ = s.next;
}

void EnvelopeRunner::release()
{
    if (fading_ || count_ == 0 || !hasLoop()) {
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
    if (!running()) {
        return;
    }
    startDelta_ = flushDenormal((target_ - v) * norm_);
    value_ = startDelta_;
    offset_ = v - startDelta_;
}

void EnvelopeRunner::fastFade()
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

void EnvelopeRunner::softRestart()
{
    fading_ = false;
    if (saved_ == -1 || !playable(saved_)) {
        saved_ = -1;
        goIdle();
        return;
    }
    // Rises from where the fade got to (0 once it has finished) to the level of the interrupted
    // segment along (1 + n/T)^2, whose norm is 1/3.
    const float from = value_ + offset_;
    const Segment s = segmentAt(saved_);
    current_ = saved_;
    currentTicks_ = s.ticks;
    target_ = s.level;
    norm_ = s.norm;
    next_ = s.next;
    samplesLeft_ = segmentLength_ = kRestartTicks;
    rate_ = 1.0f / static_cast<float>(kRestartTicks);
    exponent_ = 2.0f;
    x_ = 1.0f;
    startDelta_ = value_ = (s.level - from) / 3.0f;
    offset_ = from - startDelta_;
    saved_ = -1;
}

void EnvelopeRunner::jumpTo(int index, float fromLevel, float remainingFraction)
{
    fading_ = false;
    if (!playable(index)) {
        // Stops where it is: no further change of the output.
        const float hold = output_;
        goIdle();
        value_ = hold;
        offset_ = 0.0f;
        return;
    }
    fromLevel = finiteOr(fromLevel, 0.0f);
    remainingFraction = std::clamp(finiteOr(remainingFraction, 1.0f), 0.0f, 1.0f);
    const Segment s = segmentAt(index);
    current_ = index;
    currentTicks_ = s.ticks;
    target_ = s.level;
    norm_ = s.norm;
    exponent_ = 2.0f;
    startDelta_ = (s.level - fromLevel) / 3.0f;
    offset_ = fromLevel - startDelta_;
    samplesLeft_ = segmentLength_ =
        std::max<std::int32_t>(static_cast<std::int32_t>(static_cast<float>(s.ticks) * remainingFraction), 1);
    x_ = 1.0f;
    value_ = startDelta_;
    output_ = fromLevel;
    rate_ = 1.0f / static_cast<float>(samplesLeft_);
    next_ = s.next;
}

void EnvelopeRunner::forget()
{
    goIdle();
    shape_ = nullptr;
    saved_ = -1;
    fading_ = false;
}

float EnvelopeRunner::remainingFraction() const
{
    const bool inSegment = (current_ >= 0 && current_ < count_) || current_ == kLoopSlot;
    if (!inSegment || segmentLength_ == 0 || currentTicks_ <= 0) {
        return 0.0f;
    }
    return static_cast<float>(samplesLeft_) / static_cast<float>(currentTicks_);
}

}  // namespace pelko
