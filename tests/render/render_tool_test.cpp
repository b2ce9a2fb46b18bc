// pelko-render run as a user runs it: as a separate process, with a MIDI file, presets and an
// output name, checked by reading the file it writes and the calls its module received.
#include "midi_file.h"
#include "platform/file_system.h"
#include "support/plugin_fixture.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using testing_support::TempFolder;

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// Runs pelko-render with the arguments (already shell-safe) in the folder.
ToolRun runRender(const TempFolder& folder, const std::string& arguments)
{
    std::string command = "cd " + folder.path() + " && " PELKO_RENDER_PATH " " + arguments + " >" + folder.file("stdout") +
                          " 2>" + folder.file("stderr");
    int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText(folder.file("stdout"));
    run.err = readText(folder.file("stderr"));
    return run;
}

struct Sound {
    int rate = 0, channels = 0, format = 0;
    std::vector<float> samples;  // interleaved
    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

std::optional<Sound> readSound(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return std::nullopt;
    }
    Sound sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    sound.samples.resize(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The probe module logs what it receives into the test's folder.
class ProbeLog {
public:
    explicit ProbeLog(const TempFolder& folder) : path_(folder.file("probe.log"))
    {
        ::setenv("PELKO_PROBE_LOG", path_.c_str(), 1);
    }
    ~ProbeLog() { ::unsetenv("PELKO_PROBE_LOG"); }
    // Lines starting with the word.
    std::vector<std::string> lines(const std::string& word) const
    {
        std::vector<std::string> out;
        std::istringstream in(readText(path_));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(word + " ", 0) == 0 || line == word) {
                out.push_back(line);
            }
        }
        return out;
    }
    std::string all() const { return readText(path_); }

private:
    std::string path_;
};

const std::string kProbe = std::string(" --module ") + PELKO_RENDER_PROBE_PATH;

// 96 ticks per quarter; 120 BPM, then 60 BPM from tick 96; notes at ticks 0, 5, 100, 200.
pelko::MidiSequence tempoChangeSong()
{
    pelko::MidiSequence s;
    s.division.ticksPerQuarter = 96;
    s.tempos = {{0, 500000}, {96, 1000000}};
    s.timeSignatures = {{0, 3, 4}};
    s.events = {{0, 0x90, 60, 100, 0}, {5, 0x90, 62, 101, 0}, {100, 0x80, 60, 0, 0}, {200, 0x80, 62, 0, 0}};
    s.endTick = 200;
    return s;
}

}  // namespace

TEST(RenderTool, DeliversEventsAndTimeInfoAtExactSamplePositions)
{
    TempFolder folder;
    ProbeLog log(folder);
    writeBytes(folder.file("song.mid"), pelko::writeMidiFile(tempoChangeSong()));
    ToolRun run = runRender(folder, "song.mid -o song.wav --depth float --rate 48000 --block 100 --tail 0.25" + kProbe);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // At 48 kHz one tick lasts 250 samples until tick 96 (24000), then 500 samples.
    std::vector<std::string> events = log.lines("event");
    ASSERT_EQ(events.size(), 4u) << log.all();
    EXPECT_EQ(events[0], "event 0 144 60 100 0");
    EXPECT_EQ(events[1], "event 1250 144 62 101 50");    // block 1200, delta 50
    EXPECT_EQ(events[2], "event 26000 128 60 0 0");       // 24000 + 4 x 500
    EXPECT_EQ(events[3], "event 76000 128 62 0 0");       // 24000 + 104 x 500

    // Sound until the last event, plus a quarter of a second: 76001 + 12000 frames.
    const std::size_t frames = 76001 + 12000;
    std::vector<std::string> blocks = log.lines("process");
    ASSERT_EQ(blocks.size(), (frames + 99) / 100);
    EXPECT_EQ(blocks.front(), "process 0 100 120.000000 0.000000000 0.000000000 3 4 12035 48000");
    // Block 300 starts at sample 30000: 6000 samples into 60 BPM, quarter 1.125, in the bar from 0.
    EXPECT_EQ(blocks[300], "process 30000 100 60.000000 1.125000000 0.000000000 3 4 12034 48000");
    EXPECT_EQ(blocks.back(), "process 88000 1 60.000000 2.333333333 0.000000000 3 4 12034 48000");
    EXPECT_EQ(log.lines("rate"), std::vector<std::string>{"rate 48000"});
    EXPECT_EQ(log.lines("blocksize"), std::vector<std::string>{"blocksize 100"});

    // The file holds exactly what the module played, block after block.
    std::optional<Sound> sound = readSound(folder.file("song.wav"));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->rate, 48000);
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(sound->frames(), frames);
    std::size_t mismatches = 0;
    for (std::size_t n = 0; n < frames; ++n) {
        float expected = static_cast<float>(static_cast<long long>(n % 200) - 100) / 128.0f;
        mismatches += sound->samples[2 * n] != expected || sound->samples[2 * n + 1] != -expected;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_NE(run.out.find("Wrote song.wav: 1.83 s, 88001 frames at 48000 Hz"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("peak   -2.1 dBFS"), std::string::npos) << run.out;
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"probe.log", "song.mid", "song.wav", "stderr", "stdout"}));
}

