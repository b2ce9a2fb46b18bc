// The stored breakpoint list shared by envelopes and curves: segment count, capacity, flags word,
// then one 28-byte record per segment in use (start time, duration, start level, end level, curve
// exponent, curve norm, curve). The exponent, norm and start times are derived data: a reader
// recomputes them from the curve values, levels and durations.
#pragma once

#include "params/segment_list.h"
#include "params/byte_stream.h"

#include <array>

namespace pelko {

constexpr std::size_t kSegmentRecordSize = 28;

void writeSegmentList(ByteWriter& out, const SegmentList& list);

// A segment list as read, not yet applied to its object.
struct StoredSegments {
    std::int32_t count = 0;
    std::int32_t flags = 0;
    std::array<EnvelopeSegment, 128> segments{};
};

// Reads the list framing and records. False when the stream is short, when the stored capacity is
// not `capacity` or when the count is negative or above it.
bool readSegmentList(ByteReader& in, int capacity, StoredSegments& stored);

// Applies what was read.
void applySegments(SegmentList& list, const StoredSegments& stored);

}  // namespace pelko
