#include "storage/storage_dialogs.h"

#include "platform/file_system.h"

namespace pelko {
namespace {

struct DialogKind {
    const char* loadTitle;
    const char* saveTitle;
    const char* filter;
    const char* extension;  // without the dot
    const char* folderValue;
};

constexpr DialogKind kBankDialog{"Load FX Bank", "Save FX Bank", "FX Banks", "fxb", "BankPath"};
constexpr DialogKind kPatchDialog{"Load FX Patch", "Save FX Patch", "FX Patches", "fxp", "PatchPath"};

std::optional<std::string> ask(StorageDialogHost& host, const DialogKind& kind, bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.title = save ? kind.saveTitle : kind.loadTitle;
    request.initialFolder = host.readFolder(kind.folderValue);
    request.filterDescription = kind.filter;
    request.extension = kind.extension;
    std::optional<std::string> path = host.chooseFile(request);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    if (save && fileNamePart(*path).find('.') == std::string::npos) {
        *path += '.';
        *path += kind.extension;
    }
    host.writeFolder(kind.folderValue, folderPart(*path));
    return path;
}

}  // namespace

FileLoadResult loadBankWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kBankDialog, false);
    return path ? loadBankFile(state, *path) : FileLoadResult{};
}

std::optional<std::string> saveBankWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kBankDialog, true);
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
    std::optional<std::string> path = ask(host, kPatchDialog, false);
    if (!path) {
        return {};
    }
    if (state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
        copyProgram(state.editBuffer, state.bank.programs[static_cast<std::size_t>(state.currentProgram)]);
    }
    FileLoadResult result = loadProgramFile(*path, state.bank.programs[static_cast<std::size_t>(slot)]);
    if (result.ok && state.currentProgram >= 0 && state.currentProgram < kProgramCount) {
        result.selectProgram = state.currentProgram;
    }
    // The view block belongs to the edit buffer only.
    result.view.reset();
    return result;
}

std::optional<std::string> savePatchWithDialog(StorageState& state, StorageDialogHost& host)
{
    std::optional<std::string> path = ask(host, kPatchDialog, true);
    if (!path || !saveProgramFile(state, *path)) {
        return std::nullopt;
    }
    return fileNamePart(*path);
}

}  // namespace pelko
