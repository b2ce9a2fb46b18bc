// The working copy the assignments panel edits: opened by a user control's right button with a
// copy of the program's user-control assignments, read and changed by the panel's controls, and
// closed by the panel (apply writes the copy to the program through the editor, discard drops
// it). One session per editor; opening one replaces an open one.
#pragma once

#include "editor/controls/editor_services.h"
#include "params/user_controls_assignment.h"

namespace pelko {

class AssignmentSession {
public:
    // The open session of an editor, or none.
    static AssignmentSession* of(const EditorServices& services);
    // Opens a session for user control `slider` (0–5) with a copy of the program's assignments;
    // `opener` is the control that opened it.
    static AssignmentSession& open(EditorServices& services, int slider, const void* opener = nullptr);
    // Closes the editor's session (when one is open): apply replaces the program's assignments
    // with the copy. Closing twice does nothing the second time.
    static void close(EditorServices& services, bool apply);
    // Discards the editor's session when `opener` opened it (the opener is going away with the
    // editor's window, so nothing may apply a copy later).
    static void discardOpenedBy(EditorServices& services, const void* opener);

    int slider() const { return slider_; }
    UserControlsAssignment& assignments() { return copy_; }
    const UserControlsAssignment& assignments() const { return copy_; }

private:
    int slider_ = 0;
    const void* opener_ = nullptr;
    UserControlsAssignment copy_;
};

}  // namespace pelko
