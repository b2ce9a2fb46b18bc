// Voices rendered in lanes against the same voices rendered one sample at a time: every factory
// program and the benchmark program, played side by side in two plug-ins that differ only in
// that switch, must give the same samples bit for bit. The phrase touches what the lanes handle
// apart from the per-sample arithmetic: chords that start and end inside blocks and inside one
// another's control periods, releases, voices stolen at the voice limit, the sustain pedal, pitch
// bend, aftertouch and the filter controllers.
#include "dsp/filters/filter_types.h"
#include "engine/engine_random.h"
#include "engine/voice_lanes.h"
#include "params/curve_objects.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"
#include "plugin/synth_plugin.h"
#include "storage/chunk_storage.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr std::size_t kEvery = 8;
#else
constexpr std::size_t kEvery = 1;
#endif

constexpr int kRate = 44100;
constexpr int kBlock = 256;

struct Timed {
    int frame;
    std::uint8_t status, data1, data2;
};

// About 1.6 s: a chord built up note by note at odd frames, more notes than the voice limit of a
// small polyphony, pedal, bend and pressure, then releases.
std::vector<Timed> phrase()
{
    std::vector<Timed> p;
    const int keys[] = {36, 48, 55, 60, 64, 67, 71, 72, 76, 79, 84, 43};
    for (int i = 0; i < 12; ++i) {
        p.push_back({37 + i * 1301, 0x90, static_cast<std::uint8_t>(keys[i]), static_cast<std::uint8_t>(40 + 7 * i)});
    }
    p.push_back({9000, 0xB0, 64, 127});    // pedal down
    p.push_back({12000, 0xE0, 0, 80});     // bend up
    p.push_back({15003, 0xD0, 90, 0});     // channel pressure
    p.push_back({17001, 0xB0, 1, 100});    // mod wheel
    for (int i = 0; i < 12; i += 2) {
        p.push_back({20011 + i * 977, 0x80, static_cast<std::uint8_t>(keys[i]), 0});
    }
    p.push_back({33000, 0xB0, 64, 0});     // pedal up: the held notes release
    p.push_back({36000, 0xE0, 0, 64});
    for (int i = 1; i < 12; i += 2) {
        p.push_back({40000 + i * 313, 0x80, static_cast<std::uint8_t>(keys[i]), 0});
    }
    return p;
}

constexpr int kFrames = 72000;

class Player {
public:
    explicit Player(bool lanes)
    {
        vst2::AEffect* e = instance_.effect();
        e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        e->dispatcher(e, vst2::effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
        plugin().setLaneRendering(lanes);
    }
    pelko::SynthPlugin& plugin() { return *instance_.plugin(); }

    void select(const pelko::Program& program)
    {
        plugin().bank().editProgram(0) = program;
        vst2::AEffect* e = instance_.effect();
        e->dispatcher(e, vst2::effSetProgram, 0, 1, nullptr, 0.0f);
        e->dispatcher(e, vst2::effSetProgram, 0, 0, nullptr, 0.0f);
    }

    void play(std::vector<float>& left, std::vector<float>& right)
    {
        left.assign(kFrames, 0.0f);
        right.assign(kFrames, 0.0f);
        const std::vector<Timed> events = phrase();
        std::size_t next = 0;
        vst2::AEffect* e = instance_.effect();
        for (int start = 0; start < kFrames; start += kBlock) {
            std::vector<vst2::VstMidiEvent> block;
            for (; next < events.size() && events[next].frame < start + kBlock; ++next) {
                const Timed& t = events[next];
                block.push_back(host::midiEvent(t.frame - start, t.status, t.data1, t.data2));
            }
            host::MidiEventBlock midi(block);
            if (!block.empty()) {
                e->dispatcher(e, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(midi.events()), 0.0f);
            }
            float* outputs[2] = {left.data() + start, right.data() + start};
            e->processReplacing(e, nullptr, outputs, std::min(kBlock, kFrames - start));
        }
    }

private:
    InProcessPlugin instance_;
};

// The level of the difference relative to the signal, in dB; −inf when every sample is equal.
double differenceDb(const std::vector<float>& a, const std::vector<float>& b)
{
    double signal = 0.0;
    double error = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        signal += static_cast<double>(a[i]) * a[i];
        const double d = static_cast<double>(a[i]) - b[i];
        error += d * d;
    }
    if (error == 0.0) {
        return -INFINITY;
    }
    return 10.0 * std::log10(error / (signal > 0.0 ? signal : 1e-30));
}

struct Outcome {
    bool identical = true;
    bool sounds = false;
    double db = -INFINITY;
};

Outcome compare(Player& lanes, Player& reference)
{
    // The random generator is the process's: both renders start it from the same state.
    std::vector<float> l1, r1, l2, r2;
    pelko::seedEngineRandom(12345);
    lanes.play(l1, r1);
    pelko::seedEngineRandom(12345);
    reference.play(l2, r2);
    Outcome o;
    o.identical = std::memcmp(l1.data(), l2.data(), l1.size() * sizeof(float)) == 0 &&
                  std::memcmp(r1.data(), r2.data(), r1.size() * sizeof(float)) == 0;
    o.db = std::max(differenceDb(l1, l2), differenceDb(r1, r2));
    for (float x : l1) {
        o.sounds = o.sounds || x != 0.0f;
    }
    return o;
}

