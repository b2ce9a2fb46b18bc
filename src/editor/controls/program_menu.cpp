#include "editor/controls/program_menu.h"

#include "editor/toolkit/frame.h"

#include <array>
#include <optional>

namespace pelko {
namespace {

constexpr int kRenameEntry = 4;

// The operation of each entry in menu order; none for "Rename".
constexpr std::array<std::optional<ProgramAction>, 12> kEntryActions = {
    ProgramAction::kWrite,    ProgramAction::kExport,   ProgramAction::kImport,      ProgramAction::kImportSysex,
    std::nullopt,             ProgramAction::kClear,    ProgramAction::kCopy,        ProgramAction::kPaste,
    ProgramAction::kLoadBank, ProgramAction::kSaveBank, ProgramAction::kLoadProgram, ProgramAction::kSaveProgram,
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
    const ProgramAction action = *kEntryActions[static_cast<std::size_t>(chosen)];
    if (action == ProgramAction::kPaste && !services.programCopied()) {
        return;
    }
    services.runProgramAction(action, slot);
}

void openProgramActionsMenu(Frame& frame, EditorServices& services, int slot, Point where, std::function<void()> rename)
{
    EditorServices* target = &services;
    frame.openPopupMenu(programMenuItems(services.programCopied()), where,
                        [target, slot, rename = std::move(rename)](int chosen) { runProgramMenuEntry(*target, slot, chosen, rename); });
}

}  // namespace pelko
