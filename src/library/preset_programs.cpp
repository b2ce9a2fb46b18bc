#include "library/preset_programs.h"

#include "library/library_questions.h"
#include "library/program_keywords.h"
#include "params/patch_object_table.h"
#include "storage/program_format.h"
#include "params/setting_objects.h"

#include <memory>
#include <vector>

namespace pelko {

std::unique_ptr<Program> loadProgramFromLibrary(PresetDatabase& library, int presetId)
{
    std::vector<std::uint8_t> record;
    const int length = library.loadPreset(presetId, record);
    if (length == kUnreadRecord) {
        return nullptr;
    }
    // A missing or undecodable record arrives as a negative length, which the reader reports as
    // a corrupted preset like a record that does not read as a program.
    auto program = std::make_unique<Program>();
    if (!readPresetRecord(record.data(), length, *program)) {
        return nullptr;
    }
    LibraryRow preset;
    if (library.getPreset(presetId, preset)) {
        program->objectAs<IntegerObject>(object::kPresetCategory).setValue(preset.link);
    }
    return program;
}

bool storeProgramInLibrary(PresetDatabase& library, int catId, Program& program, int* newId)
{
    const std::vector<std::uint8_t> record = presetRecord(program, catId);
    return storePreset(library, catId, presetName(program), presetCommentText(program), record, newId);
}

}  // namespace pelko
