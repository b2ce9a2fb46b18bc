#include "wave/wave_description.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

using pelko::parseNote;
using pelko::parseWaveDescription;
using pelko::WaveDescription;

TEST(WaveDescription, NotesAndKeyNumbers)
{
    EXPECT_EQ(parseNote("C0"), 0);
    EXPECT_EQ(parseNote("A5"), 69);
    EXPECT_EQ(parseNote("G10"), 127);
    EXPECT_EQ(parseNote("C#4"), parseNote("Db4"));
    EXPECT_EQ(parseNote("C#4"), 49);
    EXPECT_EQ(parseNote("E#4"), parseNote("E4"));
    EXPECT_EQ(parseNote("B#4"), parseNote("B4"));
    EXPECT_EQ(parseNote("Cb4"), parseNote("C4"));
    EXPECT_EQ(parseNote("Fb4"), parseNote("F4"));
    EXPECT_EQ(parseNote("Bb3"), 46);
    EXPECT_EQ(parseNote(" 60 "), 60);
    EXPECT_EQ(parseNote("a5"), 69);
    for (const char* bad : {"", "G#10", "A10", "128", "-1", "C-1", "H4", "C", "C#", "4C", "C4x", "Cx4", "60.5"}) {
        EXPECT_FALSE(parseNote(bad).has_value()) << bad;
    }
}

TEST(WaveDescription, CommentsBlankLinesAndLineEndsDoNotMatter)
{
    WaveDescription plain = parseWaveDescription("C0-B4|low.pcm|A5|0|0\nC5-G10|high.pcm|261.63Hz|0|12\n");
    WaveDescription dressed =
        parseWaveDescription("; a comment\r\n\r\n   \t C0-B4 | low.pcm |A5|0|0\r\r\n\n\t;another\rC5-G10|high.pcm|261.63Hz|0|12");
    ASSERT_TRUE(plain.valid);
    ASSERT_TRUE(dressed.valid);
    ASSERT_EQ(plain.zones.size(), 2u);
    ASSERT_EQ(dressed.zones.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(plain.zones[i].lowKey, dressed.zones[i].lowKey);
        EXPECT_EQ(plain.zones[i].highKey, dressed.zones[i].highKey);
        EXPECT_EQ(plain.zones[i].sampleName, dressed.zones[i].sampleName);
        EXPECT_EQ(plain.zones[i].rootFrequency, dressed.zones[i].rootFrequency);
        EXPECT_EQ(plain.zones[i].loopStart, dressed.zones[i].loopStart);
    }
    EXPECT_EQ(plain.zones[1].lowKey, 60);
    EXPECT_EQ(plain.zones[1].highKey, 127);
    EXPECT_EQ(plain.zones[1].loopStart, 12);
    EXPECT_EQ(plain.zones[0].sampleName, "low.pcm");
}

TEST(WaveDescription, RootPitchFineTuneAndLoopStart)
{
    auto zone = [](const std::string& line) {
        WaveDescription d = parseWaveDescription(line);
        EXPECT_TRUE(d.valid) << line << ": " << d.diagnostic;
        return d.valid ? d.zones[0] : pelko::ZoneDescription{};
    };
    EXPECT_FLOAT_EQ(zone("C0-G10|s|A5|0|0").rootFrequency, 440.0f);
    EXPECT_FLOAT_EQ(zone("C0-G10|s|261.63Hz|0|0").rootFrequency, 261.63f);
    EXPECT_FLOAT_EQ(zone("C0-G10|s|261.63 hz||").rootFrequency, 261.63f);
    EXPECT_FLOAT_EQ(zone("C0-G10|s|A5|1200|0").rootFrequency, 220.0f);
    EXPECT_FLOAT_EQ(zone("C0-G10|s|A5|-1200|0").rootFrequency, 880.0f);
    EXPECT_NEAR(zone("C0-G10|s|60|0|0").rootFrequency, 261.6256f, 1e-3);
    // Absent or unreadable fine tune and loop start count as nothing.
    EXPECT_FLOAT_EQ(zone("C0-G10|s|A5|x|y").rootFrequency, 440.0f);
    EXPECT_EQ(zone("C0-G10|s|A5|x|y").loopStart, 0);
    EXPECT_EQ(zone("C0-G10|s|A5|0|  77").loopStart, 77);
    EXPECT_EQ(zone("C0-G10|s|A5|0|-5").loopStart, -5);  // rejected when the wave is built
    EXPECT_EQ(zone("C0-G10|s|A5|0|99999999999").loopStart, 2147483647);
}

TEST(WaveDescription, ParsingIgnoresTheLocale)
{
    // Under a locale whose decimal mark is a comma (when the system has one) "261.63Hz" still
    // reads as 261.63.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    WaveDescription d = parseWaveDescription("C0-G10|s|261.63Hz|0|0");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(d.valid);
    EXPECT_FLOAT_EQ(d.zones[0].rootFrequency, 261.63f);
    if (!switched) {
        GTEST_SKIP() << "no comma-decimal locale installed";
    }
}

TEST(WaveDescription, RejectionsCarryTheirMessages)
{
    WaveDescription fields = parseWaveDescription("C0-G10|s|A5|0\n");
    EXPECT_FALSE(fields.valid);
    EXPECT_EQ(fields.messageText, "4 splits: C0-G10|s|A5|0\n");
    EXPECT_EQ(fields.messageCaption, "error");
    WaveDescription extra = parseWaveDescription("  C0-G10|s|A5|0|0|\n");
    EXPECT_EQ(extra.messageText, "6 splits: C0-G10|s|A5|0|0|\n");

    for (const char* range : {"C0|s|A5|0|0", "C0-C1-C2|s|A5|0|0", "C0--C1|s|A5|0|0"}) {
        WaveDescription d = parseWaveDescription(range);
        EXPECT_FALSE(d.valid) << range;
        EXPECT_EQ(d.messageText, "error on range") << range;
        EXPECT_EQ(d.messageCaption, "error");
    }
    // Invalid notes in a range are rejected without a message box.
    for (const char* note : {"C0-G#10|s|A5|0|0", "0-128|s|A5|0|0", "X1-C2|s|A5|0|0"}) {
        WaveDescription d = parseWaveDescription(note);
        EXPECT_FALSE(d.valid) << note;
        EXPECT_TRUE(d.messageText.empty()) << note;
        EXPECT_FALSE(d.diagnostic.empty());
    }
    // A zone that could never be played at a finite rate, and a description without zones.
    for (const char* bad : {"C0-G10|s|nonsense|0|0", "C0-G10|s|0Hz|0|0", "C0-G10|s|-440Hz|0|0", "C0-G10|s|infHz|0|0",
                            "C0-G10|s|A5|9999999|0", "", "; only a comment\n\n"}) {
        EXPECT_FALSE(parseWaveDescription(bad).valid) << bad;
    }
}

TEST(WaveDescription, ZoneCountLimitAndEmbeddedNul)
{
    std::string many;
    for (int i = 0; i < 257; ++i) {
        many += "C0-C0|s|A5|0|0\n";
    }
    EXPECT_FALSE(parseWaveDescription(many).valid);
    many.resize(many.size() - 15);
    EXPECT_EQ(parseWaveDescription(many).zones.size(), 256u);
    // Text after a NUL byte is not part of the description.
    WaveDescription d = parseWaveDescription(std::string("C0-G10|s|A5|0|0\n\0garbage", 25));
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.zones.size(), 1u);
}

}  // namespace
