// The preset library's two questions to the user, asked by the caller of the database layer:
// whether to store a preset under a name in use already (message 15), and whether deleting a
// category that holds presets or subcategories deletes them too (message 17).
//
// User-interface thread: the questions are dialogs.
#pragma once

#include "library/preset_database.h"

namespace pelko {

// Stores the record; a name in use already asks message 15 (No stores nothing).
bool storePreset(PresetDatabase& library, int catId, std::string_view name, std::string_view comments,
                 std::span<const std::uint8_t> record, int* newId = nullptr);

// Deletes the category; when it holds presets or subcategories, asks message 17: Yes deletes them
// all, No moves them to the category's parent first.
bool deleteCategory(PresetDatabase& library, int catId);

}  // namespace pelko
