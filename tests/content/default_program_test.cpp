// The program "initialise" loads from the install folder's presets folder: it sounds at once, as
// an unfiltered saw (every harmonic at 1/n of the fundamental), ends soon after the key is let
// go, and answers velocity with its level.
#include "platform/file_system.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kRate = 44100;
constexpr int kBlock = 256;
constexpr int kSlot = 5;
constexpr int kKey = 57;  // A below middle C
constexpr double kFundamental = 220.0;

class DefaultProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        instance_ = std::make_unique<InProcessPlugin>();
        vst2::AEffect* e = instance_->effect();
        ASSERT_NE(e, nullptr);
        e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        e->dispatcher(e, vst2::effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
        instance_->plugin()->initialiseProgram(kSlot, false);
        e->dispatcher(e, vst2::effSetProgram, 0, kSlot, nullptr, 0.0f);
    }

    // The left channel of one note held for `heldSeconds`, then `tailSeconds` after its release.
    std::vector<float> playNote(int velocity, double heldSeconds, double tailSeconds)
    {
        vst2::AEffect* e = instance_->effect();
        const int held = static_cast<int>(heldSeconds * kRate);
        const int total = held + static_cast<int>(tailSeconds * kRate);
        std::vector<float> left(static_cast<std::size_t>(total)), right(left.size());
        for (int start = 0; start < total; start += kBlock) {
            const int frames = std::min(kBlock, total - start);
            std::vector<vst2::VstMidiEvent> events;
            if (start == 0) {
                events.push_back(host::midiEvent(0, 0x90, kKey, static_cast<std::uint8_t>(velocity)));
            }
            if (held >= start && held < start + frames) {
                events.push_back(host::midiEvent(held - start, 0x80, kKey, 0));
            }
            // The events stay valid until the block has been processed, as a host keeps them.
            host::MidiEventBlock block(events);
            if (!events.empty()) {
                e->dispatcher(e, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
            }
            float* outputs[2] = {left.data() + start, right.data() + start};
            e->processReplacing(e, nullptr, outputs, frames);
        }
        return left;
    }

    PluginEnvironment environment_;
    std::unique_ptr<InProcessPlugin> instance_;
};

TEST_F(DefaultProgram, InitialiseLoadsTheInstalledProgram)
{
    ASSERT_TRUE(pelko::fileExists(environment_.installFolder() + "presets/default.fxp"));
    const pelko::Program& loaded = instance_->plugin()->bank().program(kSlot);
    EXPECT_EQ(loaded.name().substr(0, 4), "Init");
    // The slot played is the one initialised.
    EXPECT_EQ(instance_->plugin()->editBuffer().name(), loaded.name());
}

TEST_F(DefaultProgram, SoundsAsASawAndReleasesQuickly)
{
    const double held = 0.5;
    const std::vector<float> note = playNote(127, held, 0.5);
    const std::size_t from = static_cast<std::size_t>(0.1 * kRate);
    const std::size_t length = static_cast<std::size_t>(0.3 * kRate);
    const double fundamental = amplitudeAt(note, kFundamental, kRate, from, length);
    ASSERT_GT(fundamental, 0.02) << "the note is silent";
    EXPECT_LT(peak(note), 0.9);
    // A saw's harmonic series: the n-th harmonic at 1/n of the fundamental; the open filter
    // leaves the first twelve within 1 dB of it.
    for (int n = 2; n <= 12; ++n) {
        const double level = decibels(amplitudeAt(note, n * kFundamental, kRate, from, length) * n / fundamental);
        std::printf("harmonic %2d: %+.2f dB from 1/n\n", n, level);
        EXPECT_NEAR(level, 0.0, 1.0) << "harmonic " << n;
    }
    // Between the harmonics there is (almost) nothing.
    EXPECT_LT(amplitudeAt(note, 1.5 * kFundamental, kRate, from, length), fundamental * 0.01);

    // The release: still sounding just after the key is let go, below −60 dB of the held level
    // within 0.3 s.
    const std::size_t off = static_cast<std::size_t>(held * kRate);
    const std::size_t window = kRate / 100;
    const double heldRms = rms(note, off - 4 * window, off);
    double endedAfter = -1.0;
    for (std::size_t at = off; at + window <= note.size(); at += window) {
        if (rms(note, at, at + window) < heldRms * 0.001) {
            endedAfter = static_cast<double>(at - off) / kRate;
            break;
        }
    }
    std::printf("release: below -60 dB after %.3f s\n", endedAfter);
    EXPECT_GT(rms(note, off, off + window), heldRms * 0.3) << "the release is abrupt";
    EXPECT_GE(endedAfter, 0.0) << "the note has not ended 0.5 s after its release";
    EXPECT_LT(endedAfter, 0.3);
}

TEST_F(DefaultProgram, VelocitySetsTheLevel)
{
    const std::size_t from = static_cast<std::size_t>(0.1 * kRate);
    const std::size_t to = static_cast<std::size_t>(0.4 * kRate);
    std::vector<double> levels;
    for (int velocity : {127, 90, 50}) {
        const std::vector<float> note = playNote(velocity, 0.4, 0.4);
        levels.push_back(decibels(rms(note, from, to)));
        std::printf("velocity %3d: %.2f dB\n", velocity, levels.back());
    }
    EXPECT_GT(levels[0] - levels[1], 2.0);
    EXPECT_GT(levels[1] - levels[2], 2.0);
    EXPECT_LT(levels[0] - levels[2], 20.0) << "soft notes are too quiet to play";
}

}  // namespace
