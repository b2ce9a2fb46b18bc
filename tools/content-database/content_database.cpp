// pelko-content-database LEVELS OUTPUT.db: builds the presets database file of the install folder: the library's tables, the factory
// category tree, made by the same code the plug-in uses, and every factory program filed in its
// category (the same recipes the factory bank is built from). Written to a temporary file first and
// renamed, so a failed build never leaves a half-made database behind.
#include "factory_levels.h"
#include "factory_programs.h"
#include "library/factory_library.h"
#include "library/preset_database.h"
#include "platform/user_interface.h"
#include "storage/program_format.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

bool addFactoryPrograms(pelko::FactoryLibrary& library, std::vector<pelko::factory::FactoryProgram>& programs)
{
    for (pelko::factory::FactoryProgram& entry : programs) {
        const std::string name(entry.program.name());
        const int id = library.categoryId(entry.category);
        // The bank stores the category number a new library gives; a library numbered otherwise
        // would file the bank's programs elsewhere.
        if (id != pelko::factory::factoryCategoryNumber(entry.category)) {
            std::fprintf(stderr, "%s: category %s has id %d, the factory bank expects %d\n", name.c_str(),
                         entry.category.c_str(), id, pelko::factory::factoryCategoryNumber(entry.category));
            return false;
        }
        std::vector<std::uint8_t> record = pelko::presetRecord(entry.program, id);
        if (!library.addPreset(entry.category, name, entry.comment, record)) {
            std::fprintf(stderr, "%s: the factory program could not be filed\n", name.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelko-content-database LEVELS OUTPUT.db\n");
        return 2;
    }
    // A build never opens dialogs: messages go to stderr, questions are answered No.
    pelko::setUserInterface(std::make_shared<pelko::HeadlessUserInterface>());
    // Every program at the Main Level the levelling tool measured for it.
    std::vector<pelko::factory::ProgramLevel> levels;
    std::vector<pelko::factory::FactoryProgram> programs = pelko::factory::factoryPrograms();
    std::string error;
    if (!pelko::factory::loadProgramLevels(argv[1], levels, error) ||
        !pelko::factory::applyProgramLevels(programs, levels, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    std::string target = argv[2];
    std::string temporary = target + ".tmp";
    std::remove(temporary.c_str());
    bool ok;
    {
        pelko::PresetDatabase db;
        ok = db.open(temporary);
        if (ok) {
            pelko::FactoryLibrary library(db);
            ok = library.createCategories() && addFactoryPrograms(library, programs);
        }
        db.close();
    }
    if (!ok) {
        std::fprintf(stderr, "%s: the presets database could not be built\n", temporary.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::perror(target.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
