#include "library/preset_browser.h"

#include "library/library_questions.h"

#include <algorithm>
#include <cstdio>

namespace pelko {
namespace {

constexpr const char* kNewCategoryName = "(new category)";

const LibraryRow kTopLevel{-1, {}, -1, 0};

}  // namespace

int PresetBrowser::rowCount() const
{
    return static_cast<int>(categories_.size() + presets_.size()) + (hasUpRow() ? 1 : 0);
}

int PresetBrowser::entryIndex(int row) const
{
    const int entry = hasUpRow() ? row - 1 : row;
    const int entries = static_cast<int>(categories_.size() + presets_.size());
    return row >= 0 && entry >= 0 && entry < entries ? entry : -1;
}

PresetBrowser::RowKind PresetBrowser::rowKind(int row) const
{
    if (hasUpRow() && row == 0) {
        return RowKind::up;
    }
    const int entry = entryIndex(row);
    if (entry < 0) {
        return RowKind::none;
    }
    return entry < static_cast<int>(categories_.size()) ? RowKind::category : RowKind::preset;
}

const LibraryRow* PresetBrowser::rowEntry(int row) const
{
    const int entry = entryIndex(row);
    if (entry < 0) {
        return nullptr;
    }
    const auto categories = static_cast<int>(categories_.size());
    return entry < categories ? &categories_[static_cast<std::size_t>(entry)]
                              : &presets_[static_cast<std::size_t>(entry - categories)];
}

std::string PresetBrowser::rowText(int row) const
{
    switch (rowKind(row)) {
    case RowKind::up:
        return std::string(1, row_marker::kUp) + "(" + current_.name + ")";
    case RowKind::category: {
        const LibraryRow& category = *rowEntry(row);
        // At least three digits; a damaged negative count shows as 0.
        char digits[16];
        std::snprintf(digits, sizeof(digits), "%03d", std::max(category.count, 0));
        return std::string(1, row_marker::kCount) + digits + row_marker::kFolder + category.name;
    }
    case RowKind::preset:
        return rowEntry(row)->name;
    case RowKind::none:
        break;
    }
    return {};
}

bool PresetBrowser::readFolder(const LibraryRow& category, LibraryRows& categories, LibraryRows& presets)
{
    return library_ != nullptr && library_->listSubcategories(category.id, categories) &&
           library_->listPresetsInCategory(category.id, presets);
}

bool PresetBrowser::reload()
{
    LibraryRows categories;
    LibraryRows presets;
    // The shown category's count and name may have changed since it was entered.
    LibraryRow current = current_;
    if (library_ == nullptr || (current.id != -1 && !library_->getCategory(current.id, current)) ||
        !readFolder(current, categories, presets)) {
        return false;
    }
    mode_ = Mode::folder;
    current_ = std::move(current);
    categories_ = std::move(categories);
    presets_ = std::move(presets);
    selected_ = -1;
    return true;
}

bool PresetBrowser::search(const std::string& keyword)
{
    LibraryRows found;
    if (library_ == nullptr || !library_->searchPresets(keyword, found)) {
        return false;
    }
    std::erase_if(found, [](const LibraryRow& row) { return row.name.empty(); });
    mode_ = Mode::keyword;
    keyword_ = keyword;
    current_ = kTopLevel;
    categories_.clear();
    presets_ = std::move(found);
    selected_ = -1;
    return true;
}

bool PresetBrowser::showFolders()
{
    const Mode before = mode_;
    mode_ = Mode::folder;
    if (!reload()) {
        mode_ = before;
        return false;
    }
    return true;
}

bool PresetBrowser::rebuild() { return mode_ == Mode::keyword ? search(keyword_) : reload(); }

bool PresetBrowser::refresh() { return rebuild(); }

int PresetBrowser::open(int row)
{
    switch (rowKind(row)) {
    case RowKind::up: {
        LibraryRow parent = kTopLevel;
        if (current_.link != -1 && (library_ == nullptr || !library_->getCategory(current_.link, parent))) {
            return -1;
        }
        const LibraryRow before = current_;
        current_ = parent;
        if (!reload()) {
            current_ = before;
        }
        return -1;
    }
    case RowKind::category: {
        const LibraryRow before = current_;
        current_ = *rowEntry(row);
        if (!reload()) {
            current_ = before;
        }
        return -1;
    }
    case RowKind::preset:
        selected_ = row;
        return rowEntry(row)->id;
    case RowKind::none:
        break;
    }
    return -1;
}

int PresetBrowser::dropTarget(int row) const
{
    switch (rowKind(row)) {
    case RowKind::up: return current_.link;
    case RowKind::category: return rowEntry(row)->id;
    case RowKind::preset: return current_.id;
    case RowKind::none: break;
    }
    return kNoCategory;
}

bool PresetBrowser::movePreset(int from, int to)
{
    if (from == to || rowKind(from) != RowKind::preset || library_ == nullptr) {
        return false;
    }
    const int target = dropTarget(to);
    if (target == kNoCategory) {
        return false;
    }
    const LibraryRow& preset = *rowEntry(from);
    if (!library_->movePreset(preset.id, target, preset.link)) {
        return false;
    }
    rebuild();
    return true;
}

bool PresetBrowser::afterFiling(bool filed)
{
    return filed && rebuild();
}

PresetBrowser::MenuRules PresetBrowser::menuRules(int row) const
{
    const RowKind kind = rowKind(row);
    MenuRules rules;
    rules.newCategory = mode_ == Mode::folder;
    rules.rename = mode_ == Mode::folder && kind == RowKind::category;
    rules.remove = kind == RowKind::category || kind == RowKind::preset;
    return rules;
}

bool PresetBrowser::newCategory()
{
    if (mode_ != Mode::folder || library_ == nullptr || !library_->addCategory(kNewCategoryName, current_.id)) {
        return false;
    }
    reload();
    return true;
}

bool PresetBrowser::renameCategory(int row, const std::string& name)
{
    if (!menuRules(row).rename || library_ == nullptr || !library_->renameCategory(rowEntry(row)->id, name)) {
        return false;
    }
    reload();
    return true;
}

bool PresetBrowser::remove(int row)
{
    if (!menuRules(row).remove || library_ == nullptr) {
        return false;
    }
    const LibraryRow entry = *rowEntry(row);
    const bool done = rowKind(row) == RowKind::category ? deleteCategory(*library_, entry.id)
                                                        : library_->deletePreset(entry.id, entry.link);
    if (!done) {
        return false;
    }
    rebuild();
    return true;
}

}  // namespace pelko
