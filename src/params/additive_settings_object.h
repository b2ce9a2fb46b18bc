// The additive settings of one oscillator: 64 harmonic levels and 64 harmonic phases (in cycles),
// each 0–1. Stored as the 64 levels then the 64 phases (float each); values outside 0–1 are
// clamped, non-finite ones read as 0. The oscillator builds its "User-Defined" wave from these.
#pragma once

#include "params/patch_object.h"

#include <array>

namespace pelko {

class AdditiveSettingsObject final : public PatchObject {
public:
    static constexpr int kHarmonics = 64;

    // Harmonic 1 at full level, every other harmonic silent: a sine.
    AdditiveSettingsObject();

    float level(int harmonic) const { return levels_[static_cast<std::size_t>(harmonic)]; }  // 0-based
    float phase(int harmonic) const { return phases_[static_cast<std::size_t>(harmonic)]; }
    void setLevel(int harmonic, float value);
    void setPhase(int harmonic, float value);
    bool silent() const;

    // One cycle of the wave in n points: Σ level[h]·sin(2π·phase[h] + 2π·(h + 1)·i/n), scaled so
    // that the peak is 1 (all zero when every level is 0).
    void renderWaveform(int n, float* out) const;

    std::size_t storedSize(int) const override { return 8 * kHarmonics; }
    void copyFrom(const PatchObject& other) override;
    void write(ByteWriter& out) const override;
    bool read(ByteReader& in, int version) override;  // all or nothing
    std::unique_ptr<PatchObject> clone() const override { return std::make_unique<AdditiveSettingsObject>(*this); }

private:
    std::array<float, kHarmonics> levels_{};
    std::array<float, kHarmonics> phases_{};
};

}  // namespace pelko
