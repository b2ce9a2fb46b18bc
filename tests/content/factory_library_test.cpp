// The presets database as it ships: every program of the three factory banks is in it once, in
// the category the bank's program names, and its record reads back as that program; it holds
// nothing else, and a keyword search finds programs by their comment's keywords.
#include "library/preset_database.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "storage/chunk_storage.h"
#include "storage/program_format.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FactoryLibrary, HoldsEveryFactoryProgramInItsCategory)
{
    testing_support::PluginEnvironment environment(true, true);
    std::vector<pelko::Program> programs;
    for (const char* file : {"Factory.fxb", "Expanded.fxb", "Performance.fxb"}) {
        pelko::ProgramBank bank;
        ASSERT_TRUE(pelko::loadForeignBankFile(environment.installFolder() + "presets/" + file, bank)) << file;
        for (int bankSlot = 0; bankSlot < pelko::kProgramCount; ++bankSlot) {
            const pelko::Program& program = bank.program(bankSlot);
            bool seen = false;
            for (const pelko::Program& other : programs) {
                seen = seen || other.name() == program.name();
            }
            if (!seen) {
                programs.push_back(program);
            }
        }
    }

    pelko::PresetDatabase db;
    ASSERT_TRUE(db.open(environment.installFolder() + "pelko.db"));
    pelko::LibraryRows presets;
    ASSERT_TRUE(db.listAllPresets(presets));

    int designed = 0;
    for (const pelko::Program& program : programs) {
        const std::string name(program.name());
        if (name.rfind("program ", 0) == 0) {
            continue;
        }
        ++designed;
        int found = 0;
        for (const pelko::LibraryRow& row : presets) {
            if (row.name != name) {
                continue;
            }
            ++found;
            const int category = program.objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value();
            EXPECT_EQ(row.link, category) << name;
            pelko::LibraryRow categoryRow;
            EXPECT_TRUE(db.getCategory(row.link, categoryRow)) << name;

            std::vector<std::uint8_t> record;
            const int length = db.loadPreset(row.id, record);
            ASSERT_GT(length, 0) << name;
            pelko::Program stored;
            ASSERT_TRUE(pelko::readPresetRecord(record.data(), length, stored)) << name;
            EXPECT_EQ(stored.name(), program.name());
            EXPECT_EQ(stored.values, program.values) << name;
        }
        EXPECT_EQ(found, 1) << name;
    }
    EXPECT_EQ(static_cast<int>(presets.size()), designed);
    EXPECT_GE(designed, 128);
    pelko::LibraryRows found;
    ASSERT_TRUE(db.searchPresets("xenharmonic", found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "Nineteen Tone Keys");
    db.close();
}

}  // namespace
