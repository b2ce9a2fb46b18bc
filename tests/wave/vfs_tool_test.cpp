// The pelko-vfs command-line tool, run as users run it.
#include "platform/file_system.h"
#include "wave/archive_format.h"
#include "support/test_folders.h"
#include "wave_test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

namespace {

using testing_support::TempFolder;

const std::string kInstall = PELKO_BUILD_INSTALL_FOLDER;
const std::string kTool = kInstall + "../tools/pelko-vfs/pelko-vfs";

struct ToolRun {
    int status = -1;
    std::string output;  // stdout and stderr
};

ToolRun run(const std::string& arguments, const std::string& folder = {})
{
    std::string command = (folder.empty() ? "" : "cd '" + folder + "' && ") + "'" + kTool + "' " + arguments + " 2>&1";
    ToolRun result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) {
        result.output.append(block, got);
    }
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

TEST(VfsTool, VerifiesEveryFactoryArchiveAndFindsAFlippedByte)
{
    ASSERT_TRUE(pelko::fileExists(kTool)) << kTool;
    std::vector<std::string> archives = pelko::listFiles(kInstall + "waves/*.vfs");
    ASSERT_GE(archives.size(), 4u);
    for (const std::string& archive : archives) {
        ToolRun verify = run("verify " + quoted(kInstall + "waves/" + archive));
        EXPECT_EQ(verify.status, 0) << verify.output;
        EXPECT_NE(verify.output.find(": ok ("), std::string::npos) << verify.output;
    }

    TempFolder folder;
    std::vector<std::uint8_t> bytes = *pelko::readWholeFile(kInstall + "waves/Single Cycle.vfs");
    std::vector<std::uint8_t> flipped = bytes;
    flipped[flipped.size() / 2] ^= 0x01;
    wave_test::writeFile(folder.file("flipped.vfs"), flipped);
    ToolRun damaged = run("verify " + quoted(folder.file("flipped.vfs")));
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.output.find("Bad crc") != std::string::npos || damaged.output.find("Bad offset") != std::string::npos)
        << damaged.output;
    EXPECT_NE(damaged.output.find("flipped.vfs"), std::string::npos);

    bytes.resize(bytes.size() - 100);
    wave_test::writeFile(folder.file("cut.vfs"), bytes);
    ToolRun cut = run("verify " + quoted(folder.file("cut.vfs")));
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.output.find("truncated"), std::string::npos) << cut.output;
    ToolRun listed = run("list " + quoted(folder.file("cut.vfs")));
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.output.find("unreadable"), std::string::npos) << listed.output;
}

