// A tuning scale as stored in programs and in the global block of chunks: the name in a 60-byte
// field (zero-padded; a 60-character name fills it without terminator), the base frequency
// (float; 0, negative or non-finite read as the default) and the 128 cents values (float;
// non-finite values read as the equal-tempered pitch). 576 bytes in every format version.
#pragma once

#include "params/tuning_scale.h"
#include "params/patch_object.h"

namespace pelko {

class TuningScaleObject final : public PatchObject {
public:
    static constexpr std::size_t kStoredSize = TuningScale::kNameLength + 4 + 4 * kKeys;

    TuningScale& scale() { return scale_; }
    const TuningScale& scale() const { return scale_; }

    std::size_t storedSize(int) const override { return kStoredSize; }
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<TuningScaleObject>(*this); }

private:
    TuningScale scale_;
};

}  // namespace pelko
