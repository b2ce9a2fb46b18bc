// The preset browser's rows and actions over a real library file: the row texts and addressing
// with and without the up row, the menu rules of each mode, moving and filing with exact counts,
// what a failing library leaves shown, odd names, and the speed of a large library.
#include "library/library_fixture.h"
#include "library/preset_browser.h"

#include <chrono>

using namespace pelko;
using namespace testing_support;

namespace {

using Kind = PresetBrowser::RowKind;

class PresetBrowserTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_TRUE(db.open(file()));
        pads = category("Pads", -1);
        warm = category("Warm", pads);
        bass = category("Bass", -1);
        glass = preset(pads, "Glass", "shimmer");
        velvet = preset(warm, "Velvet", "soft glass");
        preset(bass, "Sub", "");
        ASSERT_TRUE(browser.reload());
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> all;
        for (int r = 0; r < browser.rowCount(); ++r) {
            all.push_back(browser.rowText(r));
        }
        return all;
    }
    int count(int catId)
    {
        LibraryRow row;
        EXPECT_TRUE(db.getCategory(catId, row));
        return row.count;
    }

    PresetBrowser browser{&db};
    int pads = 0, warm = 0, bass = 0, glass = 0, velvet = 0;
};

TEST_F(PresetBrowserTest, FolderRowsCarryTheirMarkersAndTheUpRowOnlyBelowTheTop)
{
    // Top level: no up row, row 0 is the first subcategory (ordered by name).
    EXPECT_EQ(texts(), (std::vector<std::string>{"\x01" "001\x82" "Bass", "\x01" "002\x82" "Pads"}));
    EXPECT_EQ(browser.rowKind(0), Kind::category);
    EXPECT_EQ(browser.open(1), -1);

    // Inside Pads: the up row, the subcategory, then the preset.
    EXPECT_EQ(browser.currentCategory().id, pads);
    EXPECT_EQ(texts(), (std::vector<std::string>{"\x81(Pads)", "\x01" "001\x82" "Warm", "Glass"}));
    EXPECT_EQ(browser.rowKind(0), Kind::up);
    EXPECT_EQ(browser.rowEntry(0), nullptr);
    EXPECT_EQ(browser.rowKind(2), Kind::preset);
    EXPECT_EQ(browser.rowKind(3), Kind::none);
    EXPECT_EQ(browser.open(2), glass);
    EXPECT_EQ(browser.selectedRow(), 2);

    browser.open(1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"\x81(Warm)", "Velvet"}));
    browser.open(0);
    EXPECT_EQ(browser.currentCategory().id, pads);
    browser.open(0);
    EXPECT_EQ(browser.currentCategory().id, -1);
    EXPECT_EQ(browser.rowCount(), 2);

    // A count past 999 keeps all its digits.
    ASSERT_TRUE(db.adjustCounts(bass, 1233));
    ASSERT_TRUE(browser.reload());
    EXPECT_EQ(browser.rowText(0), "\x01" "1234\x82" "Bass");
}

TEST_F(PresetBrowserTest, MenuRulesFollowTheModeAndTheRow)
{
    browser.open(1);  // Pads: up, Warm, Glass
    auto up = browser.menuRules(0), sub = browser.menuRules(1), item = browser.menuRules(2), none = browser.menuRules(-1);
    EXPECT_TRUE(up.newCategory && !up.rename && !up.remove);
    EXPECT_TRUE(sub.newCategory && sub.rename && sub.remove);
    EXPECT_TRUE(item.newCategory && !item.rename && item.remove);
    EXPECT_TRUE(none.newCategory && !none.rename && !none.remove);

    ASSERT_TRUE(browser.search("GLASS"));  // names and comments, letter case ignored
    EXPECT_EQ(texts(), (std::vector<std::string>{"Glass", "Velvet"}));
    EXPECT_EQ(browser.currentCategory().id, -1);
    auto found = browser.menuRules(0);
    EXPECT_TRUE(!found.newCategory && !found.rename && found.remove);
    EXPECT_FALSE(browser.newCategory());
    EXPECT_FALSE(browser.renameCategory(0, "x"));

    // Delete in keyword mode runs the search again; the count above the preset follows.
    ASSERT_TRUE(browser.remove(1));
    EXPECT_EQ(browser.mode(), PresetBrowser::Mode::keyword);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Glass"}));
    EXPECT_EQ(count(pads), 1);
    expectCountsExact();

    // Back to the folders: the top level, as the search left it.
    ASSERT_TRUE(browser.showFolders());
    EXPECT_EQ(browser.rowCount(), 2);
}

