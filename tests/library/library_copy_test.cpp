// A shipped library in a folder the user cannot write: read in place, copied to the user's file
// at the first change, never written itself.
#include "library/library_fixture.h"
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using testing_support::LibraryTest;

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class LibraryCopy : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        // The shipped library: one category with one preset, built by the fixture's own object.
        ASSERT_TRUE(db.open(shipped()));
        pads = category("Pads", -1);
        velvet = preset(pads, "Velvet", "soft");
        db.close();
        shippedBytes = fileBytes(shipped());
        ASSERT_FALSE(shippedBytes.empty());
    }

    std::string shipped() const { return folder.file("shipped.db"); }
    std::string own() const { return folder.file("user/Vantomo/Pelko2/pelko.db"); }

    int pads = -1;
    int velvet = -1;
    std::string shippedBytes;
};

TEST_F(LibraryCopy, ReadingNeverCopiesNorWritesTheShippedFile)
{
    ASSERT_TRUE(db.open(own(), shipped()));
    EXPECT_EQ(db.path(), own());
    EXPECT_EQ(db.countPresets(), 1);
    pelko::LibraryRows rows;
    EXPECT_TRUE(db.searchPresets("soft", rows));
    EXPECT_EQ(rows.size(), 1u);
    std::vector<std::uint8_t> record;
    EXPECT_EQ(db.loadPreset(velvet, record), 7);
    db.close();
    EXPECT_FALSE(pelko::fileExists(own()));
    EXPECT_EQ(fileBytes(shipped()), shippedBytes);
    EXPECT_TRUE(ui().messages().empty());
}

TEST_F(LibraryCopy, TheFirstChangeGoesToTheUsersCopyAndLaterOnesFollow)
{
    ASSERT_TRUE(db.open(own(), shipped()));
    const int added = preset(pads, "Amber", "warm");
    ASSERT_GT(added, 0);
    EXPECT_TRUE(pelko::fileExists(own()));
    // A grouped change inside an explicit transaction after the copy, and counts kept exact.
    ASSERT_TRUE(db.beginTransaction());
    const int leads = category("Leads", -1);
    EXPECT_TRUE(db.movePreset(velvet, leads, pads));
    ASSERT_TRUE(db.commitTransaction());
    expectCountsExact();
    db.close();
    EXPECT_EQ(fileBytes(shipped()), shippedBytes);
    EXPECT_TRUE(ui().messages().empty());

    // Reopened with the shipped library still offered: the user's copy is used as it is.
    ASSERT_TRUE(db.open(own(), shipped()));
    EXPECT_EQ(db.countPresets(), 2);
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getPreset(velvet, row));
    EXPECT_EQ(row.link, leads);
}

TEST_F(LibraryCopy, AChangeInsideAnOpenTransactionMovesItToTheCopy)
{
    ASSERT_TRUE(db.open(own(), shipped()));
    ASSERT_TRUE(db.beginTransaction());  // still on the shipped file, which only reads
    EXPECT_TRUE(db.renameCategory(pads, "Soft Pads"));
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(db.commitTransaction());
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getCategory(pads, row));
    EXPECT_EQ(row.name, "Soft Pads");
    db.close();
    EXPECT_EQ(fileBytes(shipped()), shippedBytes);
}

TEST_F(LibraryCopy, ACopyThatCannotBeMadeIsReportedAndTriedAgain)
{
    // The user's folder cannot be created: a file stands where its parent folder would be.
    std::ofstream(folder.file("user")) << "in the way";
    ASSERT_TRUE(db.open(own(), shipped()));
    EXPECT_FALSE(db.renameCategory(pads, "Soft Pads"));
    EXPECT_EQ(messageNumbers(), std::vector<int>{14});
    EXPECT_NE(lastMessage().find("cannot copy the presets database"), std::string::npos);
    EXPECT_EQ(db.countPresets(), 1);  // the shipped library still reads

    std::remove(folder.file("user").c_str());
    EXPECT_TRUE(db.renameCategory(pads, "Soft Pads"));
    EXPECT_TRUE(pelko::fileExists(own()));
    db.close();
    EXPECT_EQ(fileBytes(shipped()), shippedBytes);
}

}  // namespace
