// The factory programs as they ship in the presets folder's banks, played through the built
// module on the reference phrase the build levels them with: every one is within 1.5 LU of
// −18 LUFS, no sample peaks above −1 dBFS on the phrase or on a six-note chord at velocity 127,
// and no two sound alike by their spectral fingerprints. Every program is rendered once, in one
// test, as the test runner starts a process per test. Under the sanitizers only every eighth
// program is played.
#include "factory_levels.h"
#include "library/factory_library.h"
#include "loudness.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "reference_phrase.h"
#include "tone_fingerprint.h"
#include "storage/chunk_storage.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace pelko::content;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr std::size_t kEvery = 8;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
constexpr std::size_t kEvery = 8;
#else
constexpr std::size_t kEvery = 1;
#endif
#else
constexpr std::size_t kEvery = 1;
#endif

// Fingerprints closer than this (dB, see fingerprintDistance) are the same sound at another
// level or with a small change; the closest distinct factory programs are several dB apart.
constexpr double kNearDuplicate = 1.5;

struct Measured {
    std::string name, category;
    double loudness = 0, phrasePeak = 0, chordPeak = 0;
    SpectralFingerprint fingerprint;
};

std::string categoryOf(const pelko::Program& program)
{
    const int number = program.objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value();
    const auto categories = pelko::factoryCategories();
    return number >= 1 && static_cast<std::size_t>(number) <= categories.size()
               ? categories[static_cast<std::size_t>(number - 1)].path
               : "";
}

// Every distinct program of the three banks, rendered once.
std::vector<Measured> measurePrograms()
{
    std::vector<Measured> result;
    testing_support::PluginEnvironment environment(true, true);
    const std::vector<pelko::Program> programs = testing_support::factoryPrograms(environment);
    testing_support::LoadedModule module;
    for (std::size_t i = 0; i < programs.size(); i += kEvery) {
        Measured m;
        m.name = std::string(programs[i].name());
        m.category = categoryOf(programs[i]);
        if (!startProgram(module.host(), programs[i])) {
            ADD_FAILURE() << m.name << ": the module refused the program";
            continue;
        }
        const StereoRender phrase = renderReferencePhrase(module.host(), m.category);
        settle(module.host());
        const StereoRender chord = renderLoudChord(module.host(), m.category);
        m.loudness = integratedLoudness(phrase.left, phrase.right, kReferenceRate);
        m.phrasePeak = samplePeakDb(phrase.left, phrase.right);
        m.chordPeak = samplePeakDb(chord.left, chord.right);
        m.fingerprint = spectralFingerprint(phrase.mono(), kReferenceRate);
        result.push_back(std::move(m));
    }
    return result;
}

TEST(FactoryLoudness, EveryProgramIsLevelledPeaksBelowTheCeilingAndSoundsUnlikeEveryOther)
{
    const std::vector<Measured> programs = measurePrograms();
    EXPECT_GE(programs.size(), 128u / kEvery);
    for (const Measured& m : programs) {
        std::printf("%-24s %-22s %6.1f LUFS  peak %5.1f  chord %5.1f dBFS\n", m.name.c_str(), m.category.c_str(),
                    m.loudness, m.phrasePeak, m.chordPeak);
        EXPECT_NEAR(m.loudness, pelko::factory::kTargetLoudness, pelko::factory::kLoudnessWindow) << m.name;
        EXPECT_LE(m.phrasePeak, pelko::factory::kPeakCeilingDb) << m.name;
        EXPECT_LE(m.chordPeak, pelko::factory::kPeakCeilingDb) << m.name;
    }
    double closest = 1e9;
    std::string closestPair;
    for (std::size_t a = 0; a < programs.size(); ++a) {
        for (std::size_t b = a + 1; b < programs.size(); ++b) {
            const double d = fingerprintDistance(programs[a].fingerprint, programs[b].fingerprint);
            EXPECT_GE(d, kNearDuplicate) << programs[a].name << " and " << programs[b].name << " sound alike";
            if (d < closest) {
                closest = d;
                closestPair = programs[a].name + " / " + programs[b].name;
            }
        }
    }
    std::printf("closest pair: %s, %.2f dB\n", closestPair.c_str(), closest);
}

}  // namespace
