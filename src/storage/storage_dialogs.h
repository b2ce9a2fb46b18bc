// The editor's bank and patch menu commands: each asks for a file with the file dialog, starting in
// the folder remembered under its registry value, remembers the chosen folder and loads or saves.
//
//   load bank   "Load FX Bank"   "FX Banks"   .fxb  "BankPath"
//   save bank   "Save FX Bank"   "FX Banks"   .fxb  "BankPath"
//   load patch  "Load FX Patch"  "FX Patches" .fxp  "PatchPath"
//   save patch  "Save FX Patch"  "FX Patches" .fxp  "PatchPath"
//
// User-interface thread only.
#pragma once

#include "platform/user_interface.h"
#include "storage/chunk_storage.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelko {

// What the commands need from the configuration and the dialogs.
class StorageDialogHost {
public:
    virtual ~StorageDialogHost() = default;
    // A remembered folder (registry text value); empty when there is none.
    virtual std::string readFolder(std::string_view valueName) = 0;
    virtual void writeFolder(std::string_view valueName, std::string_view folder) = 0;
    // The file dialog: the confirmed full path, or none when cancelled.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
};

// Loads a bank file chosen by the user (see loadBankFile for the result).
FileLoadResult loadBankWithDialog(StorageState& state, StorageDialogHost& host);
// Saves the bank into a chosen file; returns the file's name (after the last separator) on success.
std::optional<std::string> saveBankWithDialog(StorageState& state, StorageDialogHost& host);
// Loads a program file into bank slot `slot` (0–63). The edit buffer is first kept in its own
// slot, so that selecting the current program again (selectProgram, which the caller does) loses
// no edit.
FileLoadResult loadPatchWithDialog(StorageState& state, StorageDialogHost& host, int slot);
// Saves the current program into a chosen file; returns the file's name on success.
std::optional<std::string> savePatchWithDialog(StorageState& state, StorageDialogHost& host);

}  // namespace pelko