TEST(RenderTool, AnUnreadableMidiFileWritesNothing)
{
    TempFolder folder;
    std::vector<std::uint8_t> broken = pelko::writeMidiFile(tempoChangeSong());
    broken.resize(broken.size() - 6);  // the track ends inside its last event
    writeBytes(folder.file("broken.mid"), broken);
    std::ofstream(folder.file("keep.wav")) << "previous render";

    ToolRun run = runRender(folder, "broken.mid -o keep.wav" + kProbe);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("broken.mid: chunk 'MTrk' claims"), std::string::npos) << run.err;
    EXPECT_EQ(readText(folder.file("keep.wav")), "previous render");

    run = runRender(folder, "missing.mid" + kProbe);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing.mid: no such file"), std::string::npos) << run.err;

    run = runRender(folder, "--module " + folder.file("nothing.so"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot load the module"), std::string::npos) << run.err;
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"broken.mid", "keep.wav", "stderr", "stdout"}));
}

TEST(RenderTool, UsageErrorsAndHelp)
{
    TempFolder folder;
    ToolRun run = runRender(folder, "--rate 1000");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--rate must be"), std::string::npos) << run.err;
    run = runRender(folder, "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("usage: pelko-render"), std::string::npos);
    // A program number the module does not have.
    run = runRender(folder, "--index 64" + kProbe);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("the module has 64 programs (0 to 63)"), std::string::npos) << run.err;
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"stderr", "stdout"}));
}

TEST(RenderTool, HandsPresetsToTheModuleBeforePlaying)
{
    TempFolder folder;
    ProbeLog log(folder);
    auto presetFile = [](bool bank, const char* id, std::vector<std::uint8_t> chunk) {
        std::vector<std::uint8_t> file(bank ? 160 : 60, 0);
        std::memcpy(file.data(), "CcnK", 4);
        std::memcpy(file.data() + 8, bank ? "FBCh" : "FPCh", 4);
        std::memcpy(file.data() + 16, id, 4);
        std::size_t at = file.size() - 4;
        file[at + 3] = static_cast<std::uint8_t>(chunk.size());
        file.insert(file.end(), chunk.begin(), chunk.end());
        return file;
    };
    writeBytes(folder.file("set.fxb"), presetFile(true, "PrbT", {'a', 'b', 'c'}));
    writeBytes(folder.file("one.fxp"), presetFile(false, "PrbT", {'x'}));
    writeBytes(folder.file("other.fxb"), presetFile(true, "ZZZZ", {'a'}));

    ToolRun run = runRender(folder, "--bank set.fxb --index 9 --program one.fxp --tail 0 -q -o demo.flac" + kProbe);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");  // quiet
    std::vector<std::string> calls = log.lines("chunk");
    std::vector<std::string> programs = log.lines("program");
    // FNV-1a of "abc" and of "x".
    EXPECT_EQ(calls, (std::vector<std::string>{"chunk bank 3 1a47e90b", "chunk program 1 fd0c5087"}));
    ASSERT_FALSE(programs.empty());
    EXPECT_EQ(programs.front(), "program 9");  // the index, then the program file into it
    std::string all = log.all();
    EXPECT_LT(all.find("chunk bank"), all.find("program 9"));
    EXPECT_LT(all.find("program 9"), all.find("chunk program"));
    EXPECT_LT(all.find("chunk program"), all.find("process "));
    std::optional<Sound> sound = readSound(folder.file("demo.flac"));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);

    run = runRender(folder, "--bank other.fxb -o other.wav" + kProbe);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("other.fxb: saved by a plug-in with the id 'ZZZZ', this module is 'PrbT'"),
              std::string::npos) << run.err;
    run = runRender(folder, "--program set.fxb -o other.wav" + kProbe);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("set.fxb: is a bank file"), std::string::npos) << run.err;
    ::setenv("PELKO_PROBE_REFUSE_CHUNKS", "1", 1);
    run = runRender(folder, "--bank set.fxb -o other.wav" + kProbe);
    ::unsetenv("PELKO_PROBE_REFUSE_CHUNKS");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("set.fxb: the module did not accept this bank"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("other.wav")));
}

