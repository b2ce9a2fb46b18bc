#include "config/install_folder.h"

#include "config/file_dialog.h"
#include "platform/file_system.h"
#include "platform/messages.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

namespace pelko {

std::string asFolder(std::string path)
{
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path += '/';
    }
    return path;
}

std::string absoluteFolder(const std::string& folder)
{
    if (folder.empty() || folder.front() == '/') {
        return folder.empty() ? folder : asFolder(folder);
    }
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        return asFolder(folder);
    }
    return asFolder(resolved);
}

std::string moduleFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&moduleFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::string folder = folderPart(info.dli_fname);
    return absoluteFolder(folder.empty() ? std::string("./") : folder);
}

std::optional<std::string> findInstallFolder(RegistryStore& settings, const std::string& besideModule)
{
    if (std::optional<std::string> stored = settings.readText(registry::kPath); stored && !stored->empty()) {
        if (folderExists(*stored)) {
            return asFolder(*stored);
        }
    }
    if (!besideModule.empty()) {
        for (const std::string& candidate : {besideModule, besideModule + "pelko2/"}) {
            if (fileExists(candidate + "pelko.db")) {
                settings.writeText(registry::kPath, candidate);
                return candidate;
            }
        }
    }
    showMessage(kMsgNoSetupPath, {}, kMessageOkWarning);
    FileDialogOptions options{"Define install path", "Pelko presets database", "db", nullptr};
    std::optional<std::string> chosen = runFileDialog(settings, false, options);
    if (!chosen) {
        return std::nullopt;
    }
    std::string folder = absoluteFolder(folderPart(*chosen));
    settings.writeText(registry::kPath, folder);
    return folder;
}

}  // namespace pelko
