#include "library/preset_database.h"

#include "library/library_schema.h"
#include "library/record_encoding.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"

#include <sqlite3.h>

#include <charconv>
#include <climits>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace pelko {
namespace {

constexpr const char* kNotOpen = "the presets database is not open";

// Arguments the printf-style SQL accepts: %d takes an int, %q and %s a C string.
template <class T>
constexpr bool kSqlArgument = std::is_same_v<T, int> || std::is_same_v<T, const char*>;

// A column value as an integer, the way SQLite's text results read: leading blanks, an optional
// sign, digits; anything else ends the number. NULL gives the fallback, text without digits 0.
int columnInt(const char* text, int fallback)
{
    if (text == nullptr) {
        return fallback;
    }
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    if (*text == '+') {
        ++text;
    }
    long long value = 0;
    const char* end = text;
    while (*end != '\0') {
        ++end;
    }
    auto result = std::from_chars(text, end, value);
    if (result.ec == std::errc::result_out_of_range) {
        return *text == '-' ? INT_MIN : INT_MAX;
    }
    if (result.ec != std::errc()) {
        return 0;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

const char* column(int columns, char** values, int index)
{
    return index < columns ? values[index] : nullptr;
}

LibraryRow listRow(int columns, char** values)
{
    LibraryRow row;
    row.id = columnInt(column(columns, values, 0), 0);
    const char* name = column(columns, values, 1);
    row.name = name != nullptr ? name : "";
    row.link = columnInt(column(columns, values, 2), -1);
    row.count = columnInt(column(columns, values, 3), 0);
    return row;
}

// Hands each result row to a sink; a sink that throws or returns false aborts the query. No
// exception may cross SQLite's C frames.
template <class Sink>
int deliverRow(void* context, int columns, char** values, char**)
{
    try {
        return (*static_cast<Sink*>(context))(columns, values) ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

// A keyword as a LIKE pattern that matches it literally: the wildcards and the escape character
// itself are preceded by a backslash (the query names it with ESCAPE).
std::string literalPattern(std::string_view keyword)
{
    std::string pattern;
    pattern.reserve(keyword.size());
    for (char c : keyword) {
        if (c == '\0') {
            break;
        }
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

// A string argument: the text up to its first NUL, which is where SQL would end it anyway.
std::string argument(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

PresetDatabase::~PresetDatabase() { close(); }

// ---- the exec routine --------------------------------------------------------------------------

bool PresetDatabase::run(const char* sql, int (*callback)(void*, int, char**, char**), void* context,
                         bool report)
{
    if (db_ == nullptr) {
        if (report) {
            showMessage(kMsgDatabaseError, openError_.empty() ? kNotOpen : openError_);
        }
        return false;
    }
    bool hadTransaction = sqlite3_get_autocommit(db_) == 0;
    char* error = nullptr;
    int rc = sqlite3_exec(db_, sql, callback, context, &error);
    std::string text;
    if (rc == SQLITE_READONLY && !copySource_.empty()) {
        // The first change to a library read where it was installed: nothing was written, so the
        // statement runs again on the user's copy (inside a transaction again if one was open).
        sqlite3_free(error);
        error = nullptr;
        if (switchToCopy(text) && (!hadTransaction || sqlite3_exec(db_, "BEGIN TRANSACTION;", nullptr, nullptr, nullptr) == SQLITE_OK)) {
            rc = sqlite3_exec(db_, sql, callback, context, &error);
        } else if (text.empty()) {
            text = sqlite3_errmsg(db_);
        }
    }
    if (rc == SQLITE_OK) {
        return true;
    }
    if (text.empty()) {
        text = error != nullptr ? error : sqlite3_errstr(rc);
    }
    sqlite3_free(error);
    // A script that begins its own transaction and fails part-way leaves that transaction open;
    // roll it back, or an unrelated later COMMIT would store the half-done work.
    if (!hadTransaction && sqlite3_get_autocommit(db_) == 0) {
        sqlite3_exec(db_, "ROLLBACK TRANSACTION", nullptr, nullptr, nullptr);
    }
    if (report) {
        showMessage(kMsgDatabaseError, text);
    }
    return false;
}

template <class Sink, class... Args>
bool PresetDatabase::query(Sink& sink, const char* format, Args... args)
{
    static_assert((kSqlArgument<Args> && ...), "SQL arguments are int or const char*");
    char* sql = sqlite3_mprintf(format, args...);
    if (sql == nullptr) {
        showMessage(kMsgOutOfMemory);
        return false;
    }
    bool ok = run(sql, &deliverRow<Sink>, &sink, true);
    sqlite3_free(sql);
    return ok;
}

template <class... Args>
bool PresetDatabase::exec(const char* format, Args... args)
{
    auto ignore = [](int, char**) { return true; };
    return query(ignore, format, args...);
}

template <class... Args>
bool PresetDatabase::queryCount(int& count, const char* format, Args... args)
{
    count = 0;
    bool seen = false;
    auto first = [&](int columns, char** values) {
        if (!seen) {
            seen = true;
            count = columnInt(column(columns, values, 0), 0);
        }
        return true;
    };
    return query(first, format, args...);
}

template <class... Args>
bool PresetDatabase::queryRows(LibraryRows& rows, const char* format, Args... args)
{
    rows.clear();
    auto collect = [&rows](int columns, char** values) {
        rows.push_back(listRow(columns, values));
        return true;
    };
    return query(collect, format, args...);
}

template <class... Args>
bool PresetDatabase::queryRow(LibraryRow& row, const char* format, Args... args)
{
    bool found = false;
    auto first = [&](int columns, char** values) {
        if (!found) {
            found = true;
            row = listRow(columns, values);
        }
        return true;
    };
    return query(first, format, args...) && found;
}

// ---- opening and closing -----------------------------------------------------------------------

bool PresetDatabase::open(const std::string& path, const std::string& copyFrom)
{
    close();
    path_ = path;
    const bool readShipped = !copyFrom.empty() && !fileExists(path) && fileExists(copyFrom);
    const bool opened = readShipped ? openHandle(copyFrom, SQLITE_OPEN_READONLY)
                                    : openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!opened) {
        showMessage(kMsgDatabaseError, openError_);
        return false;
    }
    if (readShipped) {
        copySource_ = copyFrom;
    }
    return createTablesIfEmpty() && convertCategories();
}

bool PresetDatabase::openHandle(const std::string& file, int flags)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(nativePath(file).c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        openError_ = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        return false;
    }
    if (db_ != nullptr) {
        sqlite3_close(db_);
    }
    db_ = db;
    openError_.clear();
    // Another program (or another plug-in instance) may hold the file; wait briefly, then fail
    // with SQLite's "database is locked" rather than hang the host.
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    return true;
}

bool PresetDatabase::switchToCopy(std::string& error)
{
    // Another instance may have made the copy since this one opened the shipped file. A copy
    // that fails is tried again at the next change; the shipped library stays in use meanwhile.
    if (!fileExists(path_)) {
        const std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(copySource_);
        if (!bytes || !makeFolders(folderPart(path_)) || !writeFileAtomically(path_, *bytes)) {
            error = "cannot copy the presets database to " + path_;
            return false;
        }
    }
    if (!openHandle(path_, SQLITE_OPEN_READWRITE)) {
        error = std::exchange(openError_, std::string());
        return false;
    }
    copySource_.clear();
    return true;
}

bool PresetDatabase::createTablesIfEmpty()
{
    int tables = 0;
    if (!queryCount(tables, "SELECT COUNT(*) FROM sqlite_master WHERE TYPE='table'")) {
        return false;
    }
    if (tables != 0) {
        return true;
    }
    std::string script = "BEGIN TRANSACTION;" + libraryTablesSql() + "COMMIT TRANSACTION;";
    return run(script.c_str(), nullptr, nullptr, true);
}

bool PresetDatabase::convertCategories()
{
    int withCounts = 0;
    if (!queryCount(withCounts,
                    "SELECT COUNT(*) FROM sqlite_master WHERE TYPE='table' AND tbl_name='CATEGORIES' AND SQL LIKE "
                    "'%%NITEMS%%'")) {
        return false;
    }
    if (withCounts != 0) {
        return true;
    }
    // One text, statements separated by tabs, sent in a single exec. It carries its own
    // transaction; if any statement fails the exec routine rolls it back, so the old table stays.
    std::string script = "BEGIN TRANSACTION;\t"
                         "CREATE TABLE CATEGORIES2 (CAT_ID INTEGER NOT NULL , CAT_DESCRIPTION VARCHAR (50) NOT NULL , "
                         "PARENT_ID INTEGER DEFAULT -1);\t"
                         "INSERT INTO CATEGORIES2 SELECT * FROM CATEGORIES;\t"
                         "DROP TABLE CATEGORIES;\t";
    script += kCategoriesTableSql;
    script += "\tINSERT INTO CATEGORIES(CAT_ID, CAT_DESCRIPTION, PARENT_ID) SELECT * FROM CATEGORIES2;\t"
              "DROP TABLE CATEGORIES2;\t"
              "COMMIT TRANSACTION;";
    if (!run(script.c_str(), nullptr, nullptr, true)) {
        return false;
    }
    upgraded_ = true;
    return true;
}

void PresetDatabase::close()
{
    if (db_ != nullptr) {
        rollbackTransaction();
        // Compacting needs write access and is only worth it after changes. It runs while the
        // host shuts the plug-in down, so a failure (another program holding the file) is not
        // shown: nothing stored is at stake.
        if (sqlite3_db_readonly(db_, "main") != 1 && sqlite3_total_changes(db_) > 0) {
            run("VACUUM;", nullptr, nullptr, false);
        }
        sqlite3_close(db_);
        db_ = nullptr;
    }
    path_.clear();
    openError_.clear();
    copySource_.clear();
    upgraded_ = false;
}

// ---- transactions ------------------------------------------------------------------------------

bool PresetDatabase::inTransaction() const { return db_ != nullptr && sqlite3_get_autocommit(db_) == 0; }

bool PresetDatabase::beginTransaction() { return exec("BEGIN TRANSACTION;"); }

bool PresetDatabase::commitTransaction() { return exec("COMMIT TRANSACTION;"); }

void PresetDatabase::rollbackTransaction()
{
    if (inTransaction()) {
        run("ROLLBACK TRANSACTION;", nullptr, nullptr, false);
    }
}

// ---- listings ----------------------------------------------------------------------------------

int PresetDatabase::countPresets()
{
    int count = 0;
    return queryCount(count, "select count(*) from PRESETS_INFO") ? count : -1;
}

bool PresetDatabase::listAllPresets(LibraryRows& rows)
{
    return queryRows(rows, "select P_ID, PRESET_NAME, CAT_ID, 0 from PRESETS_INFO");
}

bool PresetDatabase::searchPresets(std::string_view keyword, LibraryRows& rows)
{
    std::string pattern = literalPattern(keyword);
    return queryRows(rows,
                     "select P_ID, PRESET_NAME, CAT_ID, 0 from PRESETS_INFO where PRESET_NAME LIKE '%%%q%%' ESCAPE "
                     "'\\' or COMMENTS LIKE '%%%q%%' ESCAPE '\\' order by PRESET_NAME",
                     pattern.c_str(), pattern.c_str());
}

bool PresetDatabase::listPresetsInCategory(int catId, LibraryRows& rows)
{
    return queryRows(rows, "select P_ID, PRESET_NAME, CAT_ID, 0 from PRESETS_INFO where CAT_ID=%d order by PRESET_NAME",
                     catId);
}

bool PresetDatabase::listSubcategories(int parentId, LibraryRows& rows)
{
    return queryRows(rows,
                     "select CAT_ID, CAT_DESCRIPTION, PARENT_ID, NITEMS from CATEGORIES where PARENT_ID=%d order by "
                     "CAT_DESCRIPTION",
                     parentId);
}

bool PresetDatabase::getCategory(int catId, LibraryRow& row)
{
    return queryRow(row, "select CAT_ID, CAT_DESCRIPTION, PARENT_ID, NITEMS from CATEGORIES where CAT_ID=%d", catId);
}

bool PresetDatabase::getPreset(int presetId, LibraryRow& row)
{
    return queryRow(row, "select P_ID, PRESET_NAME, CAT_ID, 0 from PRESETS_INFO where P_ID=%d", presetId);
}

// ---- categories --------------------------------------------------------------------------------

bool PresetDatabase::addCategory(std::string_view name, int parentId, int* newId)
{
    LibraryRow parent;
    if (parentId != -1 && !getCategory(parentId, parent)) {
        debugOutput("addCategory: no parent category " + std::to_string(parentId));
        return false;
    }
    std::string text = argument(name);
    if (!exec("insert into CATEGORIES values(NULL, '%q', %d, 0)", text.c_str(), parentId)) {
        return false;
    }
    if (newId != nullptr) {
        *newId = static_cast<int>(sqlite3_last_insert_rowid(db_));
    }
    return true;
}

bool PresetDatabase::renameCategory(int catId, std::string_view name)
{
    std::string text = argument(name);
    return exec("update CATEGORIES set CAT_DESCRIPTION='%q' where CAT_ID=%d", text.c_str(), catId);
}

LibraryOutcome PresetDatabase::removeCategory(int catId, CategoryContents contents)
{
    if (catId == -1) {
        debugOutput("deleteCategory: the top level is not a category");
        return LibraryOutcome::failed;
    }
    int presets = 0;
    int subcategories = 0;
    if (!queryCount(presets, "select count(*) from PRESETS_INFO where CAT_ID='%d'", catId) ||
        !queryCount(subcategories, "select count(*) from CATEGORIES where PARENT_ID='%d'", catId)) {
        return LibraryOutcome::failed;
    }
    if (presets + subcategories > 0 && contents == CategoryContents::refuseIfAny) {
        return LibraryOutcome::categoryNotEmpty;
    }
    if (!beginTransaction()) {
        return LibraryOutcome::failed;
    }
    bool ok = true;
    LibraryRow category;
    if (presets + subcategories > 0 && contents == CategoryContents::moveToParent) {
        // No: keep the contents by handing them to the parent, which already counts them.
        ok = getCategory(catId, category);
        if (ok && presets > 0) {
            ok = exec("update PRESETS_INFO set CAT_ID=%d where CAT_ID=%d", category.link, catId);
        }
        if (ok && subcategories > 0) {
            ok = exec("update CATEGORIES set PARENT_ID=%d where PARENT_ID=%d", category.link, catId);
        }
    } else if (!getCategory(catId, category)) {
        category.link = -1;  // no row: its presets were counted nowhere
    }
    int removed = 0;
    std::unordered_set<int> deleted;
    if (ok) {
        ok = deleteSubtree(catId, removed, deleted);
    }
    // The deleted presets leave every ancestor's count (none is left when the parent links of a
    // damaged file loop back into the deleted subtree).
    if (ok && removed > 0 && deleted.count(category.link) == 0) {
        ok = adjustCounts(category.link, -removed);
    }
    if (ok && commitTransaction()) {
        return LibraryOutcome::done;
    }
    if (inTransaction()) {
        exec("ROLLBACK TRANSACTION;");
    }
    return LibraryOutcome::failed;
}

// Deletes a category after all its descendants (each level in the order of its listing), with
// their presets. Iterative, so a deep or cyclic tree read from a damaged file cannot exhaust the
// stack or loop.
bool PresetDatabase::deleteSubtree(int catId, int& presetsRemoved, std::unordered_set<int>& reached)
{
    struct Level {
        int id;
        LibraryRows children;
        std::size_t next = 0;
    };
    reached.insert(catId);
    std::vector<Level> path;
    path.push_back({catId, {}});
    if (!listSubcategories(catId, path.back().children)) {
        return false;
    }
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next < level.children.size()) {
            int child = level.children[level.next++].id;
            if (!reached.insert(child).second) {
                continue;  // a loop in the parent links: already being deleted
            }
            path.push_back({child, {}});
            if (!listSubcategories(child, path.back().children)) {
                return false;
            }
            continue;
        }
        int k = level.id;
        path.pop_back();
        if (!exec("delete from PRESETS_DATA where P_ID in (SELECT P_ID from PRESETS_INFO where CAT_ID=%d)", k) ||
            !exec("delete from PRESETS_INFO where CAT_ID=%d", k)) {
            return false;
        }
        presetsRemoved += sqlite3_changes(db_);
        if (!exec("delete from CATEGORIES where CAT_ID=%d", k)) {
            return false;
        }
    }
    return true;
}

// ---- presets -----------------------------------------------------------------------------------

LibraryOutcome PresetDatabase::addPreset(int catId, std::string_view name, std::string_view comments,
                                         std::span<const std::uint8_t> record, int* newId, bool evenIfNameExists)
{
    std::string nameText = argument(name);
    std::string commentText = argument(comments);
    // A preset filed under a category that does not exist would be out of the browser's reach.
    LibraryRow category;
    if (catId != -1 && !getCategory(catId, category)) {
        debugOutput("storePreset: no category " + std::to_string(catId));
        return LibraryOutcome::failed;
    }
    if (!evenIfNameExists) {
        int existing = 0;
        if (!queryCount(existing, "select count(*) from PRESETS_INFO where PRESET_NAME='%q'", nameText.c_str())) {
            return LibraryOutcome::failed;
        }
        if (existing != 0) {
            return LibraryOutcome::nameExists;
        }
    }
    if (!exec("BEGIN TRANSACTION; INSERT into PRESETS_INFO values(NULL, %d, '%q', '%q')", catId, nameText.c_str(),
              commentText.c_str())) {
        return LibraryOutcome::failed;
    }
    sqlite3_int64 id = sqlite3_last_insert_rowid(db_);
    if (id > INT_MAX) {
        debugOutput("storePreset: preset ids have run out of the integer range");
        run("ROLLBACK TRANSACTION", nullptr, nullptr, false);
        return LibraryOutcome::failed;
    }
    std::string encoded;
    std::size_t bufferSize = encodedBufferSize(record.size());
    bool allocated = bufferSize != 0;
    if (allocated) {
        try {
            encoded.resize(bufferSize);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        showMessage(kMsgOutOfMemory);
        run("ROLLBACK TRANSACTION", nullptr, nullptr, false);
        return LibraryOutcome::failed;
    }
    encoded.resize(encodeRecord(record, encoded.data()));
    if (!exec("INSERT into PRESETS_DATA values(%d, '%q'); COMMIT TRANSACTION", static_cast<int>(id),
              encoded.c_str())) {
        run("ROLLBACK TRANSACTION", nullptr, nullptr, false);
        return LibraryOutcome::failed;
    }
    if (newId != nullptr) {
        *newId = static_cast<int>(id);
    }
    // The preset is stored; a failure here leaves counts that rebuildCounts repairs.
    adjustCounts(catId, +1);
    return LibraryOutcome::done;
}

// The category a preset is stored in, which the counts must follow: -2 when there is no such
// preset (or it cannot be read).
int PresetDatabase::storedCategory(int presetId, int callerCatId)
{
    LibraryRow preset;
    if (!getPreset(presetId, preset)) {
        return -2;
    }
    if (preset.link != callerCatId) {
        debugOutput("preset " + std::to_string(presetId) + " is stored in category " + std::to_string(preset.link) +
                    ", not " + std::to_string(callerCatId));
    }
    return preset.link;
}

bool PresetDatabase::movePreset(int presetId, int newCatId, int oldCatId)
{
    int storedCatId = storedCategory(presetId, oldCatId);
    if (storedCatId == -2) {
        return false;
    }
    bool ownTransaction = !inTransaction();
    if (ownTransaction && !beginTransaction()) {
        return false;
    }
    bool ok = exec("update PRESETS_INFO set CAT_ID=%d where P_ID=%d", newCatId, presetId) &&
              adjustCounts(storedCatId, -1) && adjustCounts(newCatId, +1);
    if (ownTransaction) {
        if (ok && commitTransaction()) {
            return true;
        }
        rollbackTransaction();
    }
    return ok;
}

bool PresetDatabase::deletePreset(int presetId, int catId)
{
    int storedCatId = storedCategory(presetId, catId);
    if (!exec("BEGIN TRANSACTION; delete from PRESETS_INFO where P_ID=%d; delete from PRESETS_DATA where P_ID=%d; "
              "COMMIT TRANSACTION;",
              presetId, presetId)) {
        return false;
    }
    // Only a preset that was there leaves the counts.
    return storedCatId == -2 || adjustCounts(storedCatId, -1);
}

int PresetDatabase::loadPreset(int presetId, std::vector<std::uint8_t>& record)
{
    record.clear();
    bool found = false;
    int length = kMissingRecord;
    bool outOfMemory = false;
    auto decode = [&](int columns, char** values) {
        if (found) {
            return true;
        }
        found = true;
        const char* text = column(columns, values, 0);
        if (text == nullptr) {
            length = kInvalidRecord;
            return true;
        }
        std::string_view encoded(text);
        try {
            record.resize(decodedCapacity(encoded.size()));
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return true;
        }
        length = decodeRecord(encoded, record.data(), record.size());
        record.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return true;
    };
    if (!query(decode, "select PRESET_DATA from PRESETS_DATA where P_ID=%d", presetId)) {
        record.clear();
        return kUnreadRecord;
    }
    if (outOfMemory) {
        showMessage(kMsgOutOfMemory);
        record.clear();
        return kUnreadRecord;
    }
    return found ? length : kMissingRecord;
}

bool PresetDatabase::setComments(int presetId, std::string_view text)
{
    std::string comments = argument(text);
    return exec("update PRESETS_INFO set COMMENTS='%q' where P_ID=%d", comments.c_str(), presetId);
}

bool PresetDatabase::replaceRecord(int presetId, std::span<const std::uint8_t> record)
{
    std::string encoded;
    try {
        encoded = encodeRecord(record);
    } catch (const std::bad_alloc&) {
        showMessage(kMsgOutOfMemory);
        return false;
    }
    return exec("update PRESETS_DATA set PRESET_DATA='%q' where P_ID=%d", encoded.c_str(), presetId);
}

// ---- counts ------------------------------------------------------------------------------------

bool PresetDatabase::adjustCounts(int catId, int delta)
{
    std::unordered_set<int> visited;
    while (catId != -1) {
        if (!visited.insert(catId).second) {
            debugOutput("adjustCounts: the parent links of category " + std::to_string(catId) + " form a loop");
            return false;
        }
        LibraryRow category;
        if (!exec("update CATEGORIES set NITEMS=NITEMS+(%d) where CAT_ID=%d", delta, catId) ||
            !getCategory(catId, category)) {
            return false;
        }
        catId = category.link;
    }
    return true;
}

bool PresetDatabase::rebuildCounts()
{
    struct Node {
        int parent;
        int count;
    };
    bool ownTransaction = !inTransaction();
    if (ownTransaction && !beginTransaction()) {
        return false;
    }
    std::unordered_map<int, Node> tree(100);
    auto addCategory = [&tree](int columns, char** values) {
        tree[columnInt(column(columns, values, 0), 0)] = Node{columnInt(column(columns, values, 2), -1), 0};
        return true;
    };
    auto addPresets = [&tree](int columns, char** values) {
        int k = columnInt(column(columns, values, 0), -1);
        int n = columnInt(column(columns, values, 3), 0);
        // At most one step per category: a loop in the parent links cannot hold the walk.
        for (std::size_t steps = 0; k != -1 && steps < tree.size(); ++steps) {
            auto node = tree.find(k);
            if (node == tree.end()) {
                break;
            }
            node->second.count += n;
            k = node->second.parent;
        }
        return true;
    };
    bool ok = exec("update CATEGORIES set NITEMS=0") &&
              query(addCategory, "select CAT_ID, CAT_DESCRIPTION, PARENT_ID from CATEGORIES") &&
              query(addPresets,
                   "select PRESETS_INFO.CAT_ID, 'x', -1, SUM(1) FROM PRESETS_INFO GROUP BY PRESETS_INFO.CAT_ID");
    for (auto it = tree.begin(); ok && it != tree.end(); ++it) {
        ok = exec("update CATEGORIES set NITEMS=%d where CAT_ID=%d", it->second.count, it->first);
    }
    if (ownTransaction) {
        if (ok && commitTransaction()) {
            return true;
        }
        rollbackTransaction();
    }
    return ok;
}

}  // namespace pelko
