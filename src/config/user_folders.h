// The current user's folders for the plug-in's own files, after the XDG base directory layout:
// a base taken from its environment variable when that holds an absolute path, else from the home
// folder ($HOME, else the password database), followed by "Vantomo/Pelko2/". Each result ends
// with '/'; it is empty when the variable is unset or relative and no home folder is known.
#pragma once

#include <string>

namespace pelko {

// $XDG_CONFIG_HOME, default ~/.config: the settings store.
std::string userConfigFolder();
// $XDG_DATA_HOME, default ~/.local/share: the user's preset library and files.
std::string userDataFolder();
// $XDG_STATE_HOME, default ~/.local/state: the saved state.
std::string userStateFolder();

}  // namespace pelko
