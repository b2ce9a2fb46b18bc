#include "engine/additive_wave.h"

#include "params/additive_settings_object.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace pelko {

int additiveHarmonicLimit(int key)
{
    const double f = 440.0 * std::exp2((key - 69) / 12.0);
    return std::min(64, static_cast<int>(std::floor(22050.0 / f)));
}

int additiveSettingsOfWaveName(std::string_view name)
{
    if (name.size() <= kAdditiveWavePrefix.size() || name.substr(0, kAdditiveWavePrefix.size()) != kAdditiveWavePrefix) {
        return -1;
    }
    const char digit = name[kAdditiveWavePrefix.size()];
    return digit >= '1' && digit <= '6' ? digit - '1' : -1;
}

std::shared_ptr<const Wave> buildAdditiveWave(const AdditiveSettingsObject& settings)
{
    if (settings.silent()) {
        return nullptr;
    }
    constexpr int n = kAdditiveWaveLength;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    try {
        std::vector<float> buffer(static_cast<std::size_t>(n), 0.0f);
        std::vector<ZoneSamples> zones;
        KeyMap keyMap{};
        int key = 127;
        for (int h = 1; h <= AdditiveSettingsObject::kHarmonics; ++h) {
            const float amplitude = settings.level(h - 1);
            if (amplitude != 0.0f) {
                const double phase = twoPi * settings.phase(h - 1);
                for (int i = 0; i < n; ++i) {
                    buffer[static_cast<std::size_t>(i)] +=
                        static_cast<float>(amplitude * std::sin(phase + twoPi * h * i / n));
                }
                float peak = 0.0f;
                for (float x : buffer) {
                    peak = std::max(peak, std::fabs(x));
                }
                ZoneSamples zone;
                zone.samples.resize(static_cast<std::size_t>(n));
                for (int i = 0; i < n; ++i) {
                    const float x = peak > 0.0f ? buffer[static_cast<std::size_t>(i)] * 32767.5f / peak : 0.0f;
                    zone.samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::clamp(x, -32767.5f, 32767.5f));
                }
                zone.loopStart = 0;
                zone.rootFrequency = 44100.0f / static_cast<float>(n);
                zones.push_back(std::move(zone));
            }
            while (!zones.empty() && key >= 0 && additiveHarmonicLimit(key) <= h) {
                keyMap[static_cast<std::size_t>(key)] = static_cast<std::uint8_t>(zones.size() - 1);
                --key;
            }
        }
        return Wave::build(std::move(zones), keyMap);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace pelko
