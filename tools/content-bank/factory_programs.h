// The factory programs: each one a small recipe that sets parameters and patch objects of a
// default program. The bank builder saves them as the factory bank, the database builder files
// them into the preset library, and the content tests play them.
#pragma once

#include "params/program.h"

#include <string>
#include <vector>

namespace pelko::factory {

struct FactoryProgram {
    Program program;       // named, with its category number in PRESET_CATEGORY
    std::string category;  // category path in the preset library ("Basses/Analog")
    std::string comment;   // the first comment line, also the library comment
};

// Every designed program, in bank slot order.
std::vector<FactoryProgram> factoryPrograms();

// The number a category gets in a new preset library: its position in the factory tree plus one
// (the library numbers categories in the order they are created). -1 for an unknown path.
int factoryCategoryNumber(const std::string& path);

// A bank whose first slots hold the designed programs; the other slots keep default programs.
ProgramBank factoryBank();

// The program "initialise" loads from the presets folder: one saw through an open low-pass filter
// with a short release and velocity on the level, everything else as in a default program, so a
// new program sounds at once.
Program initProgram();

constexpr const char* kFactoryBankName = "Factory";
constexpr const char* kFactoryAuthor = "Pelko Factory";

}  // namespace pelko::factory
