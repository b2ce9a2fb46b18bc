// The editable breakpoint list shared by envelopes and curves: up to `capacity` segments in time
// order, of which `segmentCount` are in use. Breakpoint b starts segment b and ends segment b − 1,
// so every level edit sets both neighbours. Start times are kept equal to the sum of the previous
// durations, and each segment's curve exponent and norm follow its curve value and levels.
//
// The capacity is fixed at construction, and a new list holds room for all of it, so that no
// operation allocates and the engine may read a list while the editor changes it (under the
// processing lock). compact() lets a list that will not change again (a program shared between
// banks) keep room for its segments in use only; such a list, or a copy of it, takes room again as
// it grows (that allocates: never on the audio thread). Segments beyond those in use hold nothing
// that is read, except that segment 0 always exists.
#pragma once

#include "params/segment_curve.h"

#include <cstdint>
#include <vector>

namespace pelko {

class SegmentList {
public:
    // `capacity` segments, each of duration 1/segmentCount with both levels at initialLevel and a
    // straight curve; `segmentCount` of them in use.
    SegmentList(int capacity, int segmentCount, float initialLevel);
    SegmentList(const SegmentList&) = default;
    SegmentList& operator=(const SegmentList&) = default;
    virtual ~SegmentList() = default;

    int capacity() const { return capacity_; }
    int segmentCount() const { return count_; }
    const EnvelopeSegment& segment(int i) const { return segments_[static_cast<std::size_t>(i)]; }
    // The stored word after the capacity: 0 in new lists, kept as read.
    std::int32_t flags() const { return flags_; }
    void setFlags(std::int32_t flags) { flags_ = flags; }

    // Splits the segment containing `time` (startTime < time ≤ startTime + duration) at that time,
    // the new breakpoint getting `level`. Returns the new breakpoint's index, or −1 when the list is
    // full or no segment contains the time.
    int insertPoint(float time, float level);
    // Merges segment i with segment i + 1 (removes breakpoint i + 1). False when there is no
    // segment i + 1.
    bool deletePoint(int i);
    void setDuration(int i, float duration);       // negative or non-finite durations become 0
    void changeDuration(int i, float delta);       // clamped at 0
    void setStartLevel(int i, float level);        // also the end level of segment i − 1
    void setEndLevel(int i, float level);          // also the start level of segment i + 1
    void setBreakpointLevel(int breakpoint, float level);  // 0 … segmentCount
    void setCurve(int i, float u);
    void recomputeStartTimes(int fromIndex);
    // Multiplies every duration in use by factor (> 0).
    void stretch(float factor);
    float totalDuration() const;

    // Preset shapes: 0 amplitude-like (0, 1, 0.5, 0.35, 0.15 … last 0), 1 every level 0.5,
    // 2 every level 0, 3 every level 1. Only levels change.
    void applyPreset(int kind);

    // Points of segment i for drawing (see sampleSegment in segment_curve.h).
    void sampleSegment(int i, int n, float* out) const;

    // Replaces the segments in use (loaders). Levels are clamped to 0–1, durations made finite and
    // non-negative, curves re-derived and start times recomputed. False (and nothing changed) when
    // count is negative or above the capacity.
    bool assign(int count, const EnvelopeSegment* segments);
    // Copies segments, count and flags from a list of the same capacity (or as much as fits).
    void copySegmentsFrom(const SegmentList& other);
    // Keeps room for the segments in use only (at least one).
    void compact();

protected:
    // Called after every change, so that derived data (rendered tables) follows the edit.
    virtual void changed() {}
    // A segment was inserted at index `at` (the second half of the split segment at − 1).
    virtual void segmentInserted(int) {}
    // Segment `at` was merged into segment at − 1.
    virtual void segmentRemoved(int) {}
    // The room for segments became `segments` (grown or compacted).
    virtual void roomChanged(int) {}
    // Room for the segments held (in use or not): at least segmentCount() and 1.
    int room() const { return static_cast<int>(segments_.size()); }

    bool inUse(int i) const { return i >= 0 && i < count_; }
    void refreshCurve(int i);
    // Makes room for `segments` (at most the capacity); allocates only when the room grows.
    void makeRoom(int segments);

private:

    std::vector<EnvelopeSegment> segments_;
    int capacity_ = 1;
    int count_ = 0;
    std::int32_t flags_ = 0;
};

}  // namespace pelko
