// The plug-in and its preset library: the install folder's "pelko.db" is opened at construction
// and closed at destruction, an old library gets its keywords from the programs' comment lines,
// and a library that cannot be used is reported while the plug-in plays on.
#include "library/library_fixture.h"
#include "library/record_encoding.h"
#include "params/patch_object_table.h"
#include "platform/messages.h"
#include "plugin/synth_plugin.h"
#include "storage/program_format.h"
#include "params/setting_objects.h"
#include "storage/text_program.h"
#include "params/text_object.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using testing_support::InProcessPlugin;
using testing_support::intValue;
using testing_support::PluginEnvironment;
using testing_support::runSql;

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string presetRecordText(const std::vector<std::string>& comments)
{
    pelko::Program program;
    for (std::size_t line = 0; line < comments.size(); ++line) {
        program.objectAs<pelko::TextObject>(pelko::object::kPatchComment + static_cast<int>(line)).setText(comments[line]);
    }
    return pelko::encodeRecord(pelko::presetRecord(program, -1));
}

// A library as it was before keyword searches: categories without counts, no comments stored.
void writeLibraryWithoutKeywords(const std::string& path)
{
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    runSql(db, std::string(testing_support::kOldLibraryTables) +
                   "INSERT INTO CATEGORIES VALUES(1, 'Pads', -1);"
                   "INSERT INTO CATEGORIES VALUES(2, 'Warm', 1);"
                   "INSERT INTO PRESETS_INFO VALUES(1, 2, 'Velvet', NULL);"
                   "INSERT INTO PRESETS_INFO VALUES(2, 2, 'Broken', 'kept as it is');"
                   "INSERT INTO PRESETS_INFO VALUES(3, 1, 'Plain', NULL);");
    runSql(db, "INSERT INTO PRESETS_DATA VALUES(1, '" + presetRecordText({"soft analog pad  ", "", "slow attack"}) + "');");
    runSql(db, "INSERT INTO PRESETS_DATA VALUES(2, '" + pelko::encodeRecord(std::vector<std::uint8_t>{21, 0, 0, 0, 7}) + "');");
    runSql(db, "INSERT INTO PRESETS_DATA VALUES(3, '" + presetRecordText({}) + "');");
    sqlite3_close(db);
}

std::vector<int> messageNumbers(pelko::ScriptedUserInterface& ui)
{
    std::vector<int> numbers;
    for (const auto& message : ui.messages()) {
        for (int n = 1; n <= 30; ++n) {
            const char* text = pelko::messageText(n);
            if (text != nullptr && message.text.rfind(text, 0) == 0) {
                numbers.push_back(n);
                break;
            }
        }
    }
    return numbers;
}

TEST(PluginLibrary, TheFactoryLibraryIsOpenForTheWholeLifeOfThePlugin)
{
    PluginEnvironment environment;
    const std::string library = environment.installFolder() + "pelko.db";
    const std::string before = fileBytes(library);
    {
        InProcessPlugin instance;
        pelko::PresetDatabase& presets = instance.plugin()->presetLibrary();
        ASSERT_TRUE(presets.isOpen());
        EXPECT_EQ(presets.path(), library);
        EXPECT_GT(presets.countPresets(), 0);
        pelko::LibraryRows top;
        ASSERT_TRUE(presets.listSubcategories(-1, top));
        EXPECT_FALSE(top.empty());
    }
    EXPECT_TRUE(environment.ui().messages().empty());
    // Nothing was changed, so nothing was rewritten.
    EXPECT_EQ(fileBytes(library), before);
}

