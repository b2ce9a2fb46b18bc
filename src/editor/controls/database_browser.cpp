#include "editor/controls/database_browser.h"

#include "editor/controls/drag_items.h"
#include "editor/toolkit/frame.h"

namespace pelko {
namespace {

constexpr const char* kKeywordEditor = "PresetNameEditor";

enum MenuEntry { kModeEntry, kNewCategoryEntry, kRenameEntry, kDeleteEntry };

MenuItem entry(const char* text, bool enabled)
{
    MenuItem item = MenuItem::entry(text);
    item.enabled = enabled;
    return item;
}

}  // namespace

void DatabaseBrowser::configure(SkinAttributes& attributes, const std::string& item)
{
    ScrollList::configure(attributes, item);
    emptyFont_ = attributes.bitmapFont(item, "fontEmptyCategory");
    browser_.setLibrary(services_ != nullptr ? services_->presetLibrary() : nullptr);
}

const BitmapFont* DatabaseBrowser::rowFont(int row) const
{
    if (emptyFont_ && browser_.rowKind(row) == PresetBrowser::RowKind::category && browser_.rowEntry(row)->count == 0) {
        return emptyFont_.get();
    }
    return ScrollList::rowFont(row);
}

void DatabaseBrowser::shown()
{
    scrollTo(0);
    setDirty(true);
}

void DatabaseBrowser::refresh()
{
    // Without a library (no setup folder) the editor opens quietly; the user's own actions
    // still report it.
    PresetDatabase* library = services_ != nullptr ? services_->presetLibrary() : nullptr;
    if (library == nullptr || !library->isOpen()) {
        return;
    }
    if (browser_.refresh()) {
        // The rows may be fewer now: keep the first shown row within them.
        scrollTo(firstRow());
    }
    setDirty(true);
}

void DatabaseBrowser::rowSelected(int row)
{
    const PresetBrowser::RowKind kind = browser_.rowKind(row);
    const int preset = browser_.open(row);
    if (preset >= 0 && services_ != nullptr) {
        services_->loadPreset(preset, services_->currentProgram());
    } else if (kind == PresetBrowser::RowKind::up || kind == PresetBrowser::RowKind::category) {
        shown();
    }
}

void DatabaseBrowser::rowDragStarted(int row)
{
    dragged_ = browser_.rowKind(row) == PresetBrowser::RowKind::preset ? row : -1;
}

void DatabaseBrowser::rowDropped(int row, Point where)
{
    // The view under the pointer (this list, the bank list or none) takes the preset.
    // The rows may have been read again during the drag: only a preset row is dragged.
    if (dragged_ == row && browser_.rowKind(row) == PresetBrowser::RowKind::preset && frame() != nullptr) {
        frame()->dropFiles({drag_item::preset(browser_.rowEntry(row)->id)}, where);
    }
    dragged_ = -1;
}

bool DatabaseBrowser::drop(DrawContext& context, const std::vector<std::string>& items, Point where)
{
    const int target = rowAt(where);
    if (const std::optional<int> preset = drag_item::parse(items, drag_item::kPreset)) {
        // A preset of this list: moved into the row's category.
        const LibraryRow* source = dragged_ >= 0 ? browser_.rowEntry(dragged_) : nullptr;
        if (source == nullptr || source->id != *preset) {
            return false;
        }
        if (browser_.movePreset(dragged_, target)) {
            setDirty(true);
            draw(context);
        }
        return true;
    }
    if (const std::optional<int> slot = drag_item::parse(items, drag_item::kProgram)) {
        const int category = browser_.dropTarget(target);
        if (category != PresetBrowser::kNoCategory && services_ != nullptr &&
            browser_.afterFiling(services_->fileProgram(*slot, category))) {
            setDirty(true);
            draw(context);
        }
        return true;
    }
    return false;
}

std::vector<MenuItem> DatabaseBrowser::menuFor(int row) const
{
    const PresetBrowser::MenuRules rules = browser_.menuRules(row);
    return {
        entry(browser_.mode() == PresetBrowser::Mode::folder ? "Keyword mode" : "Folder mode", true),
        entry("New Category", rules.newCategory),
        entry("Rename", rules.rename),
        entry("Delete", rules.remove),
    };
}

void DatabaseBrowser::rowMenu(int row, Point where)
{
    if (frame() == nullptr) {
        return;
    }
    // The menu's answer comes later, from the frame; the list is kept alive until then.
    Ref<View> self = Ref<View>::share(this);
    frame()->openPopupMenu(menuFor(row), where, [self, this, row](int index) { choose(row, index); });
}

void DatabaseBrowser::choose(int row, int index)
{
    const PresetBrowser::MenuRules rules = browser_.menuRules(row);
    switch (index) {
    case kModeEntry:
        if (browser_.mode() == PresetBrowser::Mode::folder) {
            startKeyword();
        } else {
            backToFolders();
        }
        break;
    case kNewCategoryEntry:
        if (rules.newCategory && browser_.newCategory()) {
            setDirty(true);
        }
        break;
    case kRenameEntry:
        if (rules.rename) {
            startRename(row);
        }
        break;
    case kDeleteEntry:
        if (rules.remove && browser_.remove(row)) {
            scrollTo(firstRow());
            setDirty(true);
        }
        break;
    default:
        break;
    }
}

void DatabaseBrowser::startKeyword()
{
    if (services_ == nullptr) {
        return;
    }
    // Keyword mode starts at once with the last keyword's presets; the editor refines them.
    if (!browser_.search(browser_.keyword())) {
        return;
    }
    shown();
    const int height = std::max(services_->attributes().integer(kKeywordEditor, "height"), 14);
    const Rect across = Rect::ofSize(rect_.left, rect_.top + (rect_.height() - height) / 2, rect_.width(), height);
    TextEditing::Watch watch;
    watch.typed = [this](const std::string& text) {
        typed_ = text;
        typingPending_ = true;
        typedAt_ = std::chrono::steady_clock::now();
        if (services_ != nullptr) {
            services_->requestIdle(*this);
        }
    };
    watch.escaped = [this] { backToFolders(); };
    editing_.start(*this, services_->attributes(), kKeywordEditor, browser_.keyword(),
                   [this](DrawContext*, const std::string& text) {
                       typingPending_ = false;
                       if (browser_.search(text)) {
                           shown();
                       }
                       // Escape still returns to the folders once the editor has gone.
                       if (frame() != nullptr && frame()->focusView() == nullptr) {
                           frame()->setFocusView(this);
                       }
                   },
                   &across, std::move(watch));
}

void DatabaseBrowser::backToFolders()
{
    typingPending_ = false;
    editing_.cancel();
    if (frame() != nullptr && frame()->focusView() == this) {
        frame()->setFocusView(nullptr);
    }
    if (browser_.showFolders()) {
        shown();
    }
}

int DatabaseBrowser::keyDown(int key)
{
    if (key == kKeyEscape && browser_.mode() == PresetBrowser::Mode::keyword) {
        backToFolders();
        return 1;
    }
    return -1;
}

void DatabaseBrowser::startRename(int row)
{
    if (services_ == nullptr || row < firstRow() || row >= firstRow() + visibleRows()) {
        return;
    }
    const int categoryId = browser_.rowEntry(row)->id;
    const int spacing = std::max(services_->attributes().integer(item_, "spacing"), 1);
    const Rect over = Rect::ofSize(rect_.left, rect_.top + look_.vspace + (row - firstRow()) * spacing, rect_.width(), spacing);
    editing_.start(*this, services_->attributes(), kKeywordEditor, browser_.rowEntry(row)->name,
                   [this, row, categoryId](DrawContext*, const std::string& text) {
                       // The rows may have changed while the editor was open.
                       const LibraryRow* still = browser_.rowEntry(row);
                       if (still != nullptr && still->id == categoryId && browser_.renameCategory(row, text)) {
                           setDirty(true);
                       }
                   },
                   &over);
}

void DatabaseBrowser::searchTyped()
{
    if (!typingPending_ || !editing_.editing()) {
        typingPending_ = false;
        return;
    }
    if (std::chrono::steady_clock::now() - typedAt_ < kTypingPause) {
        if (services_ != nullptr) {
            services_->requestIdle(*this);
        }
        return;
    }
    typingPending_ = false;
    if (browser_.search(typed_)) {
        shown();
        invalidate();
    }
}

int DatabaseBrowser::handleMessage(const Notification& record)
{
    if (messageKind(record) == ControlMessage::kIdle) {
        searchTyped();
        return 1;
    }
    return ScrollList::handleMessage(record);
}

}  // namespace pelko
