#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <fstream>

using testing_support::TempFolder;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileSystem, BackslashPathsReachTheDisk)
{
    TempFolder folder;
    ASSERT_TRUE(pelko::makeFolders(folder.path() + "waves\\External"));
    ASSERT_TRUE(pelko::writeFileAtomically(folder.path() + "waves\\External\\a.txt", std::string_view("x")));
    EXPECT_TRUE(pelko::fileExists(folder.path() + "waves/External/a.txt"));
    EXPECT_EQ(pelko::nativePath("a\\b\\c"), "a/b/c");
    EXPECT_EQ(pelko::folderPart("C:\\x\\pelko.db"), "C:\\x");
    EXPECT_EQ(pelko::fileNamePart("/x/y\\pelko.db"), "pelko.db");
}

TEST(FileSystem, ListingMatchesPatternOnRegularFilesSorted)
{
    TempFolder folder;
    for (const char* name : {"b.vfs", "a.vfs", "c.txt", "d.VFS"}) {
        std::ofstream(folder.file(name)) << "x";
    }
    pelko::makeFolders(folder.path() + "e.vfs");  // a folder, not listed
    std::vector<std::string> names = pelko::listFiles(folder.path() + "*.vfs");
    EXPECT_EQ(names, (std::vector<std::string>{"a.vfs", "b.vfs"}));
    EXPECT_EQ(pelko::listFiles(folder.path() + "?.txt"), std::vector<std::string>{"c.txt"});
    EXPECT_TRUE(pelko::listFiles(folder.path() + "missing\\*.vfs").empty());
}

TEST(FileSystem, FailedAtomicWriteKeepsPreviousFile)
{
    TempFolder folder;
    std::string target = folder.file("state");
    ASSERT_TRUE(pelko::writeFileAtomically(target, std::string_view("old contents")));
    pelko::failAtomicWritesAfter(3);
    EXPECT_FALSE(pelko::writeFileAtomically(target, std::string_view("new contents that fail")));
    pelko::failAtomicWritesAfter(-1);
    EXPECT_EQ(slurp(target), "old contents");
    // No temporary file is left behind.
    EXPECT_EQ(pelko::listFiles(folder.path() + "*").size(), 1u);
    EXPECT_TRUE(pelko::writeFileAtomically(target, std::string_view("new")));
    EXPECT_EQ(slurp(target), "new");
}

TEST(FileSystem, ReadWholeFileKeepsToItsSizeLimit)
{
    TempFolder folder;
    std::ofstream(folder.file("f"), std::ios::binary) << "0123456789";
    auto all = pelko::readWholeFile(folder.file("f"));
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->size(), 10u);
    EXPECT_FALSE(pelko::readWholeFile(folder.file("f"), 5).has_value());
    EXPECT_FALSE(pelko::readWholeFile(folder.file("none")).has_value());
}

}  // namespace

namespace {

TEST(FileSystem, WritabilityFollowsTheSystemAndTheReadOnlySimulation)
{
    TempFolder folder;
    pelko::makeFolders(folder.path() + "shipped/waves");
    pelko::makeFolders(folder.path() + "shipped-other");
    std::ofstream(folder.file("shipped/pelko.db")) << "x";
    EXPECT_TRUE(pelko::folderWritable(folder.path() + "shipped"));
    EXPECT_TRUE(pelko::fileWritable(folder.path() + "shipped/pelko.db"));
    EXPECT_FALSE(pelko::folderWritable(folder.path() + "missing"));
    EXPECT_FALSE(pelko::fileWritable(folder.path() + "shipped/missing.db"));
    EXPECT_FALSE(pelko::fileWritable(folder.path() + "shipped"));  // a folder is not a file

    pelko::simulateReadOnlyFolder(folder.path() + "shipped/");
    EXPECT_FALSE(pelko::folderWritable(folder.path() + "shipped"));
    EXPECT_FALSE(pelko::folderWritable(folder.path() + "shipped\\waves\\"));
    EXPECT_FALSE(pelko::fileWritable(folder.path() + "shipped/pelko.db"));
    // Only that folder's own tree: a sibling whose name starts the same way stays writable.
    EXPECT_TRUE(pelko::folderWritable(folder.path() + "shipped-other"));
    EXPECT_TRUE(pelko::folderWritable(folder.path()));
    pelko::simulateReadOnlyFolder("");
    EXPECT_TRUE(pelko::folderWritable(folder.path() + "shipped/waves"));
}

}  // namespace
