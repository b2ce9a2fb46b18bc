#include "dsp/filters/filter.h"

#include "dsp/filters/filter_types.h"

#include <bit>
#include <cstdint>

namespace pelko {

namespace {

bool isDenormal(float v)
{
    const auto bits = std::bit_cast<std::uint32_t>(v);
    return (bits & 0x7f800000u) == 0 && (bits & 0x007fffffu) != 0;
}

}  // namespace

const char* Filter::name() const { return filterTypeName(typeId_); }

void Filter::reset()
{
    for (float& s : state_) {
        s = 0.0f;
    }
}

void Filter::flushDenormals()
{
    bool finite = std::isfinite(prevInput_);
    for (float s : state_) {
        finite = finite && std::isfinite(s);
    }
    if (poisoned_ || !finite) {
        reset();
        prevInput_ = 0.0f;
        poisoned_ = false;
        return;
    }
    if (flushesDenormals_) {
        for (float& s : state_) {
            if (isDenormal(s)) {
                s = 0.0f;
            }
        }
    }
}

}  // namespace pelko
