// The program menu of a bank slot: "Write", "Export", "Import", "Import Sysex", "Rename",
// "Clear", "Copy", "Paste" (disabled while nothing is copied), a separator, then "Load Bank",
// "Save Bank", "Load Preset", "Save Preset". Choosing an entry runs its operation through the
// editor on that slot; "Rename" calls back the control that opened the menu, which edits the
// name in place.
#pragma once

#include "editor/controls/editor_services.h"
#include "editor/toolkit/popup_menu.h"

#include <functional>

namespace pelko {

class Frame;

std::vector<MenuItem> programMenuItems(bool pasteEnabled);
// The entry with index `chosen` (separators not counted) on slot `slot`.
void runProgramMenuEntry(EditorServices& services, int slot, int chosen, const std::function<void()>& rename);
void openProgramActionsMenu(Frame& frame, EditorServices& services, int slot, Point where, std::function<void()> rename);

}  // namespace pelko
