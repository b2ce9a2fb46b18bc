// The install folder is stored as an absolute path, whatever path the module was loaded by.
#include "config/install_folder.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::TempFolder;

TEST(InstallFolder, RelativeFoldersBecomeAbsoluteAndOthersStayAsTheyAre)
{
    TempFolder base;
    ::mkdir(base.file("pelko2").c_str(), 0755);
    const std::filesystem::path before = std::filesystem::current_path();
    ASSERT_EQ(::chdir(base.path().c_str()), 0);
    const std::string resolved = pelko::absoluteFolder("pelko2");
    const std::string dotted = pelko::absoluteFolder("./pelko2/../pelko2/");
    std::filesystem::current_path(before);

    const std::string expected = std::filesystem::canonical(base.file("pelko2")).string() + "/";
    EXPECT_EQ(resolved, expected);
    EXPECT_EQ(dotted, expected);
    // Absolute folders keep their spelling; one that does not exist cannot be resolved.
    EXPECT_EQ(pelko::absoluteFolder("/opt/none/pelko2"), "/opt/none/pelko2/");
    EXPECT_EQ(pelko::absoluteFolder("missing/folder"), "missing/folder/");
    EXPECT_EQ(pelko::absoluteFolder(""), "");
}
