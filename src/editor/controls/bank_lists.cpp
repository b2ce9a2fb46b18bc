#include "editor/controls/bank_lists.h"

#include "editor/controls/drag_items.h"
#include "editor/controls/program_menu.h"
#include "editor/toolkit/frame.h"

namespace pelko {
namespace {

constexpr const char* kNameEditor = "BankNameEditor";

}  // namespace

void BankScrollList::configure(SkinAttributes& attributes, const std::string& item)
{
    ScrollList::configure(attributes, item);
    refresh();
}

void BankScrollList::refresh()
{
    if (services_ != nullptr) {
        names_ = services_->programNames();
        current_ = services_->currentProgram();
    }
    scrollTo(firstRow());
    setDirty(true);
}

std::string BankScrollList::rowText(int row) const
{
    return row >= 0 && row < rowCount() ? names_[static_cast<std::size_t>(row)] : std::string();
}

void BankScrollList::rowSelected(int row)
{
    if (services_ != nullptr) {
        services_->selectProgram(row);
        refresh();
    }
}

void BankScrollList::rowDropped(int row, Point where)
{
    const int dragged = std::exchange(dragged_, -1);
    if (dragged == row && frame() != nullptr) {
        frame()->dropFiles({drag_item::program(row)}, where);
    }
}

bool BankScrollList::drop(DrawContext& context, const std::vector<std::string>& items, Point where)
{
    const std::optional<int> preset = drag_item::parse(items, drag_item::kPreset);
    if (!preset) {
        return false;
    }
    const int slot = rowAt(where);
    if (slot >= 0 && services_ != nullptr && services_->loadPreset(*preset, slot)) {
        refresh();
        draw(context);
    }
    return true;
}

std::vector<MenuItem> BankScrollList::menuFor(int) const
{
    return programMenuItems(services_ != nullptr && services_->programCopied());
}

void BankScrollList::rowMenu(int row, Point where)
{
    if (frame() == nullptr) {
        return;
    }
    Ref<View> self = Ref<View>::share(this);
    frame()->openPopupMenu(menuFor(row), where, [self, this, row](int index) { choose(row, index); });
}

void BankScrollList::choose(int slot, int index)
{
    if (services_ == nullptr || slot < 0 || slot >= rowCount()) {
        return;
    }
    runProgramMenuEntry(*services_, slot, index, [this, slot] { startRename(slot); });
    refresh();
}

void BankScrollList::startRename(int slot)
{
    if (slot < firstRow() || slot >= firstRow() + visibleRows()) {
        scrollTo(slot);
    }
    const int spacing = std::max(services_->attributes().integer(item_, "spacing"), 1);
    const Rect over = Rect::ofSize(rect_.left, rect_.top + look_.vspace + (slot - firstRow()) * spacing, rect_.width(), spacing);
    editing_.start(*this, services_->attributes(), kNameEditor, rowText(slot),
                   [this, slot](DrawContext*, const std::string& text) {
                       if (services_ != nullptr) {
                           services_->renameProgram(slot, text);
                           refresh();
                       }
                   },
                   &over);
}

// ---- the bank menu --------------------------------------------------------------------------------

void BankNameMenu::refresh()
{
    if (services_ != nullptr) {
        name_ = services_->bankName();
    }
    setDirty(true);
}

MouseResponse BankNameMenu::mouse(DrawContext&, const MouseEvent& event)
{
    if ((event.buttons & kMouseLeft) == 0 || services_ == nullptr || frame() == nullptr) {
        return MouseResponse::kNotHandled;
    }
    banks_ = services_->presetBanks();
    if (banks_.empty()) {
        return MouseResponse::kHandled;
    }
    name_ = services_->bankName();
    std::vector<MenuItem> items;
    int current = -1;
    for (std::size_t i = 0; i < banks_.size(); ++i) {
        MenuItem item = MenuItem::entry(banks_[i]);
        item.checked = banks_[i] == name_;
        if (item.checked && current < 0) {
            current = static_cast<int>(i);
        }
        items.push_back(std::move(item));
    }
    const Point origin = parentOrigin();
    Ref<View> self = Ref<View>::share(this);
    frame()->openPopupMenu(std::move(items), Point{rect_.left + origin.h, rect_.bottom + origin.v},
                           [self, this](int index) { choose(index); }, current);
    return MouseResponse::kHandled;
}

void BankNameMenu::choose(int index)
{
    if (services_ == nullptr || index < 0 || index >= static_cast<int>(banks_.size())) {
        return;
    }
    services_->loadPresetBank(banks_[static_cast<std::size_t>(index)]);
    refresh();
}

}  // namespace pelko