TEST(LaneRendering, EveryFactoryProgramGivesTheSamplesOfTheReference)
{
    PluginEnvironment environment(true, true);
    const std::vector<pelko::Program> programs = factoryPrograms(environment);
    ASSERT_GE(programs.size(), 128u);
    Player lanes(true);
    Player reference(false);
    std::printf("voices in lanes: %s\n", pelko::VoiceLanes::instructionSet());
    int compared = 0;
    for (std::size_t i = 0; i < programs.size(); i += kEvery) {
        lanes.select(programs[i]);
        reference.select(programs[i]);
        const Outcome o = compare(lanes, reference);
        EXPECT_TRUE(o.identical) << programs[i].name() << ": difference " << o.db << " dB";
        EXPECT_TRUE(o.sounds) << programs[i].name() << " is silent";
        if (!o.identical) {
            std::printf("%-24s %8.1f dB\n", std::string(programs[i].name()).c_str(), o.db);
        }
        ++compared;
    }
    std::printf("%d programs compared\n", compared);
}

// Factory programs changed at random: parameters (the voice limit down to mono, glide, FM,
// routing, bus outputs, cutoffs), waveshapers switched on with a kink in their curve, filter types
// of every family (the comb and allpass run outside the lanes), product-bus inputs.
void scramble(pelko::SynthPlugin& plugin, std::mt19937& random)
{
    namespace object = pelko::object;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    pelko::Program& program = plugin.editBuffer();
    for (int k = 0; k < 60; ++k) {
        const int index = static_cast<int>(random() % 184);
        if (index >= pelko::param::kSeqNote && index < pelko::param::kSeqSpeed + 1) {
            continue;  // the sequencer stays as the program has it
        }
        plugin.setParameter(index, unit(random));
    }
    for (int osc = 0; osc < 6; ++osc) {
        if (random() % 2 == 0) {
            auto& shaper = program.objectAs<pelko::WaveshaperObject>(object::kOscWaveshape + osc).curve();
            shaper.setOn(true);
            shaper.insertPoint(0.2f + 0.6f * unit(random), unit(random));
            plugin.applyPatchObject(object::kOscWaveshape + osc);
        }
    }
    const int types[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 30};
    for (int f = 0; f < 2; ++f) {
        program.objectAs<pelko::IntegerObject>(object::kFilterMode + f).setValue(types[random() % 21]);
        plugin.applyPatchObject(object::kFilterMode + f);
    }
    for (int bus = 0; bus < 2; ++bus) {
        auto& inputs = program.objectAs<pelko::ProductBusObject>(object::kAmSettings + bus);
        for (int k = 0; k < pelko::ProductBusObject::kInputs; ++k) {
            inputs.setOscillator(k, static_cast<int>(random() % 8) - 1);
        }
        plugin.applyPatchObject(object::kAmSettings + bus);
    }
}

TEST(LaneRendering, ScrambledProgramsGiveTheSamplesOfTheReference)
{
    PluginEnvironment environment(true, true);
    Player lanes(true);
    Player reference(false);
    const int programs = kEvery == 1 ? 40 : 5;
    for (int seed = 1; seed <= 2 * programs; ++seed) {
        // The first half in the widest instruction set, the second half in the baseline one.
        if (!pelko::VoiceLanes::useBaseline(seed > programs)) {
            std::printf("no 256-bit registers: the baseline lanes only\n");
        }
        std::mt19937 random(static_cast<unsigned>(seed));
        const pelko::Program start = lanes.plugin().bank().program(seed % 64);
        lanes.select(start);
        reference.select(start);
        std::mt19937 same = random;
        scramble(lanes.plugin(), random);
        scramble(reference.plugin(), same);
        const Outcome o = compare(lanes, reference);
        EXPECT_TRUE(o.identical) << "seed " << seed << " (" << pelko::VoiceLanes::instructionSet()
                                 << "): difference " << o.db << " dB";
    }
    pelko::VoiceLanes::useBaseline(false);
}

// Six sine oscillators modulating one another round a ring, both filters (a 24 dB state-variable
// lowpass and an analog-model lowpass), 32 voices.
void benchmarkProgram(pelko::SynthPlugin& plugin)
{
    pelko::Program& program = plugin.editBuffer();
    namespace object = pelko::object;
    for (int osc = 0; osc < 6; ++osc) {
        program.objectAs<pelko::WaveNameObject>(object::kOscShapeId + osc).setText("Single Cycle\\Sine");
        plugin.applyPatchObject(object::kOscShapeId + osc);
        plugin.setParameter(pelko::param::kFmMatrix + 6 * ((osc + 1) % 6) + osc, 0.3f);
        plugin.setParameter(pelko::param::kOscToFilter1 + osc, 0.3f);
        plugin.setParameter(pelko::param::kOscToFilter2 + osc, 0.3f);
        plugin.setParameter(pelko::param::kOscDirect + osc, 0.1f);
    }
    program.objectAs<pelko::IntegerObject>(object::kFilterMode).setValue(pelko::filter_id::kLowpass24);
    program.objectAs<pelko::IntegerObject>(object::kFilterMode + 1).setValue(pelko::filter_id::kAnalogLowpass2);
    plugin.applyPatchObject(object::kFilterMode);
    plugin.applyPatchObject(object::kFilterMode + 1);
    plugin.setParameter(pelko::param::kVoices, 1.0f);
    plugin.setParameter(pelko::param::kCutoff, 0.6f);
    plugin.setParameter(pelko::param::kCutoff + 1, 0.4f);
    plugin.setParameter(pelko::param::kCutoffEnvMod, 0.5f);
}

TEST(LaneRendering, TheBenchmarkProgramGivesTheSamplesOfTheReference)
{
    PluginEnvironment environment(true, true);
    Player lanes(true);
    Player reference(false);
    benchmarkProgram(lanes.plugin());
    benchmarkProgram(reference.plugin());
    const Outcome o = compare(lanes, reference);
    EXPECT_TRUE(o.identical) << "difference " << o.db << " dB";
    EXPECT_TRUE(o.sounds);
}

}  // namespace
