#include "config/registry_store.h"
#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <fstream>

using pelko::RegistryStore;
using testing_support::IsolatedConfig;
using testing_support::TempFolder;

namespace {

TEST(RegistryStore, LivesUnderTheConfigurationHome)
{
    IsolatedConfig config;
    EXPECT_EQ(RegistryStore::defaultFile(), config.registryFile());
    RegistryStore store;
    EXPECT_TRUE(store.isOpen());
    EXPECT_TRUE(store.writeText("path", "/opt/pelko/"));
    EXPECT_TRUE(pelko::fileExists(config.registryFile()));
    EXPECT_EQ(RegistryStore().readText("path"), std::optional<std::string>("/opt/pelko/"));
}

TEST(RegistryStore, MissingValuesGiveTheirDefaults)
{
    IsolatedConfig config;
    RegistryStore store;
    EXPECT_FALSE(store.readText("BankPath"));
    EXPECT_EQ(store.readInteger("MidiOut", 0), 0);
    EXPECT_FLOAT_EQ(store.readFloat("DefaultGain", 1.0f), 1.0f);
}

TEST(RegistryStore, NumbersAreConvertedOrFallBack)
{
    IsolatedConfig config;
    config.writeRegistry("MidiOut=1\nA=-17\nB=twelve\nC=\nDefaultGain=0\nG=0.75\nH=3,5\n");
    RegistryStore store;
    EXPECT_EQ(store.readInteger("MidiOut", 0), 1);
    EXPECT_EQ(store.readInteger("A", 0), -17);
    EXPECT_EQ(store.readInteger("B", 4), 4);
    EXPECT_EQ(store.readInteger("C", 4), 4);
    EXPECT_FLOAT_EQ(store.readFloat("DefaultGain", 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(store.readFloat("G", 1.0f), 0.75f);
    // The decimal mark is always a point, whatever the locale: "3,5" reads as 3.
    EXPECT_FLOAT_EQ(store.readFloat("H", 1.0f), 3.0f);
}

TEST(RegistryStore, DamagedLinesAreIgnoredAndTheRestKept)
{
    IsolatedConfig config;
    std::string damaged = "garbage without equals\n=novalue\nMidiOut=1\nbad=escape\\q\n";
    damaged += std::string("zero=a\0b\n", 9);
    damaged += "path=/x/\n\xff\xfe\n";
    config.writeRegistry(damaged);
    RegistryStore store;
    EXPECT_EQ(store.readInteger("MidiOut", 0), 1);
    EXPECT_EQ(store.readText("path"), std::optional<std::string>("/x/"));
    EXPECT_FALSE(store.readText("bad"));
    EXPECT_FALSE(store.readText("zero"));
    // A write keeps the readable values and drops the damage.
    EXPECT_TRUE(store.writeInteger("MidiOut", 0));
    EXPECT_EQ(store.readText("path"), std::optional<std::string>("/x/"));
}

TEST(RegistryStore, TextsWithSeparatorsAndLineBreaksRoundTrip)
{
    IsolatedConfig config;
    RegistryStore store;
    std::string awkward = "C:\\Pelko\\a=b\nsecond line\r\\";
    ASSERT_TRUE(store.writeText("PatchPath", awkward));
    EXPECT_EQ(RegistryStore().readText("PatchPath"), awkward);
    ASSERT_TRUE(store.writeText("PatchPath", std::nullopt));
    EXPECT_FALSE(store.readText("PatchPath"));
    EXPECT_FALSE(store.writeText("bad=name", "x"));
}

TEST(RegistryStore, AWriteThatFailsHalfWayLeavesThePreviousFile)
{
    IsolatedConfig config;
    RegistryStore store;
    ASSERT_TRUE(store.writeText("path", "/first/"));
    pelko::failAtomicWritesAfter(10);
    EXPECT_FALSE(store.writeText("path", "/second/with/a/longer/name/"));
    pelko::failAtomicWritesAfter(-1);
    EXPECT_EQ(store.readText("path"), std::optional<std::string>("/first/"));
}

TEST(RegistryStore, UnusableFolderMakesAnEmptyStore)
{
    TempFolder folder;
    std::ofstream(folder.file("file")) << "x";
    RegistryStore store(folder.file("file") + "/below/registry");
    EXPECT_FALSE(store.isOpen());
    EXPECT_FALSE(store.writeText("path", "/x/"));
    EXPECT_EQ(store.readInteger("MidiOut", 7), 7);
}

TEST(RegistryStore, FileThatIsAFolderReadsAsEmpty)
{
    TempFolder folder;
    pelko::makeFolders(folder.path() + "registry");
    RegistryStore store(folder.path() + "registry");
    EXPECT_FALSE(store.readText("path"));
    EXPECT_FALSE(store.writeText("path", "/x/"));
}

}  // namespace
