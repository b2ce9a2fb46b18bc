#include "library/preset_programs.h"

#include "library/program_keywords.h"
#include "params/patch_object_table.h"
#include "platform/messages.h"
#include "storage/program_format.h"
#include "storage/setting_objects.h"

#include <memory>
#include <vector>

namespace pelko {

bool loadProgramFromLibrary(PresetDatabase& library, int presetId, Program& program)
{
    std::vector<std::uint8_t> record;
    const int length = library.loadPreset(presetId, record);
    if (length == kUnreadRecord) {
        return false;
    }
    // Read into a scratch program, so that a record damaged half-way leaves the target whole.
    auto loaded = std::make_unique<Program>();
    if (length < 0 || !readPresetRecord(record.data(), length, *loaded)) {
        if (length < 0) {
            showMessage(16);
        }
        return false;
    }
    LibraryRow preset;
    if (library.getPreset(presetId, preset)) {
        loaded->objectAs<IntegerObject>(object::kPresetCategory).setValue(preset.link);
    }
    program = *loaded;
    return true;
}

bool storeProgramInLibrary(PresetDatabase& library, int catId, Program& program, int* newId)
{
    std::string_view name = program.name();
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    const std::vector<std::uint8_t> record = presetRecord(program, catId);
    return library.storePreset(catId, name, presetCommentText(program), record, newId);
}

}  // namespace pelko
