#include "config/file_dialog.h"
#include "config/install_folder.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { previous = pelko::setUserInterface(ui); }
    void TearDown() override { pelko::setUserInterface(previous); }

    testing_support::IsolatedConfig config;
    std::shared_ptr<pelko::ScriptedUserInterface> ui = std::make_shared<pelko::ScriptedUserInterface>();
    std::shared_ptr<pelko::UserInterface> previous;
};

TEST(FileDialogText, FilterHasDescriptionPatternAndTerminators)
{
    std::string filter = pelko::dialogFilterText("FX Patches", "fxp");
    EXPECT_EQ(filter, std::string("FX Patches (*.fxp)\0*.fxp\0", 25));
    EXPECT_EQ(pelko::dialogFilterText("FX Banks", ".fxb"), std::string("FX Banks (*.fxb)\0*.fxb\0", 23));
}

TEST(FileDialogText, SaveAppendsTheExtensionOnlyWhenMissing)
{
    EXPECT_EQ(pelko::withDefaultExtension("/home/u/My Bank", ".fxb"), "/home/u/My Bank.fxb");
    EXPECT_EQ(pelko::withDefaultExtension("/home/u/My Bank.fxb", ".fxb"), "/home/u/My Bank.fxb");
    EXPECT_EQ(pelko::withDefaultExtension("/home/u.v/bank", "fxb"), "/home/u.v/bank.fxb");
    EXPECT_EQ(pelko::withDefaultExtension("/home/u/bank.old", ".fxb"), "/home/u/bank.old");
}

TEST_F(DialogTest, StartsInTheRememberedFolderAndRemembersTheNewOne)
{
    pelko::RegistryStore settings;
    settings.writeText("BankPath", "/banks");
    ui->queueFileName("/elsewhere/mine");
    pelko::FileDialogOptions options{"Save FX Bank", "FX Banks", ".fxb", "BankPath"};
    std::optional<std::string> path = pelko::runFileDialog(settings, true, options);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, "/elsewhere/mine.fxb");
    auto requests = ui->fileRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].initialFolder, "/banks");
    EXPECT_EQ(requests[0].title, "Save FX Bank");
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(settings.readText("BankPath"), std::optional<std::string>("/elsewhere"));
}

TEST_F(DialogTest, CancelledDialogChangesNothing)
{
    pelko::RegistryStore settings;
    settings.writeText("PatchPath", "/patches");
    pelko::FileDialogOptions options{"Load FX Patch", "FX Patches", ".fxp", "PatchPath"};
    EXPECT_FALSE(pelko::runFileDialog(settings, false, options));
    EXPECT_EQ(settings.readText("PatchPath"), std::optional<std::string>("/patches"));
}

TEST_F(DialogTest, InstallFolderIsFoundBesideTheModule)
{
    pelko::RegistryStore settings;
    testing_support::TempFolder module;
    pelko::makeFolders(module.path() + "pelko2");
    std::ofstream(module.path() + "pelko2/pelko.db") << "";
    EXPECT_EQ(pelko::findInstallFolder(settings, module.path()), module.path() + "pelko2/");
    EXPECT_EQ(settings.readText("path"), module.path() + "pelko2/");
    EXPECT_TRUE(ui->messages().empty());
}

TEST_F(DialogTest, StoredPathThatNoLongerExistsIsLookedForAgain)
{
    pelko::RegistryStore settings;
    settings.writeText("path", "/no/such/folder/");
    testing_support::TempFolder module;
    std::ofstream(module.path() + "pelko.db") << "";
    EXPECT_EQ(pelko::findInstallFolder(settings, module.path()), module.path());
}

}  // namespace
