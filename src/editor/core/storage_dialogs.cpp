#include "editor/core/storage_dialogs.h"

#include "platform/file_system.h"

namespace pelko {

namespace storage_dialog {
const FileDialogOptions kLoadBank{"Load FX Bank", "FX Banks", ".fxb", "BankPath"};
const FileDialogOptions kSaveBank{"Save FX Bank", "FX Banks", ".fxb", "BankPath"};
const FileDialogOptions kLoadPatch{"Load FX Patch", "FX Patches", ".fxp", "PatchPath"};
const FileDialogOptions kSavePatch{"Save FX Patch", "FX Patches", ".fxp", "PatchPath"};
}  // namespace storage_dialog

namespace {

using namespace storage_dialog;

std::optional<std::string> ask(StorageDialogHost& host, const FileDialogOptions& options, bool save)
{
    std::optional<std::string> path = host.chooseFile(save, options);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::string exampleFolder(std::string_view installFolder, std::string_view extension)
{
    if (installFolder.empty() || extension.empty()) {
        return {};
    }
    if (extension.front() == '.') {
        extension.remove_prefix(1);
    }
    static constexpr std::pair<std::string_view, std::string_view> kFolders[] = {
        {"seq", "Sequencer Settings/"}, {"env", "Envelope Settings/"}, {"rfx", "Effects Settings/"},
        {"add", "Additive Settings/"},  {"tun", "tunings/"},           {"fxb", "presets/"},
        {"fxp", "presets/"},
    };
    for (const auto& [ext, folder] : kFolders) {
        if (ext == extension) {
            std::string path(installFolder);
            if (path.back() != '/') {
                path += '/';
            }
            path += folder;
            return folderExists(path) ? path : std::string();
        }
    }
    return {};
}

FileLoadResult loadBankWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kLoadBank, false);
    return path ? loadBankFile(state, *path) : FileLoadResult{};
}

std::optional<std::string> saveBankWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kSaveBank, true);
    if (!path || !saveBankFile(state, *path)) {
        return std::nullopt;
    }
    return fileNamePart(*path);
}

FileLoadResult loadPatchWithDialog(StorageState& state, StorageDialogHost& host, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return {};
    }
    std::optional<std::string> path = ask(host, kLoadPatch, false);
    if (!path) {
        return {};
    }
    if (state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
        copyProgram(state.editBuffer, state.bank.editProgram(state.currentProgram));
    }
    FileLoadResult result = loadProgramFile(*path, state.bank.editProgram(slot));
    if (result.ok && state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
        result.selectProgram = state.currentProgram;
    }
    // The view block belongs to the edit buffer only.
    result.view.reset();
    return result;
}

std::optional<std::string> savePatchWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kSavePatch, true);
    if (!path || !saveProgramFile(state, *path)) {
        return std::nullopt;
    }
    return fileNamePart(*path);
}

}  // namespace pelko
