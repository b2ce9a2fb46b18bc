#include "library/library_questions.h"
#include "library/preset_database.h"
#include "library/record_encoding.h"
#include "library_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using testing_support::columnValues;
using testing_support::intValue;
using testing_support::LibraryTest;
using testing_support::runSql;

std::vector<std::string> names(const pelko::LibraryRows& rows)
{
    std::vector<std::string> out;
    for (const auto& row : rows) {
        out.push_back(row.name);
    }
    return out;
}

class PresetDatabaseTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_TRUE(db.open(file()));
        // Basses > Analog > Vintage, and Pads.
        basses = category("Basses", -1);
        analog = category("Analog", basses);
        vintage = category("Vintage", analog);
        pads = category("Pads", -1);
    }
    int nitems(int catId)
    {
        pelko::LibraryRow row;
        EXPECT_TRUE(db.getCategory(catId, row));
        return row.count;
    }

    int basses = 0, analog = 0, vintage = 0, pads = 0;
};

TEST_F(LibraryTest, CreatesAMissingFileWithItsTablesAndOpensItAgainUnchanged)
{
    ASSERT_TRUE(db.open(file()));
    EXPECT_TRUE(std::filesystem::exists(file()));
    EXPECT_FALSE(db.upgraded());
    EXPECT_EQ(columnValues(handle(), "select name from sqlite_master where type='table' order by name"),
              (std::vector<std::string>{"CATEGORIES", "PRESETS_DATA", "PRESETS_INFO"}));
    EXPECT_EQ(db.countPresets(), 0);
    int id = preset(-1, "First");
    db.close();
    EXPECT_FALSE(db.isOpen());

    ASSERT_TRUE(db.open(file()));
    EXPECT_FALSE(db.upgraded());
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getPreset(id, row));
    EXPECT_EQ(row.name, "First");
    EXPECT_TRUE(ui().messages().empty());
}

