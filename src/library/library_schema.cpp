#include "library/library_schema.h"

namespace pelko {

const char* const kCategoriesTableSql =
    "CREATE TABLE CATEGORIES (CAT_ID INTEGER PRIMARY KEY NOT NULL , CAT_DESCRIPTION VARCHAR (50) NOT NULL , "
    "PARENT_ID INTEGER DEFAULT -1,NITEMS INTEGER DEFAULT 0);";

// P_ID is an integer primary key so that inserting NULL assigns the next id. The indexes serve
// the listing of a category and of its subcategories, the browser's most frequent queries.
std::string libraryTablesSql()
{
    std::string sql = kCategoriesTableSql;
    sql +=
        "CREATE TABLE PRESETS_INFO (P_ID INTEGER PRIMARY KEY , CAT_ID INTEGER NOT NULL DEFAULT -1 , "
        "PRESET_NAME TEXT NOT NULL , COMMENTS TEXT);"
        "CREATE TABLE PRESETS_DATA (P_ID INTEGER PRIMARY KEY , PRESET_DATA TEXT NOT NULL);"
        "CREATE INDEX PRESETS_INFO_BY_CATEGORY ON PRESETS_INFO (CAT_ID);"
        "CREATE INDEX CATEGORIES_BY_PARENT ON CATEGORIES (PARENT_ID);";
    return sql;
}

}  // namespace pelko
