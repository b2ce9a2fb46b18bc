// A MIDI file whose program changes and notes fall on the same ticks, rendered through the built
// module as a host drives it (no user-interface call in between): every note sounds with its new
// program, and renders are bit-identical run after run.
#include "midi_file.h"
#include "params/patch_object_table.h"
#include "render_session.h"
#include "storage/chunk_storage.h"
#include "params/wave_name_object.h"
#include "support/plugin_fixture.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>

namespace {

using testing_support::PluginEnvironment;
using testing_support::TempFolder;

constexpr int kTicksPerQuarter = 96;  // at 120 BPM one tick is 1/192 s
constexpr int kTicksPerNote = 192;    // one second apart
constexpr std::uint32_t kRate = 44100;

// The six wave names of a program, as a set of what it plays.
std::string waveKey(const pelko::Program& program)
{
    std::string key;
    for (int osc = 0; osc < 6; ++osc) {
        key += std::string(program.objectAs<pelko::WaveNameObject>(pelko::object::kOscShapeId + osc).text()) + "|";
    }
    return key;
}

// Slots of the first twenty whose waves differ from those of every slot chosen before.
std::vector<int> programsWithDifferentWaves(const pelko::ProgramBank& bank)
{
    std::vector<int> chosen;
    std::set<std::string> seen;
    for (int slot = 0; slot < 20 && chosen.size() < 6; ++slot) {
        if (seen.insert(waveKey(bank.program(slot))).second) {
            chosen.push_back(slot);
        }
    }
    return chosen;
}

// Each program in turn: its program change and a note on the same tick, the note held half a
// second. With notes off, only the program changes (the reference for finding the onsets).
pelko::MidiSequence phrase(const std::vector<int>& programs, bool withNotes)
{
    pelko::MidiSequence s;
    s.division.ticksPerQuarter = kTicksPerQuarter;
    std::uint64_t tick = kTicksPerNote / 2;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const auto note = static_cast<std::uint8_t>(55 + 3 * i);
        s.events.push_back({tick, 0xC0, static_cast<std::uint8_t>(programs[i]), 0, 0});
        if (withNotes) {
            s.events.push_back({tick, 0x90, note, 100, 0});
            s.events.push_back({tick + kTicksPerNote / 2, 0x80, note, 0, 0});
        }
        tick += kTicksPerNote;
    }
    s.endTick = tick;
    return s;
}

std::uint64_t noteFrame(std::size_t i)
{
    return (static_cast<std::uint64_t>(kTicksPerNote) / 2 + i * kTicksPerNote) * kRate / (2 * kTicksPerQuarter);
}

std::vector<float> readSamples(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return {};
    }
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

class ProgramChangeRender : public ::testing::Test {
protected:
    ProgramChangeRender() : environment_(true, true)
    {
        bankFile_ = environment_.installFolder() + "presets/Factory.fxb";
    }

    std::vector<float> render(const pelko::MidiSequence& sequence, int blockSize, const std::string& name)
    {
        const std::string midi = folder_.file(name + ".mid");
        const std::vector<std::uint8_t> bytes = pelko::writeMidiFile(sequence);
        std::ofstream(midi, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        render::RenderOptions options;
        options.midiFile = midi;
        options.output = folder_.file(name + ".wav");
        options.depth = render::SampleDepth::Float32;
        options.modulePath = PELKO_MODULE_PATH;
        options.bankFile = bankFile_;
        options.blockSize = blockSize;
        options.tailSeconds = 0.5;
        options.quiet = true;
        const render::RenderResult result = render::renderToFile(options, PELKO_MODULE_PATH);
        EXPECT_EQ(result.exitCode, render::kExitSuccess) << result.error;
        return readSamples(options.output);
    }

    PluginEnvironment environment_;
    TempFolder folder_;
    std::string bankFile_;
};

TEST_F(ProgramChangeRender, EveryNoteSoundsAndEveryRunIsBitIdentical)
{
    pelko::ProgramBank bank;
    ASSERT_TRUE(pelko::loadForeignBankFile(bankFile_, bank));
    const std::vector<int> programs = programsWithDifferentWaves(bank);
    ASSERT_GE(programs.size(), 4u);

    const std::vector<float> silentReference = render(phrase(programs, false), 256, "changes-only");
    const pelko::MidiSequence song = phrase(programs, true);
    std::vector<std::vector<float>> byBlockSize;
    for (int blockSize : {256, 1000}) {
        const std::vector<float> first = render(song, blockSize, "first");
        byBlockSize.push_back(first);
        ASSERT_EQ(first.size(), silentReference.size());
        // Each note's onset: within 100 ms of its tick the output differs clearly from the render
        // that has the same program changes and no notes.
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const std::size_t start = 2 * static_cast<std::size_t>(noteFrame(i));
            double energy = 0.0;
            for (std::size_t n = start; n < start + 2 * kRate / 10 && n < first.size(); ++n) {
                const double d = first[n] - silentReference[n];
                energy += d * d;
            }
            const double rms = std::sqrt(energy / (2.0 * kRate / 10));
            EXPECT_GT(rms, 1e-3) << "the note of program " << programs[i] << " (\""
                                 << bank.program(programs[i]).name()
                                 << "\") is silent at block size " << blockSize;
        }
        for (int run = 1; run < 20; ++run) {
            EXPECT_EQ(render(song, blockSize, "again"), first) << "run " << run << " at block size " << blockSize;
        }
    }
    // Across block sizes the renders agree to within -70 dBFS, not to the bit: effects whose
    // modulation oscillator is renormalised once per process call (the chorus) round differently
    // when the calls fall elsewhere. Everything else, program changes included, is sample-exact.
    double largest = 0.0;
    for (std::size_t n = 0; n < byBlockSize[0].size(); ++n) {
        largest = std::max(largest, static_cast<double>(std::fabs(byBlockSize[0][n] - byBlockSize[1][n])));
    }
    EXPECT_LT(largest, 3e-4);
}

}  // namespace
