#include "render_options.h"

#include <gtest/gtest.h>

using namespace render;

namespace {
CommandLine parse(std::vector<std::string> arguments) { return parseCommandLine(arguments); }
}  // namespace

TEST(RenderOptions, DefaultsFollowTheInput)
{
    CommandLine demo = parse({});
    ASSERT_EQ(demo.outcome, CommandLine::Outcome::Run);
    EXPECT_EQ(demo.options.output, "pelko-demo.wav");
    EXPECT_EQ(demo.options.format, FileFormat::Wav);
    EXPECT_EQ(demo.options.depth, SampleDepth::Int24);
    EXPECT_EQ(demo.options.sampleRate, 44100u);
    EXPECT_EQ(demo.options.blockSize, 256);
    EXPECT_DOUBLE_EQ(demo.options.tailSeconds, 2.0);
    EXPECT_EQ(demo.options.demoPrograms, std::vector<int>({0, 1, 2, 3}));

    CommandLine song = parse({"songs/Tune.MID", "--format", "flac"});
    EXPECT_EQ(song.options.midiFile, "songs/Tune.MID");
    EXPECT_EQ(song.options.output, "Tune.flac");
    EXPECT_EQ(song.options.format, FileFormat::Flac);

    CommandLine byExtension = parse({"-o", "out/x.FLAC", "--depth=16", "--rate=96000", "--block", "1", "--tail", "0.5"});
    ASSERT_EQ(byExtension.outcome, CommandLine::Outcome::Run) << byExtension.error;
    EXPECT_EQ(byExtension.options.format, FileFormat::Flac);
    EXPECT_EQ(byExtension.options.depth, SampleDepth::Int16);
    EXPECT_EQ(byExtension.options.sampleRate, 96000u);
    EXPECT_EQ(byExtension.options.blockSize, 1);
    EXPECT_DOUBLE_EQ(byExtension.options.tailSeconds, 0.5);

    // --index alone makes the demo stay on that program; --programs lists them.
    EXPECT_EQ(parse({"--index", "5"}).options.demoPrograms, std::vector<int>({5}));
    EXPECT_EQ(parse({"--index", "5", "--programs", "3,1,4"}).options.demoPrograms, std::vector<int>({3, 1, 4}));
    EXPECT_EQ(parse({"--help"}).outcome, CommandLine::Outcome::Help);
    EXPECT_EQ(parse({"--", "-odd.mid"}).options.midiFile, "-odd.mid");
}

TEST(RenderOptions, UsageErrorsSayWhatIsWrong)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--rate", "7999"}, "--rate must be"},
        {{"--rate", "44.1k"}, "--rate must be"},
        {{"--block", "0"}, "--block must be"},
        {{"--block", "8193"}, "--block must be"},
        {{"--tail", "-1"}, "--tail must be"},
        {{"--tail", "nan"}, "--tail must be"},
        {{"--depth", "8"}, "--depth must be"},
        {{"--format", "mp3"}, "--format must be"},
        {{"--programs", "1,,2"}, "--programs must list"},
        {{"--programs", "128"}, "--programs must list"},
        {{"--index", "-1"}, "--index must be"},
        {{"--output"}, "needs a value"},
        {{"--loud"}, "unknown option '--loud'"},
        {{"a.mid", "b.mid"}, "only one MIDI file"},
        {{"-o", "x.flac", "--depth", "float"}, "FLAC stores 16 or 24 bit"},
        {{"a.mid", "--programs", "1"}, "demo phrase only"},
        {{"a.mid", "-o", "a.mid"}, "would replace the MIDI file"},
        {{"--bank", "x", "--program", "x"}, "same file"},
    };
    for (const auto& [arguments, mentions] : cases) {
        CommandLine c = parse(arguments);
        EXPECT_EQ(c.outcome, CommandLine::Outcome::UsageError) << arguments[0];
        EXPECT_NE(c.error.find(mentions), std::string::npos) << c.error;
    }
}

TEST(RenderOptions, HelpListsEveryOption)
{
    const std::string help = usageText();
    for (const char* option : {"--output", "--format", "--depth", "--rate", "--block", "--tail", "--module", "--bank",
                               "--program ", "--index", "--programs", "--export-midi", "--quiet", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}
