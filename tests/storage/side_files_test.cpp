#include "fake_program_host.h"
#include "program_fixtures.h"

#include "platform/file_system.h"
#include "editor/core/side_file_dialogs.h"
#include "storage/side_files.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <fstream>
#include <numbers>

using namespace pelko;
using namespace fixtures;
using side_test::FakeProgramHost;
using side_test::ShownMessages;

namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path) { return readWholeFile(path).value_or(std::vector<std::uint8_t>{}); }

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_TRUE(writeFileAtomically(path, bytes));
}

std::uint32_t magicOf(const std::vector<std::uint8_t>& bytes)
{
    ByteReader in(bytes.data(), bytes.size());
    return static_cast<std::uint32_t>(in.int32());
}

class SideFiles : public ::testing::Test {
protected:
    testing_support::TempFolder folder;
    ShownMessages shown;
    FakeProgramHost source;
    FakeProgramHost target;
};

TEST_F(SideFiles, SequencerSettingsRoundTripSettingRandomFirst)
{
    for (int i = 117; i <= 166; ++i) source.edit().values[static_cast<std::size_t>(i)] = 0.002f * static_cast<float>(i);
    source.edit().values[183] = 1.0f;
    const std::string path = folder.file("steps.seq");
    ASSERT_TRUE(saveSequencerSettings(source.editBuffer(), path));
    const std::vector<std::uint8_t> bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 212u);
    EXPECT_EQ(magicOf(bytes), fourCharacters("PLKs"));
    EXPECT_EQ(bytes[7], 21);

    ASSERT_TRUE(loadSequencerSettings(target, path));
    ASSERT_EQ(target.steps.size(), 51u);
    EXPECT_EQ(target.steps.front(), "set 183");
    for (int i = 0; i < 50; ++i) EXPECT_EQ(target.steps[static_cast<std::size_t>(i + 1)], "set " + std::to_string(117 + i));
    for (int i : {117, 140, 166, 183}) EXPECT_EQ(target.editBuffer().values[static_cast<std::size_t>(i)], source.editBuffer().values[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(shown.texts().empty());
}

TEST_F(SideFiles, BadSequencerFilesAreReportedAndChangeNothing)
{
    const std::string path = folder.file("bad.seq");
    std::vector<std::uint8_t> good = sequencerFileBytes(source.editBuffer());

    std::vector<std::uint8_t> foreign = good;
    foreign[3] = 'f';  // 'PLKf'
    writeBytes(path, foreign);
    EXPECT_FALSE(loadSequencerSettings(target, path));
    writeBytes(path, std::vector<std::uint8_t>(good.begin(), good.end() - 1));
    EXPECT_FALSE(loadSequencerSettings(target, path));
    std::vector<std::uint8_t> newer = good;
    newer[7] = 22;
    writeBytes(path, newer);
    EXPECT_FALSE(loadSequencerSettings(target, path));
    EXPECT_FALSE(loadSequencerSettings(target, folder.file("missing.seq")));

    EXPECT_TRUE(target.steps.empty());
    const std::vector<std::string> expected = {
        "Error reading file\n" + path, "Error reading file\n" + path,
        "This file was created with a more recent version of the program.\n" + path,
        "Error opening file\n" + folder.file("missing.seq")};
    EXPECT_EQ(shown.texts(), expected);
}

TEST_F(SideFiles, EffectSettingsMoveBetweenSlotsThroughTheParameters)
{
    source.edit().objectAs<IntegerObject>(141).setValue(40);
    for (int i = 173; i <= 178; ++i) source.edit().values[static_cast<std::size_t>(i)] = 0.1f * static_cast<float>(i - 172);
    source.edit().values[180] = 0.3f;
    source.edit().values[192] = 0.0f;
    const std::string path = folder.file("verb.rfx");
    ASSERT_TRUE(saveEffectSettings(source.editBuffer(), 1, path));
    const std::vector<std::uint8_t> bytes = fileBytes(path);
    EXPECT_EQ(bytes.size(), 4 + 40u);
    EXPECT_EQ(magicOf(bytes), fourCharacters("PLKf"));

    ASSERT_TRUE(loadEffectSettings(target, 0, path));
    const std::vector<std::string> expected = {"store 140", "set 167", "set 168", "set 169", "set 170", "set 171",
                                               "set 172",   "set 179", "set 191", "apply 140"};
    EXPECT_EQ(target.steps, expected);
    EXPECT_EQ(target.editBuffer().objectAs<IntegerObject>(140).value(), 40);
    for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(target.editBuffer().values[static_cast<std::size_t>(167 + i)], 0.1f * static_cast<float>(i + 1));
    EXPECT_FLOAT_EQ(target.editBuffer().values[179], 0.3f);
    EXPECT_FLOAT_EQ(target.editBuffer().values[191], 0.0f);
}

TEST_F(SideFiles, ForeignEffectFilesAreReportedUnlessQuiet)
{
    const std::string path = folder.file("not.rfx");
    writeBytes(path, sequencerFileBytes(source.editBuffer()));
    EXPECT_FALSE(loadEffectSettings(target, 0, path, true));
    EXPECT_FALSE(loadEffectSettings(target, 1, folder.file("missing.rfx"), true));
    EXPECT_TRUE(shown.texts().empty());
    EXPECT_FALSE(loadEffectSettings(target, 0, path));
    EXPECT_EQ(shown.texts(), std::vector<std::string>{"Error reading file\n" + path});
    // A file cut inside the values changes nothing either.
    std::vector<std::uint8_t> shortFile = effectFileBytes(source.editBuffer(), 0);
    shortFile.resize(shortFile.size() - 4);
    writeBytes(path, shortFile);
    EXPECT_FALSE(loadEffectSettings(target, 0, path, true));
    EXPECT_TRUE(target.steps.empty());
}

TEST_F(SideFiles, EnvelopeAndAdditiveFilesRoundTripByteForByte)
{
    changeObject(source.edit(), object::kOscPitchEnv + 2, 3);
    changeObject(source.edit(), object::kAdditiveSettings + 4, 3);
    const std::string env = folder.file("pitch.env");
    const std::string add = folder.file("organ.add");
    ASSERT_TRUE(saveEnvelope(source.editBuffer(), object::kOscPitchEnv + 2, env));
    ASSERT_TRUE(saveAdditiveSettings(source.editBuffer(), object::kAdditiveSettings + 4, add));
    EXPECT_EQ(magicOf(fileBytes(env)), fourCharacters("PLKe"));
    EXPECT_EQ(magicOf(fileBytes(add)), fourCharacters("PLKa"));

    // Loaded into other objects of the same classes.
    ASSERT_TRUE(loadEnvelope(target, object::kFilterEnv, env));
    ASSERT_TRUE(loadAdditiveSettings(target, object::kAdditiveSettings, add));
    EXPECT_EQ(bytesOf(target.editBuffer().object(object::kFilterEnv)), bytesOf(source.editBuffer().object(object::kOscPitchEnv + 2)));
    EXPECT_EQ(bytesOf(target.editBuffer().object(object::kAdditiveSettings)),
              bytesOf(source.editBuffer().object(object::kAdditiveSettings + 4)));
    const std::vector<std::string> expected = {"store 108", "apply 108", "store 184", "apply 184"};
    EXPECT_EQ(target.steps, expected);
    EXPECT_TRUE(shown.texts().empty());
}

TEST_F(SideFiles, OlderMagicsReadAsVersionTen)
{
    // A version-10 envelope has no reference tempo and no depth.
    EnvelopeObject& envelope = source.edit().objectAs<EnvelopeObject>(object::kOscEnv);
    changeObject(source.edit(), object::kOscEnv, 1);
    ByteWriter old;
    old.putInt32(static_cast<std::int32_t>(fourCharacters("PLKE")));
    writeObjectAsVersion(old, envelope, 10);
    const std::string env = folder.file("old.env");
    writeBytes(env, old.take());
    ASSERT_TRUE(loadEnvelope(target, object::kOscEnv + 1, env));
    const EnvelopeShape& loaded = target.editBuffer().objectAs<EnvelopeObject>(object::kOscEnv + 1).shape();
    EXPECT_EQ(loaded.segmentCount(), envelope.shape().segmentCount());
    EXPECT_EQ(loaded.loopStart(), envelope.shape().loopStart());
    EXPECT_FLOAT_EQ(loaded.referenceTempo(), 120.0f);
    EXPECT_FLOAT_EQ(loaded.depth(), 1.0f);
    EXPECT_FLOAT_EQ(loaded.segment(1).endLevel, envelope.shape().segment(1).endLevel);

    changeObject(source.edit(), object::kAdditiveSettings, 2);
    ByteWriter oldAdd;
    oldAdd.putInt32(static_cast<std::int32_t>(fourCharacters("PLKA")));
    source.editBuffer().object(object::kAdditiveSettings).write(oldAdd);
    const std::string add = folder.file("old.add");
    writeBytes(add, oldAdd.take());
    ASSERT_TRUE(loadAdditiveSettings(target, object::kAdditiveSettings + 5, add));
    EXPECT_EQ(bytesOf(target.editBuffer().object(object::kAdditiveSettings + 5)),
              bytesOf(source.editBuffer().object(object::kAdditiveSettings)));
}

TEST_F(SideFiles, DamagedOrForeignObjectFilesLeaveTheObject)
{
    changeObject(target.edit(), object::kOscEnv, 4);
    const std::vector<std::uint8_t> before = bytesOf(target.editBuffer().object(object::kOscEnv));
    const std::string path = folder.file("cut.env");
    std::vector<std::uint8_t> cut = objectFileBytes(kEnvelopeFileMagic, source.editBuffer().object(object::kOscEnv));
    cut.resize(cut.size() - 2);
    writeBytes(path, cut);
    EXPECT_FALSE(loadEnvelope(target, object::kOscEnv, path));
    // An additive file is no envelope file, and the reverse.
    const std::string add = folder.file("a.add");
    writeBytes(add, objectFileBytes(kAdditiveFileMagic, source.editBuffer().object(object::kAdditiveSettings)));
    EXPECT_FALSE(loadEnvelope(target, object::kOscEnv, add));
    EXPECT_FALSE(loadAdditiveSettings(target, object::kAdditiveSettings, path));
    // A segment count beyond the envelope's capacity.
    ByteWriter huge;
    huge.putInt32(static_cast<std::int32_t>(kEnvelopeFileMagic));
    huge.putInt32(21);
    huge.putInt32(1000);
    huge.putInt32(128);
    huge.putInt32(0);
    writeBytes(path, huge.take());
    EXPECT_FALSE(loadEnvelope(target, object::kOscEnv, path));

    EXPECT_EQ(bytesOf(target.editBuffer().object(object::kOscEnv)), before);
    EXPECT_TRUE(target.steps.empty());
    const std::string bad = "Error reading file\n" + path;
    EXPECT_EQ(shown.texts(), (std::vector<std::string>{bad, "Error reading file\n" + add, bad, bad}));

    // Objects of the wrong class are refused without touching any file.
    EXPECT_FALSE(loadEnvelope(target, object::kAdditiveSettings, path));
    EXPECT_FALSE(saveAdditiveSettings(target.editBuffer(), object::kOscEnv, folder.file("never.add")));
    EXPECT_FALSE(fileExists(folder.file("never.add")));
    EXPECT_EQ(shown.texts().size(), 4u);
}

TEST_F(SideFiles, FilesThatCannotBeCreatedGiveMessageSeven)
{
    const std::string path = folder.file("no/such/folder/x.seq");
    EXPECT_FALSE(saveSequencerSettings(source.editBuffer(), path));
    EXPECT_FALSE(saveEnvelope(source.editBuffer(), object::kOscEnv, folder.file("no/x.env")));
    ASSERT_EQ(shown.texts().size(), 2u);
    EXPECT_EQ(shown.texts()[0], "Error opening file\n" + path);
}

// A dialog host that answers with a queued path and records what it was asked.
class RecordingDialogs final : public StorageDialogHost {
public:
    std::optional<std::string> chooseFile(bool save, const FileDialogOptions& options) override
    {
        asked.push_back({save, options.title, options.filterDescription, options.extension, options.folderValue});
        return answer;
    }
    struct Asked {
        bool save;
        std::string title, filter, extension, folder;
    };
    std::vector<Asked> asked;
    std::optional<std::string> answer;
};

TEST_F(SideFiles, DialogCommandsAskWithTheirTitlesFiltersAndFolders)
{
    RecordingDialogs dialogs;
    using Command = std::function<bool()>;
    const std::vector<std::pair<Command, RecordingDialogs::Asked>> commands = {
        {[&] { return exportProgramWithDialog(source, dialogs); }, {true, "Export Patch", "Patches", ".txt", "importPath"}},
        {[&] { return importProgramWithDialog(source, dialogs, 3); }, {false, "Import Patch", "Patches", ".txt", "importPath"}},
        {[&] { return loadSequencerWithDialog(source, dialogs); },
         {false, "Load Sequencer Settings", "Seq settings", ".seq", "SequencerPath"}},
        {[&] { return saveSequencerWithDialog(source, dialogs); },
         {true, "Save Sequencer settings", "Seq settings", ".seq", "SequencerPath"}},
        {[&] { return loadEffectWithDialog(source, dialogs, 0); }, {false, "Load FX Settings", "FX settings", ".rfx", "EffectsPath"}},
        {[&] { return saveEffectWithDialog(source, dialogs, 1); }, {true, "Save FX settings", "FX settings", ".rfx", "EffectsPath"}},
        {[&] { return loadEnvelopeWithDialog(source, dialogs, 0); }, {false, "Load Envelope", "Envelopes", ".env", "EnvPath"}},
        {[&] { return saveEnvelopeWithDialog(source, dialogs, 0); }, {true, "Save Envelope", "Envelopes", ".env", "EnvPath"}},
        {[&] { return loadAdditiveWithDialog(source, dialogs, 184); },
         {false, "Load Additive Settings", "Additive Settings", ".add", "additivePath"}},
        {[&] { return saveAdditiveWithDialog(source, dialogs, 184); },
         {true, "Save Additive Settings", "Additive Settings", ".add", "additivePath"}},
        {[&] { return loadWavWithDialog(source, dialogs, 184); }, {false, "Load Wav File", "Wav File", ".wav", "additiveWavPath"}},
        {[&] { return importSysexWithDialog(source, dialogs); }, {false, "Load Sysex File", "Sysex Files", ".syx", "syxPath"}},
    };
    for (const auto& [command, expected] : commands) {
        dialogs.asked.clear();
        EXPECT_FALSE(command());  // cancelled
        ASSERT_EQ(dialogs.asked.size(), 1u);
        const auto& a = dialogs.asked.front();
        EXPECT_EQ(a.save, expected.save) << expected.title;
        EXPECT_EQ(a.title, expected.title);
        EXPECT_EQ(a.filter, expected.filter);
        EXPECT_EQ(a.extension, expected.extension);
        EXPECT_EQ(a.folder, expected.folder);
    }
    EXPECT_TRUE(source.steps.empty());
    EXPECT_TRUE(shown.texts().empty());

    // A confirmed dialog runs the command on the chosen file.
    dialogs.answer = folder.file("chosen.seq");
    EXPECT_TRUE(saveSequencerWithDialog(source, dialogs));
    EXPECT_TRUE(loadSequencerWithDialog(target, dialogs));
    EXPECT_EQ(target.steps.size(), 51u);
}

// ---- WAV files into additive settings -------------------------------------------------------------

std::vector<std::uint8_t> monoWav(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                  1,   0,   1,   0,   0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a'};
    const auto size = static_cast<std::uint32_t>(samples.size() * 2);
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(size >> (8 * b)));
    for (std::int16_t s : samples) {
        out.push_back(static_cast<std::uint8_t>(s & 0xFF));
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
    }
    const auto riff = static_cast<std::uint32_t>(out.size() - 8);
    for (int b = 0; b < 4; ++b) out[static_cast<std::size_t>(4 + b)] = static_cast<std::uint8_t>(riff >> (8 * b));
    return out;
}

