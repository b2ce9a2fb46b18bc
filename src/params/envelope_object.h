// A program's envelope: the stored form of an EnvelopeShape. After the breakpoint list (see
// segment_stream.h) come loop start, loop length and time mode (int32 each), the reference tempo
// (float, from format version 14; older data gets 120), one velocity-time sensitivity per segment
// in use (values outside 0–1 read as 0) and the depth (float, from version 17; older data gets 1).
#pragma once

#include "params/envelope_shape.h"
#include "params/patch_object.h"

namespace pelko {

class EnvelopeObject final : public PatchObject {
public:
    EnvelopeObject(int segmentCount, int preset) : shape_(segmentCount, preset) {}

    EnvelopeShape& shape() { return shape_; }
    const EnvelopeShape& shape() const { return shape_; }

    std::size_t storedSize(int version) const override;
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    // All or nothing: on failure the envelope keeps its previous contents.
    bool read(ByteReader& in, int version) override;
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<EnvelopeObject>(*this); }
    void compact() override { shape_.compact(); }

private:
    EnvelopeShape shape_;
};

}  // namespace pelko
