// Where the state and the preset library go for a writable and for a read-only install folder,
// and the per-user folders they go to.
#include "config/data_locations.h"
#include "config/user_folders.h"
#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using testing_support::IsolatedConfig;
using testing_support::TempFolder;

namespace {

// An install folder with a shipped library, reported as not writable while the object lives.
class ReadOnlyInstall {
public:
    ReadOnlyInstall()
    {
        std::ofstream(folder_.file("pelko.db")) << "shipped";
        pelko::simulateReadOnlyFolder(folder_.path());
    }
    ~ReadOnlyInstall() { pelko::simulateReadOnlyFolder(""); }
    const std::string& path() const { return folder_.path(); }

private:
    TempFolder folder_;
};

TEST(DataLocations, AWritableInstallFolderKeepsEverything)
{
    IsolatedConfig config;
    TempFolder install;
    std::ofstream(install.file("pelko.db")) << "shipped";
    EXPECT_TRUE(pelko::installFolderWritable(install.path()));
    EXPECT_EQ(pelko::stateFolder(install.path()), install.path());
    const pelko::LibraryLocation library = pelko::libraryLocation(install.path());
    EXPECT_EQ(library.file, install.file("pelko.db"));
    EXPECT_TRUE(library.copyFrom.empty());
    EXPECT_FALSE(pelko::folderExists(config.stateHome()));
    EXPECT_FALSE(pelko::folderExists(config.dataHome()));
}

TEST(DataLocations, AReadOnlyInstallFolderSendsChangesToTheUsersFolders)
{
    IsolatedConfig config;
    ReadOnlyInstall install;
    EXPECT_FALSE(pelko::installFolderWritable(install.path()));
    EXPECT_EQ(pelko::stateFolder(install.path()), config.stateHome() + "Vantomo/Pelko2/");
    EXPECT_TRUE(pelko::folderExists(config.stateHome() + "Vantomo/Pelko2"));

    // No library of the user's yet: the shipped one is read until the first change.
    pelko::LibraryLocation library = pelko::libraryLocation(install.path());
    EXPECT_EQ(library.file, config.dataHome() + "Vantomo/Pelko2/pelko.db");
    EXPECT_EQ(library.copyFrom, install.path() + "pelko.db");

    // A library of the user's is used as it is.
    pelko::makeFolders(config.dataHome() + "Vantomo/Pelko2");
    std::ofstream(library.file) << "mine";
    library = pelko::libraryLocation(install.path());
    EXPECT_EQ(library.file, config.dataHome() + "Vantomo/Pelko2/pelko.db");
    EXPECT_TRUE(library.copyFrom.empty());
}

TEST(DataLocations, AShippedLibraryThatCannotBeWrittenMakesTheFolderReadOnly)
{
    IsolatedConfig config;
    TempFolder install;
    std::ofstream(install.file("pelko.db")) << "shipped";
    pelko::simulateReadOnlyFolder(install.file("pelko.db"));
    EXPECT_FALSE(pelko::installFolderWritable(install.path()));
    EXPECT_EQ(pelko::libraryLocation(install.path()).copyFrom, install.file("pelko.db"));
    pelko::simulateReadOnlyFolder("");
}

TEST(UserFolders, AbsoluteVariablesWinAndTheHomeFolderIsTheFallback)
{
    IsolatedConfig config;
    EXPECT_EQ(pelko::userDataFolder(), config.dataHome() + "Vantomo/Pelko2/");
    EXPECT_EQ(pelko::userStateFolder(), config.stateHome() + "Vantomo/Pelko2/");

    TempFolder home;
    const std::string previousHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored, as the layout says
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(pelko::userDataFolder(), home.path() + ".local/share/Vantomo/Pelko2/");
    EXPECT_EQ(pelko::userStateFolder(), home.path() + ".local/state/Vantomo/Pelko2/");
    EXPECT_EQ(pelko::userConfigFolder(), config.configHome() + "Vantomo/Pelko2/");
    ::setenv("HOME", previousHome.c_str(), 1);
}

}  // namespace
