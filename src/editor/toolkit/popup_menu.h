// Popup menus drawn by the toolkit: a list of text entries (with submenus, separators, checked and
// disabled entries) opened at a point of the frame. A chosen entry is reported by its index among
// all the menu's selectable entries in depth-first order; closing without a choice reports -1.
//
// With a window the panels are override-redirect windows and the frame holds the pointer and
// keyboard while they are open; without one (headless rendering) they are drawn over the frame.
// A menu closes on a choice, a click outside its panels, Escape, or when its frame closes.
// Panels stay on the screen: one that would reach past the bottom moves up, past the right edge
// moves left (a submenu then opens on the left of its parent).
#pragma once

#include "editor/toolkit/geometry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelko {

class DrawContext;
class NativeWindow;
class Offscreen;

struct MenuItem {
    std::string text;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    std::vector<MenuItem> children;  // a submenu when not empty

    static MenuItem entry(std::string text)
    {
        MenuItem item;
        item.text = std::move(text);
        return item;
    }
    static MenuItem submenu(std::string text, std::vector<MenuItem> children)
    {
        MenuItem item;
        item.text = std::move(text);
        item.children = std::move(children);
        return item;
    }
    static MenuItem line()
    {
        MenuItem item;
        item.separator = true;
        return item;
    }
};

class PopupMenu {
public:
    using Chosen = std::function<void(int index)>;

    // Opens the panel of the top level at where (frame coordinates); the entry with index
    // preselected (if any) starts highlighted. window may be none. The panels are drawn at the
    // scale given (the frame's), in the frame's units.
    PopupMenu(std::vector<MenuItem> items, Point where, Chosen chosen, NativeWindow* window, int preselected = -1,
              int scale = 1);
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Input in frame coordinates. Each returns whether the menu is still open.
    bool press(Point where, int buttons);
    bool move(Point where);
    bool release(Point where);
    bool key(int key);
    // Closes without a choice.
    void cancel();
    bool open() const { return !panels_.empty(); }

    // The panels' areas in frame coordinates, top level first.
    std::vector<Rect> panelAreas() const;
    // Draws the panels over a context in frame coordinates (headless use).
    void drawOver(DrawContext& context) const;
    // Presents the panels to their windows again (after an expose).
    void present();

    // The index reported for the item at this path of positions (for tests and callers).
    int indexOf(const std::vector<int>& path) const;

    static constexpr int kMargin = 6;

private:
    struct Panel;
    // A submenu's panel opens beside its parent's panel (from); the top level's at where.
    void openPanel(const std::vector<MenuItem>& items, Point where, int indexBase, const Rect* from = nullptr);
    void closeFrom(std::size_t depth);
    void choose(int index);
    void repaint(Panel& panel);
    // The panel and row under a point; panel -1 when none.
    std::pair<int, int> rowAt(Point where) const;
    void highlight(std::size_t depth, int row);

    std::vector<MenuItem> items_;
    Chosen chosen_;
    NativeWindow* window_;
    std::vector<std::unique_ptr<Panel>> panels_;
    Point opened_{};
    int scale_ = 1;
    bool moved_ = false;
    bool pressedInside_ = false;
};

}  // namespace pelko
