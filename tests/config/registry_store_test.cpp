#include "config/registry_store.h"
#include "platform/file_system.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

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

// The values in the file itself, as a store opened on it later would find them.
std::map<std::string, std::string> valuesInFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return pelko::parseRegistryText(std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST(RegistryStore, ReadsComeFromMemoryAndWritesGoThroughAtOnce)
{
    IsolatedConfig config;
    config.writeRegistry("path=/opt/pelko/\nMidiOut=1\n");
    RegistryStore store;
    // The file is not read again: replacing or removing it behind the store changes no read.
    config.writeRegistry("path=/elsewhere/\n");
    EXPECT_EQ(store.readText("path"), std::optional<std::string>("/opt/pelko/"));
    std::remove(config.registryFile().c_str());
    EXPECT_EQ(store.readInteger("MidiOut", 0), 1);

    // A write reads the file first, so what another program wrote meanwhile is kept, and the
    // file then holds exactly what the store reads.
    config.writeRegistry("BankPath=/banks/\n");
    ASSERT_TRUE(store.writeText("EnvPath", "/envelopes/"));
    EXPECT_EQ(store.readText("BankPath"), std::optional<std::string>("/banks/"));
    EXPECT_FALSE(store.readText("path"));
    const std::map<std::string, std::string> expected{{"BankPath", "/banks/"}, {"EnvPath", "/envelopes/"}};
    EXPECT_EQ(valuesInFile(config.registryFile()), expected);
}

TEST(RegistryStore, TwoStoresOnOneFileSeeEachOthersWrites)
{
    IsolatedConfig config;
    {
        RegistryStore first;
        RegistryStore second;
        ASSERT_TRUE(first.writeText("PatchPath", "/patches/"));
        ASSERT_TRUE(second.writeInteger("MidiOut", 1));
        EXPECT_EQ(second.readText("PatchPath"), std::optional<std::string>("/patches/"));
        EXPECT_EQ(first.readInteger("MidiOut", 0), 1);
        ASSERT_TRUE(first.writeText("SyxPath", "/dumps/"));
        ASSERT_TRUE(second.writeText("PatchPath", std::nullopt));
        EXPECT_FALSE(first.readText("PatchPath"));
    }
    const std::map<std::string, std::string> expected{{"MidiOut", "1"}, {"SyxPath", "/dumps/"}};
    EXPECT_EQ(valuesInFile(config.registryFile()), expected);
    EXPECT_EQ(RegistryStore().readText("SyxPath"), std::optional<std::string>("/dumps/"));
}

TEST(RegistryStore, AFileThatCannotBeReadAtAWriteLosesNoValue)
{
    IsolatedConfig config;
    config.writeRegistry("path=/opt/pelko/\n");
    RegistryStore store;
    // Larger than any settings file may be: the write cannot read it and builds on what the
    // store holds instead of on nothing.
    config.writeRegistry("path=/x/\n" + std::string(2 << 20, '#') + "\n");
    ASSERT_TRUE(store.writeInteger("MidiOut", 1));
    const std::map<std::string, std::string> expected{{"MidiOut", "1"}, {"path", "/opt/pelko/"}};
    EXPECT_EQ(valuesInFile(config.registryFile()), expected);
}

}  // namespace
