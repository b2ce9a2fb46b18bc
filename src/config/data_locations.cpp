#include "config/data_locations.h"

#include "config/user_folders.h"
#include "platform/file_system.h"

namespace pelko {
namespace {

constexpr const char* kLibraryName = "pelko.db";

}  // namespace

bool installFolderWritable(const std::string& installFolder)
{
    const std::string library = installFolder + kLibraryName;
    return folderWritable(installFolder) && (!fileExists(library) || fileWritable(library));
}

std::string stateFolder(const std::string& installFolder)
{
    if (installFolderWritable(installFolder)) {
        return installFolder;
    }
    const std::string folder = userStateFolder();
    if (folder.empty() || !makeFolders(folder)) {
        return installFolder;
    }
    return folder;
}

LibraryLocation libraryLocation(const std::string& installFolder)
{
    const std::string shipped = installFolder + kLibraryName;
    if (installFolderWritable(installFolder)) {
        return {shipped, {}};
    }
    const std::string folder = userDataFolder();
    if (folder.empty()) {
        return {shipped, {}};
    }
    const std::string own = folder + kLibraryName;
    if (fileExists(own) || !fileExists(shipped)) {
        // A library without a shipped one is created in the user's folder.
        makeFolders(folder);
        return {own, {}};
    }
    return {own, shipped};
}

}  // namespace pelko