TEST_F(SideFiles, WavFilesBecomeAdditiveSettings)
{
    // Harmonics 1 and 3 (half as strong, a quarter cycle later) at a period of 200.5 samples.
    std::vector<std::int16_t> samples(4000);
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const double t = static_cast<double>(n) / 200.5;
        const double x = std::sin(2 * std::numbers::pi * t) + 0.5 * std::sin(2 * std::numbers::pi * (0.25 + 3 * t));
        samples[n] = static_cast<std::int16_t>(std::lround(16000.0 * x));
    }
    const std::string path = folder.file("tone.wav");
    writeBytes(path, monoWav(samples));
    ASSERT_TRUE(loadWavIntoAdditiveSettings(target, object::kAdditiveSettings + 2, path));
    const auto& settings = target.editBuffer().objectAs<AdditiveSettingsObject>(object::kAdditiveSettings + 2);
    EXPECT_NEAR(settings.level(0), 1.0f, 1e-3f);
    EXPECT_NEAR(settings.level(2), 0.5f, 2e-3f);
    EXPECT_NEAR(settings.phase(2), 0.25f, 2e-3f);
    EXPECT_LT(settings.level(1), 2e-3f);
    EXPECT_EQ(target.steps, (std::vector<std::string>{"store 186", "apply 186"}));

    // Unreadable, foreign and silent files leave the settings alone.
    const std::string text = folder.file("text.wav");
    writeBytes(text, {'h', 'e', 'l', 'l', 'o'});
    const std::string silent = folder.file("silent.wav");
    writeBytes(silent, monoWav(std::vector<std::int16_t>(1000, 0)));
    EXPECT_FALSE(loadWavIntoAdditiveSettings(target, object::kAdditiveSettings + 2, folder.file("missing.wav")));
    EXPECT_FALSE(loadWavIntoAdditiveSettings(target, object::kAdditiveSettings + 2, text));
    EXPECT_FALSE(loadWavIntoAdditiveSettings(target, object::kAdditiveSettings + 2, silent));
    const std::vector<std::string> expected = {"Error opening file\n" + folder.file("missing.wav"), "Error reading file\n" + text,
                                               "Error reading file\n" + silent};
    EXPECT_EQ(shown.texts(), expected);
    EXPECT_EQ(target.steps.size(), 2u);
}

}  // namespace
