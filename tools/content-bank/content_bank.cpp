// content-bank OUTPUT.fxb [DEFAULT.fxp]: builds the factory bank file of the install folder from
// the factory program recipes and, when asked, the program file "initialise" loads, through the
// same storage functions the plug-in saves banks and programs with.
#include "factory_programs.h"
#include "platform/user_interface.h"
#include "storage/chunk_storage.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: content-bank OUTPUT.fxb [DEFAULT.fxp]\n");
        return 2;
    }
    // A build never opens dialogs: messages go to stderr.
    pelko::setUserInterface(std::make_shared<pelko::HeadlessUserInterface>());

    pelko::ProgramBank bank = pelko::factory::factoryBank();
    pelko::Program editBuffer = bank.programs[0];
    int current = 0;
    bool tuningOn = false;
    pelko::TuningScaleObject tuning = pelko::makeGlobalTuning();
    pelko::TextObject info = pelko::makeBankInfo();
    info.setText("Factory programs");
    pelko::StorageState state{bank, editBuffer, current, {tuningOn, tuning, info}};
    if (!pelko::saveBankFile(state, argv[1])) {
        std::fprintf(stderr, "%s: the factory bank could not be written\n", argv[1]);
        return 1;
    }
    if (argc == 3) {
        // A program file stores the current slot, here the only one that matters.
        pelko::ProgramBank single;
        single.programs[0] = pelko::factory::initProgram();
        pelko::Program initBuffer = single.programs[0];
        int slot = 0;
        pelko::StorageState initState{single, initBuffer, slot, {tuningOn, tuning, info}};
        if (!pelko::saveProgramFile(initState, argv[2])) {
            std::fprintf(stderr, "%s: the default program could not be written\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
