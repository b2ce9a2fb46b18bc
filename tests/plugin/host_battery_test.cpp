// What demanding hosts and plug-in validators do to a module, through AEffect only: many
// instances, suspend/resume cycles, rate and block-size changes, random automation while
// processing, dispatcher calls from a second thread while the audio thread runs, null and aliased
// buffers, automation in small sub-blocks, programs out of range, destruction from another
// thread and the state set while processing. The notes played must be heard.
#include "platform/threads.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <climits>
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

// The notes played are heard: a module that stays silent fails.
void expectSounding(const std::vector<float>& samples, const char* what)
{
    EXPECT_GT(testing_support::rms(samples), 1e-3) << what << ": the notes played are not heard";
}

// Appends b to a.
void append(std::vector<float>& a, const std::vector<float>& b) { a.insert(a.end(), b.begin(), b.end()); }

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
        std::vector<float> heard;
        for (int block = 0; block < 8; ++block) {
            host.processReplacing(left, right, 256);
            expectSane(left, "left");
            expectSane(right, "right");
            append(heard, left);
        }
        expectSounding(heard, "after a rate change");
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
    std::vector<float> heard;
    for (int frames : {1, 7, 64, 512, 4096, 8192, 0}) {
        playSomeNotes(host, frames, static_cast<unsigned>(frames));
        host.processReplacing(left, right, frames);
        expectSane(left, "replacing");
        append(heard, left);
        host.processAccumulating(left, right, frames);
        expectSane(left, "accumulating");
    }
    expectSounding(heard, "blocks of every size");
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

namespace {

// A chord held from the first frame, for tests that need notes sounding throughout.
void holdChord(host::HostModule& host)
{
    host.sendMidi({host::midiEvent(0, 0x90, 57, 100), host::midiEvent(0, 0x90, 64, 100), host::midiEvent(0, 0x90, 69, 100)});
}

TEST(HostBattery, NullAndAliasedBuffers)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    host.resume();
    vst2::AEffect* effect = host.effect();
    holdChord(host);
    std::vector<float> left(256, 0.0f), right(256, 0.0f);
    float* outputs[2] = {left.data(), right.data()};
    float* nullOutputs[2] = {nullptr, nullptr};
    float* halfNull[2] = {left.data(), nullptr};
    // Null output arrays or channels: nothing is written and nothing breaks.
    effect->processReplacing(effect, nullptr, nullptr, 256);
    effect->processReplacing(effect, nullptr, nullOutputs, 256);
    effect->processReplacing(effect, nullptr, halfNull, 256);
    effect->process(effect, nullptr, nullOutputs, 256);
    // Inputs that are the outputs (in place), and both outputs one buffer (a host mixing to mono).
    holdChord(host);
    std::vector<float> heard;
    for (int block = 0; block < 16; ++block) {
        effect->processReplacing(effect, outputs, outputs, 256);
        expectSane(left, "in place");
        expectSane(right, "in place");
        append(heard, left);
    }
    expectSounding(heard, "in place");
    float* mono[2] = {left.data(), left.data()};
    heard.clear();
    for (int block = 0; block < 16; ++block) {
        effect->processReplacing(effect, mono, mono, 256);
        expectSane(left, "one buffer for both outputs");
        append(heard, left);
        std::fill(left.begin(), left.end(), 0.0f);
        effect->process(effect, mono, mono, 256);
        expectSane(left, "one buffer, accumulating");
    }
    expectSounding(heard, "one buffer for both outputs");
}

// Hosts that automate sample-accurately split their blocks: 32 frames at a time with parameter
// changes between them. Without changes, the split gives the very sound of whole blocks.
TEST(HostBattery, ParameterChangesIn32FrameSubBlocksWhileNotesPlay)
{
    PluginEnvironment environment;
    LoadedModule whole;
    LoadedModule split;
    std::vector<float> wholeOut, splitOut, left, right;
    for (host::HostModule* host : {&whole.host(), &split.host()}) {
        host->setBlockSize(256);
        host->resume();
        holdChord(*host);
    }
    for (int block = 0; block < 32; ++block) {
        whole.host().processReplacing(left, right, 256);
        append(wholeOut, left);
        for (int sub = 0; sub < 8; ++sub) {
            split.host().processReplacing(left, right, 32);
            append(splitOut, left);
        }
    }
    EXPECT_EQ(wholeOut, splitOut);
    expectSounding(splitOut, "sub-blocks");

    // Now with automation of cutoff, resonance, main level and an effect parameter every sub-block.
    host::HostModule& host = split.host();
    std::vector<float> heard;
    for (int block = 0; block < 64; ++block) {
        for (int sub = 0; sub < 8; ++sub) {
            const float phase = static_cast<float>(block * 8 + sub) / 512.0f;
            host.setParameter(111, 0.3f + 0.6f * phase);
            host.setParameter(113, 0.5f * phase);
            host.setParameter(1, 0.5f + 0.4f * phase);
            host.setParameter(167, phase);
            host.processReplacing(left, right, 32);
            expectSane(left, "automated sub-blocks");
            expectSane(right, "automated sub-blocks");
            append(heard, left);
        }
    }
    expectSounding(heard, "automated sub-blocks");
    EXPECT_FLOAT_EQ(host.getParameter(111), 0.3f + 0.6f * 511.0f / 512.0f);
}

