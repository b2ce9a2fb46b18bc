// The measured-levels file between the levelling tool and the bank builders, and the banks made
// from the programs: a stale or damaged levels file stops the build instead of shipping an
// unlevelled program, and every program lands in a bank.
#include "factory_levels.h"
#include "factory_programs.h"
#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using namespace pelko::factory;

TEST(FactoryLevels, ReadBackAsWrittenAndRefuseDamagedOrStaleFiles)
{
    testing_support::TempFolder folder;
    const std::string path = folder.file("levels.txt");
    std::vector<FactoryProgram> programs = factoryPrograms();
    std::vector<ProgramLevel> levels;
    for (const FactoryProgram& p : programs) {
        levels.push_back({std::string(p.program.name()), 0.375f, -18.0, -6.0, -2.0});
    }
    ASSERT_TRUE(saveProgramLevels(path, levels));
    std::vector<ProgramLevel> read;
    std::string error;
    ASSERT_TRUE(loadProgramLevels(path, read, error)) << error;
    ASSERT_EQ(read.size(), levels.size());
    EXPECT_EQ(read.back().name, levels.back().name);
    ASSERT_TRUE(applyProgramLevels(programs, read, error)) << error;
    EXPECT_EQ(programs.front().program.values[1], 0.375f);

    // A program the file does not know (a recipe added after the measurement) is refused by name.
    read.pop_back();
    EXPECT_FALSE(applyProgramLevels(programs, read, error));
    EXPECT_NE(error.find(levels.back().name), std::string::npos);
    // A line without numbers, or a level outside 0–1, is refused with its line number.
    for (const char* bad : {"Round Bass\tloud\n", "Round Bass\t1.5\t-18\t-6\t-2\n", "no tab at all\n"}) {
        ASSERT_TRUE(pelko::writeFileAtomically(path, std::string(bad)));
        EXPECT_FALSE(loadProgramLevels(path, read, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos) << bad;
    }
    EXPECT_FALSE(loadProgramLevels(folder.file("missing.txt"), read, error));
}

// Three banks, the first keeping the programs it first shipped with in their slots; together
// they hold every program, and no bank holds one twice.
TEST(FactoryLevels, TheThreeBanksHoldEveryProgram)
{
    const std::vector<FactoryProgram> programs = factoryPrograms();
    ASSERT_EQ(programs.size(), 128u);
    const std::vector<FactoryBankFile> banks = factoryBanks(programs);
    ASSERT_EQ(banks.size(), 3u);
    EXPECT_EQ(banks[0].fileName, "Factory.fxb");
    for (std::size_t slot = 0; slot < kClassicPrograms; ++slot) {
        EXPECT_EQ(banks[0].bank.program(slot).name(), programs[slot].program.name());
    }
    std::set<std::string> everywhere;
    for (const FactoryBankFile& file : banks) {
        std::set<std::string> inBank;
        for (int bankSlot = 0; bankSlot < pelko::kProgramCount; ++bankSlot) {
            const pelko::Program& program = file.bank.program(bankSlot);
            EXPECT_TRUE(inBank.insert(std::string(program.name())).second) << file.fileName << ": " << program.name();
        }
        EXPECT_EQ(inBank.size(), 64u) << file.fileName;
        everywhere.insert(inBank.begin(), inBank.end());
    }
    EXPECT_EQ(everywhere.size(), programs.size());
}

}  // namespace
