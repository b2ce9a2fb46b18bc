// The file dialog every load and save command uses: a filter built from a description and an
// extension, a start in the folder remembered under a registry value, the extension appended to a
// name typed without one on save, and the chosen folder remembered again after the user confirms.
#pragma once

#include "config/registry_store.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelko {

struct FileDialogOptions {
    const char* title;
    const char* filterDescription;  // e.g. "FX Banks"
    const char* extension;          // e.g. ".fxb" or "fxb"
    const char* folderValue;        // registry value holding the last folder, e.g. "BankPath"
};

// The filter text: "<description> (*.<ext>)", a terminator, "*.<ext>", a terminator.
std::string dialogFilterText(std::string_view description, std::string_view extension);

// On save: the name with "." + extension appended when its last component has no extension.
std::string withDefaultExtension(std::string_view path, std::string_view extension);

// Shows the dialog through the user-interface service. On confirmation returns the full path and
// stores its folder (everything before the last separator) under options.folderValue. The dialog
// starts in the remembered folder, or in fallbackFolder while none is remembered.
std::optional<std::string> runFileDialog(RegistryStore& settings, bool save, const FileDialogOptions& options,
                                         std::string_view fallbackFolder = {});

}  // namespace pelko
