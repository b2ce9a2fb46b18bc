#include "params/envelope_object.h"

#include "params/segment_stream.h"

#include <cmath>

namespace pelko {

std::size_t EnvelopeObject::storedSize(int version) const
{
    const auto n = static_cast<std::size_t>(shape_.segmentCount());
    return 12 + n * kSegmentRecordSize + 12 + (version >= 14 ? 4 : 0) + 4 * n + (version >= 17 ? 4 : 0);
}

void EnvelopeObject::copyFrom(const PatchObject& other)
{
    if (const auto* envelope = dynamic_cast<const EnvelopeObject*>(&other)) {
        shape_.copyFrom(envelope->shape_);
    }
}

void EnvelopeObject::write(ByteWriter& out) const
{
    writeSegmentList(out, shape_);
    out.putInt32(shape_.loopStart());
    out.putInt32(shape_.loopLength());
    out.putInt32(shape_.timeMode());
    out.putFloat(shape_.referenceTempo());
    for (int i = 0; i < shape_.segmentCount(); ++i) {
        out.putFloat(shape_.velocityTimeSensitivity(i));
    }
    out.putFloat(shape_.depth());
}

bool EnvelopeObject::read(ByteReader& in, int version)
{
    StoredSegments stored;
    if (!readSegmentList(in, shape_.capacity(), stored)) {
        return false;
    }
    const std::int32_t loopStart = in.int32();
    const std::int32_t loopLength = in.int32();
    const std::int32_t timeMode = in.int32();
    const float tempo = version >= 14 ? in.float32() : EnvelopeShape::kDefaultReferenceTempo;
    std::array<float, EnvelopeShape::kCapacity> sensitivity{};
    for (std::int32_t i = 0; i < stored.count; ++i) {
        sensitivity[static_cast<std::size_t>(i)] = in.float32();
    }
    const float depth = version >= 17 ? in.float32() : 1.0f;
    if (in.failed()) {
        return false;
    }
    applySegments(shape_, stored);
    shape_.setLoop(loopStart, loopLength);
    shape_.setTimeMode(timeMode);
    shape_.setReferenceTempo(tempo);
    for (std::int32_t i = 0; i < stored.count; ++i) {
        shape_.setVelocityTimeSensitivity(i, sensitivity[static_cast<std::size_t>(i)]);
    }
    shape_.setDepth(depth);
    return true;
}

}  // namespace pelko
