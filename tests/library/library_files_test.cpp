// Library files as they come: old category layouts, and files that are missing, damaged,
// locked or read-only.
#include "library/library_questions.h"
#include "library/preset_database.h"
#include "library/record_encoding.h"
#include "library_fixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using testing_support::columnValues;
using testing_support::intValue;
using testing_support::LibraryTest;
using testing_support::runSql;

// A file with the category layout of older libraries (no NITEMS), three categories and three
// presets.
void writeOldLibrary(const std::string& path, bool duplicateIds = false)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    runSql(raw, std::string(testing_support::kOldLibraryTables) +
                    "INSERT INTO CATEGORIES VALUES(3, 'Basses', -1);"
                    "INSERT INTO CATEGORIES VALUES(8, 'Analog', 3);"
                    "INSERT INTO CATEGORIES VALUES(12, 'Pads', -1);"
                    "INSERT INTO PRESETS_INFO VALUES(1, 8, 'Fat', NULL);"
                    "INSERT INTO PRESETS_INFO VALUES(2, 8, 'Thin', NULL);"
                    "INSERT INTO PRESETS_INFO VALUES(3, 12, 'Wide', NULL);");
    if (duplicateIds) {
        runSql(raw, "INSERT INTO CATEGORIES VALUES(8, 'Analog again', 3);");
    }
    for (int id = 1; id <= 3; ++id) {
        std::vector<std::uint8_t> record = {21, 0, 0, 0, static_cast<std::uint8_t>(id), 0, 39, 1};
        runSql(raw, "INSERT INTO PRESETS_DATA VALUES(" + std::to_string(id) + ", '" + pelko::encodeRecord(record) +
                        "');");
    }
    sqlite3_close(raw);
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(LibraryTest, ConvertsAnOldCategoryTableOnce)
{
    writeOldLibrary(file());
    ASSERT_TRUE(db.open(file()));
    EXPECT_TRUE(db.upgraded());
    EXPECT_TRUE(ui().messages().empty());
    EXPECT_EQ(columnValues(handle(), "select sql from sqlite_master where name='CATEGORIES'")[0],
              "CREATE TABLE CATEGORIES (CAT_ID INTEGER PRIMARY KEY NOT NULL , CAT_DESCRIPTION VARCHAR (50) NOT NULL , "
              "PARENT_ID INTEGER DEFAULT -1,NITEMS INTEGER DEFAULT 0)");
    EXPECT_TRUE(columnValues(handle(), "select name from sqlite_master where name='CATEGORIES2'").empty());
    // Ids, names and parents survive; the counts start at 0 until they are rebuilt.
    EXPECT_EQ(columnValues(handle(), "select CAT_ID||'/'||CAT_DESCRIPTION||'/'||PARENT_ID||'/'||NITEMS "
                                     "from CATEGORIES order by CAT_ID"),
              (std::vector<std::string>{"3/Basses/-1/0", "8/Analog/3/0", "12/Pads/-1/0"}));
    ASSERT_TRUE(db.rebuildCounts());
    expectCountsExact();
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getCategory(3, row));
    EXPECT_EQ(row.count, 2);
    // New categories get fresh ids after the converted ones.
    int added = -1;
    ASSERT_TRUE(db.addCategory("New", -1, &added));
    EXPECT_EQ(added, 13);
    std::vector<std::uint8_t> record;
    EXPECT_EQ(db.loadPreset(2, record), 8);
    db.close();

    ASSERT_TRUE(db.open(file()));
    EXPECT_FALSE(db.upgraded());
}

TEST_F(LibraryTest, AFailedConversionKeepsTheOldTable)
{
    writeOldLibrary(file(), true);  // two categories with the same id cannot take the new key
    EXPECT_FALSE(db.open(file()));
    EXPECT_FALSE(db.upgraded());
    ASSERT_EQ(messageNumbers(), (std::vector<int>{14}));
    EXPECT_NE(lastMessage().find("UNIQUE"), std::string::npos) << lastMessage();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(intValue(handle(), "select count(*) from CATEGORIES"), 4);
    EXPECT_EQ(columnValues(handle(), "select count(*) from sqlite_master where name='CATEGORIES2'")[0], "0");
    EXPECT_EQ(db.countPresets(), 3);
}

TEST_F(LibraryTest, AnEmptyFileBecomesALibrary)
{
    std::ofstream(file()) << "";
    ASSERT_TRUE(db.open(file()));
    EXPECT_FALSE(db.upgraded());
    EXPECT_EQ(db.countPresets(), 0);
}

