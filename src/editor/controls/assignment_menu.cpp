#include "editor/controls/assignment_menu.h"

#include "editor/controls/assignment_session.h"
#include "editor/toolkit/frame.h"
#include "params/parameter_ids.h"
#include "params/parameter_table.h"

#include <algorithm>
#include <vector>

namespace pelko {
namespace {

bool isChoice(int parameter)
{
    const bool userControl = parameter >= param::kUserSlider && parameter < param::kUserSlider + UserControlsAssignment::kSliders;
    return parameter >= 0 && parameter < kParameters && !userControl;
}

}  // namespace

void AssignmentMenu::configure(SkinAttributes& attributes, const std::string& item)
{
    NameDisplay::configure(attributes, item);
    row_ = std::clamp(attributes.integer(item, "row"), 0, UserControlsAssignment::kAssignmentsPerSlider - 1);
}

int AssignmentMenu::assignedParameter() const
{
    const AssignmentSession* session = services_ != nullptr ? AssignmentSession::of(*services_) : nullptr;
    if (session == nullptr || row_ >= session->assignments().count(session->slider())) {
        return -1;
    }
    return session->assignments().entry(session->slider(), row_).parameter;
}

std::string AssignmentMenu::name() const
{
    const int parameter = assignedParameter();
    return parameter >= 0 && parameter < kParameters ? services_->parameterName(parameter) : std::string();
}

bool AssignmentMenu::disabled() const { return assignedParameter() < 0; }

bool AssignmentMenu::assign(int parameter)
{
    AssignmentSession* session = services_ != nullptr ? AssignmentSession::of(*services_) : nullptr;
    if (session == nullptr || (parameter != -1 && !isChoice(parameter))) {
        return false;
    }
    UserControlsAssignment& list = session->assignments();
    const int slider = session->slider();
    std::vector<UserControlsAssignment::Entry> rows;
    for (int k = 0; k < list.count(slider); ++k) {
        rows.push_back(list.entry(slider, k));
    }
    const auto at = static_cast<std::size_t>(std::min<int>(row_, static_cast<int>(rows.size())));
    if (parameter < 0) {
        if (at >= rows.size()) {
            return true;
        }
        rows.erase(rows.begin() + static_cast<long>(at));
    } else if (at < rows.size()) {
        rows[at].parameter = parameter;
    } else {
        rows.push_back({parameter, 0.0f, 1.0f});
    }
    list.clear(slider);
    for (const UserControlsAssignment::Entry& entry : rows) {
        list.add(slider, entry.parameter, entry.low, entry.high);
    }
    // The other rows of the panel show the list as it is now.
    if (Container* panel = parent()) {
        panel->setDirty();
        for (View* view : panel->views()) {
            view->setDirty();
        }
    }
    setDirty(true);
    invalidate();
    return true;
}

MouseResponse AssignmentMenu::mouse(DrawContext&, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0 || frame_ == nullptr || services_ == nullptr ||
        AssignmentSession::of(*services_) == nullptr) {
        return MouseResponse::kNotHandled;
    }
    // "None", then one submenu per parameter group (in the order the groups first appear in the
    // table); parameters lists each choice's parameter in menu order.
    std::vector<std::pair<std::string, std::vector<int>>> groups;
    const auto& table = parameterTable();
    for (int p = 0; p < kParameters; ++p) {
        if (!isChoice(p)) {
            continue;
        }
        const std::string group = table[static_cast<std::size_t>(p)].group;
        auto found = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == group; });
        if (found == groups.end()) {
            groups.emplace_back(group, std::vector<int>{});
            found = groups.end() - 1;
        }
        found->second.push_back(p);
    }
    const int current = assignedParameter();
    std::vector<MenuItem> items{MenuItem::entry("None")};
    std::vector<int> parameters{-1};
    int preselected = 0;
    for (const auto& [group, members] : groups) {
        std::vector<MenuItem> entries;
        for (int p : members) {
            MenuItem entry = MenuItem::entry(services_->parameterName(p));
            entry.checked = p == current;
            if (entry.checked) {
                preselected = static_cast<int>(parameters.size());
            }
            entries.push_back(std::move(entry));
            parameters.push_back(p);
        }
        items.push_back(MenuItem::submenu(group, std::move(entries)));
    }
    Point origin = parentOrigin();
    Ref<AssignmentMenu> self = Ref<AssignmentMenu>::share(this);
    frame_->openPopupMenu(std::move(items), Point{rect_.left + origin.h, rect_.bottom + origin.v},
                          [self, parameters](int chosen) {
                              if (chosen >= 0 && static_cast<std::size_t>(chosen) < parameters.size()) {
                                  self->assign(parameters[static_cast<std::size_t>(chosen)]);
                              }
                          },
                          preselected);
    return MouseResponse::kHandled;
}

void AssignmentMenu::rebind(int) { setDirty(true); }

void AssignmentMenu::popupClosed(bool) { setDirty(true); }

}  // namespace pelko
