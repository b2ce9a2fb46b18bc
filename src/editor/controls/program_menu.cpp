#include "editor/controls/program_menu.h"

#include "editor/toolkit/frame.h"

#include <array>
#include <optional>

namespace pelko {
namespace {

using SlotCommand = EditorServices::SlotCommand;

constexpr int kRenameEntry = 4;

// The operation of each entry in menu order; none for "Rename".
constexpr std::array<std::optional<SlotCommand>, 12> kEntryActions = {
    SlotCommand::kWrite,    SlotCommand::kExport,   SlotCommand::kImport,      SlotCommand::kImportSysex,
    std::nullopt,             SlotCommand::kClear,    SlotCommand::kCopy,        SlotCommand::kPaste,
    SlotCommand::kLoadBank, SlotCommand::kSaveBank, SlotCommand::kLoadPreset, SlotCommand::kSavePreset,
};

}  // namespace

std::vector<MenuItem> programMenuItems(bool pasteEnabled)
{
    std::vector<MenuItem> items;
    for (const char* text : {"Write", "Export", "Import", "Import Sysex", "Rename", "Clear", "Copy", "Paste"}) {
        items.push_back(MenuItem::entry(text));
    }
    items.back().enabled = pasteEnabled;
    items.push_back(MenuItem::line());
    for (const char* text : {"Load Bank", "Save Bank", "Load Preset", "Save Preset"}) {
        items.push_back(MenuItem::entry(text));
    }
    return items;
}

void runProgramMenuEntry(EditorServices& services, int slot, int chosen, const std::function<void()>& rename)
{
    if (chosen < 0 || chosen >= static_cast<int>(kEntryActions.size())) {
        return;
    }
    if (chosen == kRenameEntry) {
        if (rename) {
            rename();
        }
        return;
    }
    const SlotCommand action = *kEntryActions[static_cast<std::size_t>(chosen)];
    if (action == SlotCommand::kPaste && !services.programCopied()) {
        return;
    }
    services.slotCommand(action, slot);
}

void openProgramActionsMenu(Frame& frame, EditorServices& services, int slot, Point where, std::function<void()> rename)
{
    EditorServices* target = &services;
    frame.openPopupMenu(programMenuItems(services.programCopied()), where,
                        [target, slot, rename = std::move(rename)](int chosen) { runProgramMenuEntry(*target, slot, chosen, rename); });
}

}  // namespace pelko