TEST_F(PresetBrowserTest, NewRenameAndDeleteActInsideTheShownCategory)
{
    browser.open(1);  // Pads
    ASSERT_TRUE(browser.newCategory());
    EXPECT_EQ(texts()[1], "\x01" "000\x82(new category)");
    LibraryRows below;
    ASSERT_TRUE(db.listSubcategories(pads, below));
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[0].name, "(new category)");

    ASSERT_TRUE(browser.renameCategory(1, "It's 100% \xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(texts()[1], "\x01" "000\x82" "It's 100% \xc3\xa9t\xc3\xa9");
    const std::string longName(300, 'n');
    ASSERT_TRUE(browser.renameCategory(1, longName));
    EXPECT_EQ(browser.rowEntry(2)->name, longName);  // lower case sorts after "Warm"
    EXPECT_FALSE(browser.renameCategory(0, "up"));      // the up row
    EXPECT_FALSE(browser.renameCategory(3, "preset"));  // a preset row

    // Deleting Warm with its preset (Yes): the shown view loses it, the counts stay exact.
    ui().queueAnswer(true);
    ASSERT_EQ(browser.rowEntry(1)->name, "Warm");
    ASSERT_TRUE(browser.remove(1));
    EXPECT_EQ(texts(), (std::vector<std::string>{"\x81(Pads)", "\x01" "000\x82" + longName, "Glass"}));
    EXPECT_EQ(browser.currentCategory().count, 1);
    expectCountsExact();
}

TEST_F(PresetBrowserTest, MovingAPresetFollowsTheDropTargetAndKeepsCountsExact)
{
    browser.open(1);  // Pads: up, Warm, Glass
    EXPECT_FALSE(browser.movePreset(2, 2));  // its own row
    EXPECT_FALSE(browser.movePreset(2, 7));  // outside the rows
    EXPECT_FALSE(browser.movePreset(1, 2));  // a category is not dragged
    EXPECT_EQ(count(pads), 2);

    ASSERT_TRUE(browser.movePreset(2, 1));  // into Warm
    EXPECT_EQ(count(warm), 2);
    EXPECT_EQ(count(pads), 2);
    EXPECT_EQ(texts(), (std::vector<std::string>{"\x81(Pads)", "\x01" "002\x82" "Warm"}));

    browser.open(1);  // Warm: up, Glass, Velvet
    ASSERT_EQ(browser.rowEntry(1)->name, "Glass");
    ASSERT_TRUE(browser.movePreset(1, 0));  // the up row: into Pads
    EXPECT_EQ(count(warm), 1);
    EXPECT_EQ(count(pads), 2);
    ASSERT_TRUE(browser.movePreset(1, 0));  // Velvet too
    EXPECT_EQ(count(warm), 0);
    expectCountsExact();

    EXPECT_EQ(browser.dropTarget(0), pads);
    EXPECT_EQ(browser.dropTarget(5), PresetBrowser::kNoCategory);
}

TEST_F(PresetBrowserTest, AFailingLibraryLeavesTheRowsShown)
{
    browser.open(1);
    const std::vector<std::string> before = texts();

    // Damaged: the categories table is gone under the browser.
    runSql(handle(), "ALTER TABLE CATEGORIES RENAME TO GONE;");
    ui().clear();
    EXPECT_FALSE(browser.refresh());
    EXPECT_FALSE(browser.newCategory());
    EXPECT_EQ(browser.open(1), -1);
    EXPECT_EQ(texts(), before);
    ASSERT_FALSE(messageNumbers().empty());
    for (int n : messageNumbers()) {
        EXPECT_EQ(n, 14);
    }
    runSql(handle(), "ALTER TABLE GONE RENAME TO CATEGORIES;");

    // Locked by another program: the search fails, the folder view stays.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    runSql(other, "BEGIN EXCLUSIVE TRANSACTION;");
    EXPECT_FALSE(browser.search("glass"));
    EXPECT_EQ(browser.mode(), PresetBrowser::Mode::folder);
    EXPECT_EQ(texts(), before);
    runSql(other, "COMMIT TRANSACTION;");
    sqlite3_close(other);

    // No library at all.
    PresetBrowser without(nullptr);
    EXPECT_FALSE(without.reload());
    EXPECT_EQ(without.rowCount(), 0);
    PresetDatabase closed;
    PresetBrowser onClosed(&closed);
    EXPECT_FALSE(onClosed.search("x"));
    EXPECT_EQ(onClosed.rowCount(), 0);
}

TEST_F(PresetBrowserTest, KeywordsWithQuotesPercentSignsAndOddNamesFindOnlyThemselves)
{
    preset(-1, "It's", "");
    preset(-1, "100% Wet", "");
    preset(-1, "1000 Wet", "");
    preset(-1, "Caf\xc3\xa9 Noir", "");
    preset(-1, std::string(300, 'q'), "");
    preset(-1, "", "glass without a name");

    ASSERT_TRUE(browser.search("'"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"It's"}));
    ASSERT_TRUE(browser.search("0%"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"100% Wet"}));
    ASSERT_TRUE(browser.search("\xc3\xa9"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"Caf\xc3\xa9 Noir"}));
    ASSERT_TRUE(browser.search(std::string(300, 'q')));
    EXPECT_EQ(texts(), (std::vector<std::string>{std::string(300, 'q')}));
    // A preset without a name is not shown.
    ASSERT_TRUE(browser.search("glass"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"Glass", "Velvet"}));
}

