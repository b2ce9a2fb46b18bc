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

#include "config/file_dialog.h"
#include "storage/chunk_storage.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelko {

namespace storage_dialog {
extern const FileDialogOptions kLoadBank;
extern const FileDialogOptions kSaveBank;
extern const FileDialogOptions kLoadPatch;
extern const FileDialogOptions kSavePatch;
}  // namespace storage_dialog

// The file dialog as the commands see it: the confirmed full path (with the extension added on
// save), or none when cancelled. The folder of a confirmed path is remembered by the dialog.
class StorageDialogHost {
public:
    virtual ~StorageDialogHost() = default;
    virtual std::optional<std::string> chooseFile(bool save, const FileDialogOptions& options) = 0;
};

// The folder of the install folder that holds the example files of an extension ("Sequencer
// Settings/" for ".seq", "Envelope Settings/", "Effects Settings/", "Additive Settings/",
// "tunings/", "presets/" for banks and programs); empty for other extensions, without an install
// folder, or when the folder is not there.
std::string exampleFolder(std::string_view installFolder, std::string_view extension);

// The plug-in's dialog: runFileDialog over its registry store. A load dialog with no remembered
// folder opens on the install folder's examples of its kind.
class RegistryDialogHost final : public StorageDialogHost {
public:
    explicit RegistryDialogHost(RegistryStore& settings, std::string installFolder = {})
        : settings_(settings), installFolder_(std::move(installFolder))
    {
    }
    std::optional<std::string> chooseFile(bool save, const FileDialogOptions& options) override
    {
        return runFileDialog(settings_, save, options, save ? std::string() : exampleFolder(installFolder_, options.extension));
    }

private:
    RegistryStore& settings_;
    std::string installFolder_;
};

namespace storage_dialog {
extern const FileDialogOptions kLoadBank;
extern const FileDialogOptions kSaveBank;
extern const FileDialogOptions kLoadPatch;
extern const FileDialogOptions kSavePatch;
}  // namespace storage_dialog

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