TEST(HostBattery, ProgramsOutOfRangeChangeNothing)
{
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
    host.setProgram(5);
    host.setParameter(111, 0.625f);
    const std::string name = host.getProgramName();
    for (int index : {-1, 64, 65, 1000, INT_MAX, INT_MIN}) {
        host.setProgram(index);
        EXPECT_EQ(host.getProgram(), 5) << index;
        EXPECT_FLOAT_EQ(host.getParameter(111), 0.625f) << index;
        EXPECT_EQ(host.getProgramName(), name) << index;
        EXPECT_EQ(host.programNameIndexed(index), std::nullopt) << index;
    }
    host.resume();
    holdChord(host);
    std::vector<float> left, right, heard;
    for (int block = 0; block < 8; ++block) {
        host.processReplacing(left, right, 256);
        append(heard, left);
    }
    expectSounding(heard, "after programs out of range");
}

TEST(HostThreads, DestroyedFromAnotherThreadThanTheOneThatCreatedIt)
{
    PluginEnvironment environment;
    for (int round = 0; round < 3; ++round) {
        auto module = std::make_unique<LoadedModule>();
        ASSERT_NE(module->effect(), nullptr);
        module->host().resume();
        holdChord(module->host());
        std::vector<float> left, right;
        module->host().processReplacing(left, right, 512);
        expectSounding(left, "before the other thread destroys it");
        std::thread closer([&] { module->host().closeInstance(); });
        closer.join();
        EXPECT_EQ(module->effect(), nullptr);
        module.reset();
    }
    // The process-wide state was released and built again correctly: a new instance plays.
    LoadedModule next;
    next.host().resume();
    holdChord(next.host());
    std::vector<float> left, right;
    next.host().processReplacing(left, right, 512);
    expectSounding(left, "a new instance after destruction from another thread");
}

// The state set from another thread while the audio thread processes: every block the audio
// thread renders sees the program before or the program after, never a mixture of the two.
TEST(HostThreads, StateSetWhileProcessingIsNeverHeardTorn)
{
    PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    vst2::AEffect* effect = instance.effect();
    pelko::SynthPlugin& plugin = *instance.plugin();
    // Two programs that differ in the tuning rows 2–13 and the cutoff.
    auto chunkWith = [&](float value) {
        for (int i = 2; i <= 13; ++i) {
            plugin.setParameter(i, value);
        }
        plugin.setParameter(111, value);
        void* data = nullptr;
        const auto size = effect->dispatcher(effect, vst2::effGetChunk, 1, 0, &data, 0.0f);
        return std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    };
    const float a = 0.5f;
    const float b = 0.5f + 1.0f / 24.0f;
    std::vector<std::uint8_t> chunks[2] = {chunkWith(b), chunkWith(a)};
    // What a block sees: the stored values at its start, under the processing lock.
    auto consistent = [&]() {
        pelko::LockGuard lock(plugin.processLock());
        const float first = plugin.editBuffer().values[2];
        if (first != a && first != b) {
            return false;
        }
        for (int i = 3; i <= 13; ++i) {
            if (plugin.editBuffer().values[static_cast<std::size_t>(i)] != first) {
                return false;
            }
        }
        return plugin.editBuffer().values[111] == first;
    };
    ASSERT_TRUE(consistent());

    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<int> blocks{0};
    std::vector<float> heard;
    heard.reserve(1 << 22);
    std::thread audio([&] {
        std::vector<float> left(128), right(128);
        float* outputs[2] = {left.data(), right.data()};
        std::vector<vst2::VstMidiEvent> chord = {host::midiEvent(0, 0x90, 60, 100)};
        host::MidiEventBlock block(chord);
        while (!done.load()) {
            if (blocks.load() % 64 == 0) {
                effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
            }
            if (!consistent()) {
                ++torn;
            }
            effect->processReplacing(effect, nullptr, outputs, 128);
            if (heard.size() + 128 <= heard.capacity()) {
                heard.insert(heard.end(), left.begin(), left.end());
            }
            ++blocks;
        }
    });
    for (int load = 0; load < 40; ++load) {
        const std::vector<std::uint8_t>& chunk = chunks[load % 2];
        EXPECT_EQ(effect->dispatcher(effect, vst2::effSetChunk, 1, static_cast<vst2::VstIntPtr>(chunk.size()),
                                     const_cast<std::uint8_t*>(chunk.data()), 0.0f),
                  1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    done = true;
    audio.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(blocks.load(), 40);
    EXPECT_EQ(plugin.editBuffer().values[2], a);  // the last state loaded is the one kept
    expectSounding(heard, "while states are set");
}

}  // namespace
