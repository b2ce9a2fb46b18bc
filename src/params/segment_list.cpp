#include "params/segment_list.h"

#include <algorithm>
#include <cmath>

namespace pelko {
namespace {

float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }
float levelOf(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }
float durationOf(float value) { return std::max(finiteOr(value, 0.0f), 0.0f); }

}  // namespace

SegmentList::SegmentList(int capacity, int segmentCount, float initialLevel)
    : segments_(static_cast<std::size_t>(std::max(capacity, 1))),
      capacity_(std::max(capacity, 1)),
      count_(std::clamp(segmentCount, 0, std::max(capacity, 1)))
{
    const float duration = count_ > 0 ? 1.0f / static_cast<float>(count_) : 1.0f;
    for (EnvelopeSegment& s : segments_) {
        s.duration = duration;
        s.startLevel = initialLevel;
        s.endLevel = initialLevel;
        setSegmentCurve(s, 0.5f);
    }
    // Start times over the whole capacity, so that segments taken into use by an insert are sane.
    float t = 0.0f;
    for (EnvelopeSegment& s : segments_) {
        s.startTime = t;
        t += s.duration;
    }
}

void SegmentList::makeRoom(int segments)
{
    segments = std::min(segments, capacity_);
    if (segments > room()) {
        segments_.resize(static_cast<std::size_t>(segments));
        roomChanged(segments);
    }
}

void SegmentList::compact()
{
    const int kept = std::max(count_, 1);
    if (kept < room()) {
        std::vector<EnvelopeSegment>(segments_.begin(), segments_.begin() + kept).swap(segments_);
        roomChanged(kept);
    }
}

void SegmentList::refreshCurve(int i)
{
    if (i >= 0 && i < room()) {
        EnvelopeSegment& s = segments_[static_cast<std::size_t>(i)];
        setSegmentCurve(s, s.curve);
    }
}

int SegmentList::insertPoint(float time, float level)
{
    if (count_ >= capacity() || !std::isfinite(time)) {
        return -1;
    }
    int i = 0;
    while (i < count_) {
        const EnvelopeSegment& s = segments_[static_cast<std::size_t>(i)];
        if (s.startTime < time && time <= s.startTime + s.duration) {
            break;
        }
        ++i;
    }
    if (i == count_) {
        return -1;
    }
    makeRoom(count_ + 1);
    level = levelOf(level);
    auto at = segments_.begin() + i;
    // Shift the later segments up by one (the last slot of the capacity falls off).
    std::copy_backward(at + 1, segments_.begin() + count_, segments_.begin() + count_ + 1);
    EnvelopeSegment& first = segments_[static_cast<std::size_t>(i)];
    EnvelopeSegment second = first;
    const float oldEnd = first.startTime + first.duration;
    first.duration = time - first.startTime;
    first.endLevel = level;
    second.startTime = time;
    second.duration = std::max(oldEnd - time, 0.0f);
    second.startLevel = level;
    segments_[static_cast<std::size_t>(i + 1)] = second;
    ++count_;
    refreshCurve(i);
    refreshCurve(i + 1);
    recomputeStartTimes(i);
    segmentInserted(i + 1);
    changed();
    return i + 1;
}

bool SegmentList::deletePoint(int i)
{
    if (i < 0 || i + 1 >= count_) {
        return false;
    }
    EnvelopeSegment& merged = segments_[static_cast<std::size_t>(i)];
    const EnvelopeSegment& removed = segments_[static_cast<std::size_t>(i + 1)];
    merged.duration += removed.duration;
    merged.endLevel = removed.endLevel;
    std::copy(segments_.begin() + i + 2, segments_.begin() + count_, segments_.begin() + i + 1);
    --count_;
    refreshCurve(i);
    recomputeStartTimes(i);
    segmentRemoved(i + 1);
    changed();
    return true;
}

void SegmentList::setDuration(int i, float duration)
{
    if (!inUse(i)) {
        return;
    }
    segments_[static_cast<std::size_t>(i)].duration = durationOf(duration);
    recomputeStartTimes(i);
    changed();
}

void SegmentList::changeDuration(int i, float delta)
{
    if (!inUse(i) || !std::isfinite(delta)) {
        return;
    }
    setDuration(i, segments_[static_cast<std::size_t>(i)].duration + delta);
}