TEST_F(PresetDatabaseTest, StoresListsAndLoadsPresets)
{
    std::vector<std::uint8_t> record = {21, 0, 0, 0, 0, 1, 39, 255, 0};
    int b = preset(analog, "Bravo", "warm", record);
    int a = preset(analog, "Alpha");
    int loose = preset(-1, "Loose");
    EXPECT_NE(a, b);

    pelko::LibraryRows rows;
    ASSERT_TRUE(db.listPresetsInCategory(analog, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Alpha", "Bravo"}));
    EXPECT_EQ(rows[1].id, b);
    EXPECT_EQ(rows[1].link, analog);
    EXPECT_EQ(rows[1].count, 0);
    ASSERT_TRUE(db.listAllPresets(rows));
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(db.countPresets(), 3);

    pelko::LibraryRow row;
    ASSERT_TRUE(db.getPreset(loose, row));
    EXPECT_EQ(row.link, -1);
    EXPECT_FALSE(db.getPreset(9999, row));

    std::vector<std::uint8_t> loaded;
    EXPECT_EQ(db.loadPreset(b, loaded), static_cast<int>(record.size()));
    EXPECT_EQ(loaded, record);
    EXPECT_EQ(db.loadPreset(9999, loaded), pelko::kMissingRecord);
    EXPECT_TRUE(loaded.empty());

    // Counts: the two presets of Analog count in Basses too; the loose one nowhere.
    EXPECT_EQ(nitems(analog), 2);
    EXPECT_EQ(nitems(basses), 2);
    EXPECT_EQ(nitems(vintage), 0);
    expectCountsExact();
    EXPECT_TRUE(ui().messages().empty());
}

TEST_F(PresetDatabaseTest, StoringAnExistingNameAsksFirst)
{
    preset(pads, "Lead");
    ui().queueAnswer(false);
    EXPECT_FALSE(pelko::storePreset(db, pads, "Lead", "", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(db.countPresets(), 1);
    ASSERT_EQ(messageNumbers(), (std::vector<int>{15}));
    EXPECT_EQ(lastMessage(), std::string(pelko::messageText(15)) + "\nLead");
    EXPECT_EQ(ui().messages()[0].kind, pelko::MessageKind::Question);

    ui().queueAnswer(true);
    EXPECT_TRUE(pelko::storePreset(db, pads, "Lead", "", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(db.countPresets(), 2);
    EXPECT_EQ(nitems(pads), 2);
}

TEST_F(PresetDatabaseTest, TheDatabaseLayerReportsDecisionsInsteadOfAsking)
{
    preset(pads, "Lead");
    preset(vintage, "Deep");
    const std::vector<std::uint8_t> record{1};
    EXPECT_EQ(db.addPreset(pads, "Lead", "", record, nullptr, false), pelko::LibraryOutcome::nameExists);
    EXPECT_EQ(db.countPresets(), 2);
    EXPECT_EQ(db.removeCategory(analog, pelko::CategoryContents::refuseIfAny), pelko::LibraryOutcome::categoryNotEmpty);
    pelko::LibraryRow row;
    EXPECT_TRUE(db.getCategory(analog, row));
    EXPECT_FALSE(db.inTransaction());
    EXPECT_TRUE(ui().messages().empty());

    EXPECT_EQ(db.addPreset(pads, "Lead", "", record, nullptr, true), pelko::LibraryOutcome::done);
    EXPECT_EQ(db.countPresets(), 3);
    EXPECT_EQ(db.removeCategory(analog, pelko::CategoryContents::moveToParent), pelko::LibraryOutcome::done);
    EXPECT_EQ(nitems(basses), 1);  // Vintage and its preset now hang below Basses
    EXPECT_TRUE(ui().messages().empty());
    expectCountsExact();
}

TEST_F(PresetDatabaseTest, StoringIntoAMissingCategoryStoresNothing)
{
    EXPECT_FALSE(pelko::storePreset(db, 4711, "Lost", "", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(db.countPresets(), 0);
    EXPECT_FALSE(db.addCategory("Orphan", 4711));
    EXPECT_EQ(intValue(handle(), "select count(*) from CATEGORIES"), 4);
}

TEST_F(PresetDatabaseTest, NamesAndKeywordsReachTheDatabaseAsTheyAre)
{
    const std::vector<std::string> tricky = {
        "It's a Pad", "100% Pure", "a_b", "back\\slash", "\xC3\x9C" "ber \xFF\xFE raw",
        "x'); DROP TABLE CATEGORIES; --", "%s%d%q%n", "plain",
    };
    for (const auto& name : tricky) {
        preset(pads, name, "comment of " + name);
    }
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.listPresetsInCategory(pads, rows));
    auto stored = names(rows);
    auto expected = tricky;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stored, expected);

    auto found = [&](const std::string& keyword) {
        pelko::LibraryRows hits;
        EXPECT_TRUE(db.searchPresets(keyword, hits)) << keyword;
        return names(hits);
    };
    EXPECT_EQ(found("'"), (std::vector<std::string>{"It's a Pad", "x'); DROP TABLE CATEGORIES; --"}));
    EXPECT_EQ(found("'s"), (std::vector<std::string>{"It's a Pad"}));
    // The wildcard characters match only themselves.
    EXPECT_EQ(found("%"), (std::vector<std::string>{"%s%d%q%n", "100% Pure"}));
    EXPECT_EQ(found("0%"), (std::vector<std::string>{"100% Pure"}));
    EXPECT_EQ(found("_"), (std::vector<std::string>{"a_b"}));
    EXPECT_EQ(found("\\"), (std::vector<std::string>{"back\\slash"}));
    EXPECT_EQ(found("\xFF\xFE"), (std::vector<std::string>{"\xC3\x9C" "ber \xFF\xFE raw"}));
    // Letter case is ignored for ASCII; comments are searched too.
    EXPECT_EQ(found("PURE"), (std::vector<std::string>{"100% Pure"}));
    EXPECT_EQ(found("comment of plain"), (std::vector<std::string>{"plain"}));
    EXPECT_EQ(found("").size(), tricky.size());
    EXPECT_TRUE(found("nothing like this").empty());

    EXPECT_EQ(db.countPresets(), static_cast<int>(tricky.size()));
    EXPECT_TRUE(ui().messages().empty());
}

TEST_F(PresetDatabaseTest, CategoriesAreAddedRenamedAndListedByName)
{
    int quoted = category("Rock 'n' Roll 100%", -1);
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.listSubcategories(-1, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Basses", "Pads", "Rock 'n' Roll 100%"}));
    EXPECT_EQ(rows[0].link, -1);

    ASSERT_TRUE(db.renameCategory(quoted, "Aaa's"));
    ASSERT_TRUE(db.listSubcategories(-1, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Aaa's", "Basses", "Pads"}));
    ASSERT_TRUE(db.listSubcategories(basses, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, analog);
    EXPECT_EQ(rows[0].link, basses);

    pelko::LibraryRow row;
    EXPECT_FALSE(db.getCategory(4711, row));
}

TEST_F(PresetDatabaseTest, ListRowsReadNullsAsTheirDefaults)
{
    runSql(handle(), "insert into CATEGORIES values(77, 'Nulls', NULL, NULL)");
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getCategory(77, row));
    EXPECT_EQ(row.link, -1);
    EXPECT_EQ(row.count, 0);
}

TEST_F(PresetDatabaseTest, MovingAPresetKeepsEveryAncestorCountExact)
{
    int p = preset(vintage, "Moog-ish");
    preset(vintage, "Other");
    EXPECT_EQ(nitems(basses), 2);

    ASSERT_TRUE(db.movePreset(p, pads, vintage));
    EXPECT_EQ(nitems(vintage), 1);
    EXPECT_EQ(nitems(analog), 1);
    EXPECT_EQ(nitems(basses), 1);
    EXPECT_EQ(nitems(pads), 1);
    expectCountsExact();

    ASSERT_TRUE(db.movePreset(p, -1, pads));
    EXPECT_EQ(nitems(pads), 0);
    expectCountsExact();

    // The caller's idea of the old category is wrong: the counts follow the stored one.
    ASSERT_TRUE(db.movePreset(p, analog, vintage));
    expectCountsExact();
    // Moving into a category that does not exist changes nothing.
    EXPECT_FALSE(db.movePreset(p, 4711, analog));
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getPreset(p, row));
    EXPECT_EQ(row.link, analog);
    expectCountsExact();
    EXPECT_FALSE(db.movePreset(9999, pads, -1));
    expectCountsExact();
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(PresetDatabaseTest, CommentsAndDeletingPresets)
{
    int p = preset(vintage, "Keeper");
    int q = preset(vintage, "Goner");
    ASSERT_TRUE(db.setComments(p, "fat 'bass' 50%"));
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.searchPresets("'bass' 50%", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, p);

    ASSERT_TRUE(db.deletePreset(q, vintage));
    EXPECT_EQ(db.countPresets(), 1);
    EXPECT_EQ(intValue(handle(), "select count(*) from PRESETS_DATA"), 1);
    EXPECT_EQ(nitems(basses), 1);
    expectCountsExact();
    // A preset that is not there leaves the counts alone.
    ASSERT_TRUE(db.deletePreset(q, vintage));
    EXPECT_EQ(nitems(basses), 1);
    expectCountsExact();
}

TEST_F(PresetDatabaseTest, DeletingACategoryWithYesRemovesItsWholeSubtree)
{
    preset(basses, "Top");
    preset(analog, "Mid");
    preset(vintage, "Deep 1");
    preset(vintage, "Deep 2");
    preset(pads, "Elsewhere");
    ui().queueAnswer(true);
    ASSERT_TRUE(pelko::deleteCategory(db, analog));
    EXPECT_EQ(messageNumbers(), (std::vector<int>{17}));
    EXPECT_EQ(ui().messages()[0].kind, pelko::MessageKind::Question);
    EXPECT_EQ(ui().messages()[0].caption, "Deleting Category");

    pelko::LibraryRow row;
    EXPECT_FALSE(db.getCategory(analog, row));
    EXPECT_FALSE(db.getCategory(vintage, row));
    EXPECT_EQ(db.countPresets(), 2);
    EXPECT_EQ(intValue(handle(), "select count(*) from PRESETS_DATA"), 2);
    EXPECT_EQ(nitems(basses), 1);
    EXPECT_EQ(nitems(pads), 1);
    expectCountsExact();
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(PresetDatabaseTest, DeletingACategoryWithNoHandsItsContentsToTheParent)
{
    preset(analog, "Mid");
    int deep = preset(vintage, "Deep");
    ui().queueAnswer(false);
    ASSERT_TRUE(pelko::deleteCategory(db, analog));

    pelko::LibraryRow row;
    EXPECT_FALSE(db.getCategory(analog, row));
    ASSERT_TRUE(db.getCategory(vintage, row));
    EXPECT_EQ(row.link, basses);
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.listPresetsInCategory(basses, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Mid"}));
    ASSERT_TRUE(db.getPreset(deep, row));
    EXPECT_EQ(row.link, vintage);
    EXPECT_EQ(db.countPresets(), 2);
    EXPECT_EQ(nitems(basses), 2);
    expectCountsExact();

    // A top-level category hands its contents to the top level.
    ui().queueAnswer(false);
    ASSERT_TRUE(pelko::deleteCategory(db, basses));
    ASSERT_TRUE(db.listSubcategories(-1, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Pads", "Vintage"}));
    ASSERT_TRUE(db.listPresetsInCategory(-1, rows));
    EXPECT_EQ(names(rows), (std::vector<std::string>{"Mid"}));
    expectCountsExact();
}

TEST_F(PresetDatabaseTest, DeletingAnEmptyCategoryAsksNothing)
{
    ASSERT_TRUE(pelko::deleteCategory(db, pads));
    EXPECT_TRUE(ui().messages().empty());
    pelko::LibraryRow row;
    EXPECT_FALSE(db.getCategory(pads, row));
    EXPECT_FALSE(pelko::deleteCategory(db, -1));  // the top level is no category
    EXPECT_EQ(intValue(handle(), "select count(*) from CATEGORIES"), 3);
}

TEST_F(PresetDatabaseTest, AFailedStepRollsTheWholeDeletionBack)
{
    preset(vintage, "Deep");
    runSql(handle(), "CREATE TRIGGER refuse BEFORE DELETE ON CATEGORIES WHEN old.CAT_ID = " + std::to_string(analog) +
                         " BEGIN SELECT RAISE(ABORT, 'refused by test'); END;");
    ui().queueAnswer(true);
    EXPECT_FALSE(pelko::deleteCategory(db, basses));
    EXPECT_EQ(messageNumbers(), (std::vector<int>{17, 14}));
    EXPECT_EQ(lastMessage(), std::string(pelko::messageText(14)) + "\nrefused by test");
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(intValue(handle(), "select count(*) from CATEGORIES"), 4);
    EXPECT_EQ(db.countPresets(), 1);
    expectCountsExact();
}

TEST_F(PresetDatabaseTest, AFailedStoreLeavesNothingBehind)
{
    preset(vintage, "Before");
    runSql(handle(), "CREATE TRIGGER full BEFORE INSERT ON PRESETS_DATA BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
    EXPECT_FALSE(pelko::storePreset(db, vintage, "After", "", std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(lastMessage(), std::string(pelko::messageText(14)) + "\ndisk full");
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.countPresets(), 1);
    EXPECT_EQ(nitems(basses), 1);

    // The first step failing (the information row) must not leave its transaction open either.
    runSql(handle(), "DROP TRIGGER full; CREATE TRIGGER noinfo BEFORE INSERT ON PRESETS_INFO BEGIN "
                     "SELECT RAISE(ABORT, 'no'); END;");
    EXPECT_FALSE(pelko::storePreset(db, vintage, "After", "", std::vector<std::uint8_t>{1, 2}));
    EXPECT_FALSE(db.inTransaction());
    runSql(handle(), "DROP TRIGGER noinfo");
    preset(vintage, "After");
    EXPECT_EQ(db.countPresets(), 2);
    expectCountsExact();
}

TEST_F(PresetDatabaseTest, RecordsThatDoNotDecodeLoadAsInvalid)
{
    int p = preset(pads, "Broken");
    std::vector<std::uint8_t> loaded;
    for (const char* text : {"A\x01\x09zz", "A\x01", ""}) {
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(handle(), "update PRESETS_DATA set PRESET_DATA=? where P_ID=?", -1, &statement,
                                     nullptr),
                  SQLITE_OK);
        sqlite3_bind_text(statement, 1, text, -1, SQLITE_STATIC);
        sqlite3_bind_int(statement, 2, p);
        ASSERT_EQ(sqlite3_step(statement), SQLITE_DONE);
        sqlite3_finalize(statement);
        EXPECT_EQ(db.loadPreset(p, loaded), pelko::kInvalidRecord) << text;
        EXPECT_TRUE(loaded.empty());
    }
    // An empty record stored as "x" is valid and empty.
    ASSERT_TRUE(db.replaceRecord(p, {}));
    EXPECT_EQ(db.loadPreset(p, loaded), 0);
    EXPECT_EQ(columnValues(handle(), "select PRESET_DATA from PRESETS_DATA"), (std::vector<std::string>{"x"}));
}

TEST_F(PresetDatabaseTest, RebuildCountsRepairsEveryCategory)
{
    preset(vintage, "a");
    preset(analog, "b");
    preset(pads, "c");
    preset(-1, "d");
    runSql(handle(), "update CATEGORIES set NITEMS=NITEMS*7+3");
    runSql(handle(), "insert into PRESETS_INFO values(NULL, 4711, 'orphan', '')");
    ASSERT_TRUE(db.rebuildCounts());
    expectCountsExact();
    EXPECT_EQ(nitems(basses), 2);
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(PresetDatabaseTest, LoopsInTheParentLinksNeverHang)
{
    preset(vintage, "In the loop");
    // Analog and Vintage become each other's parents: a damaged file.
    runSql(handle(), "update CATEGORIES set PARENT_ID=" + std::to_string(vintage) +
                         " where CAT_ID=" + std::to_string(analog));
    EXPECT_FALSE(db.adjustCounts(vintage, 1));
    EXPECT_TRUE(db.rebuildCounts());
    ui().queueAnswer(true);
    EXPECT_TRUE(pelko::deleteCategory(db, analog));
    pelko::LibraryRow row;
    EXPECT_FALSE(db.getCategory(vintage, row));
    EXPECT_EQ(db.countPresets(), 0);
}

TEST_F(PresetDatabaseTest, ClosingCompactsTheFile)
{
    std::vector<std::uint8_t> record(4000);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (int i = 0; i < 40; ++i) {
        preset(-1, "p" + std::to_string(i), "", record);
    }
    auto full = std::filesystem::file_size(file());
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.listAllPresets(rows));
    for (const auto& row : rows) {
        ASSERT_TRUE(db.deletePreset(row.id, row.link));
    }
    db.close();
    EXPECT_LT(std::filesystem::file_size(file()) * 4, full);  // without compaction it stays at full
}

}  // namespace
