#include "params/additive_settings_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelko {
namespace {

float unit(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }

}  // namespace

AdditiveSettingsObject::AdditiveSettingsObject() { levels_[0] = 1.0f; }

void AdditiveSettingsObject::setLevel(int harmonic, float value)
{
    if (harmonic >= 0 && harmonic < kHarmonics) {
        levels_[static_cast<std::size_t>(harmonic)] = unit(value);
    }
}

void AdditiveSettingsObject::setPhase(int harmonic, float value)
{
    if (harmonic >= 0 && harmonic < kHarmonics) {
        phases_[static_cast<std::size_t>(harmonic)] = unit(value);
    }
}

bool AdditiveSettingsObject::silent() const
{
    return std::all_of(levels_.begin(), levels_.end(), [](float v) { return v == 0.0f; });
}

void AdditiveSettingsObject::renderWaveform(int n, float* out) const
{
    if (n <= 0) {
        return;
    }
    constexpr double twoPi = 2.0 * std::numbers::pi;
    double peak = 0.0;
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int h = 0; h < kHarmonics; ++h) {
            const float level = levels_[static_cast<std::size_t>(h)];
            if (level != 0.0f) {
                sum += level * std::sin(twoPi * phases_[static_cast<std::size_t>(h)] + twoPi * (h + 1) * i / n);
            }
        }
        out[i] = static_cast<float>(sum);
        peak = std::max(peak, std::fabs(sum));
    }
    const float scale = peak > 0.0 ? static_cast<float>(1.0 / peak) : 0.0f;
    for (int i = 0; i < n; ++i) {
        out[i] *= scale;
    }
}

void AdditiveSettingsObject::copyFrom(const PatchObject& other)
{
    if (const auto* source = dynamic_cast<const AdditiveSettingsObject*>(&other)) {
        levels_ = source->levels_;
        phases_ = source->phases_;
    }
}

void AdditiveSettingsObject::write(ByteWriter& out) const
{
    for (float v : levels_) out.putFloat(v);
    for (float v : phases_) out.putFloat(v);
}

bool AdditiveSettingsObject::read(ByteReader& in, int)
{
    std::array<float, kHarmonics> levels{};
    std::array<float, kHarmonics> phases{};
    for (float& v : levels) v = unit(in.float32());
    for (float& v : phases) v = unit(in.float32());
    if (in.failed()) {
        return false;
    }
    levels_ = levels;
    phases_ = phases;
    return true;
}

}  // namespace pelko