TEST(PluginLibrary, AMissingLibraryIsCreatedEmpty)
{
    PluginEnvironment environment;
    const std::string library = environment.installFolder() + "pelko.db";
    std::filesystem::remove(library);
    {
        InProcessPlugin instance;
        EXPECT_EQ(instance.plugin()->presetLibrary().countPresets(), 0);
    }
    EXPECT_TRUE(environment.ui().messages().empty());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(library.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(intValue(db, "select count(*) from sqlite_master where type='table'"), 3);
    sqlite3_close(db);
}

TEST(PluginLibrary, AnOldLibraryGetsItsKeywordsFromTheCommentLines)
{
    PluginEnvironment environment;
    writeLibraryWithoutKeywords(environment.installFolder() + "pelko.db");
    InProcessPlugin instance;
    EXPECT_EQ(messageNumbers(environment.ui()), (std::vector<int>{21}));
    EXPECT_EQ(environment.ui().messages()[0].caption, "Pelko Warning");

    pelko::PresetDatabase& presets = instance.plugin()->presetLibrary();
    pelko::LibraryRows found;
    ASSERT_TRUE(presets.searchPresets("SLOW", found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "Velvet");
    // The record that does not read as a program keeps what it had; counts are rebuilt.
    ASSERT_TRUE(presets.searchPresets("kept as", found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "Broken");
    // Records that read are written back in the current format, naming the category they are in.
    std::vector<std::uint8_t> record;
    ASSERT_GT(presets.loadPreset(1, record), 0);
    pelko::Program velvet;
    ASSERT_TRUE(pelko::readPresetRecord(record.data(), static_cast<long long>(record.size()), velvet));
    EXPECT_EQ(velvet.objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value(), 2);
    EXPECT_EQ(velvet.objectAs<pelko::TextObject>(pelko::object::kPatchComment + 2).text().substr(0, 11), "slow attack");
    EXPECT_EQ(presets.loadPreset(2, record), 5);
    pelko::LibraryRow pads;
    ASSERT_TRUE(presets.getCategory(1, pads));
    EXPECT_EQ(pads.count, 3);
    EXPECT_TRUE(presets.getCategory(2, pads));
    EXPECT_EQ(pads.count, 2);
}

TEST(PluginLibrary, ALibraryThatIsNoDatabaseIsReportedAndLeftAlone)
{
    PluginEnvironment environment;
    const std::string library = environment.installFolder() + "pelko.db";
    {
        std::ofstream out(library, std::ios::binary | std::ios::trunc);
        out << std::string(4096, 'x');
    }
    {
        InProcessPlugin instance;
        ASSERT_NE(instance.plugin(), nullptr);
        EXPECT_TRUE(instance.plugin()->initOk());
        auto messages = environment.ui().messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messageNumbers(environment.ui())[0], 14);
        EXPECT_NE(messages[0].text.find("not a database"), std::string::npos) << messages[0].text;
        // The plug-in still plays.
        EXPECT_EQ(instance.plugin()->currentProgram(), 0);
    }
    EXPECT_EQ(fileBytes(library), std::string(4096, 'x'));
}

TEST(PluginLibrary, ProgramsAreFiledAndLoadedBackIntoTheBank)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    pelko::PresetDatabase& presets = plugin.presetLibrary();
    int pads = -1;
    ASSERT_TRUE(presets.addCategory("My Pads", -1, &pads));

    plugin.renameProgram(0, "Glass Swell");
    plugin.setParameter(1, 0.3f);
    plugin.editBuffer().objectAs<pelko::TextObject>(pelko::object::kPatchComment + 1).setText("slow glassy swell");
    int id = -1;
    ASSERT_TRUE(plugin.storePresetInLibrary(0, pads, &id));
    EXPECT_EQ(plugin.editBuffer().objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value(), pads);
    pelko::LibraryRow row;
    ASSERT_TRUE(presets.getPreset(id, row));
    EXPECT_EQ(row.name, "Glass Swell");
    ASSERT_TRUE(presets.getCategory(pads, row));
    EXPECT_EQ(row.count, 1);
    pelko::LibraryRows found;
    ASSERT_TRUE(presets.searchPresets("GLASSY", found));
    ASSERT_EQ(found.size(), 1u);

    // The same name again: the question is answered No and nothing is stored.
    environment.ui().queueAnswer(false);
    EXPECT_FALSE(plugin.storePresetInLibrary(0, pads));
    EXPECT_EQ(messageNumbers(environment.ui()), (std::vector<int>{15}));
    ASSERT_TRUE(presets.getCategory(pads, row));
    EXPECT_EQ(row.count, 1);

    // Loaded into another slot: stored there, the edited program untouched.
    plugin.setParameter(1, 0.8f);
    ASSERT_TRUE(plugin.loadPresetFromLibrary(id, 7));
    EXPECT_FLOAT_EQ(plugin.bank().program(7).values[1], 0.3f);
    EXPECT_EQ(plugin.bank().program(7).name().substr(0, 11), "Glass Swell");
    EXPECT_EQ(plugin.bank().program(7).objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value(), pads);
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.8f);
    // Loaded into the current slot: it sounds.
    ASSERT_TRUE(plugin.loadPresetFromLibrary(id, 0));
    EXPECT_FLOAT_EQ(plugin.getParameter(1), plugin.bank().program(7).values[1]);
    EXPECT_EQ(pelko::programText(plugin.editBuffer()), pelko::programText(plugin.bank().program(7)));
}

TEST(PluginLibrary, AMissingOrDamagedPresetLeavesTheSlotAsItWas)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    pelko::PresetDatabase& presets = plugin.presetLibrary();
    const std::string before = pelko::programText(plugin.bank().program(3));

    EXPECT_FALSE(plugin.loadPresetFromLibrary(999999, 3));
    // A record that decodes but is cut short inside the program.
    std::vector<std::uint8_t> record = pelko::presetRecord(plugin.bank().editProgram(9), -1);
    record.resize(record.size() / 2);
    int cut = -1;
    ASSERT_TRUE(pelko::storePreset(presets, -1, "Cut Short", "", record, &cut));
    EXPECT_FALSE(plugin.loadPresetFromLibrary(cut, 3));
    // A record whose text is no valid encoding.
    runSql(presets.handle(), "UPDATE PRESETS_DATA SET PRESET_DATA='" + std::string("\x01\x09") + "' WHERE P_ID=" +
                                 std::to_string(cut) + ";");
    EXPECT_FALSE(plugin.loadPresetFromLibrary(cut, 3));

    EXPECT_EQ(messageNumbers(environment.ui()), (std::vector<int>{16, 16, 16}));
    EXPECT_EQ(pelko::programText(plugin.bank().program(3)), before);
}

}  // namespace
