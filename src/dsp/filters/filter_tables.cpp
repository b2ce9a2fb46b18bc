#include "dsp/filters/filter_tables.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

namespace pelko {

namespace {

constexpr float kMinSampleRate = 1000.0f;

// The analog tables reach about 11 kHz at their top entry. Below a sample rate of about 21.9 kHz
// that would pass Nyquist, where tan changes sign and the biquads would become unstable; the
// argument is held just below π/2 there instead (a cutoff of 0.4975 × the sample rate). From
// 22050 Hz up the limit is never reached.
constexpr double kMaxPrewarpAngle = 0.995 * std::numbers::pi / 2.0;

constexpr float kDefaultSampleRate = 44100.0f;

}  // namespace

FilterTables::FilterTables(float sampleRate)
{
    if (!rebuild(sampleRate)) {
        rebuild(kDefaultSampleRate);
    }
}

bool FilterTables::rebuild(float sampleRate)
{
    if (!std::isfinite(sampleRate) || sampleRate < kMinSampleRate) {
        return false;
    }
    sampleRate_ = sampleRate;
    const float w = static_cast<float>(44100.0 / sampleRate * std::numbers::pi);
    svfScale_ = w * 0.125f;
    for (int i = 0; i < kSteps; ++i) {
        // 0.24937655860349128 = 100/401.
        double angle = (0.01 * i + 0.0025) * static_cast<double>(w) * 0.24937655860349128;
        angle = std::min(angle, kMaxPrewarpAngle);
        const float t = static_cast<float>(std::tan(angle));
        tan_[static_cast<std::size_t>(i)] = t;
        invTan_[static_cast<std::size_t>(i)] = 1.0f / t;
    }
    tan_[kSteps] = tan_[kSteps - 1];
    invTan_[kSteps] = invTan_[kSteps - 1];
    return true;
}

float FilterTables::lookup(const std::array<float, kSteps + 1>& table, float fc)
{
    const float x = fc > 0.0f ? 100.0f * std::min(fc, 1.0f) : 0.0f;
    const int i = static_cast<int>(x);  // x >= 0, so truncation is floor
    if (i >= kSteps) {
        return table[kSteps];
    }
    const auto at = static_cast<std::size_t>(i);
    return table[at] + (x - static_cast<float>(i)) * (table[at + 1] - table[at]);
}

const FilterTables& defaultFilterTables()
{
    static const FilterTables tables(kDefaultSampleRate);
    return tables;
}

const FilterTables& filterTablesFor(float sampleRate)
{
    if (!std::isfinite(sampleRate) || sampleRate < kMinSampleRate || sampleRate == kDefaultSampleRate) {
        return defaultFilterTables();
    }
    static std::mutex mutex;
    // Map nodes never move, so a reference handed out stays valid while other rates are added.
    static std::map<float, FilterTables> byRate;
    std::lock_guard lock(mutex);
    return byRate.try_emplace(sampleRate, sampleRate).first->second;
}

}  // namespace pelko
