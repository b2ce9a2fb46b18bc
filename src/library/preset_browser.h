// What the preset browser shows and does, apart from drawing: the category being shown (or the
// presets a keyword found), the rows of that view with their texts, what a row stands for, and
// the user's actions on rows (open, move a preset, new, rename and delete). Every view change
// reads its rows from the library again; nothing is cached between views, and a failed read
// leaves the rows shown before in place.
//
// Folder view, from the top: an "up" row (0x81, "(", the category's name, ")") unless the top
// level is shown; one row per subcategory (0x01, the count as at least three digits, 0x82, the name);
// one row per preset (its name). Keyword view: one row per preset found that has a name.
//
// User-interface thread only (deleting a category asks the user).
#pragma once

#include "library/preset_database.h"

#include <string>

namespace pelko {

// The marker bytes of the row texts; the list control draws them as symbols.
namespace row_marker {
constexpr char kCount = '\x01';   // followed by the digits of a category's count and kFolder
constexpr char kUp = '\x81';      // the row that goes back to the parent category
constexpr char kFolder = '\x82';  // a category
}  // namespace row_marker

class PresetBrowser {
public:
    enum class Mode { folder, keyword };
    enum class RowKind { none, up, category, preset };
    // Which entries the context menu offers for a row.
    struct MenuRules {
        bool newCategory = false;
        bool rename = false;
        bool remove = false;
    };
    static constexpr int kNoCategory = -2;  // a drop target outside the rows

    explicit PresetBrowser(PresetDatabase* library = nullptr) : library_(library) {}

    void setLibrary(PresetDatabase* library) { library_ = library; }
    Mode mode() const { return mode_; }
    const LibraryRow& currentCategory() const { return current_; }
    const std::string& keyword() const { return keyword_; }
    int selectedRow() const { return selected_; }

    int rowCount() const;
    std::string rowText(int row) const;
    RowKind rowKind(int row) const;
    // The category or preset behind a row (none for the up row and outside).
    const LibraryRow* rowEntry(int row) const;

    // Shows the folder view of the current category (folder mode). False, rows kept, on failure.
    bool reload();
    // Keyword mode with the presets found for the keyword; the shown category goes back to the
    // top level. False, rows kept, on failure.
    bool search(const std::string& keyword);
    // Back to folder mode at the current category.
    bool showFolders();
    // What the refresh notification does: the same search again, or the folder view again.
    bool refresh();

    // A click: the up row shows the parent, a category row that category; a preset row becomes
    // the selected row and its preset id is returned for loading. -1 when nothing is to load.
    int open(int row);
    // The category a drop on the row files into: the parent for the up row, the category for a
    // category row, the shown category for a preset row (and in keyword mode, the top level).
    int dropTarget(int row) const;
    // Moves the preset of row `from` into the drop target of row `to`; nothing happens when both
    // are the same row, or outside the rows. True when the preset moved.
    bool movePreset(int from, int to);
    // True when the target was valid and the view reloaded after `filed` succeeded.
    bool afterFiling(bool filed);

    MenuRules menuRules(int row) const;
    // "(new category)" inside the shown category, then the view again.
    bool newCategory();
    bool renameCategory(int row, const std::string& name);
    // Deletes the category (asking what becomes of its contents) or the preset of the row, then
    // shows the view again (the search runs again in keyword mode).
    bool remove(int row);

private:
    bool readFolder(const LibraryRow& category, LibraryRows& categories, LibraryRows& presets);
    bool hasUpRow() const { return mode_ == Mode::folder && current_.id != -1; }
    // The entry index a row refers to (rows below the up row), or -1.
    int entryIndex(int row) const;
    bool rebuild();

    PresetDatabase* library_;
    Mode mode_ = Mode::folder;
    LibraryRow current_{-1, {}, -1, 0};
    std::string keyword_;
    LibraryRows categories_;
    LibraryRows presets_;
    int selected_ = -1;
};

}  // namespace pelko
