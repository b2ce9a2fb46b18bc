// What the bank list, the preset browser and the bank menu ask of the editor: slot operations
// through the editor port (file commands ask for their file first, outside every lock), the
// preset library, and the bank files of the presets folder.
#include "editor/core/editor.h"
#include "editor/core/side_file_dialogs.h"
#include "editor/core/storage_dialogs.h"

#include "platform/file_system.h"

#include <algorithm>

namespace pelko {
namespace {

constexpr std::string_view kBankExtension = ".fxb";

}  // namespace

void Editor::slotCommand(SlotCommand command, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return;
    }
    const auto path = [&](const FileDialogOptions& options, bool save) {
        return dialogs().chooseFile(save, options).value_or(std::string());
    };
    ProgramHost& host = plugin_.programHost();
    switch (command) {
    case SlotCommand::kWrite: port_.writeProgram(slot); break;
    case SlotCommand::kExport: exportProgramWithDialog(host, dialogs()); break;
    case SlotCommand::kImport: importProgramWithDialog(host, dialogs(), slot); break;
    case SlotCommand::kImportSysex: importSysexWithDialog(host, dialogs()); break;
    case SlotCommand::kClear: port_.clearProgram(slot); break;
    case SlotCommand::kCopy: port_.copyProgram(slot); break;
    case SlotCommand::kPaste: port_.pasteProgram(slot); break;
    case SlotCommand::kLoadBank:
        if (const std::string file = path(storage_dialog::kLoadBank, false); !file.empty()) {
            port_.loadBankFile(file);
        }
        break;
    case SlotCommand::kSaveBank:
        if (const std::string file = path(storage_dialog::kSaveBank, true); !file.empty()) {
            port_.saveBankFile(file);
        }
        break;
    case SlotCommand::kLoadPreset:
        if (const std::string file = path(storage_dialog::kLoadPatch, false); !file.empty()) {
            port_.loadProgramFile(file, slot);
        }
        break;
    case SlotCommand::kSavePreset:
        if (const std::string file = path(storage_dialog::kSavePatch, true); !file.empty()) {
            port_.saveProgramFile(file);
        }
        break;
    }
    applyQueuedChanges();
}

bool Editor::programCopied() const { return port_.programCopied(); }

void Editor::renameProgram(int slot, const std::string& name)
{
    if (port_.renameProgram(slot, name)) {
        applyQueuedChanges();
    }
}

PresetDatabase* Editor::presetLibrary() { return &port_.presetLibrary(); }

bool Editor::loadPreset(int presetId, int slot)
{
    const bool loaded = port_.loadPreset(presetId, slot);
    applyQueuedChanges();
    return loaded;
}

bool Editor::fileProgram(int slot, int catId)
{
    const bool filed = port_.fileProgram(slot, catId);
    applyQueuedChanges();
    return filed;
}

// The presets folder of the setup folder (the install folder the plug-in was configured with).
static std::string presetsFolder(const SynthPlugin& plugin, const std::string& editorFolder)
{
    return plugin.installFolder().value_or(editorFolder) + "presets/";
}

std::vector<std::string> Editor::presetBanks() const
{
    std::vector<std::string> names;
    for (std::string file : listFiles(presetsFolder(plugin_, installFolder_) + "*" + std::string(kBankExtension))) {
        if (file.size() > kBankExtension.size()) {
            file.resize(file.size() - kBankExtension.size());
            names.push_back(std::move(file));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Editor::bankName() const { return port_.bankName(); }

bool Editor::loadPresetBank(const std::string& name)
{
    // Only names of the listing: nothing outside the presets folder is reached through a name.
    const std::vector<std::string> banks = presetBanks();
    if (std::find(banks.begin(), banks.end(), name) == banks.end()) {
        return false;
    }
    const bool loaded = port_.loadBankFile(presetsFolder(plugin_, installFolder_) + name + std::string(kBankExtension));
    applyQueuedChanges();
    return loaded;
}

void Editor::requestIdle(View& view)
{
    const bool asked = std::any_of(idleRequests_.begin(), idleRequests_.end(),
                                   [&](const Ref<View>& request) { return request.get() == &view; });
    if (!asked) {
        idleRequests_.push_back(Ref<View>::share(&view));
    }
}

}  // namespace pelko
