#include "config/install_folder.h"

#include "config/file_dialog.h"
#include "platform/file_system.h"
#include "platform/messages.h"

#include <dlfcn.h>

namespace pelko {

std::string asFolder(std::string path)
{
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path += '/';
    }
    return path;
}

std::string moduleFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&moduleFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::string folder = folderPart(info.dli_fname);
    return folder.empty() ? std::string("./") : asFolder(folder);
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
    std::string folder = asFolder(folderPart(*chosen));
    settings.writeText(registry::kPath, folder);
    return folder;
}

}  // namespace pelko
