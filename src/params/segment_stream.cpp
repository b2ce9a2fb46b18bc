#include "params/segment_stream.h"

namespace pelko {

void writeSegmentList(ByteWriter& out, const SegmentList& list)
{
    out.putInt32(list.segmentCount());
    out.putInt32(list.capacity());
    out.putInt32(list.flags());
    for (int i = 0; i < list.segmentCount(); ++i) {
        const EnvelopeSegment& s = list.segment(i);
        out.putFloat(s.startTime);
        out.putFloat(s.duration);
        out.putFloat(s.startLevel);
        out.putFloat(s.endLevel);
        out.putFloat(s.curveExponent);
        out.putFloat(s.curveNorm);
        out.putFloat(s.curve);
    }
}

bool readSegmentList(ByteReader& in, int capacity, StoredSegments& stored)
{
    const std::int32_t count = in.int32();
    const std::int32_t storedCapacity = in.int32();
    stored.flags = in.int32();
    if (in.failed() || storedCapacity != capacity || count < 0 || count > capacity ||
        count > static_cast<std::int32_t>(stored.segments.size())) {
        return false;
    }
    // Checked before reading so that a count larger than the stream is refused at once.
    if (in.remaining() < static_cast<std::size_t>(count) * kSegmentRecordSize) {
        in.skip(in.remaining() + 1);
        return false;
    }
    stored.count = count;
    for (std::int32_t i = 0; i < count; ++i) {
        EnvelopeSegment& s = stored.segments[static_cast<std::size_t>(i)];
        s.startTime = in.float32();
        s.duration = in.float32();
        s.startLevel = in.float32();
        s.endLevel = in.float32();
        s.curveExponent = in.float32();
        s.curveNorm = in.float32();
        s.curve = in.float32();
    }
    return !in.failed();
}

void applySegments(SegmentList& list, const StoredSegments& stored)
{
    list.setFlags(stored.flags);
    list.assign(stored.count, stored.segments.data());
}

}  // namespace pelko
