// What demanding hosts and plug-in validators do to a module, through AEffect only: many
// instances, suspend/resume cycles, rate and block-size changes, random automation while
// processing, and dispatcher calls from a second thread while the audio thread runs.
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

using testing_support::LoadedModule;
using testing_support::PluginEnvironment;

static bool fileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

namespace {

// Output must stay finite and within ±8: nothing blows up.
void expectSane(const std::vector<float>& samples, const char* what)
{
    for (float s : samples) {
        ASSERT_TRUE(std::isfinite(s)) << what;
        ASSERT_LE(std::abs(s), 8.0f) << what;
    }
}

void playSomeNotes(host::HostModule& host, int block, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<vst2::VstMidiEvent> events;
    for (int i = 0; i < 6; ++i) {
        int note = 36 + static_cast<int>(random() % 48);
        int at = block > 0 ? static_cast<int>(random() % static_cast<unsigned>(block)) : 0;
        events.push_back(host::midiEvent(at, 0x90, static_cast<std::uint8_t>(note), 100));
        events.push_back(host::midiEvent(at, 0xB0, 1, static_cast<std::uint8_t>(random() % 128)));
    }
    events.push_back(host::midiEvent(0, 0xE0, 0, static_cast<std::uint8_t>(random() % 128)));
    host.sendMidi(events);
}

TEST(HostBattery, FiftyInstancesInARowAndSeveralAtOnce)
{
    PluginEnvironment environment;
    for (int i = 0; i < 50; ++i) {
        LoadedModule module;
        ASSERT_NE(module.effect(), nullptr) << i;
        module.host().resume();
        std::vector<float> left, right;
        module.host().processReplacing(left, right, 64);
        module.host().suspend();
    }
    std::vector<std::unique_ptr<LoadedModule>> together;
    for (int i = 0; i < 6; ++i) {
        together.push_back(std::make_unique<LoadedModule>());
        together.back()->host().resume();
    }
    for (auto& module : together) {
        module->host().setParameter(1, 0.7f);
        std::vector<float> left, right;
        module->host().processReplacing(left, right, 128);
        expectSane(left, "left");
    }
    // Instances are independent: a parameter of one is not seen by another.
    together[0]->host().setParameter(111, 0.9f);
    EXPECT_EQ(together[1]->host().getParameter(111), 0.0f);
}

TEST(HostBattery, SuspendResumeCyclesAndSampleRates)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    std::vector<float> left, right;
    for (float rate : {22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f,
                       96000.0f, 44100.0f, 22050.0f}) {
        host.suspend();
        host.setSampleRate(rate);
        host.resume();
        playSomeNotes(host, 256, static_cast<unsigned>(rate));
        host.processReplacing(left, right, 256);
        expectSane(left, "left");
        expectSane(right, "right");
    }
    EXPECT_EQ(host.state().wantMidiCount, 11);
}

TEST(HostBattery, EveryBlockSizeIncludingZeroAndMoreThanAnnounced)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    host.setBlockSize(512);
    host.resume();
    std::vector<float> left, right;
    for (int frames : {1, 7, 64, 512, 4096, 8192, 0}) {
        playSomeNotes(host, frames, static_cast<unsigned>(frames));
        host.processReplacing(left, right, frames);
        expectSane(left, "replacing");
        host.processAccumulating(left, right, frames);
        expectSane(left, "accumulating");
    }
    std::mt19937 random(7);
    for (int call = 0; call < 200; ++call) {
        int frames = static_cast<int>(random() % 3000);
        host.processReplacing(left, right, frames);
        expectSane(right, "random sizes");
    }
}

TEST(HostBattery, RandomParameterValuesWhileProcessing)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    host.setBlockSize(256);
    host.resume();
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::vector<float> left, right;
    for (int block = 0; block < 200; ++block) {
        for (int k = 0; k < 20; ++k) {
            host.setParameter(static_cast<int>(random() % 208), value(random));
        }
        if (block % 10 == 0) {
            playSomeNotes(host, 256, static_cast<unsigned>(block));
        }
        host.processReplacing(left, right, 256);
        expectSane(left, "left");
        expectSane(right, "right");
    }
    for (int i = 0; i < 208; ++i) {
        float v = host.getParameter(i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
    }
}

