// The tables of the presets database, in one place: the file the build supplies and a file the
// plug-in creates when none exists are made by the same statements.
//
//   CATEGORIES    CAT_ID, CAT_DESCRIPTION, PARENT_ID (-1 at the top level), NITEMS (presets in the
//                 category and all its descendants)
//   PRESETS_INFO  P_ID (assigned by the database), CAT_ID (-1 outside every category),
//                 PRESET_NAME, COMMENTS
//   PRESETS_DATA  P_ID (the same id), PRESET_DATA (the encoded program record)
#pragma once

#include <string>

namespace pelko {

// The current CATEGORIES layout, as created for a new file and by the conversion of old files.
extern const char* const kCategoriesTableSql;

// The statements that create all tables and their indexes in an empty database (no transaction
// statements; the caller wraps them).
std::string libraryTablesSql();

}  // namespace pelko
