// Builds the presets database file of the install folder: the library's tables and the factory
// category tree, made by the same code the plug-in uses. Written to a temporary file first and
// renamed, so a failed build never leaves a half-made database behind.
#include "library/factory_library.h"
#include "library/preset_database.h"
#include "platform/user_interface.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelko-content-database OUTPUT.db\n");
        return 2;
    }
    // A build never opens dialogs: messages go to stderr, questions are answered No.
    pelko::setUserInterface(std::make_shared<pelko::HeadlessUserInterface>());

    std::string target = argv[1];
    std::string temporary = target + ".tmp";
    std::remove(temporary.c_str());
    bool ok;
    {
        pelko::PresetDatabase db;
        ok = db.open(temporary);
        if (ok) {
            pelko::FactoryLibrary library(db);
            ok = library.createCategories();
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