void SegmentList::setStartLevel(int i, float level) { setBreakpointLevel(i, level); }

void SegmentList::setEndLevel(int i, float level) { setBreakpointLevel(i + 1, level); }

void SegmentList::setBreakpointLevel(int breakpoint, float level)
{
    if (breakpoint < 0 || breakpoint > count_ || count_ == 0) {
        return;
    }
    level = levelOf(level);
    if (breakpoint < count_) {
        segments_[static_cast<std::size_t>(breakpoint)].startLevel = level;
        refreshCurve(breakpoint);
    }
    if (breakpoint > 0) {
        segments_[static_cast<std::size_t>(breakpoint - 1)].endLevel = level;
        refreshCurve(breakpoint - 1);
    }
    changed();
}

void SegmentList::setCurve(int i, float u)
{
    if (!inUse(i)) {
        return;
    }
    setSegmentCurve(segments_[static_cast<std::size_t>(i)], u);
    changed();
}

void SegmentList::recomputeStartTimes(int fromIndex)
{
    fromIndex = std::clamp(fromIndex, 0, count_);
    float t = 0.0f;
    if (fromIndex > 0) {
        const EnvelopeSegment& previous = segments_[static_cast<std::size_t>(fromIndex - 1)];
        t = previous.startTime + previous.duration;
    }
    for (int i = fromIndex; i < count_; ++i) {
        EnvelopeSegment& s = segments_[static_cast<std::size_t>(i)];
        s.startTime = t;
        t += s.duration;
    }
}

void SegmentList::stretch(float factor)
{
    if (!std::isfinite(factor) || factor <= 0.0f) {
        return;
    }
    for (int i = 0; i < count_; ++i) {
        EnvelopeSegment& s = segments_[static_cast<std::size_t>(i)];
        s.duration = durationOf(s.duration * factor);
    }
    recomputeStartTimes(0);
    changed();
}

float SegmentList::totalDuration() const
{
    float total = 0.0f;
    for (int i = 0; i < count_; ++i) {
        total += segments_[static_cast<std::size_t>(i)].duration;
    }
    return total;
}

void SegmentList::applyPreset(int kind)
{
    auto levelOfBreakpoint = [kind, this](int b) {
        switch (kind) {
        case 0: {
            static constexpr float kAmplitude[] = {0.0f, 1.0f, 0.5f, 0.35f, 0.15f};
            if (b == count_) {
                return 0.0f;
            }
            return kAmplitude[std::min(b, 4)];
        }
        case 1: return 0.5f;
        case 2: return 0.0f;
        default: return 1.0f;
        }
    };
    for (int i = 0; i < count_; ++i) {
        EnvelopeSegment& s = segments_[static_cast<std::size_t>(i)];
        s.startLevel = levelOfBreakpoint(i);
        s.endLevel = levelOfBreakpoint(i + 1);
        setSegmentCurve(s, s.curve);
    }
    changed();
}

void SegmentList::sampleSegment(int i, int n, float* out) const
{
    if (inUse(i)) {
        pelko::sampleSegment(segments_[static_cast<std::size_t>(i)], n, out);
    }
}

bool SegmentList::assign(int count, const EnvelopeSegment* segments)
{
    if (count < 0 || count > capacity()) {
        return false;
    }
    makeRoom(count);
    for (int i = 0; i < count; ++i) {
        EnvelopeSegment s = segments[i];
        s.duration = durationOf(s.duration);
        s.startLevel = levelOf(s.startLevel);
        s.endLevel = levelOf(s.endLevel);
        setSegmentCurve(s, s.curve);
        segments_[static_cast<std::size_t>(i)] = s;
    }
    count_ = count;
    recomputeStartTimes(0);
    changed();
    return true;
}

void SegmentList::copySegmentsFrom(const SegmentList& other)
{
    if (&other == this) {
        return;
    }
    makeRoom(other.count_);
    const int n = std::min(room(), other.room());
    std::copy(other.segments_.begin(), other.segments_.begin() + n, segments_.begin());
    count_ = std::min(other.count_, capacity());
    flags_ = other.flags_;
    changed();
}

}  // namespace pelko