// Run under ThreadSanitizer too: no data race may be reported and nothing may deadlock.
TEST(HostThreads, DispatcherFromASecondThreadWhileTheAudioThreadProcesses)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    host.setBlockSize(128);
    host.resume();
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> left, right;
        for (int block = 0; block < 400; ++block) {
            if (block % 16 == 0) {
                playSomeNotes(host, 128, static_cast<unsigned>(block));
            }
            host.processReplacing(left, right, 128);
        }
        done = true;
    });
    std::mt19937 random(99);
    int calls = 0;
    while (!done || calls < 200) {
        switch (calls % 6) {
        case 0: host.setParameter(static_cast<int>(random() % 208), static_cast<float>(random() % 1000) / 1000.0f); break;
        case 1: host.paramDisplay(static_cast<int>(random() % 208)); break;
        case 2: host.setProgram(static_cast<int>(random() % 64)); break;
        case 3: host.programNameIndexed(static_cast<int>(random() % 64)); break;
        case 4: host.getParameter(static_cast<int>(random() % 208)); break;
        default: host.copyProgram(static_cast<int>(random() % 64)); break;
        }
        ++calls;
        if (calls > 20000) {
            break;
        }
    }
    audio.join();
    EXPECT_GE(calls, 200);
}

}  // namespace

namespace {

TEST(HostBattery, ChunkRoundTripsAreIdentical)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    std::mt19937 random(5);
    for (int i = 0; i < 208; ++i) {
        host.setParameter(i, static_cast<float>(random() % 1000) / 1000.0f);
    }
    host.setProgramName("Round trip");
    for (bool program : {true, false}) {
        std::vector<std::uint8_t> first = host.getChunk(program);
        ASSERT_GT(first.size(), 1000u);
        ASSERT_TRUE(host.setChunk(program, first));
        std::vector<std::uint8_t> second = host.getChunk(program);
        EXPECT_EQ(first, second) << (program ? "program" : "bank");
    }
    EXPECT_EQ(host.getProgramName(), "Round trip");
}

TEST(HostBattery, ChunksCarryProgramsToAnotherInstance)
{
    PluginEnvironment environment;
    std::vector<std::uint8_t> bank;
    {
        LoadedModule module;
        module.host().setProgram(3);
        module.host().setParameter(111, 0.75f);
        module.host().setProgramName("Carried");
        bank = module.host().getChunk(false);
    }
    LoadedModule other;
    ASSERT_TRUE(other.host().setChunk(false, bank));
    EXPECT_EQ(other.host().getProgram(), 3);
    EXPECT_FLOAT_EQ(other.host().getParameter(111), 0.75f);
    EXPECT_EQ(other.host().programNameIndexed(3), std::optional<std::string>("Carried"));
    // Damaged chunks are refused and change nothing.
    std::vector<std::uint8_t> damaged(bank.begin(), bank.begin() + 100);
    EXPECT_FALSE(other.host().setChunk(false, damaged));
    damaged[0] = 'X';
    EXPECT_FALSE(other.host().setChunk(true, damaged));
    EXPECT_FALSE(other.host().setChunk(true, {}));
    EXPECT_EQ(other.host().programNameIndexed(3), std::optional<std::string>("Carried"));
}

TEST(HostBattery, TheBankSurvivesInTheStateFile)
{
    PluginEnvironment environment;
    {
        LoadedModule module;
        module.host().setProgram(7);
        module.host().setProgramName("Kept");
        module.host().copyProgram(7);
    }
    EXPECT_TRUE(fileExists(environment.installFolder() + "tmp.sav"));
    LoadedModule next;
    EXPECT_EQ(next.host().getProgram(), 7);
    EXPECT_EQ(next.host().getProgramName(), "Kept");
}

}  // namespace
