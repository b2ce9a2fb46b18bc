// The assignments of the six user sliders: for each slider s up to 16 entries k, each a parameter
// index (-1 ends the list), a low and a high value. Entry (k, s) is at position 6·k + s.
// Stored as 96 int32 indices, then 96 float lows, then 96 float highs.
#pragma once

#include "params/patch_object.h"

#include <array>

namespace pelko {

class UserControlsAssignment final : public PatchObject {
public:
    static constexpr int kSliders = 6;
    static constexpr int kAssignmentsPerSlider = 16;
    static constexpr int kEntries = kSliders * kAssignmentsPerSlider;

    UserControlsAssignment();

    struct Entry {
        int parameter;
        float low;
        float high;
    };
    Entry entry(int slider, int k) const;
    // Appends an assignment; false when the slider already has 16.
    bool add(int slider, int parameter, float low, float high);
    // Changes the range of an existing assignment; false outside the slider's list.
    bool setRange(int slider, int k, float low, float high);
    void clear(int slider);
    int count(int slider) const;

    std::size_t storedSize(int version) const override;
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<UserControlsAssignment>(*this); }

private:
    std::array<std::int32_t, kEntries> parameters_;
    std::array<float, kEntries> lows_;
    std::array<float, kEntries> highs_;
};

}  // namespace pelko
