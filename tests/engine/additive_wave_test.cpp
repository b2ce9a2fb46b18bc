// Additive waves: one zone per harmonic present, each key on the richest zone that stays below
// 22050 Hz, full-scale samples, and the harmonic content measured from the zones.
#include "engine/additive_wave.h"
#include "engine/engine_random.h"
#include "params/additive_settings_object.h"
#include "wave/harmonics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace pelko;

TEST(AdditiveWave, HarmonicLimitsFollowTheKeyboard)
{
    EXPECT_EQ(additiveHarmonicLimit(0), 64);
    EXPECT_EQ(additiveHarmonicLimit(64), 64);
    EXPECT_EQ(additiveHarmonicLimit(65), 63);
    EXPECT_EQ(additiveHarmonicLimit(124), 2);
    EXPECT_EQ(additiveHarmonicLimit(125), 1);
    EXPECT_EQ(additiveHarmonicLimit(127), 1);
}

TEST(AdditiveWave, NamesSelectTheirSettings)
{
    EXPECT_EQ(additiveSettingsOfWaveName("User-Defined\\User1"), 0);
    EXPECT_EQ(additiveSettingsOfWaveName("User-Defined\\User6"), 5);
    EXPECT_EQ(additiveSettingsOfWaveName("User-Defined\\User7"), -1);
    EXPECT_EQ(additiveSettingsOfWaveName("User-Defined\\User"), -1);
    EXPECT_EQ(additiveSettingsOfWaveName("Single Cycle\\Sine"), -1);
}

TEST(AdditiveWave, SilentSettingsBuildNothing)
{
    AdditiveSettingsObject settings;
    settings.setLevel(0, 0.0f);
    EXPECT_EQ(buildAdditiveWave(settings), nullptr);
}

TEST(AdditiveWave, EachZoneAddsTheNextHarmonicPresentAndKeysTakeTheRichestThatFits)
{
    AdditiveSettingsObject settings;
    settings.setLevel(0, 1.0f);   // harmonic 1
    settings.setLevel(4, 0.5f);   // harmonic 5
    settings.setLevel(39, 0.25f);  // harmonic 40
    settings.setPhase(4, 0.25f);
    const auto wave = buildAdditiveWave(settings);
    ASSERT_NE(wave, nullptr);
    ASSERT_EQ(wave->zoneCount(), 3);
    for (int z = 0; z < 3; ++z) {
        const WaveZone& zone = wave->zone(z);
        EXPECT_EQ(zone.length, 4096u);
        EXPECT_EQ(zone.loopStart, 0);
        EXPECT_FLOAT_EQ(zone.rootFrequency, 44100.0f / 4096.0f);
        const auto peak = *std::max_element(zone.samples, zone.samples + 4096,
                                            [](std::int16_t a, std::int16_t b) { return std::abs(a) < std::abs(b); });
        EXPECT_GE(std::abs(peak), 32766);  // normalised to full scale
        for (int g = 0; g < 4; ++g) {
            EXPECT_EQ(zone.samples[4096 + g], zone.samples[g]);  // guard samples
        }
    }
    // Zone 1 holds harmonics 1 and 5 in the ratio 2 : 1; zone 2 adds harmonic 40.
    const auto one = harmonicAmplitudes(wave->zone(1).samples, 4096);
    EXPECT_NEAR(one[5] / one[1], 0.5, 1e-3);
    EXPECT_LT(one[40], 1e-4 * one[1]);
    const auto two = harmonicAmplitudes(wave->zone(2).samples, 4096);
    EXPECT_NEAR(two[40] / two[1], 0.25, 1e-3);

    for (int key = 0; key < 128; ++key) {
        const int limit = additiveHarmonicLimit(key);
        const int expected = limit >= 40 ? 2 : (limit >= 5 ? 1 : 0);
        EXPECT_EQ(wave->keyMap()[static_cast<std::size_t>(key)], expected) << key;
    }
}

TEST(AdditiveWave, KeysBelowTheFirstHarmonicsLimitGetTheFirstZone)
{
    AdditiveSettingsObject settings;
    settings.setLevel(0, 0.0f);
    settings.setLevel(2, 1.0f);  // only harmonic 3, which the top keys cannot play
    const auto wave = buildAdditiveWave(settings);
    ASSERT_NE(wave, nullptr);
    ASSERT_EQ(wave->zoneCount(), 1);
    EXPECT_EQ(wave->keyMap()[127], 0);
    EXPECT_EQ(wave->keyMap()[0], 0);
}

TEST(EngineRandom, FollowsItsRecurrenceFromASeed)
{
    seedEngineRandom(1);
    EXPECT_EQ(nextEngineRandom(), 15626);
    EXPECT_EQ(nextEngineRandom(), static_cast<std::uint16_t>(15626u * 15625u + 1u));
    seedEngineRandom(0);
    EXPECT_FLOAT_EQ(nextBipolarRandom(), (1.0f - 32768.0f) / 32768.0f);
}

}  // namespace
