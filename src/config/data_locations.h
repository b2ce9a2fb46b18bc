// Where the plug-in writes what the user changes: the saved state and the preset library.
//
// A writable install folder holds them beside the shipped content, as it always has. An install
// folder this user cannot write (a system-wide installation, a read-only mount) keeps only the
// shipped content, and is never written: the state goes to the user's state folder and the
// library to the user's data folder (config/user_folders.h). There the shipped library is copied
// on its first change; until then it is read where it was installed, and a user library that
// exists already is used as it is. When no per-user folder is known the install folder is used
// all the same (and writing there fails as it would have).
#pragma once

#include <string>

namespace pelko {

// The install folder (ending with a separator) is writable: its folder may be written and so may
// its presets database, when it has one.
bool installFolderWritable(const std::string& installFolder);

// The folder of the state file to save to and restore from: the install folder, or the per-user
// state folder when the install folder cannot be written (created when it is chosen).
std::string stateFolder(const std::string& installFolder);

struct LibraryLocation {
    std::string file;      // the library to use
    std::string copyFrom;  // when not empty: file does not exist yet; read this one until the first change
};
LibraryLocation libraryLocation(const std::string& installFolder);

}  // namespace pelko
