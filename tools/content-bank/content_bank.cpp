// content-bank LEVELS PRESETS_FOLDER: builds the factory banks of the install folder's presets
// folder from the factory program recipes, each program at the Main Level the levelling tool
// measured for it (LEVELS), and the program file "initialise" loads ("default.fxp"), through the
// same storage functions the plug-in saves banks and programs with.
#include "factory_levels.h"
#include "factory_programs.h"
#include "platform/user_interface.h"
#include "storage/chunk_storage.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

bool saveBank(pelko::ProgramBank& bank, const std::string& path)
{
    pelko::Program editBuffer = bank.program(0);
    int current = 0;
    bool tuningOn = false;
    pelko::TuningScaleObject tuning = pelko::makeGlobalTuning();
    pelko::TextObject info = pelko::makeBankInfo();
    info.setText("Factory programs");
    pelko::StorageState state{bank, editBuffer, current, {tuningOn, tuning, info}};
    return pelko::saveBankFile(state, path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: content-bank LEVELS PRESETS_FOLDER\n");
        return 2;
    }
    // A build never opens dialogs: messages go to stderr.
    pelko::setUserInterface(std::make_shared<pelko::HeadlessUserInterface>());

    std::vector<pelko::factory::ProgramLevel> levels;
    std::vector<pelko::factory::FactoryProgram> programs = pelko::factory::factoryPrograms();
    std::string error;
    if (!pelko::factory::loadProgramLevels(argv[1], levels, error) ||
        !pelko::factory::applyProgramLevels(programs, levels, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string folder = std::string(argv[2]) + "/";
    for (pelko::factory::FactoryBankFile& file : pelko::factory::factoryBanks(programs)) {
        if (!saveBank(file.bank, folder + file.fileName)) {
            std::fprintf(stderr, "%s%s: the factory bank could not be written\n", folder.c_str(), file.fileName.c_str());
            return 1;
        }
    }
    // A program file stores the current slot, here the only one that matters.
    pelko::ProgramBank single;
    single.editProgram(0) = pelko::factory::initProgram();
    pelko::Program initBuffer = single.program(0);
    int slot = 0;
    bool tuningOn = false;
    pelko::TuningScaleObject tuning = pelko::makeGlobalTuning();
    pelko::TextObject info = pelko::makeBankInfo();
    pelko::StorageState initState{single, initBuffer, slot, {tuningOn, tuning, info}};
    if (!pelko::saveProgramFile(initState, folder + "default.fxp")) {
        std::fprintf(stderr, "%sdefault.fxp: the default program could not be written\n", folder.c_str());
        return 1;
    }
    return 0;
}
