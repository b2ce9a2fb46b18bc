// Text programs, effect settings and system-exclusive dumps loaded into a running plug-in: what
// the commands store reaches the bank, the edit buffer and the engine.
#include "params/patch_object_table.h"
#include "plugin/synth_plugin.h"
#include "storage/program_format.h"
#include "params/setting_objects.h"
#include "storage/side_files.h"
#include "storage/sysex_import.h"
#include "storage/sysex_voice.h"
#include "storage/text_program.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

class PluginSideFiles : public ::testing::Test {
protected:
    pelko::SynthPlugin& plugin() { return *instance.plugin(); }
    std::string installed(const std::string& name) const { return environment.installFolder() + name; }

    testing_support::PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    testing_support::TempFolder files;
};

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST_F(PluginSideFiles, InstalledEffectSettingsReachTheEffectSlot)
{
    for (int slot = 0; slot < 2; ++slot) {
        const std::string path = installed(slot == 0 ? "Effects Settings/dx7-a.rfx" : "Effects Settings/dx7-b.rfx");
        pelko::IntegerObject type;
        std::array<float, pelko::kEffectFileValues> values{};
        const std::vector<std::uint8_t> bytes = fileBytes(path);
        ASSERT_EQ(pelko::parseEffectFile(bytes.data(), bytes.size(), type, values), pelko::SideFileStatus::ok);
        ASSERT_NE(type.value(), 0);

        ASSERT_TRUE(pelko::loadEffectSettings(plugin().programHost(), slot, path));
        EXPECT_EQ(plugin().effects().effectType(slot), type.value());
        EXPECT_EQ(plugin().editBuffer().objectAs<pelko::IntegerObject>(pelko::object::kFxType + slot).value(),
                  type.value());
        for (int i = 0; i < pelko::kEffectFileValues; ++i) {
            EXPECT_FLOAT_EQ(plugin().getParameter(pelko::effectFileParameter(slot, i)), values[static_cast<std::size_t>(i)])
                << "slot " << slot << " value " << i;
        }
    }
    // Saving the slot again writes the same file.
    const std::string saved = files.file("again.rfx");
    ASSERT_TRUE(pelko::saveEffectSettings(plugin().editBuffer(), 1, saved));
    EXPECT_EQ(fileBytes(saved), fileBytes(installed("Effects Settings/dx7-b.rfx")));
}

TEST_F(PluginSideFiles, ATextProgramImportedIntoTheCurrentSlotIsPlayed)
{
    const std::string path = files.file("patch.txt");
    plugin().setParameter(1, 0.3f);
    ASSERT_TRUE(pelko::exportProgramText(plugin().programHost(), path));
    const float exported = plugin().getParameter(1);

    // Another slot: stored, not selected.
    ASSERT_TRUE(pelko::importProgramText(plugin().programHost(), 5, path));
    EXPECT_EQ(plugin().currentProgram(), 0);
    EXPECT_FLOAT_EQ(plugin().bank().program(5).values[1], exported);

    plugin().setParameter(1, 0.9f);
    ASSERT_TRUE(pelko::importProgramText(plugin().programHost(), 0, path));
    EXPECT_FLOAT_EQ(plugin().getParameter(1), exported);
    EXPECT_EQ(pelko::programText(plugin().editBuffer()), pelko::programText(plugin().bank().program(5)));
}

TEST_F(PluginSideFiles, ABulkDumpFillsTheCurrentHalfOfTheBankAndIsSelected)
{
    std::vector<std::uint8_t> dump{0xF0, 0x43, 0x00, 0x09, 0x20, 0x00};
    for (int v = 0; v < pelko::kBulkDumpVoices; ++v) {
        pelko::FmVoice voice;
        voice.algorithm = v;
        char name[16];
        std::snprintf(name, sizeof name, "DUMP %02d   ", v);
        voice.name = name;
        std::uint8_t packed[pelko::kPackedVoiceSize];
        pelko::packVoice(voice, packed);
        dump.insert(dump.end(), packed, packed + pelko::kPackedVoiceSize);
    }
    unsigned sum = 0;
    for (std::size_t i = 6; i < dump.size(); ++i) sum += dump[i];
    dump.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
    dump.push_back(0xF7);

    plugin().selectProgram(40);
    ASSERT_TRUE(pelko::importSysexBytes(plugin().programHost(), dump.data(), dump.size(), "dump.syx"));
    EXPECT_EQ(plugin().bank().program(31).name().substr(0, 7), "program");
    EXPECT_EQ(plugin().bank().program(32).name().substr(0, 7), "DUMP 00");
    EXPECT_EQ(plugin().bank().program(63).name().substr(0, 7), "DUMP 31");
    EXPECT_EQ(plugin().currentProgram(), 40);
    EXPECT_EQ(plugin().editBuffer().name().substr(0, 7), "DUMP 08");
    // The installed effect settings came with it.
    EXPECT_NE(plugin().effects().effectType(0), 0);
    EXPECT_NE(plugin().effects().effectType(1), 0);
}

}  // namespace
