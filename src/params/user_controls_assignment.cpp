#include "params/user_controls_assignment.h"

#include <cmath>

namespace pelko {

UserControlsAssignment::UserControlsAssignment()
{
    parameters_.fill(-1);
    lows_.fill(0.0f);
    highs_.fill(1.0f);
}

UserControlsAssignment::Entry UserControlsAssignment::entry(int slider, int k) const
{
    if (slider < 0 || slider >= kSliders || k < 0 || k >= kAssignmentsPerSlider) {
        return {-1, 0.0f, 0.0f};
    }
    std::size_t at = static_cast<std::size_t>(kSliders * k + slider);
    return {parameters_[at], lows_[at], highs_[at]};
}

int UserControlsAssignment::count(int slider) const
{
    int k = 0;
    while (k < kAssignmentsPerSlider && entry(slider, k).parameter != -1) {
        ++k;
    }
    return k;
}

bool UserControlsAssignment::setRange(int slider, int k, float low, float high)
{
    if (slider < 0 || slider >= kSliders || k < 0 || k >= count(slider)) {
        return false;
    }
    std::size_t at = static_cast<std::size_t>(kSliders * k + slider);
    lows_[at] = low;
    highs_[at] = high;
    return true;
}

bool UserControlsAssignment::add(int slider, int parameter, float low, float high)
{
    if (slider < 0 || slider >= kSliders) {
        return false;
    }
    int k = count(slider);
    if (k >= kAssignmentsPerSlider) {
        return false;
    }
    std::size_t at = static_cast<std::size_t>(kSliders * k + slider);
    parameters_[at] = parameter;
    lows_[at] = low;
    highs_[at] = high;
    return true;
}

void UserControlsAssignment::clear(int slider)
{
    for (int k = 0; k < kAssignmentsPerSlider; ++k) {
        std::size_t at = static_cast<std::size_t>(kSliders * k + slider);
        parameters_[at] = -1;
        lows_[at] = 0.0f;
        highs_[at] = 1.0f;
    }
}

std::size_t UserControlsAssignment::storedSize(int) const { return 3 * 4 * kEntries; }

void UserControlsAssignment::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const UserControlsAssignment*>(&other)) {
        *this = *source;
    }
}

void UserControlsAssignment::write(ByteWriter& out) const
{
    for (std::int32_t p : parameters_) out.putInt32(p);
    for (float v : lows_) out.putFloat(v);
    for (float v : highs_) out.putFloat(v);
}

bool UserControlsAssignment::read(ByteReader& in, int)
{
    if (in.remaining() < storedSize(kFormatVersion)) {
        in.skip(in.remaining() + 1);  // mark the stream as short
        return false;
    }
    for (auto& p : parameters_) {
        p = in.int32();
        // Anything that is not a parameter index ends a slider's list.
        if (p < -1 || p >= 208) {
            p = -1;
        }
    }
    for (auto& v : lows_) {
        v = in.float32();
        if (!std::isfinite(v)) v = 0.0f;
    }
    for (auto& v : highs_) {
        v = in.float32();
        if (!std::isfinite(v)) v = 0.0f;
    }
    return true;
}

}  // namespace pelko
