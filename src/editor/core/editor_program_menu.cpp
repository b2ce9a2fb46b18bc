// The program menu's operations on a bank slot: each goes to the plug-in's program operations,
// the text, bulk-dump and file dialogs, and what they changed is shown at once.
#include "editor/core/editor.h"

#include "editor/core/side_file_dialogs.h"
#include "editor/core/storage_dialogs.h"

namespace pelko {

void Editor::runProgramAction(ProgramAction action, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return;
    }
    ProgramHost& host = plugin_.programHost();
    auto chosen = [&](const FileDialogOptions& options, bool save) {
        return dialogs().chooseFile(save, options).value_or(std::string());
    };
    switch (action) {
    case ProgramAction::kWrite:
        // The edited program is kept in the slot, which then plays.
        plugin_.copyEditBufferTo(slot);
        plugin_.selectProgram(slot);
        break;
    case ProgramAction::kExport:
        exportProgramWithDialog(host, dialogs());
        break;
    case ProgramAction::kImport:
        importProgramWithDialog(host, dialogs(), slot);
        break;
    case ProgramAction::kImportSysex:
        importSysexWithDialog(host, dialogs());
        break;
    case ProgramAction::kClear:
        plugin_.initialiseProgram(slot, false);
        if (slot == plugin_.currentProgram()) {
            plugin_.selectProgram(slot);
        }
        break;
    case ProgramAction::kCopy:
        plugin_.copyProgram(slot);
        break;
    case ProgramAction::kPaste:
        plugin_.pasteProgram(slot);
        break;
    case ProgramAction::kLoadBank:
        if (std::string path = chosen(storage_dialog::kLoadBank, false); !path.empty()) {
            port_.loadBankFile(path);
        }
        break;
    case ProgramAction::kSaveBank:
        if (std::string path = chosen(storage_dialog::kSaveBank, true); !path.empty()) {
            port_.saveBankFile(path);
        }
        break;
    case ProgramAction::kLoadProgram:
        if (std::string path = chosen(storage_dialog::kLoadPatch, false); !path.empty()) {
            port_.loadProgramFile(slot, path);
        }
        break;
    case ProgramAction::kSaveProgram:
        if (std::string path = chosen(storage_dialog::kSavePatch, true); !path.empty()) {
            port_.saveProgramFile(path);
        }
        break;
    }
    applyQueuedChanges();
}

bool Editor::programCopied() const { return plugin_.clipboardPresent(); }

void Editor::renameProgram(int slot, const std::string& name)
{
    plugin_.renameProgram(slot, name);
    applyQueuedChanges();
}

}  // namespace pelko
