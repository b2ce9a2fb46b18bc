// Where the plug-in's data lives: the folder of "pelko.db", recorded under the value "path".
// Every data file (database, skin, waves, presets, the state file) is found relative to it.
#pragma once

#include "config/registry_store.h"

#include <optional>
#include <string>

namespace pelko {

// The folder of the loaded module (found through the dynamic loader), ending with '/'.
std::string moduleFolder();

// Finds the install folder: the stored "path" when it names an existing folder; else a folder
// holding "pelko.db" beside the module or in its "pelko2/" subfolder (stored when found); else
// message 20 and the dialog "Define install path", whose chosen file's folder is stored.
// None when the user cancels. The result ends with a separator.
std::optional<std::string> findInstallFolder(RegistryStore& settings, const std::string& besideModule);

// Ensures a trailing separator.
std::string asFolder(std::string path);

// The folder as an absolute path ending with a separator: a relative one (a module loaded by a
// relative path) is resolved against the working directory, so that the stored install folder
// still names the same place when the next host runs elsewhere. Unresolvable folders are
// returned as they are.
std::string absoluteFolder(const std::string& folder);

}  // namespace pelko
