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
    std::string comment;   // the library comment: what it sounds like, its playing controls, keywords
};

// Every designed program, in bank slot order.
std::vector<FactoryProgram> factoryPrograms();

// The number a category gets in a new preset library: its position in the factory tree plus one
// (the library numbers categories in the order they are created). -1 for an unknown path.
int factoryCategoryNumber(const std::string& path);

// The banks of the presets folder, each with its file name; the first is the bank a first start
// loads. Every program appears in at least one.
struct FactoryBankFile {
    std::string fileName;
    ProgramBank bank;
};
std::vector<FactoryBankFile> factoryBanks(const std::vector<FactoryProgram>& programs);

// The program "initialise" loads from the presets folder: one saw through an open low-pass filter
// with a short release and velocity on the level, everything else as in a default program, so a
// new program sounds at once.
Program initProgram();

constexpr const char* kFactoryBankName = "Factory";
constexpr const char* kFactoryAuthor = "Pelko Factory";
// The programs the first bank shipped with come first, in their slots.
constexpr std::size_t kClassicPrograms = 18;

}  // namespace pelko::factory
