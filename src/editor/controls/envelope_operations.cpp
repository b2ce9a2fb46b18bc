#include "editor/controls/envelope_operations.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelko::envelope_edit {

double breakpointTime(const SegmentList& list, int b)
{
    const int n = list.segmentCount();
    if (n == 0 || b <= 0) {
        return 0.0;
    }
    if (b < n) {
        return list.segment(b).startTime;
    }
    const EnvelopeSegment& last = list.segment(n - 1);
    return static_cast<double>(last.startTime) + last.duration;
}

float levelAt(const SegmentList& list, double t)
{
    const int n = list.segmentCount();
    if (n == 0) {
        return 0.0f;
    }
    if (!(t > 0.0)) {
        return list.segment(0).startLevel;
    }
    const int i = segmentAt(list, t);
    if (i < 0) {
        return list.segment(n - 1).endLevel;
    }
    const EnvelopeSegment& s = list.segment(i);
    const double fraction = s.duration > 0.0f ? (t - s.startTime) / s.duration : 1.0;
    return segmentLevelAt(s, static_cast<float>(fraction));
}

int segmentAt(const SegmentList& list, double t)
{
    for (int i = 0; i < list.segmentCount(); ++i) {
        const EnvelopeSegment& s = list.segment(i);
        if (t >= s.startTime && t < static_cast<double>(s.startTime) + s.duration) {
            return i;
        }
    }
    return -1;
}

bool removeSegment(EnvelopeShape& shape, int i)
{
    const int n = shape.segmentCount();
    if (n <= 1 || i < 0 || i >= n) {
        return false;
    }
    std::vector<EnvelopeSegment> kept;
    std::vector<float> sensitivity;
    for (int k = 0; k < n; ++k) {
        if (k != i) {
            kept.push_back(shape.segment(k));
            sensitivity.push_back(shape.velocityTimeSensitivity(k));
        }
    }
    // The segment that followed now starts where the removed one started.
    if (i < n - 1) {
        kept[static_cast<std::size_t>(i)].startLevel = shape.segment(i).startLevel;
    }
    int loopStart = shape.loopStart();
    int loopLength = shape.loopLength();
    if (i < loopStart) {
        --loopStart;
    } else if (i < loopStart + loopLength && loopLength > 0) {
        --loopLength;
    }
    shape.assign(n - 1, kept.data());
    for (int k = 0; k < n - 1; ++k) {
        shape.setVelocityTimeSensitivity(k, sensitivity[static_cast<std::size_t>(k)]);
    }
    shape.setLoop(loopStart, loopLength);
    return true;
}

bool addPoint(EnvelopeShape& shape, double t)
{
    if (!std::isfinite(t) || t <= 0.0) {
        return false;
    }
    if (shape.segmentCount() == 0) {
        EnvelopeSegment first;
        first.duration = static_cast<float>(t);
        first.startLevel = shape.segment(0).startLevel;
        first.endLevel = first.startLevel;
        first.curve = 0.5f;
        shape.setLoop(0, 0);
        return shape.assign(1, &first);
    }
    return shape.insertPoint(static_cast<float>(t), levelAt(shape, t)) >= 0;
}

LoopSpan loopSpan(const EnvelopeShape& shape)
{
    const int n = shape.segmentCount();
    LoopSpan span;
    span.start = std::clamp(shape.loopStart(), 0, n);
    span.end = std::clamp(shape.loopStart() + shape.loopLength(), span.start, n);
    return span;
}

bool moveLoopEnd(EnvelopeShape& shape, int b)
{
    const LoopSpan span = loopSpan(shape);
    if (b - span.start < 0 || b >= shape.segmentCount()) {
        return false;
    }
    shape.setLoop(span.start, b - span.start);
    return true;
}

bool moveLoopStart(EnvelopeShape& shape, int b)
{
    const LoopSpan span = loopSpan(shape);
    if (b < 0 || b > span.end || b >= shape.segmentCount()) {
        return false;
    }
    shape.setLoop(b, span.end - b);
    return true;
}

}  // namespace pelko::envelope_edit
