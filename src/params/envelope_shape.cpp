#include "params/envelope_shape.h"

#include <algorithm>
#include <cmath>

namespace pelko {

EnvelopeShape::EnvelopeShape(int segmentCount, int preset, int capacity)
    : SegmentList(capacity, segmentCount, 1.0f), sensitivity_(static_cast<std::size_t>(this->capacity()), kDefaultSensitivity)
{
    applyPreset(preset);
}

void EnvelopeShape::setLoop(int start, int length)
{
    loopStart_ = std::clamp(start, 0, capacity());
    loopLength_ = std::clamp(length, 0, capacity());
}

void EnvelopeShape::setReferenceTempo(float bpm)
{
    referenceTempo_ = std::isfinite(bpm) && bpm > 0.0f ? bpm : kDefaultReferenceTempo;
}

float EnvelopeShape::velocityTimeSensitivity(int i) const
{
    if (i < 0 || i >= capacity()) {
        return 0.0f;
    }
    // Beyond the room there are no segments, in use or not.
    return i < room() ? sensitivity_[static_cast<std::size_t>(i)] : kDefaultSensitivity;
}

void EnvelopeShape::roomChanged(int segments) { sensitivity_.resize(static_cast<std::size_t>(segments), kDefaultSensitivity); }

void EnvelopeShape::setVelocityTimeSensitivity(int i, float value)
{
    if (i >= 0 && i < capacity()) {
        makeRoom(i + 1);  // a segment beyond the room of a compacted shape
        sensitivity_[static_cast<std::size_t>(i)] = value >= 0.0f && value <= 1.0f ? value : 0.0f;
    }
}

void EnvelopeShape::setDepth(float depth) { depth_ = std::isfinite(depth) ? std::clamp(depth, 0.0f, 1.0f) : 1.0f; }

void EnvelopeShape::segmentInserted(int at)
{
    // The new segment is the second half of segment at − 1 and inherits its sensitivity.
    std::copy_backward(sensitivity_.begin() + at, sensitivity_.begin() + segmentCount() - 1,
                       sensitivity_.begin() + segmentCount());
    sensitivity_[static_cast<std::size_t>(at)] = sensitivity_[static_cast<std::size_t>(at - 1)];
    const int split = at - 1;
    if (split < loopStart_) {
        ++loopStart_;
    } else if (split < loopStart_ + loopLength_) {
        ++loopLength_;
    }
}

void EnvelopeShape::segmentRemoved(int at)
{
    std::copy(sensitivity_.begin() + at + 1, sensitivity_.begin() + segmentCount() + 1, sensitivity_.begin() + at);
    const int merged = at - 1;
    if (at < loopStart_) {
        --loopStart_;
    } else if (merged >= loopStart_ && merged < loopStart_ + loopLength_ && loopLength_ > 0) {
        --loopLength_;
    }
}

bool EnvelopeShape::duplicateLoop()
{
    const int n = segmentCount();
    if (loopLength_ <= 0 || loopStart_ + loopLength_ > n || n + loopLength_ > capacity()) {
        return false;
    }
    std::vector<EnvelopeSegment> all;
    all.reserve(static_cast<std::size_t>(n + loopLength_));
    const int end = loopStart_ + loopLength_;
    for (int i = 0; i < end; ++i) all.push_back(segment(i));
    for (int i = loopStart_; i < end; ++i) all.push_back(segment(i));
    for (int i = end; i < n; ++i) all.push_back(segment(i));
    // The copy starts where the loop ended; the segment after it starts from the copy's end, which
    // is the loop's own end level, so the chain stays continuous.
    std::vector<float> sens(sensitivity_.begin(), sensitivity_.end());
    for (int i = 0; i < loopLength_; ++i) {
        sens.insert(sens.begin() + end + i, sensitivity_[static_cast<std::size_t>(loopStart_ + i)]);
    }
    all[static_cast<std::size_t>(end)].startLevel = all[static_cast<std::size_t>(end - 1)].endLevel;
    assign(static_cast<int>(all.size()), all.data());
    std::copy_n(sens.begin(), std::min(sens.size(), sensitivity_.size()), sensitivity_.begin());
    return true;
}

void EnvelopeShape::copyFrom(const EnvelopeShape& other)
{
    if (&other == this) {
        return;
    }
    copySegmentsFrom(other);
    loopStart_ = other.loopStart_;
    loopLength_ = other.loopLength_;
    timeMode_ = other.timeMode_;
    referenceTempo_ = other.referenceTempo_;
    const std::size_t n = std::min(sensitivity_.size(), other.sensitivity_.size());
    std::copy_n(other.sensitivity_.begin(), n, sensitivity_.begin());
    depth_ = other.depth_;
}

}  // namespace pelko
