#include "params/tuning_scale.h"
#include "platform/user_interface.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

using pelko::FrequencyTable;
using pelko::TuningScale;

namespace {

std::string twelveStepFile(const char* lineEnd)
{
    std::string text = std::string("; a comment before the section") + lineEnd + "[Tuning]" + lineEnd;
    // A slightly stretched scale, so that repetition is visible.
    for (int n = 0; n <= 12; ++n) {
        text += "note " + std::to_string(n) + "=" + std::to_string(n * 100 + (n == 12 ? 0 : n)) + ".5" + lineEnd;
    }
    return text;
}

TEST(TuningScale, DefaultIsEqualTemperamentAtConcertPitch)
{
    TuningScale scale;
    EXPECT_EQ(scale.name(), "Equal Temperament");
    FrequencyTable table;
    scale.computeFrequencies(table);
    EXPECT_NEAR(table[69], 440.0f, 0.01f);
    EXPECT_NEAR(table[60], 261.63f, 0.01f);
    EXPECT_NEAR(table[0], 8.1758f, 1e-3f);
}

TEST(TuningScale, LastNoteIsThePeriodOfTheKeysAbove)
{
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        TuningScale scale;
        scale.parseTun(twelveStepFile(lineEnd));
        EXPECT_FLOAT_EQ(scale.cents(12), 1200.5f) << "line end " << int(lineEnd[0]);
        EXPECT_FLOAT_EQ(scale.cents(5), 505.5f);
        EXPECT_FLOAT_EQ(scale.cents(13), scale.cents(1) + scale.cents(12));
        EXPECT_FLOAT_EQ(scale.cents(29), scale.cents(5) + 2 * scale.cents(12));
        EXPECT_FLOAT_EQ(scale.baseFrequency(), TuningScale::kDefaultBaseFrequency);
    }
}

TEST(TuningScale, EqualTemperedFileRepeatsExactly)
{
    std::string text = "[Tuning]\n";
    for (int n = 0; n <= 12; ++n) text += "Note " + std::to_string(n) + "=" + std::to_string(100 * n) + "\n";
    TuningScale scale;
    scale.parseTun(text);
    for (int k = 0; k < 128; ++k) ASSERT_FLOAT_EQ(scale.cents(k), 100.0f * k) << k;
}

TEST(TuningScale, BaseFrequencyAloneChangesOnlyTheBase)
{
    TuningScale scale;
    scale.parseTun("[Tuning]\nBaseFreq=16.5\n;note 3=999\n");
    EXPECT_FLOAT_EQ(scale.baseFrequency(), 16.5f);
    for (int k = 0; k < 128; ++k) ASSERT_FLOAT_EQ(scale.cents(k), 100.0f * k);
}

TEST(TuningScale, EntriesOutsideTheSectionOrRangeAreIgnored)
{
    TuningScale scale;
    scale.setBaseFrequency(20.0f);
    scale.setCents(5, 1.0f);
    scale.parseTun("note 1=7\n[Tuning]\nnote 200=5\nnote -1=5\nnote 3 : 5\nnote 6 = 6.5\nnote 4=\ngarbage\nbasefreq=0\nbasefreq=nan\n");
    // Parsing starts from equal temperament and the default base.
    EXPECT_FLOAT_EQ(scale.cents(1), 100.0f);
    EXPECT_FLOAT_EQ(scale.cents(3), 300.0f);
    EXPECT_FLOAT_EQ(scale.cents(5), 500.0f);
    EXPECT_FLOAT_EQ(scale.cents(6), 6.5f);  // the last note read: keys above repeat it
    EXPECT_FLOAT_EQ(scale.cents(7), 100.0f + 6.5f);
    EXPECT_FLOAT_EQ(scale.baseFrequency(), TuningScale::kDefaultBaseFrequency);
}

TEST(TuningScale, NumbersParseTheSameUnderACommaLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed (scripts/install-deps makes de_DE.UTF-8)";
    }
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5);  // the locale is really in force
    TuningScale scale;
    scale.parseTun("[Tuning]\nnote 1=150.25\nbasefreq=9.5\n");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_FLOAT_EQ(scale.cents(1), 150.25f);
    EXPECT_FLOAT_EQ(scale.baseFrequency(), 9.5f);
}

TEST(TuningScale, LoadingTakesTheFileNameAndReportsMissingFiles)
{
    testing_support::TempFolder folder;
    const std::string path = folder.file("Stretched Twelve.tun");
    std::ofstream(path) << twelveStepFile("\n");
    auto ui = std::make_shared<pelko::ScriptedUserInterface>();
    auto previous = pelko::setUserInterface(ui);

    TuningScale scale;
    ASSERT_TRUE(scale.loadTun(path));
    EXPECT_EQ(scale.name(), "Stretched Twelve");
    EXPECT_FLOAT_EQ(scale.cents(12), 1200.5f);

    TuningScale untouched;
    untouched.setCents(3, 42.0f);
    EXPECT_FALSE(untouched.loadTun(folder.file("missing.tun")));
    EXPECT_FLOAT_EQ(untouched.cents(3), 42.0f);
    ASSERT_EQ(ui->messages().size(), 1u);
    EXPECT_NE(ui->messages()[0].text.find("Error opening file"), std::string::npos);
    EXPECT_NE(ui->messages()[0].text.find("missing.tun"), std::string::npos);
    pelko::setUserInterface(previous);
}

TEST(TuningScale, GlobalScaleReplacesTheProgramsWhenOn)
{
    TuningScale global;
    global.setBaseFrequency(10.0f);
    TuningScale program;
    FrequencyTable table;
    pelko::applyTuning(table, true, global, program);
    EXPECT_NEAR(table[0], 10.0f, 1e-5);
    pelko::applyTuning(table, false, global, program);
    EXPECT_NEAR(table[0], TuningScale::kDefaultBaseFrequency, 1e-5);
}

TEST(PitchBendTable, RangeFromTheBendParameter)
{
    pelko::PitchBendTable table;
    pelko::computePitchBendTable(table, 0.02f);  // 2 semitones
    EXPECT_FLOAT_EQ(table[64], 1.0f);
    EXPECT_NEAR(table[0], std::pow(2.0f, -2.0f / 12.0f), 1e-6);
    EXPECT_NEAR(table[127], std::pow(2.0f, 2.0f * (127.0f / 64.0f - 1.0f) / 12.0f), 1e-6);
    pelko::computePitchBendTable(table, 1.0f);  // clamped to 12
    EXPECT_NEAR(table[0], 0.5f, 1e-6);
}

}  // namespace
