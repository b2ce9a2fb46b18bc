#include "params/curve_objects.h"

#include "params/segment_stream.h"

namespace pelko {

std::size_t CurveObject::storedSize(int) const
{
    return 12 + static_cast<std::size_t>(curve_.segmentCount()) * kSegmentRecordSize;
}

void CurveObject::copyFrom(const PatchObject& other)
{
    // Curves of one kind share their capacity: the whole curve, rendered table included, is
    // copied instead of rendered again (a program copy holds dozens of curves).
    if (const auto* source = dynamic_cast<const CurveObject*>(&other)) {
        curve_ = source->curve_;
    }
}

void CurveObject::write(ByteWriter& out) const { writeSegmentList(out, curve_); }

bool CurveObject::read(ByteReader& in, int)
{
    StoredSegments stored;
    if (!readSegmentList(in, curve_.capacity(), stored)) {
        return false;
    }
    applySegments(curve_, stored);
    return true;
}

std::size_t WaveshaperObject::storedSize(int) const
{
    return 12 + static_cast<std::size_t>(curve_.segmentCount()) * kSegmentRecordSize + 4;
}

void WaveshaperObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const WaveshaperObject*>(&other)) {
        curve_ = source->curve_;  // the switch and the rendered table with it
    }
}

void WaveshaperObject::write(ByteWriter& out) const
{
    writeSegmentList(out, curve_);
    out.putInt32(curve_.on() ? 1 : 0);
}

bool WaveshaperObject::read(ByteReader& in, int)
{
    StoredSegments stored;
    if (!readSegmentList(in, curve_.capacity(), stored)) {
        return false;
    }
    const std::int32_t on = in.int32();
    if (in.failed()) {
        return false;
    }
    applySegments(curve_, stored);
    curve_.setOn(on != 0);
    return true;
}

}  // namespace pelko
