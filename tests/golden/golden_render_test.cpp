// Fixed renders of the built module: a few programs set up through the parameters, each playing
// a short phrase (notes, pitch bend, controllers) at 44.1 kHz in blocks of 256. The samples,
// quantised to 1e-6, are hashed; a failing hash also compares a coarse RMS table (one value per
// 4096 samples per channel) so the report shows where the sound changed.
//
// Refreshing: a deliberate change of the sound changes these values. Run
//   PELKO_GOLDEN_PRINT=1 build/tests/tests_golden
// which prints the new hash and table of every render in source form, listen to or inspect the
// change, and paste them over the expected values below.
#include "dsp/filters/filter_types.h"
#include "params/patch_object_table.h"
#include "plugin/synth_plugin.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 256;
constexpr int kRmsChunk = 4096;

struct Event {
    int frame;
    std::uint8_t status, data1, data2;
};

struct Render {
    std::vector<float> left, right;
};

Render renderPhrase(testing_support::LoadedModule& module, const std::function<void(host::HostModule&)>& program,
                    const std::vector<Event>& phrase, int frames)
{
    host::HostModule& h = module.host();
    h.setSampleRate(44100.0f);
    h.setBlockSize(kBlock);
    program(h);
    h.resume();
    Render out;
    std::vector<float> left, right;
    std::size_t next = 0;
    for (int start = 0; start < frames; start += kBlock) {
        std::vector<vst2::VstMidiEvent> events;
        for (; next < phrase.size() && phrase[next].frame < start + kBlock; ++next) {
            const Event& e = phrase[next];
            events.push_back(host::midiEvent(e.frame - start, e.status, e.data1, e.data2));
        }
        if (!events.empty()) {
            h.sendMidi(events);
        }
        h.processReplacing(left, right, kBlock);
        out.left.insert(out.left.end(), left.begin(), left.end());
        out.right.insert(out.right.end(), right.begin(), right.end());
    }
    return out;
}

