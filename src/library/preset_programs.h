// Programs in and out of the preset library: filing a program under a category with its name and
// comment text, and reading a stored preset back into a program. The plug-in's preset commands
// and the browser go through these; the library itself only sees records and texts.
//
// User-interface thread only (the library may ask questions and show messages).
#pragma once

#include "library/preset_database.h"
#include "params/program.h"

#include <memory>

namespace pelko {

// Reads preset `presetId` into a new program whose category is the one the preset is filed in.
// None when the preset is missing or its record does not read as a program (message 16), or when
// the database failed (reported by the library).
std::unique_ptr<Program> loadProgramFromLibrary(PresetDatabase& library, int presetId);

// Files `program` under category catId (-1: outside every category) under its name, trailing
// blanks removed, with its comment lines as the text keyword searches cover. The program's
// category field takes catId first (unless it is -1). A name already in the library asks first
// (message 15). The new preset's id goes to *newId when given.
bool storeProgramInLibrary(PresetDatabase& library, int catId, Program& program, int* newId = nullptr);

}  // namespace pelko