// 10,000 presets in 500 categories (25 top-level categories of 19 subcategories each), built in
// one transaction; under the sanitizers a tenth of it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr int kPresets = 1000;
#else
constexpr int kPresets = 10000;
#endif

TEST_F(PresetBrowserTest, ALargeLibraryScrollsAndSearchesQuickly)
{
    using Clock = std::chrono::steady_clock;
    const auto built = Clock::now();
    runSql(handle(), "BEGIN TRANSACTION;");
    std::vector<int> leaves;
    for (int top = 0; top < 25; ++top) {
        const int parent = category("Group " + std::to_string(top), -1);
        for (int sub = 0; sub < 19; ++sub) {
            leaves.push_back(category("Sub " + std::to_string(sub), parent));
        }
    }
    std::string sql;
    for (int i = 0; i < kPresets; ++i) {
        sql += "INSERT INTO PRESETS_INFO VALUES(NULL, " + std::to_string(leaves[static_cast<std::size_t>(i) % leaves.size()]) +
               ", 'Preset " + std::to_string(i) + "', 'comment " + std::to_string(i % 97) + "');";
    }
    runSql(handle(), sql);
    runSql(handle(), "COMMIT TRANSACTION;");
    ASSERT_TRUE(db.rebuildCounts());
    std::printf("[ built %d presets in 500 categories in %lld ms ]\n", kPresets,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - built).count()));

    const auto timed = [](auto&& step) {
        const auto start = Clock::now();
        step();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    // Into the first group, then its first subcategory, and back up.
    ASSERT_TRUE(browser.reload());
    double worstFolder = 0.0;
    for (int row : {2, 1, 0}) {
        worstFolder = std::max(worstFolder, timed([&] { browser.open(row); }));
    }
    double search = timed([&] { ASSERT_TRUE(browser.search("preset 12")); });
    EXPECT_GT(browser.rowCount(), 10);
    double comment = timed([&] { ASSERT_TRUE(browser.search("COMMENT 5")); });
    EXPECT_GT(browser.rowCount(), 100);
    // Every row text, as scrolling through the whole list draws them.
    double texts = timed([&] {
        std::size_t total = 0;
        for (int r = 0; r < browser.rowCount(); ++r) {
            total += browser.rowText(r).size();
        }
        EXPECT_GT(total, 0u);
    });
    std::printf("[ folder step %.2f ms, search by name %.2f ms, by comment %.2f ms, %d row texts %.2f ms ]\n", worstFolder,
                search, comment, browser.rowCount(), texts);
    EXPECT_LT(worstFolder, 50.0);
    EXPECT_LT(search, 50.0);
    EXPECT_LT(comment, 50.0);
    EXPECT_LT(texts, 50.0);
}

}  // namespace