std::uint64_t quantisedHash(const Render& r)
{
    std::uint64_t hash = 1469598103934665603ull;  // 64-bit FNV-1a over the quantised samples
    for (const auto* channel : {&r.left, &r.right}) {
        for (float x : *channel) {
            const auto q = static_cast<std::uint64_t>(std::llround(static_cast<double>(x) * 1e6));
            for (int byte = 0; byte < 8; ++byte) {
                hash = (hash ^ ((q >> (8 * byte)) & 0xffu)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

std::vector<float> rmsTable(const Render& r)
{
    std::vector<float> table;
    for (const auto* channel : {&r.left, &r.right}) {
        for (std::size_t at = 0; at + kRmsChunk <= channel->size(); at += kRmsChunk) {
            double sum = 0.0;
            for (std::size_t i = at; i < at + kRmsChunk; ++i) {
                sum += static_cast<double>((*channel)[i]) * (*channel)[i];
            }
            table.push_back(static_cast<float>(std::round(std::sqrt(sum / kRmsChunk) * 1e4) / 1e4));
        }
    }
    return table;
}

void checkGolden(const std::string& name, const Render& r, std::uint64_t expectedHash,
                 const std::vector<float>& expectedRms)
{
    const std::uint64_t hash = quantisedHash(r);
    const std::vector<float> table = rmsTable(r);
    if (std::getenv("PELKO_GOLDEN_PRINT") != nullptr) {
        std::printf("%s: 0x%016llxull, {", name.c_str(), static_cast<unsigned long long>(hash));
        for (float v : table) {
            std::printf("%.4gf, ", static_cast<double>(v));
        }
        std::printf("}\n");
    }
    double energy = 0.0;
    for (float v : table) {
        energy += v;
    }
    EXPECT_GT(energy, 0.0) << name << " is silent";
    EXPECT_EQ(hash, expectedHash) << name << ": the samples changed";
    if (hash != expectedHash) {
        ASSERT_EQ(table.size(), expectedRms.size()) << name;
        for (std::size_t i = 0; i < table.size(); ++i) {
            EXPECT_NEAR(table[i], expectedRms[i], 2e-4)
                << name << ": RMS of " << (i < table.size() / 2 ? "left" : "right") << " chunk "
                << i % (table.size() / 2);
        }
    }
}

// A chord with a pitch-bend sweep, a modulation-wheel move and a release.
std::vector<Event> chordPhrase()
{
    std::vector<Event> phrase{{0, 0x90, 60, 100}, {100, 0x90, 64, 80}, {300, 0x90, 67, 120}};
    for (int i = 0; i < 16; ++i) {
        phrase.push_back({4096 + 512 * i, 0xE0, 0, static_cast<std::uint8_t>(64 + 3 * i)});
    }
    phrase.push_back({8192, 0xB0, 1, 90});
    phrase.push_back({20000, 0x80, 60, 0});
    phrase.push_back({20100, 0x80, 64, 0});
    phrase.push_back({20200, 0x80, 67, 0});
    return phrase;
}

constexpr int kFrames = 32768;

class GoldenRender : public ::testing::Test {
protected:
    testing_support::PluginEnvironment environment;
    testing_support::LoadedModule module;
};

TEST_F(GoldenRender, DefaultProgram)
{
    const Render r = renderPhrase(module, [](host::HostModule&) {}, chordPhrase(), kFrames);
    checkGolden("DefaultProgram", r, 0x1cc26155d67ed867ull,
                {0.0343f, 0.0938f, 0.1265f, 0.098f, 0.0688f, 0.0518f, 0.0326f, 0.0164f, 0.0343f, 0.0938f, 0.1265f, 0.098f, 0.0688f, 0.0518f, 0.0326f, 0.0164f});
}

TEST_F(GoldenRender, FeedbackFmProgram)
{
    const auto program = [](host::HostModule& h) {
        h.setParameter(26, 0.45f);  // oscillator 1 modulates itself
        h.setParameter(193, 0.0f);  // linear FM scaling
        h.setParameter(2, 0.55f);   // coarse tuning up
        h.setParameter(1, 0.4f);
    };
    const Render r = renderPhrase(module, program, chordPhrase(), kFrames);
    checkGolden("FeedbackFmProgram", r, 0x9ad46e1950e1038full,
                {0.0551f, 0.1496f, 0.1824f, 0.1488f, 0.1069f, 0.0843f, 0.0518f, 0.0269f, 0.0551f, 0.1496f, 0.1824f, 0.1488f, 0.1069f, 0.0843f, 0.0518f, 0.0269f});
}

TEST_F(GoldenRender, SequencedProgram)
{
    const auto program = [](host::HostModule& h) {
        h.setParameter(165, 4.0f / 16.0f);  // four steps
        h.setParameter(166, 1.0f);          // a quarter beat each
        for (int s = 0; s < 4; ++s) {
            h.setParameter(117 + s, 0.5f + 0.0625f * static_cast<float>(s));  // +0, +3, +6, +9
            h.setParameter(149 + s, 0.05f);                                   // short gates
        }
    };
    const std::vector<Event> phrase{{0, 0x90, 48, 110}, {16000, 0x80, 48, 0}};
    const Render r = renderPhrase(module, program, phrase, kFrames);
    checkGolden("SequencedProgram", r, 0x5bde00f9c6d5db1full,
                {0.0209f, 0.057f, 0.0809f, 0.0695f, 0.053f, 0.0297f, 0.0135f, 0.0059f, 0.0209f, 0.057f, 0.0809f, 0.0695f, 0.053f, 0.0297f, 0.0135f, 0.0059f});
}

// Six sine oscillators in an FM ring, both filters, a stereo delay and a quad phaser: set up in an
// in-process plug-in through its objects and parameters, then handed to the module as a program
// chunk.
std::vector<std::uint8_t> richProgramChunk()
{
    testing_support::InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    pelko::Program& program = plugin.editBuffer();
    for (int osc = 0; osc < 6; ++osc) {
        program.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + osc).setText("Single Cycle\\Sine");
        plugin.applyPatchObject(pelko::object::kOscShapeId + osc);
        plugin.setParameter(2 + osc, 0.5f + 0.01f * static_cast<float>(osc));  // spread coarse tuning
        plugin.setParameter(26 + 6 * ((osc + 1) % 6) + osc, 0.25f);             // each modulated by the next
        plugin.setParameter(80 + osc, 0.3f);
        plugin.setParameter(86 + osc, 0.2f);
        plugin.setParameter(92 + osc, 0.05f);
    }
    program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode).setValue(pelko::filter_id::kLowpass24);
    program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode + 1).setValue(pelko::filter_id::kBandpass12);
    program.objectAs<pelko::IntegerObject>(pelko::object::kFxType).setValue(1);       // stereo delay
    program.objectAs<pelko::IntegerObject>(pelko::object::kFxType + 1).setValue(30);  // quad phaser
    for (int object : std::initializer_list<int>{pelko::object::kFilterMode, pelko::object::kFilterMode + 1,
                                                 pelko::object::kFxType, pelko::object::kFxType + 1}) {
        plugin.applyPatchObject(object);
    }
    plugin.setParameter(111, 0.6f);
    plugin.setParameter(112, 0.45f);
    plugin.setParameter(113, 0.4f);
    plugin.setParameter(115, 0.5f);
    plugin.setParameter(179, 0.4f);
    plugin.setParameter(180, 0.5f);
    void* data = nullptr;
    const auto size = instance.effect()->dispatcher(instance.effect(), vst2::effGetChunk, 1, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + (size > 0 ? size : 0));
}

TEST_F(GoldenRender, FilteredFmProgramWithEffects)
{
    const std::vector<std::uint8_t> chunk = richProgramChunk();
    ASSERT_FALSE(chunk.empty());
    const auto program = [&chunk](host::HostModule& h) { ASSERT_TRUE(h.setChunk(true, chunk)); };
    const Render r = renderPhrase(module, program, chordPhrase(), kFrames);
    checkGolden("FilteredFmProgramWithEffects", r, 0xc0a5ad42f7c9c247ull,
                {0.1045f, 0.3774f, 0.4874f, 0.8076f, 0.6625f, 0.5102f, 0.4816f, 0.3922f, 0.1045f, 0.3774f, 0.4874f, 0.8076f, 0.6625f, 0.5102f, 0.4816f, 0.3922f});
}

}  // namespace
