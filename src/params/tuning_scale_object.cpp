#include "params/tuning_scale_object.h"

#include <algorithm>
#include <array>

namespace pelko {

void TuningScaleObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const TuningScaleObject*>(&other)) {
        scale_ = source->scale_;
    }
}

void TuningScaleObject::write(ByteWriter& out) const
{
    std::array<char, TuningScale::kNameLength> name{};
    const std::string_view text = scale_.name();
    std::copy_n(text.data(), std::min(text.size(), name.size()), name.begin());
    out.putBytes(name.data(), name.size());
    out.putFloat(scale_.baseFrequency());
    for (float c : scale_.allCents()) {
        out.putFloat(c);
    }
}

bool TuningScaleObject::read(ByteReader& in, int)
{
    if (in.remaining() < kStoredSize) {
        in.skip(in.remaining() + 1);
        return false;
    }
    std::array<char, TuningScale::kNameLength> name{};
    in.bytes(name.data(), name.size());
    TuningScale scale;
    scale.setName(std::string_view(name.data(), name.size()));
    scale.setBaseFrequency(in.float32());
    for (int k = 0; k < kKeys; ++k) {
        scale.setCents(k, in.float32());
    }
    if (in.failed()) {
        return false;
    }
    scale_ = scale;
    return true;
}

}  // namespace pelko