TEST(VfsTool, BuildsAnArchiveFromAFolderTree)
{
    TempFolder folder;
    pelko::makeFolders(folder.path() + "Pads");
    wave_test::writeFile(folder.file("Pads/Warm.txt"), std::string("C0-G10|Pads\\Warm 1.pcm|A5|0|0\n"));
    std::vector<std::uint8_t> frames;
    for (int i = 0; i < 100; ++i) {
        wave_test::WavBuilder::put16(frames, i * 100);
    }
    wave_test::writeFile(folder.file("Pads/Warm 1.wav"), wave_test::WavBuilder().format(1, 1, 16).data(frames).bytes());
    wave_test::writeFile(folder.file("notes"), std::string("odd"));

    EXPECT_EQ(run("create my.vfs", folder.path()).status, 0);
    ToolRun again = run("create my.vfs", folder.path());
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("exists already"), std::string::npos);
    ToolRun add = run("add my.vfs 'Pads/Warm.txt' 'Pads/Warm 1.wav'", folder.path());
    ASSERT_EQ(add.status, 0) << add.output;
    ToolRun list = run("list my.vfs", folder.path());
    EXPECT_EQ(list.status, 0) << list.output;
    // The description is stored under the wave's name, the WAV file became compressed samples.
    EXPECT_NE(list.output.find("stored           30         30  ok        Pads\\Warm\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("codec           200"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("Pads\\Warm 1.pcm"), std::string::npos);
    ToolRun verify = run("verify my.vfs", folder.path());
    EXPECT_EQ(verify.status, 0) << verify.output;
    EXPECT_NE(verify.output.find("(2 entries, 1 waves)"), std::string::npos) << verify.output;

    // Anything that is not sample data is a wave description: verify says when it is none.
    EXPECT_EQ(run("add my.vfs notes", folder.path()).status, 0);
    ToolRun stray = run("verify my.vfs", folder.path());
    EXPECT_EQ(stray.status, 1);
    EXPECT_NE(stray.output.find("wave \"notes\""), std::string::npos) << stray.output;
    ToolRun dup = run("add my.vfs notes", folder.path());
    EXPECT_EQ(dup.status, 1);
    EXPECT_NE(dup.output.find("already present"), std::string::npos);
    ToolRun odd = run("add my.vfs --compressed --name other notes", folder.path());
    EXPECT_EQ(odd.status, 1);
    EXPECT_NE(odd.output.find("notes: cannot be compressed"), std::string::npos) << odd.output;
    ToolRun missing = run("add my.vfs nowhere.txt", folder.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("nowhere.txt: cannot be read"), std::string::npos);

    ToolRun extract = run("extract my.vfs --output out", folder.path());
    EXPECT_EQ(extract.status, 0) << extract.output;
    std::optional<std::vector<std::uint8_t>> samples = pelko::readWholeFile(folder.file("out/Pads/Warm 1.pcm"));
    ASSERT_TRUE(samples.has_value());
    EXPECT_EQ(*samples, frames);
    EXPECT_EQ(pelko::readWholeFile(folder.file("out/Pads/Warm")), pelko::readWholeFile(folder.file("Pads/Warm.txt")));
    // verify reports what the bank would refuse.
    wave_test::writeFile(folder.file("bad.txt"), std::string("C0-G10|Pads\\Warm 1.pcm|A5|0|100\n"));
    EXPECT_EQ(run("add my.vfs --name 'Pads\\Bad' bad.txt", folder.path()).status, 0);
    ToolRun bad = run("verify my.vfs", folder.path());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("loop start 100 is outside"), std::string::npos) << bad.output;
}

TEST(VfsTool, ExtractRefusesNamesThatLeaveTheFolder)
{
    TempFolder folder;
    std::vector<std::uint8_t> image = pelko::newArchiveHeader();
    const std::uint8_t x[1] = {'x'};
    pelko::appendArchiveEntry(image, "..\\escape", x, 1, pelko::kMethodStored);
    pelko::appendArchiveEntry(image, "/absolute", x, 1, pelko::kMethodStored);
    pelko::appendArchiveEntry(image, "fine", x, 1, pelko::kMethodStored);
    wave_test::writeFile(folder.file("evil.vfs"), image);
    ToolRun extract = run("extract evil.vfs --output inside", folder.path());
    EXPECT_EQ(extract.status, 1);
    EXPECT_NE(extract.output.find("no safe file name"), std::string::npos);
    EXPECT_FALSE(pelko::fileExists(folder.file("escape")));
    EXPECT_TRUE(pelko::fileExists(folder.file("inside/fine")));
}

TEST(VfsTool, HelpAndUsage)
{
    ToolRun overview = run("--help");
    EXPECT_EQ(overview.status, 0);
    for (const char* command : {"create", "add", "list", "extract", "verify"}) {
        EXPECT_NE(overview.output.find(command), std::string::npos);
        ToolRun help = run(std::string("help ") + command);
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.output.find(std::string("usage: pelko-vfs ") + command), std::string::npos);
        EXPECT_EQ(run(std::string(command) + " --help").output, help.output);
    }
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("list").status, 2);
    EXPECT_EQ(run("add only-archive.vfs").status, 2);
    ToolRun notThere = run("list /nonexistent/x.vfs");
    EXPECT_EQ(notThere.status, 1);
    EXPECT_NE(notThere.output.find("/nonexistent/x.vfs: no such file"), std::string::npos);
    TempFolder folder;
    wave_test::writeFile(folder.file("text.vfs"), std::string("hello world"));
    ToolRun notArchive = run("verify " + quoted(folder.file("text.vfs")));
    EXPECT_EQ(notArchive.status, 1);
    EXPECT_NE(notArchive.output.find("not a wave archive"), std::string::npos);
}

}  // namespace
