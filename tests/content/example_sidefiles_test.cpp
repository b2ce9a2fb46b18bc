// The example side files of the install folder, read back through the side-file readers: each
// folder the load commands use holds a few, and each one holds a usable setting (a sequence that
// plays, an envelope that rises, holds and ends in silence, an effect that is switched in, a
// harmonic spectrum that sounds).
#include "params/additive_settings_object.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"
#include "params/program.h"
#include "params/setting_objects.h"
#include "platform/file_system.h"
#include "storage/side_files.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using pelko::SideFileStatus;

class ExampleSideFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { install_ = new testing_support::InstallFolderCopy(); }
    static void TearDownTestSuite()
    {
        delete install_;
        install_ = nullptr;
    }

    // The files of one folder with this extension (DX7 import content lives in a subfolder).
    static std::vector<std::string> files(const std::string& folder, const std::string& extension)
    {
        std::vector<std::string> paths;
        for (const auto& name : pelko::listFiles(install_->path() + folder + "/*" + extension)) {
            paths.push_back(install_->path() + folder + "/" + name);
        }
        return paths;
    }

    static std::vector<std::uint8_t> bytes(const std::string& path)
    {
        auto data = pelko::readWholeFile(path);
        return data ? *data : std::vector<std::uint8_t>{};
    }

    static testing_support::InstallFolderCopy* install_;
};

testing_support::InstallFolderCopy* ExampleSideFiles::install_ = nullptr;

// A sequencer step's stored note value as the semitone offset it plays (trunc around the centre).
int stepNote(float value) { return static_cast<int>((value - 0.5f) * 96.0f); }

TEST_F(ExampleSideFiles, SequencesPlayStepsWithinTwoOctaves)
{
    const auto paths = files("Sequencer Settings", ".seq");
    ASSERT_GE(paths.size(), 2u);
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const auto data = bytes(path);
        std::array<float, pelko::kSequencerFileValues> values{};
        ASSERT_EQ(pelko::parseSequencerFile(data.data(), data.size(), values), SideFileStatus::ok);
        // Value 0 is Random, 1–16 the notes, 17–32 the velocities, 33–48 the gate lengths, then
        // the step count (in sixteenths) and the speed.
        EXPECT_EQ(values[0], 0.0f) << "an example plays its steps in order";
        const int steps = static_cast<int>(std::lround(values[49] * 16.0f));
        EXPECT_GE(steps, 4);
        EXPECT_LE(steps, 16);
        EXPECT_EQ(stepNote(values[1]), 0) << "the first step plays the key itself";
        bool moves = false;
        for (int i = 0; i < steps; ++i) {
            const int note = stepNote(values[static_cast<std::size_t>(1 + i)]);
            EXPECT_LE(std::abs(note), 24) << "step " << i;
            EXPECT_GT(values[static_cast<std::size_t>(33 + i)], 0.0f) << "step " << i << " is never gated";
            moves = moves || note != 0;
        }
        EXPECT_TRUE(moves) << "every step plays the same note";
        EXPECT_GT(values[50], 0.0f);
    }
}

TEST_F(ExampleSideFiles, EnvelopesRiseHoldAndEndInSilence)
{
    const auto paths = files("Envelope Settings", ".env");
    ASSERT_GE(paths.size(), 2u);
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const auto data = bytes(path);
        pelko::EnvelopeObject envelope(1, 0);
        ASSERT_EQ(pelko::parseObjectFile(data.data(), data.size(), pelko::kEnvelopeFileMagic,
                                         pelko::kOldEnvelopeFileMagic, envelope),
                  SideFileStatus::ok);
        const auto& shape = envelope.shape();
        ASSERT_GE(shape.segmentCount(), 2);
        EXPECT_EQ(shape.segment(0).startLevel, 0.0f);
        EXPECT_EQ(shape.segment(0).endLevel, 1.0f);
        EXPECT_EQ(shape.segment(shape.segmentCount() - 1).endLevel, 0.0f);
        EXPECT_GT(shape.loopLength(), 0) << "no sustain: a held key would not hold";
        EXPECT_LT(shape.loopStart() + shape.loopLength(), shape.segmentCount()) << "no release after the loop";
    }
}

TEST_F(ExampleSideFiles, EffectSettingsSwitchAnEffectIn)
{
    const auto paths = files("Effects Settings", ".rfx");
    ASSERT_GE(paths.size(), 3u);  // the two of the FM import and the examples
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const auto data = bytes(path);
        const auto type = pelko::Program().object(pelko::object::kFxType).clone();
        std::array<float, pelko::kEffectFileValues> values{};
        ASSERT_EQ(pelko::parseEffectFile(data.data(), data.size(), *type, values), SideFileStatus::ok);
        EXPECT_NE(static_cast<const pelko::IntegerObject&>(*type).value(), 0) << "no effect";
        EXPECT_GT(values[6], 0.0f) << "dry/wet all dry";
        EXPECT_LE(values[6], 1.0f);
    }
}

TEST_F(ExampleSideFiles, AdditiveSettingsHoldASoundingSpectrum)
{
    const auto paths = files("Additive Settings", ".add");
    ASSERT_GE(paths.size(), 2u);
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const auto data = bytes(path);
        pelko::AdditiveSettingsObject settings;
        ASSERT_EQ(pelko::parseObjectFile(data.data(), data.size(), pelko::kAdditiveFileMagic,
                                         pelko::kOldAdditiveFileMagic, settings),
                  SideFileStatus::ok);
        EXPECT_FALSE(settings.silent());
        int harmonics = 0;
        for (int h = 0; h < pelko::AdditiveSettingsObject::kHarmonics; ++h) {
            harmonics += settings.level(h) > 0.0f ? 1 : 0;
        }
        EXPECT_GE(harmonics, 3) << "hardly more than a sine";
        std::vector<float> cycle(1024);
        settings.renderWaveform(static_cast<int>(cycle.size()), cycle.data());
        float peak = 0.0f;
        for (float x : cycle) {
            peak = std::max(peak, std::abs(x));
        }
        EXPECT_NEAR(peak, 1.0f, 1e-3f);
    }
}

}  // namespace