TEST(RenderTool, RendersTheDemoThroughTheBuiltModule)
{
    // Its own configuration and install folder, as every test of the module.
    testing_support::PluginEnvironment environment;
    TempFolder folder;
    ToolRun run = runRender(folder, std::string("--module ") + PELKO_MODULE_PATH +
                                    " --rate 22050 --depth 16 --tail 1 --block 512 --export-midi demo.mid -o demo.wav");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::optional<Sound> sound = readSound(folder.file("demo.wav"));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->rate, 22050);
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // Four sections of two bars at 120 BPM (16 s), the last note-off one sixteenth early, then 1 s.
    pelko::MidiFileResult phrase = pelko::readMidiFile(*pelko::readWholeFile(folder.file("demo.mid")));
    ASSERT_TRUE(phrase.sequence);
    EXPECT_EQ(phrase.sequence->endTick, 16u * 960);
    EXPECT_EQ(sound->frames(), 16u * 22050 + 22050);
    // The module plays the phrase: audible, and not clipping.
    float peak = 0.0f;
    for (float x : sound->samples) {
        peak = std::max(peak, std::fabs(x));
    }
    EXPECT_GT(peak, 0.01f);
    EXPECT_LT(peak, 1.0f);
}

namespace {

std::string factoryBank() { return std::string(PELKO_BUILD_INSTALL_FOLDER) + "presets/Factory.fxb"; }

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    return pelko::readWholeFile(path, 64u << 20).value_or(std::vector<std::uint8_t>{});
}

// A chord and a short run of notes, with no program changes.
pelko::MidiSequence chordAndRun()
{
    pelko::MidiSequence s;
    s.division.ticksPerQuarter = 96;
    for (std::uint8_t key : {48, 55, 60, 64}) {
        s.events.push_back({0, 0x90, key, 100, 0});
        s.events.push_back({192, 0x80, key, 0, 0});
    }
    for (int i = 0; i < 6; ++i) {
        const auto key = static_cast<std::uint8_t>(60 + 2 * i);
        s.events.push_back({static_cast<std::uint64_t>(192 + 24 * i), 0x90, key, static_cast<std::uint8_t>(40 + 15 * i), 0});
        s.events.push_back({static_cast<std::uint64_t>(210 + 24 * i), 0x80, key, 0, 0});
    }
    std::stable_sort(s.events.begin(), s.events.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
    s.endTick = 360;
    return s;
}

}  // namespace

// The same song, program and settings give the same file, byte for byte, run after run: here
// ten runs at each of two block sizes, through a program with a modulated effect and one with a
// cross delay.
TEST(RenderTool, TheSameSongAndProgramRenderTheSameFileEveryRun)
{
    testing_support::PluginEnvironment environment;
    TempFolder folder;
    writeBytes(folder.file("song.mid"), pelko::writeMidiFile(chordAndRun()));
    for (int program : {12, 9}) {  // "String Ensemble", "Glass Pluck"
        for (int block : {256, 100}) {
            const std::string arguments = "song.mid --depth float --tail 0.5 --module " + std::string(PELKO_MODULE_PATH) +
                                          " --bank " + factoryBank() + " --index " + std::to_string(program) +
                                          " --block " + std::to_string(block) + " -o ";
            ToolRun run = runRender(folder, arguments + "first.wav");
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const std::vector<std::uint8_t> first = fileBytes(folder.file("first.wav"));
            ASSERT_GT(first.size(), 1000u);
            for (int again = 1; again < 10; ++again) {
                ASSERT_EQ(runRender(folder, arguments + "again.wav").exitCode, 0);
                ASSERT_TRUE(fileBytes(folder.file("again.wav")) == first)
                    << "program " << program << ", block " << block << ", run " << again;
            }
        }
    }
}

// Voices and the delays keep no state tied to the host's blocks: the same song and program
// give the same samples at any block size. The modulated effects renormalise their LFOs and
// the effects with a denormal guard change its sign at the end of every process call, so
// through them the block size moves the result by rounding (about -65 to -80 dB of the peak
// for the factory chorus and ensemble programs).
TEST(RenderTool, VoicesAndDelaysRenderTheSameSamplesAtEveryBlockSize)
{
    testing_support::PluginEnvironment environment;
    TempFolder folder;
    writeBytes(folder.file("song.mid"), pelko::writeMidiFile(chordAndRun()));
    for (int program : {1, 9}) {  // "FM Bass" (no effect), "Glass Pluck" (cross delay)
        std::optional<Sound> reference;
        for (int block : {256, 1, 37, 8192}) {
            const std::string output = "block" + std::to_string(block) + ".wav";
            ToolRun run = runRender(folder, "song.mid --depth float --tail 1 --module " + std::string(PELKO_MODULE_PATH) +
                                                " --bank " + factoryBank() + " --index " + std::to_string(program) +
                                                " --block " + std::to_string(block) + " -o " + output);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            std::optional<Sound> sound = readSound(folder.file(output));
            ASSERT_TRUE(sound);
            if (!reference) {
                reference = sound;
                EXPECT_GT(*std::max_element(sound->samples.begin(), sound->samples.end()), 0.01f) << program;
                continue;
            }
            EXPECT_EQ(sound->samples, reference->samples) << "program " << program << " at block " << block;
        }
    }
}
