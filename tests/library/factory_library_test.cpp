#include "library/factory_library.h"
#include "library_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using testing_support::columnValues;
using testing_support::intValue;
using testing_support::LibraryTest;

TEST_F(LibraryTest, FactoryTreeHasEveryCategoryUnderItsParent)
{
    ASSERT_TRUE(db.open(file()));
    pelko::FactoryLibrary library(db);
    ASSERT_TRUE(library.createCategories());
    EXPECT_EQ(intValue(handle(), "select count(*) from CATEGORIES"),
              static_cast<int>(pelko::factoryCategories().size()));

    std::set<std::string> paths;
    for (const auto& category : pelko::factoryCategories()) {
        std::string path = category.path;
        EXPECT_TRUE(paths.insert(path).second) << path;
        int id = library.categoryId(path);
        ASSERT_NE(id, -1) << path;
        pelko::LibraryRow row;
        ASSERT_TRUE(db.getCategory(id, row));
        auto slash = path.rfind('/');
        EXPECT_EQ(row.name, slash == std::string::npos ? path : path.substr(slash + 1));
        EXPECT_EQ(row.link, slash == std::string::npos ? -1 : library.categoryId(path.substr(0, slash))) << path;
    }
    for (const char* expected : {"Basses", "Leads", "Pads", "Keys", "Bells", "Plucks", "Organs", "Strings", "Brass",
                                 "Sequences", "Effects", "FM"}) {
        EXPECT_EQ(paths.count(expected), 1u) << expected;
    }
    EXPECT_EQ(library.categoryId("Pads/Nothing"), -1);
}

TEST_F(LibraryTest, FactoryPresetsAreFiledByPathWithUniqueNames)
{
    ASSERT_TRUE(db.open(file()));
    pelko::FactoryLibrary library(db);
    ASSERT_TRUE(library.createCategories());
    std::vector<std::uint8_t> record = {21, 0, 0, 0, 9, 9};
    ASSERT_TRUE(library.addPreset("Pads/Warm", "Velvet", "soft slow pad", record));
    pelko::LibraryRow row;
    ASSERT_TRUE(db.getCategory(library.categoryId("Pads"), row));
    EXPECT_EQ(row.count, 1);
    EXPECT_FALSE(library.addPreset("Pads/Nowhere", "Lost", "", record));
    ui().queueAnswer(false);
    EXPECT_FALSE(library.addPreset("Leads", "Velvet", "", record));
    EXPECT_EQ(db.countPresets(), 1);
    expectCountsExact();
}

// The content builder's file in the install folder is made by the same code; read a copy of it.
TEST_F(LibraryTest, TheInstalledLibraryHoldsTheFactoryTree)
{
    std::string built = std::string(PELKO_BUILD_INSTALL_FOLDER) + "pelko.db";
    if (!std::filesystem::exists(built)) {
        GTEST_SKIP() << "no install folder was generated";
    }
    std::filesystem::copy_file(built, file());
    ASSERT_TRUE(db.open(file()));
    EXPECT_FALSE(db.upgraded());
    pelko::LibraryRows top;
    ASSERT_TRUE(db.listSubcategories(-1, top));
    std::size_t topLevel = 0;
    for (const auto& category : pelko::factoryCategories()) {
        topLevel += std::string(category.path).find('/') == std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(top.size(), topLevel);
    expectCountsExact();
    EXPECT_TRUE(ui().messages().empty());
}

}  // namespace
