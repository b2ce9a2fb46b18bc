// "UserAssignmentControlMenu": one row of the assignments panel's working copy, as a menu. It
// shows the name of the parameter that row "row" (0–15) of the panel's user control drives, and
// a left click opens a menu of every parameter (grouped as the parameter table groups them, the
// user controls themselves left out) headed by "None": choosing a parameter makes the row drive
// it (a new row at the end of the list ranges over 0–1, an existing row keeps its range);
// choosing "None" removes the row and the rows below move up. Without an open panel it shows
// nothing and does nothing.
#pragma once

#include "editor/controls/name_displays.h"

namespace pelko {

class AssignmentMenu final : public NameDisplay {
public:
    AssignmentMenu(ControlListener* listener, int tag) : NameDisplay(listener, tag) {}

    std::string name() const override;
    bool disabled() const override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    // Makes the row drive `parameter` (0–207, not a user control), or removes it (-1). False
    // without an open panel or for a parameter outside the choices.
    bool assign(int parameter);
    int row() const { return row_; }

protected:
    ~AssignmentMenu() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void rebind(int base) override;
    void popupClosed(bool apply) override;

private:
    int assignedParameter() const;

    int row_ = 0;
};

}  // namespace pelko
