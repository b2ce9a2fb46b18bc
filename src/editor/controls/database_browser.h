// "DatabaseBrowser": the preset library as a scroll list (library/preset_browser.h decides the
// rows). A click opens a category or loads a preset into the edited program; a preset dragged
// onto a row moves it there; a bank-list program dropped on a row is filed there; the right
// button opens the row's menu (mode switch, new category, rename, delete). Empty categories are
// drawn in "fontEmptyCategory" when the skin gives one.
//
// Keyword mode opens a text editor ("PresetNameEditor") across the middle of the list: the
// search runs once typing has paused (checked at the editor's idle), Return runs it at once, and
// Escape goes back to the folders. Renaming a category opens the same editor over its row.
#pragma once

#include "editor/controls/scroll_list.h"
#include "editor/controls/text_editing.h"
#include "editor/toolkit/popup_menu.h"
#include "library/preset_browser.h"

#include <chrono>

namespace pelko {

class DatabaseBrowser final : public ScrollList {
public:
    // How long typing must pause before the list follows the keyword.
    static constexpr std::chrono::milliseconds kTypingPause{120};

    DatabaseBrowser(ControlListener* listener, int tag) : ScrollList(listener, tag) {}

    int rowCount() const override { return browser_.rowCount(); }
    std::string rowText(int row) const override { return browser_.rowText(row); }
    int highlightedRow() const override { return browser_.selectedRow(); }
    const BitmapFont* rowFont(int row) const override;
    bool drop(DrawContext& context, const std::vector<std::string>& items, Point where) override;
    int handleMessage(const Notification& record) override;
    // Escape in keyword mode (once the keyword editor has closed, the list keeps the keys).
    int keyDown(int key) override;

    PresetBrowser& browser() { return browser_; }
    TextEditing& editing() { return editing_; }
    // The context menu for a row (-1: none), and what choosing entry `index` of it does.
    std::vector<MenuItem> menuFor(int row) const;
    void choose(int row, int index);

protected:
    ~DatabaseBrowser() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    void refresh() override;
    void rowSelected(int row) override;
    void rowDragStarted(int row) override;
    void rowDropped(int row, Point where) override;
    void rowMenu(int row, Point where) override;

private:
    void startKeyword();
    void startRename(int row);
    void searchTyped();
    // After the rows changed: back to the top, drawn again.
    void shown();
    void backToFolders();

    PresetBrowser browser_;
    Ref<BitmapFont> emptyFont_;
    TextEditing editing_;
    int dragged_ = -1;
    std::string typed_;
    bool typingPending_ = false;
    std::chrono::steady_clock::time_point typedAt_{};
};

}  // namespace pelko
