// Builds the presets database file of the install folder: the category, preset information and
// preset data tables. Written to a temporary file first and renamed, so a failed build never
// leaves a half-made database behind.
#include <sqlite3.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelko-content-database OUTPUT.db\n");
        return 2;
    }
    std::string target = argv[1];
    std::string temporary = target + ".tmp";
    std::remove(temporary.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(temporary.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", temporary.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    const char* schema =
        "BEGIN TRANSACTION;"
        "CREATE TABLE CATEGORIES (CAT_ID INTEGER PRIMARY KEY NOT NULL, CAT_DESCRIPTION VARCHAR (50) NOT NULL, "
        "PARENT_ID INTEGER DEFAULT -1, NITEMS INTEGER DEFAULT 0);"
        "CREATE TABLE PRESETS_INFO (P_ID INTEGER PRIMARY KEY, CAT_ID INTEGER, PRESET_NAME TEXT, COMMENTS TEXT);"
        "CREATE TABLE PRESETS_DATA (P_ID INTEGER PRIMARY KEY, PRESET_DATA TEXT);"
        "COMMIT TRANSACTION;";
    char* error = nullptr;
    if (sqlite3_exec(db, schema, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", temporary.c_str(), error != nullptr ? error : "unknown error");
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(temporary.c_str());
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::perror(target.c_str());
        return 1;
    }
    return 0;
}
