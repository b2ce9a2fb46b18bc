// The Debian package `make package` builds: unpacked into a temporary root, it holds the module,
// its data folder and the tools below /usr/lib/vst/, and the module runs from there, read-only,
// as a host runs it: open, play, rename a program, close (saving the state), open again. Nothing
// is shown, the state comes back, and the unpacked files stay byte for byte as they were.
//
// The run happens in a child process as an ordinary user, so that the permission bits of the
// read-only tree really stop writes: when the tests run as root the child gives up root for the
// "nobody" account first.
#include "host_module.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

using testing_support::TempFolder;

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr const char* kRenamed = "Kept From Last Session";

std::string packageFile()
{
    const fs::path folder = fs::path(PELKO_BINARY_DIR) / "package";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".deb") {
            return entry.path().string();
        }
    }
    return {};
}

void setReadOnly(const std::string& root, bool readOnly)
{
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const auto change = readOnly ? fs::perm_options::remove : fs::perm_options::add;
    fs::permissions(root, write, change);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_symlink()) {
            fs::permissions(entry.path(), write, change);
        }
    }
}

// The host's side of the scenario; runs in the child. Returns 0 when everything held, else the
// number of the step that failed.
int runAsHost(const std::string& module)
{
    host::HostModule host;
    if (!host.load(module) || host.instantiate() == nullptr) {
        return 1;
    }
    host.open();
    host.setSampleRate(48000.0f);
    host.setBlockSize(512);
    host.resume();
    host.setProgram(3);
    host.sendMidi({host::midiEvent(0, 0x90, 48, 100), host::midiEvent(0, 0x90, 60, 100), host::midiEvent(0, 0x90, 64, 100)});
    std::vector<float> left, right;
    float peak = 0.0f;
    for (int block = 0; block < 16; ++block) {
        host.processReplacing(left, right, 512);
        for (float s : left) {
            peak = std::max(peak, std::abs(s));
        }
    }
    if (!(peak > 1e-3f)) {
        return 2;
    }
    host.setProgramName(kRenamed);
    host.suspend();
    host.closeInstance();

    if (host.instantiate() == nullptr) {
        return 3;
    }
    host.open();
    if (host.getProgram() != 3 || host.getProgramName() != kRenamed) {
        return 4;
    }
    host.closeInstance();
    host.unload();
    return 0;
}

TEST(Package, UnpackedItHoldsTheModuleDataAndToolsAndRunsReadOnly)
{
    const std::string deb = packageFile();
    if (deb.empty()) {
        GTEST_SKIP() << "no package in " << PELKO_BINARY_DIR << "/package: run make package";
    }
    TempFolder root;
    TempFolder home;
    ASSERT_EQ(std::system(("dpkg-deb -x '" + deb + "' '" + root.path() + "'").c_str()), 0);

    const std::string vst = root.path() + "usr/lib/vst/";
    for (const char* shipped : {"pelko2.so", "pelko2/pelko.db", "pelko2/presets/Factory.fxb", "pelko2/tools/pelko-render",
                                "pelko2/tools/pelko-vfs", "pelko2/tools/pelko-info"}) {
        EXPECT_TRUE(fs::is_regular_file(vst + shipped)) << shipped;
    }
    EXPECT_FALSE(fs::exists(vst + "pelko2/tmp.sav"));
    EXPECT_FALSE(fs::is_empty(vst + "pelko2/waves"));
    EXPECT_EQ(::access((vst + "pelko2/tools/pelko-vfs").c_str(), X_OK), 0);

    // Readable by everyone, writable by no one; the home belongs to whoever runs the host.
    fs::permissions(root.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    setReadOnly(root.path(), true);
    const auto before = testing_support::filesBelow(root.path());
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(home.path().c_str(), kNobody, kNobody), 0);
    }
    const std::string errors = home.file("stderr.txt");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (asRoot && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(90);
        }
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home.path() + "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home.path() + "data").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (home.path() + "state").c_str(), 1);
        ::unsetenv("DISPLAY");  // messages, if any, go to stderr
        if (std::freopen(errors.c_str(), "w", stderr) == nullptr) {
            ::_exit(91);
        }
        ::_exit(runAsHost(vst + "pelko2.so"));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    setReadOnly(root.path(), false);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the host's step that failed";

    std::ifstream in(errors);
    const std::string shown((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(shown.find("Pelko Error"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Pelko Warning"), std::string::npos) << shown;
    EXPECT_TRUE(fs::is_regular_file(home.path() + "state/Vantomo/Pelko2/tmp.sav"));
    EXPECT_TRUE(fs::is_regular_file(home.path() + "config/Vantomo/Pelko2/registry"));
    EXPECT_TRUE(testing_support::filesBelow(root.path()) == before) << "the unpacked files changed";
}

}  // namespace
