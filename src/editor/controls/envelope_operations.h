// The edits the envelope editor makes that are more than one call on the shape, kept apart from
// the drawing and the mouse so they can be tested alone. Each keeps the shape valid for the
// engine: levels in 0–1, finite durations, the loop inside the segments or switched off.
#pragma once

#include "params/envelope_shape.h"

namespace pelko::envelope_edit {

// The time of breakpoint b (0 … segmentCount): the start of segment b, or the end of the last.
double breakpointTime(const SegmentList& list, int b);
// The level of the shape at time t (the first breakpoint's before 0, the last one's after the end).
float levelAt(const SegmentList& list, double t);
// The segment whose span holds t (start ≤ t < end), or -1.
int segmentAt(const SegmentList& list, double t);

// Removes segment i: breakpoints i and i + 1 become one, keeping the level of breakpoint i, and
// the later segments move earlier by its duration. The loop follows; its sensitivities shift with
// the segments. Refused (false) for the only segment or an index outside the segments.
bool removeSegment(EnvelopeShape& shape, int i);
// Inserts a breakpoint at time t on the curve (the shape does not change its course). An empty
// shape gets one flat segment ending at t. False when full or no segment holds t.
bool addPoint(EnvelopeShape& shape, double t);

// The loop as breakpoints, clamped into the segments: [start, end] with end = start + length.
struct LoopSpan {
    int start = 0;
    int end = 0;
};
LoopSpan loopSpan(const EnvelopeShape& shape);
// Sustain handles dropped on breakpoint b; each returns false and leaves the loop as it is when
// b is not allowed (the end before the start, the start after the end, or b not starting a segment).
bool moveLoopEnd(EnvelopeShape& shape, int b);
bool moveLoopStart(EnvelopeShape& shape, int b);

}  // namespace pelko::envelope_edit
