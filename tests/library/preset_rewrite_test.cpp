#include "library/preset_rewrite.h"
#include "library_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using testing_support::columnValues;
using testing_support::LibraryTest;
using testing_support::runSql;

class PresetRewriteTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_TRUE(db.open(file()));
        pads = category("Pads", -1);
        for (int i = 0; i < 3; ++i) {
            ids.push_back(preset(pads, "Pad " + std::to_string(i), "", {21, 0, 0, 0, static_cast<std::uint8_t>(i)}));
        }
    }
    std::vector<std::uint8_t> record(int id)
    {
        std::vector<std::uint8_t> bytes;
        EXPECT_GE(db.loadPreset(id, bytes), 0);
        return bytes;
    }
    std::vector<std::string> comments()
    {
        return columnValues(handle(), "select COMMENTS from PRESETS_INFO order by P_ID");
    }

    int pads = 0;
    std::vector<int> ids;
};

// Appends a byte to every record and names it in the comments.
pelko::PresetRewrite appendAndDescribe(const pelko::LibraryRow& preset, std::span<const std::uint8_t> bytes)
{
    pelko::PresetRewrite change;
    change.record.emplace(bytes.begin(), bytes.end());
    change.record->push_back(0xAB);
    change.comments = preset.name + " has " + std::to_string(bytes.size()) + " bytes";
    return change;
}

TEST_F(PresetRewriteTest, RewritesEveryRecordAndComment)
{
    pelko::RewriteSummary summary;
    ASSERT_TRUE(pelko::rewriteAllPresets(db, appendAndDescribe, &summary));
    EXPECT_EQ(summary.presets, 3);
    EXPECT_EQ(summary.rewritten, 3);
    EXPECT_EQ(summary.skipped, 0);
    EXPECT_EQ(record(ids[1]), (std::vector<std::uint8_t>{21, 0, 0, 0, 1, 0xAB}));
    EXPECT_EQ(comments(), (std::vector<std::string>{"Pad 0 has 5 bytes", "Pad 1 has 5 bytes", "Pad 2 has 5 bytes"}));
    EXPECT_FALSE(db.inTransaction());

    // A rewriter that changes nothing leaves everything as it is.
    ASSERT_TRUE(pelko::rewriteAllPresets(
        db, [](const pelko::LibraryRow&, std::span<const std::uint8_t>) { return pelko::PresetRewrite{}; }, &summary));
    EXPECT_EQ(summary.rewritten, 0);
    EXPECT_EQ(record(ids[1]).size(), 6u);
}

TEST_F(PresetRewriteTest, RecordsThatDoNotDecodeAreLeftAlone)
{
    runSql(handle(), "update PRESETS_DATA set PRESET_DATA='A' || char(1) || char(7) where P_ID=" + std::to_string(ids[0]));
    pelko::RewriteSummary summary;
    ASSERT_TRUE(pelko::rewriteAllPresets(db, appendAndDescribe, &summary));
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(summary.rewritten, 2);
    EXPECT_EQ(comments()[0], "");
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(db.loadPreset(ids[0], bytes), pelko::kInvalidRecord);
}

TEST_F(PresetRewriteTest, AFailureRollsEveryPresetBack)
{
    runSql(handle(), "CREATE TRIGGER refuse BEFORE UPDATE ON PRESETS_DATA WHEN old.P_ID=" + std::to_string(ids[2]) +
                         " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    EXPECT_FALSE(pelko::rewriteAllPresets(db, appendAndDescribe));
    EXPECT_EQ(messageNumbers(), (std::vector<int>{14}));
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(record(ids[0]).size(), 5u);
    EXPECT_EQ(comments()[0], "");

    // A rewriter that throws stops the walk the same way.
    runSql(handle(), "DROP TRIGGER refuse");
    int calls = 0;
    auto throwing = [&](const pelko::LibraryRow& preset, std::span<const std::uint8_t> bytes) {
        if (++calls == 2) {
            throw std::runtime_error("cannot read program");
        }
        return appendAndDescribe(preset, bytes);
    };
    EXPECT_FALSE(pelko::rewriteAllPresets(db, throwing));
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(record(ids[0]).size(), 5u);
}

TEST_F(LibraryTest, KeywordUpgradeWarnsRecountsAndFillsTheComments)
{
    ASSERT_TRUE(db.open(file()));
    int keys = category("Keys", -1);
    int piano = category("Piano", keys);
    int id = preset(piano, "Grand");
    runSql(handle(), "update CATEGORIES set NITEMS=0");

    pelko::RewriteSummary summary;
    auto commentsOnly = [](const pelko::LibraryRow& preset, std::span<const std::uint8_t>) {
        pelko::PresetRewrite change;
        change.comments = "bright " + preset.name;
        return change;
    };
    ASSERT_TRUE(pelko::runKeywordUpgrade(db, commentsOnly, &summary));
    ASSERT_EQ(messageNumbers(), (std::vector<int>{21}));
    EXPECT_EQ(ui().messages()[0].caption, "Pelko Warning");
    EXPECT_EQ(ui().messages()[0].kind, pelko::MessageKind::Warning);
    expectCountsExact();
    pelko::LibraryRows rows;
    ASSERT_TRUE(db.searchPresets("bright", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, id);
    EXPECT_EQ(summary.rewritten, 1);
}

}  // namespace
