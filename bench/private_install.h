// A private configuration naming a private copy of the build's install folder, for the whole run
// of a measuring program: a module saves its state into that copy when it closes, so the build's
// install folder stays as it was. The folder is removed when the program ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace bench {

class PrivateInstall {
public:
    PrivateInstall()
    {
        char pattern[] = "/tmp/pelko-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return;
        }
        root_ = pattern;
        const std::string install = root_ + "/install/";
        std::filesystem::copy(PELKO_BUILD_INSTALL_FOLDER, install, std::filesystem::copy_options::recursive);
        std::filesystem::remove(install + "tmp.sav");  // a state left by an earlier run of the module
        std::filesystem::create_directories(root_ + "/config/Vantomo/Pelko2");
        std::ofstream(root_ + "/config/Vantomo/Pelko2/registry", std::ios::binary) << "path=" << install << "\n";
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config/").c_str(), 1);
    }
    ~PrivateInstall()
    {
        if (!root_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(root_, ignored);
        }
    }
    PrivateInstall(const PrivateInstall&) = delete;
    PrivateInstall& operator=(const PrivateInstall&) = delete;

    bool ready() const { return !root_.empty(); }

private:
    std::string root_;
};

inline bool isolateConfiguration()
{
    static PrivateInstall install;
    return install.ready();
}

}  // namespace bench
