// The factory tuning scales as they ship: every ".tun" file of the install folder's "tunings"
// folder loads through the plug-in's own reader, takes its file's name, and plays the intended
// frequency on keys that tell its temperament apart. The expected frequencies are worked out
// here from each scale's definition (ratios, tempered fifths, equal divisions), not from the
// recipe the files are built from.
#include "params/tuning_scale.h"
#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

// Middle C (key 60) in equal temperament with A = 440 Hz: every factory scale is anchored on it.
const double kMiddleC = 440.0 * std::exp2(-9.0 / 12.0);

struct KeyPitch {
    int key;
    double hz;
};

struct FactoryScale {
    const char* name;
    std::vector<KeyPitch> keys;
};

std::vector<FactoryScale> factoryScales()
{
    const double c = kMiddleC;
    const double fifthQc = std::pow(5.0, 0.25);  // the quarter-comma meantone fifth
    const double quarterPc = std::pow(2.0, 0.25);  // Werckmeister's tempering factor
    return {
        {"12-Tone Equal", {{60, c}, {69, 440.0}, {21, 27.5}, {61, c * std::exp2(1.0 / 12.0)}}},
        // The pure major third and major sixth, and A two octaves down.
        {"Just Intonation C", {{60, c}, {64, c * 5.0 / 4.0}, {69, c * 5.0 / 3.0}, {45, c * 5.0 / 12.0}}},
        // The Pythagorean third (81/64) and tritone (729/512) set it apart from just intonation.
        {"Pythagorean C", {{60, c}, {64, c * 81.0 / 64.0}, {66, c * 729.0 / 512.0}, {81, c * 2.0 * 27.0 / 16.0}}},
        // G is the tempered fifth, E the pure third (four fifths down two octaves), A three fifths.
        {"Quarter-Comma Meantone",
         {{60, c}, {67, c * fifthQc}, {64, c * 5.0 / 4.0}, {69, c * std::pow(fifthQc, 3) / 2.0}, {56, c * 25.0 / 32.0}}},
        // G = 8/9·2^(3/4) (a fifth narrowed by a quarter comma), E and A from tempered fifths too.
        {"Werckmeister III",
         {{60, c}, {67, c * 8.0 / 9.0 * std::pow(2.0, 0.75)}, {64, c * 256.0 / 243.0 * quarterPc},
          {69, c * 1024.0 / 729.0 * quarterPc}, {65, c * 4.0 / 3.0}}},
        // Nineteen and thirty-one keys per octave from middle C: the octave lands on key 79 or 91.
        {"19-Tone Equal", {{60, c}, {79, 2.0 * c}, {71, c * std::exp2(11.0 / 19.0)}, {41, c / 2.0}}},
        {"31-Tone Equal", {{60, c}, {91, 2.0 * c}, {78, c * std::exp2(18.0 / 31.0)}, {29, c / 2.0}}},
        // Thirteen steps to the tritave: key 73 is three times middle C, key 66 the just 5/3.
        {"Bohlen-Pierce Just", {{60, c}, {73, 3.0 * c}, {66, c * 5.0 / 3.0}, {47, c / 3.0}, {63, c * 9.0 / 7.0}}},
    };
}

double centsBetween(double a, double b) { return 1200.0 * std::log2(a / b); }

class FactoryTunings : public ::testing::Test {
protected:
    static void SetUpTestSuite() { install_ = new testing_support::InstallFolderCopy(); }
    static void TearDownTestSuite()
    {
        delete install_;
        install_ = nullptr;
    }
    static std::string tunings() { return install_->path() + "tunings/"; }

    static testing_support::InstallFolderCopy* install_;
};

testing_support::InstallFolderCopy* FactoryTunings::install_ = nullptr;

TEST_F(FactoryTunings, TheFolderHoldsExactlyTheFactoryScales)
{
    std::set<std::string> expected;
    for (const auto& scale : factoryScales()) {
        expected.insert(std::string(scale.name) + ".tun");
    }
    const auto listed = pelko::listFiles(tunings() + "*.tun");
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
}

TEST_F(FactoryTunings, EachScaleLoadsAndPlaysItsIntendedPitches)
{
    for (const auto& expected : factoryScales()) {
        SCOPED_TRACE(expected.name);
        pelko::TuningScale scale;
        ASSERT_TRUE(scale.loadTun(tunings() + expected.name + ".tun"));
        EXPECT_EQ(scale.name(), expected.name);
        pelko::FrequencyTable table{};
        scale.computeFrequencies(table);
        for (const auto& [key, hz] : expected.keys) {
            EXPECT_NEAR(centsBetween(table[static_cast<std::size_t>(key)], hz), 0.0, 0.01) << "key " << key;
        }
        // Every key sounds, higher than the one below it, within the range of hearing and MIDI.
        for (int key = 1; key < pelko::kKeys; ++key) {
            EXPECT_GT(table[static_cast<std::size_t>(key)], table[static_cast<std::size_t>(key - 1)]) << "key " << key;
        }
        EXPECT_GT(table[0], 1.0f);
        EXPECT_LT(table[127], 100000.0f);
    }
}

}  // namespace
