// The bank's controls that meet the preset library:
// - "BankScrollList": one row per bank slot with the program's name, the current one
//   highlighted. A click selects the program; a row dragged onto the preset browser is filed
//   there; a browser preset dropped on a row is loaded into that slot; the right button opens the
//   slot's menu (write, text and system-exclusive files, rename in place with "BankNameEditor",
//   clear, copy, paste, and the bank and program file dialogs).
// - "BankNameMenu": the name of the loaded bank; a press lists the bank files of the presets
//   folder (the loaded one checked) and choosing one loads it.
#pragma once

#include "editor/controls/name_displays.h"
#include "editor/controls/scroll_list.h"
#include "editor/controls/text_editing.h"
#include "editor/toolkit/popup_menu.h"

namespace pelko {

class BankScrollList final : public ScrollList {
public:
    BankScrollList(ControlListener* listener, int tag) : ScrollList(listener, tag) {}

    int rowCount() const override { return static_cast<int>(names_.size()); }
    std::string rowText(int row) const override;
    int highlightedRow() const override { return current_; }
    bool drop(DrawContext& context, const std::vector<std::string>& items, Point where) override;

    // The slot menu's entries, and what choosing entry `index` (separator not counted) does.
    std::vector<MenuItem> menuFor(int slot) const;
    void choose(int slot, int index);
    TextEditing& editing() { return editing_; }

protected:
    ~BankScrollList() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void refresh() override;
    void rowSelected(int row) override;
    void rowDragStarted(int row) override { dragged_ = row; }
    void rowDropped(int row, Point where) override;
    void rowMenu(int row, Point where) override;

private:
    void startRename(int slot);

    std::vector<std::string> names_;
    int current_ = -1;
    int dragged_ = -1;
    TextEditing editing_;
};

class BankNameMenu final : public NameDisplay {
public:
    BankNameMenu(ControlListener* listener, int tag) : NameDisplay(listener, tag) {}

    std::string name() const override { return name_; }
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    // Loads bank `index` of the listing made when the menu opened.
    void choose(int index);
    const std::vector<std::string>& banks() const { return banks_; }

protected:
    ~BankNameMenu() override = default;
    void refresh() override;

private:
    std::vector<std::string> banks_;
    std::string name_;
};

}  // namespace pelko
