#include "config/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace pelko {
namespace {

constexpr const char* kApplicationFolder = "/Vantomo/Pelko2/";

std::string withoutTrailingSeparators(std::string path)
{
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string userFolder(const char* variable, const char* belowHome)
{
    std::string base;
    if (const char* xdg = std::getenv(variable); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            if (const passwd* pw = ::getpwuid(::getuid())) {
                home = pw->pw_dir;
            }
        }
        if (home == nullptr || home[0] == '\0') {
            return {};
        }
        base = withoutTrailingSeparators(home) + belowHome;
    }
    return withoutTrailingSeparators(std::move(base)) + kApplicationFolder;
}

}  // namespace

std::string userConfigFolder() { return userFolder("XDG_CONFIG_HOME", "/.config"); }
std::string userDataFolder() { return userFolder("XDG_DATA_HOME", "/.local/share"); }
std::string userStateFolder() { return userFolder("XDG_STATE_HOME", "/.local/state"); }

}  // namespace pelko
