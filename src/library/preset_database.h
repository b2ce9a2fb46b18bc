// The preset library: one SQLite file with presets filed in a tree of categories, each preset
// with a name, a comment text that keyword searches cover, and its program record. Every
// category counts the presets in it and in all its descendants (NITEMS); every operation that
// adds, moves or removes presets keeps those counts exact for every ancestor.
//
// All SQL goes through one exec routine with printf-style arguments (%d an int, %q a string with
// its quotes doubled); strings never reach the SQL text any other way. When SQLite reports an
// error the routine shows message 14 followed by SQLite's text, and the operation fails.
//
// Callers: the plug-in object (open, keyword upgrade, close) and the preset browser, all on the
// user-interface thread; operations never overlap. No operation may run on the audio thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct sqlite3;

namespace pelko {

// One row of a listing: a preset (id, name, its category, count 0) or a category (id, name, its
// parent, NITEMS). link is -1 when the column is NULL, count 0 when it is NULL.
struct LibraryRow {
    int id = 0;
    std::string name;
    int link = -1;
    int count = 0;
};
using LibraryRows = std::vector<LibraryRow>;

// What loadPreset returns besides a decoded length.
constexpr int kInvalidRecord = -1;  // the stored text is not a valid encoding
constexpr int kMissingRecord = -2;  // no such preset
constexpr int kUnreadRecord = -3;   // the query failed or memory ran out (already reported)

// What an operation that may need the user's decision reports.
enum class LibraryOutcome { done, failed, nameExists, categoryNotEmpty };
// What becomes of a deleted category's presets and subcategories.
enum class CategoryContents { refuseIfAny, deleteAll, moveToParent };

class PresetDatabase {
public:
    // How long an operation waits for another connection's lock before it fails.
    static constexpr int kBusyTimeoutMs = 250;

    PresetDatabase() = default;
    ~PresetDatabase();
    PresetDatabase(const PresetDatabase&) = delete;
    PresetDatabase& operator=(const PresetDatabase&) = delete;

    // Opens the file, creating it with its tables when it does not exist or holds no table, and
    // converts a CATEGORIES table without NITEMS (then upgraded() is true). On failure shows
    // message 14 with SQLite's text and returns false; every later operation then fails the same
    // way. A file that opens but cannot be read (locked, not a database) stays open: each
    // operation reports its own error, and works again once the cause is gone.
    //
    // copyFrom names a library to start from when path does not exist yet (a shipped library
    // in a folder the user cannot write). It is opened read-only and never written: just before
    // the first change it is copied to path (atomically, creating path's folder), and the change
    // and everything after it go to the copy. path() is path from the start.
    bool open(const std::string& path, const std::string& copyFrom = {});
    // Compacts the file ("VACUUM;", skipped when the file is read-only) and closes it.
    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool upgraded() const { return upgraded_; }
    const std::string& path() const { return path_; }

    // Number of presets, or -1 on error.
    int countPresets();
    bool listAllPresets(LibraryRows& rows);
    // Presets whose name or comments contain the keyword (letter case ignored for ASCII; '%' and
    // '_' match themselves), ordered by name.
    bool searchPresets(std::string_view keyword, LibraryRows& rows);
    bool listPresetsInCategory(int catId, LibraryRows& rows);
    // Categories below parentId (-1: the top level), ordered by name.
    bool listSubcategories(int parentId, LibraryRows& rows);
    // False when the query fails or there is no such row.
    bool getCategory(int catId, LibraryRow& row);
    bool getPreset(int presetId, LibraryRow& row);

    // Adds a category below parentId (-1: top level; otherwise the parent must exist). The new
    // id goes to *newId when given.
    bool addCategory(std::string_view name, int parentId, int* newId = nullptr);
    bool renameCategory(int catId, std::string_view name);
    // Deletes a category with what it holds, or first moves its presets and subcategories to its
    // parent; a category that holds any is refused with categoryNotEmpty when the caller has not
    // chosen yet (library/library_questions.h asks the user). One transaction; nothing is asked.
    LibraryOutcome removeCategory(int catId, CategoryContents contents);

    // Stores a program record under catId (-1: outside every category; otherwise the category
    // must exist). A name in use already gives nameExists and stores nothing, unless
    // evenIfNameExists. The new id goes to *newId when given. Nothing is asked.
    LibraryOutcome addPreset(int catId, std::string_view name, std::string_view comments,
                             std::span<const std::uint8_t> record, int* newId, bool evenIfNameExists);
    // Moves a preset. The counts follow the category the preset is really stored in; oldCatId is
    // the caller's view of it. One transaction.
    bool movePreset(int presetId, int newCatId, int oldCatId);
    bool deletePreset(int presetId, int catId);
    // The record's decoded length (bytes in `record`), kInvalidRecord, kMissingRecord or kUnreadRecord.
    int loadPreset(int presetId, std::vector<std::uint8_t>& record);
    bool setComments(int presetId, std::string_view text);
    // Replaces a preset's stored record.
    bool replaceRecord(int presetId, std::span<const std::uint8_t> record);

    // Adds delta to NITEMS of catId and of every ancestor.
    bool adjustCounts(int catId, int delta);
    // Recomputes every NITEMS from the presets.
    bool rebuildCounts();

    // Explicit transactions for callers that group operations (storePreset and deletePreset run
    // their own and cannot be grouped). rollbackTransaction does nothing when none is open.
    bool beginTransaction();
    bool commitTransaction();
    void rollbackTransaction();
    bool inTransaction() const;

    // The connection, for tests and tools that inspect the file.
    sqlite3* handle() const { return db_; }

private:
    // The exec routine: formats the SQL, runs it, hands each result row to sink(columns, values).
    template <class Sink, class... Args>
    bool query(Sink& sink, const char* format, Args... args);
    template <class... Args>
    bool exec(const char* format, Args... args);
    template <class... Args>
    bool queryCount(int& count, const char* format, Args... args);
    template <class... Args>
    bool queryRows(LibraryRows& rows, const char* format, Args... args);
    template <class... Args>
    bool queryRow(LibraryRow& row, const char* format, Args... args);

    bool run(const char* sql, int (*callback)(void*, int, char**, char**), void* context, bool report);
    bool openHandle(const std::string& file, int flags);
    bool switchToCopy(std::string& error);
    bool createTablesIfEmpty();
    bool convertCategories();
    bool deleteSubtree(int catId, int& presetsRemoved, std::unordered_set<int>& deleted);
    int storedCategory(int presetId, int callerCatId);

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string openError_;
    std::string copySource_;  // the read-only library in use until the first change; empty once copied
    bool upgraded_ = false;
};

}  // namespace pelko