TEST_F(LibraryTest, AMissingFolderFailsEveryOperationWithMessage14)
{
    EXPECT_FALSE(db.open(folder.file("no/such/folder/pelko.db")));
    EXPECT_FALSE(db.isOpen());
    std::string expected = std::string(pelko::messageText(14)) + "\nunable to open database file";
    EXPECT_EQ(lastMessage(), expected);
    EXPECT_EQ(ui().messages()[0].caption, "Pelko Error");
    ui().clear();

    pelko::LibraryRows rows;
    std::vector<std::uint8_t> record;
    EXPECT_EQ(db.countPresets(), -1);
    EXPECT_FALSE(db.listAllPresets(rows));
    EXPECT_FALSE(db.searchPresets("x", rows));
    EXPECT_FALSE(db.addCategory("x", -1));
    EXPECT_FALSE(pelko::storePreset(db, -1, "x", "", record));
    EXPECT_EQ(db.loadPreset(1, record), pelko::kUnreadRecord);
    EXPECT_FALSE(db.rebuildCounts());
    auto messages = ui().messages();
    ASSERT_EQ(messages.size(), 7u);
    for (const auto& message : messages) {
        EXPECT_EQ(message.text, expected);
    }
}

TEST_F(LibraryTest, AFileThatIsNotADatabaseIsNeverTouched)
{
    std::string garbage;
    for (int i = 0; i < 3000; ++i) {
        garbage += static_cast<char>('A' + i % 23);
    }
    std::ofstream(file(), std::ios::binary) << garbage;
    EXPECT_FALSE(db.open(file()));
    EXPECT_EQ(lastMessage(), std::string(pelko::messageText(14)) + "\nfile is not a database");
    EXPECT_FALSE(pelko::storePreset(db, -1, "x", "", std::vector<std::uint8_t>{1}));
    EXPECT_FALSE(db.addCategory("x", -1));
    EXPECT_EQ(db.countPresets(), -1);
    db.close();
    EXPECT_EQ(fileBytes(file()), garbage);
    for (int n : messageNumbers()) {
        EXPECT_EQ(n, 14);
    }
}

TEST_F(LibraryTest, ALockedFileFailsQuicklyAndWorksOnceReleased)
{
    ASSERT_TRUE(db.open(file()));
    int id = -1;
    ASSERT_TRUE(pelko::storePreset(db, -1, "Kept", "", std::vector<std::uint8_t>{5, 6}, &id));
    db.close();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    runSql(other, "BEGIN EXCLUSIVE TRANSACTION;");

    EXPECT_FALSE(db.open(file()));
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(lastMessage(), std::string(pelko::messageText(14)) + "\ndatabase is locked");
    EXPECT_FALSE(pelko::storePreset(db, -1, "Blocked", "", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(db.countPresets(), -1);
    EXPECT_FALSE(db.inTransaction());

    runSql(other, "COMMIT TRANSACTION;");
    sqlite3_close(other);
    EXPECT_EQ(db.countPresets(), 1);
    std::vector<std::uint8_t> record;
    EXPECT_EQ(db.loadPreset(id, record), 2);
    EXPECT_TRUE(pelko::storePreset(db, -1, "After", "", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(db.countPresets(), 2);
}

// Write protection means nothing to root, so the check runs in a child process that gives up
// root first.
TEST_F(LibraryTest, AReadOnlyFileCanBeBrowsedButNotChanged)
{
    ASSERT_TRUE(db.open(file()));
    int id = -1;
    ASSERT_TRUE(pelko::storePreset(db, -1, "Kept", "found", std::vector<std::uint8_t>{5, 6}, &id));
    db.close();
    std::string before = fileBytes(file());
    ASSERT_EQ(::chmod(file().c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);

    auto scenario = [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::_Exit(10);
        }
        ui().clear();
        pelko::PresetDatabase readOnly;
        int failures = 0;
        failures += readOnly.open(file()) ? 0 : 1;
        pelko::LibraryRows rows;
        failures += readOnly.searchPresets("found", rows) && rows.size() == 1 ? 0 : 2;
        std::vector<std::uint8_t> record;
        failures += readOnly.loadPreset(id, record) == 2 ? 0 : 4;
        failures += pelko::storePreset(readOnly, -1, "New", "", std::vector<std::uint8_t>{1}) ? 8 : 0;
        failures += readOnly.addCategory("New", -1) ? 16 : 0;
        auto messages = ui().messages();
        failures += messages.size() == 2 &&
                            messages[0].text == std::string(pelko::messageText(14)) +
                                                    "\nattempt to write a readonly database"
                        ? 0
                        : 32;
        readOnly.close();
        failures += ui().messages().size() == 2 ? 0 : 64;  // no compaction attempted
        std::_Exit(failures);
    };
    EXPECT_EXIT(scenario(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(fileBytes(file()), before);
}

}  // namespace
