// A presets database in a fresh temporary folder, with a scripted user interface that records
// every message and answers the questions from a queue, and an independent recount of NITEMS.
#pragma once

#include "library/library_questions.h"
#include "library/preset_database.h"
#include "platform/messages.h"
#include "platform/user_interface.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The three tables of a library from before keyword searches: categories without NITEMS.
inline constexpr const char* kOldLibraryTables =
    "CREATE TABLE CATEGORIES (CAT_ID INTEGER NOT NULL , CAT_DESCRIPTION VARCHAR (50) NOT NULL , "
    "PARENT_ID INTEGER DEFAULT -1);"
    "CREATE TABLE PRESETS_INFO (P_ID INTEGER PRIMARY KEY, CAT_ID INTEGER, PRESET_NAME TEXT, COMMENTS TEXT);"
    "CREATE TABLE PRESETS_DATA (P_ID INTEGER PRIMARY KEY, PRESET_DATA TEXT);";

// Runs SQL on a connection, failing the test on an error.
inline void runSql(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error != nullptr ? error : "");
    sqlite3_free(error);
}

// The first column of every row as text (NULL as "NULL").
inline std::vector<std::string> columnValues(sqlite3* db, const std::string& sql)
{
    std::vector<std::string> values;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        values.push_back(text != nullptr ? reinterpret_cast<const char*>(text) : "NULL");
    }
    sqlite3_finalize(statement);
    return values;
}

inline int intValue(sqlite3* db, const std::string& sql)
{
    auto values = columnValues(db, sql);
    return values.empty() ? -999 : std::stoi(values[0]);
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { previousUi_ = pelko::setUserInterface(ui_); }
    void TearDown() override
    {
        db.close();
        pelko::setUserInterface(previousUi_);
    }

    std::string file() const { return folder.file("pelko.db"); }
    sqlite3* handle() const { return db.handle(); }

    pelko::ScriptedUserInterface& ui() { return *ui_; }
    // The message numbers shown so far, in order.
    std::vector<int> messageNumbers() const
    {
        std::vector<int> numbers;
        for (const auto& message : ui_->messages()) {
            int found = -1;
            for (int n = 0; n <= 21 && found < 0; ++n) {
                const char* text = pelko::messageText(n);
                if (text != nullptr && message.text.rfind(text, 0) == 0) {
                    found = n;
                }
            }
            numbers.push_back(found);
        }
        return numbers;
    }
    std::string lastMessage() const
    {
        auto messages = ui_->messages();
        return messages.empty() ? std::string() : messages.back().text;
    }

    int category(const std::string& name, int parent)
    {
        int id = -1;
        EXPECT_TRUE(db.addCategory(name, parent, &id)) << name;
        return id;
    }
    int preset(int catId, const std::string& name, const std::string& comments = {},
               std::vector<std::uint8_t> record = {21, 0, 0, 0, 1, 2, 3})
    {
        int id = -1;
        EXPECT_TRUE(pelko::storePreset(db, catId, name, comments, record, &id)) << name;
        return id;
    }

    // Every category's NITEMS against a recount of the presets in it and all its descendants,
    // computed by SQLite itself.
    void expectCountsExact()
    {
        const char* recount =
            "WITH RECURSIVE below(root, id) AS (SELECT CAT_ID, CAT_ID FROM CATEGORIES UNION "
            "SELECT below.root, c.CAT_ID FROM CATEGORIES c JOIN below ON c.PARENT_ID = below.id) "
            "SELECT c.CAT_ID || ':' || c.NITEMS || ':' || (SELECT COUNT(*) FROM PRESETS_INFO p WHERE p.CAT_ID IN "
            "(SELECT id FROM below WHERE root = c.CAT_ID)) FROM CATEGORIES c ORDER BY c.CAT_ID";
        for (const std::string& row : columnValues(handle(), recount)) {
            std::size_t a = row.find(':');
            std::size_t b = row.rfind(':');
            EXPECT_EQ(row.substr(a + 1, b - a - 1), row.substr(b + 1)) << "category " << row.substr(0, a);
        }
    }

    TempFolder folder;
    pelko::PresetDatabase db;

private:
    std::shared_ptr<pelko::ScriptedUserInterface> ui_ = std::make_shared<pelko::ScriptedUserInterface>();
    std::shared_ptr<pelko::UserInterface> previousUi_;
};

}  // namespace testing_support
