#include "editor/toolkit/popup_menu.h"

#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/image_decoding.h"
#include "editor/toolkit/offscreen.h"
#include "platform/native_window.h"

#include <algorithm>
#include <cstdlib>

namespace pelko {
namespace {

constexpr int kFontIndex = 3;  // 12 px, normal weight
constexpr int kRowHeight = 18;
constexpr int kSeparatorHeight = 7;
constexpr int kArrowSpace = 16;
constexpr Colour kPanelColour{240, 240, 240, 0};
constexpr Colour kHighlightColour{51, 102, 204, 0};
constexpr Colour kDisabledColour{150, 150, 150, 0};

// Number of selectable entries in a list and its submenus.
int countLeaves(const std::vector<MenuItem>& items)
{
    int count = 0;
    for (const MenuItem& item : items) {
        if (item.separator) {
            continue;
        }
        count += item.children.empty() ? 1 : countLeaves(item.children);
    }
    return count;
}

// A panel moved so that it lies on the screen where it can: up when it reaches past the bottom,
// left when past the right edge (a submenu to the other side of the panel it opens from).
Rect keptOnScreen(Rect area, const Rect& screen, const Rect* from)
{
    int width = area.width();
    int height = area.height();
    int left = area.left;
    int top = area.top;
    if (area.right > screen.right) {
        left = from != nullptr ? from->left + 2 - width : screen.right - width;
    }
    if (area.bottom > screen.bottom) {
        top = screen.bottom - height;
    }
    left = std::max(left, screen.left);
    top = std::max(top, screen.top);
    return Rect::ofSize(left, top, width, height);
}

}  // namespace

struct PopupMenu::Panel {
    const std::vector<MenuItem>* items = nullptr;
    std::vector<int> rowTop;     // per item
    std::vector<int> rowIndex;   // the index reported for a leaf, or the first index of a submenu
    Rect area;
    int highlighted = -1;
    int nativeId = 0;
    std::unique_ptr<Offscreen> surface;
};

PopupMenu::PopupMenu(std::vector<MenuItem> items, Point where, Chosen chosen, NativeWindow* window, int preselected,
                     int scale)
    : items_(std::move(items)), chosen_(std::move(chosen)), window_(window), opened_(where), scale_(scale)
{
    if (items_.empty()) {
        return;
    }
    openPanel(items_, where, 0);
    // The preselected entry starts highlighted, inside its submenus (which open) when it sits in one.
    for (std::size_t depth = 0; preselected >= 0 && depth < panels_.size(); ++depth) {
        Panel& panel = *panels_[depth];
        int found = -1;
        for (std::size_t i = 0; i < panel.items->size() && found < 0; ++i) {
            const MenuItem& item = (*panel.items)[i];
            int leaves = item.children.empty() ? 1 : countLeaves(item.children);
            if (!item.separator && preselected >= panel.rowIndex[i] && preselected < panel.rowIndex[i] + leaves) {
                found = static_cast<int>(i);
            }
        }
        if (found < 0) {
            break;
        }
        highlight(depth, found);
        if ((*panel.items)[static_cast<std::size_t>(found)].children.empty()) {
            break;
        }
    }
}

PopupMenu::~PopupMenu()
{
    closeFrom(0);
}

void PopupMenu::openPanel(const std::vector<MenuItem>& items, Point where, int indexBase, const Rect* from)
{
    auto panel = std::make_unique<Panel>();
    panel->items = &items;
    int width = 60;
    int y = 2;
    int index = indexBase;
    {
        Offscreen measure(1, 1, colours::kWhite, scale_);
        DrawContext context(measure);
        context.setFont(kFontIndex);
        for (const MenuItem& item : items) {
            panel->rowTop.push_back(y);
            panel->rowIndex.push_back(index);
            if (item.separator) {
                y += kSeparatorHeight;
                continue;
            }
            width = std::max(width, context.stringWidth(item.text) + 2 * kMargin + 2 * kArrowSpace);
            y += kRowHeight;
            index += item.children.empty() ? 1 : countLeaves(item.children);
        }
    }
    width = std::min(width, 1024);
    panel->area = Rect::ofSize(where.h, where.v, width, std::min(y + 2, kMaxImageDimension));
    if (window_ != nullptr) {
        WindowArea s = window_->screenArea();
        panel->area = keptOnScreen(panel->area, Rect::ofSize(s.x, s.y, s.width, s.height), from);
    }
    panel->surface = std::make_unique<Offscreen>(panel->area.width(), panel->area.height(), kPanelColour, scale_);
    if (window_ != nullptr) {
        panel->nativeId = window_->openPopup(
            WindowArea{panel->area.left, panel->area.top, panel->area.width(), panel->area.height()});
    }
    panels_.push_back(std::move(panel));
    repaint(*panels_.back());
}

void PopupMenu::closeFrom(std::size_t depth)
{
    while (panels_.size() > depth) {
        if (window_ != nullptr && panels_.back()->nativeId != 0) {
            window_->closePopup(panels_.back()->nativeId);
        }
        panels_.pop_back();
    }
}

void PopupMenu::repaint(Panel& panel)
{
    Offscreen& surface = *panel.surface;
    if (!surface.valid()) {
        return;
    }
    {
        DrawContext context(surface);
        context.setFont(kFontIndex);
        Rect all{0, 0, surface.width(), surface.height()};
        context.setFillColour(kPanelColour);
        context.fillRect(all);
        context.setPenColour(colours::kGrey);
        context.frameRect(all);
        for (std::size_t i = 0; i < panel.items->size(); ++i) {
            const MenuItem& item = (*panel.items)[i];
            int top = panel.rowTop[i];
            if (item.separator) {
                context.setPenColour(colours::kGrey);
                context.moveTo(Point{4, top + kSeparatorHeight / 2});
                context.lineTo(Point{surface.width() - 4, top + kSeparatorHeight / 2});
                continue;
            }
            Rect row{2, top, surface.width() - 2, top + kRowHeight};
            bool lit = static_cast<int>(i) == panel.highlighted && item.enabled;
            if (lit) {
                context.setFillColour(kHighlightColour);
                context.fillRect(row);
            }
            Colour text = !item.enabled ? kDisabledColour : lit ? colours::kWhite : colours::kBlack;
            context.setFontColour(text);
            context.drawString(item.text, Rect{row.left + kArrowSpace, row.top, row.right - kArrowSpace, row.bottom});
            context.setPenColour(text);
            context.setFillColour(text);
            if (item.checked) {
                const Point tick[] = {{row.left + 4, top + 9}, {row.left + 7, top + 12}, {row.left + 12, top + 5}};
                context.polyline(tick);
            }
            if (!item.children.empty()) {
                const Point arrow[] = {{row.right - 10, top + 5}, {row.right - 10, top + 13}, {row.right - 6, top + 9}};
                context.polygon(arrow);
            }
        }
    }
    if (window_ != nullptr && panel.nativeId != 0) {
        window_->presentPopup(panel.nativeId, surface.pixels(), surface.stride(), surface.pixelWidth(),
                              surface.pixelHeight());
    }
}

void PopupMenu::present()
{
    for (auto& panel : panels_) {
        repaint(*panel);
    }
}

std::pair<int, int> PopupMenu::rowAt(Point where) const
{
    for (int depth = static_cast<int>(panels_.size()) - 1; depth >= 0; --depth) {
        const Panel& panel = *panels_[static_cast<std::size_t>(depth)];
        if (!panel.area.contains(where)) {
            continue;
        }
        int y = where.v - panel.area.top;
        for (std::size_t i = 0; i < panel.items->size(); ++i) {
            int height = (*panel.items)[i].separator ? kSeparatorHeight : kRowHeight;
            if (y >= panel.rowTop[i] && y < panel.rowTop[i] + height) {
                return {depth, (*panel.items)[i].separator ? -1 : static_cast<int>(i)};
            }
        }
        return {depth, -1};
    }
    return {-1, -1};
}

void PopupMenu::highlight(std::size_t depth, int row)
{
    if (depth >= panels_.size()) {
        return;
    }
    Panel& panel = *panels_[depth];
    if (panel.highlighted == row && panels_.size() > depth + 1) {
        return;
    }
    // Moving within a panel closes what was opened from it.
    closeFrom(depth + 1);
    if (panel.highlighted != row) {
        panel.highlighted = row;
        repaint(panel);
    }
    if (row < 0) {
        return;
    }
    const MenuItem& item = (*panel.items)[static_cast<std::size_t>(row)];
    if (!item.children.empty() && item.enabled) {
        Point at{panel.area.right - 2, panel.area.top + panel.rowTop[static_cast<std::size_t>(row)] - 2};
        openPanel(item.children, at, panel.rowIndex[static_cast<std::size_t>(row)], &panel.area);
    }
}

void PopupMenu::choose(int index)
{
    Chosen chosen = std::move(chosen_);
    chosen_ = nullptr;
    closeFrom(0);
    if (chosen) {
        chosen(index);
    }
}

void PopupMenu::cancel()
{
    if (open()) {
        choose(-1);
    }
}

bool PopupMenu::press(Point where, int)
{
    auto [depth, row] = rowAt(where);
    if (depth < 0) {
        // A click outside every panel closes the menu; the click goes nowhere else.
        cancel();
        return false;
    }
    pressedInside_ = true;
    if (row >= 0) {
        highlight(static_cast<std::size_t>(depth), row);
    }
    return true;
}

bool PopupMenu::move(Point where)
{
    if (std::abs(where.h - opened_.h) > 2 || std::abs(where.v - opened_.v) > 2) {
        moved_ = true;
    }
    auto [depth, row] = rowAt(where);
    if (depth >= 0) {
        highlight(static_cast<std::size_t>(depth), row);
    }
    return open();
}

bool PopupMenu::release(Point where)
{
    auto [depth, row] = rowAt(where);
    // The release of the press that opened the menu chooses only after the pointer went somewhere.
    if (depth < 0 || row < 0 || (!moved_ && !pressedInside_)) {
        return open();
    }
    const Panel& panel = *panels_[static_cast<std::size_t>(depth)];
    const MenuItem& item = (*panel.items)[static_cast<std::size_t>(row)];
    if (item.enabled && item.children.empty()) {
        choose(panel.rowIndex[static_cast<std::size_t>(row)]);
    }
    return open();
}

bool PopupMenu::key(int key)
{
    if (panels_.empty()) {
        return false;
    }
    std::size_t depth = panels_.size() - 1;
    Panel& panel = *panels_[depth];
    int count = static_cast<int>(panel.items->size());
    auto step = [&](int direction) {
        int row = panel.highlighted;
        for (int tries = 0; tries < count; ++tries) {
            row = (row + direction + count) % count;
            const MenuItem& item = (*panel.items)[static_cast<std::size_t>(row)];
            if (!item.separator && item.enabled) {
                // A submenu opens only on Right or Return.
                panel.highlighted = row;
                repaint(panel);
                return;
            }
        }
    };
    switch (key) {
    case kKeyEscape:
        cancel();
        break;
    case kKeyDown:
        step(1);
        break;
    case kKeyUp:
        step(-1);
        break;
    case kKeyLeft:
        if (depth > 0) {
            closeFrom(depth);
        }
        break;
    case kKeyRight:
    case kKeyReturn:
        if (panel.highlighted >= 0) {
            const MenuItem& item = (*panel.items)[static_cast<std::size_t>(panel.highlighted)];
            if (!item.children.empty()) {
                int row = panel.highlighted;
                panel.highlighted = -1;
                highlight(depth, row);
                if (panels_.size() > depth + 1) {
                    Panel& sub = *panels_[depth + 1];
                    for (std::size_t i = 0; i < sub.items->size(); ++i) {
                        if (!(*sub.items)[i].separator && (*sub.items)[i].enabled) {
                            sub.highlighted = static_cast<int>(i);
                            repaint(sub);
                            break;
                        }
                    }
                }
            } else if (key == kKeyReturn && item.enabled) {
                choose(panel.rowIndex[static_cast<std::size_t>(panel.highlighted)]);
            }
        }
        break;
    default:
        break;
    }
    return open();
}

std::vector<Rect> PopupMenu::panelAreas() const
{
    std::vector<Rect> areas;
    for (const auto& panel : panels_) {
        areas.push_back(panel->area);
    }
    return areas;
}

void PopupMenu::drawOver(DrawContext& context) const
{
    for (const auto& panel : panels_) {
        panel->surface->copyTo(context, panel->area);
    }
}

int PopupMenu::indexOf(const std::vector<int>& path) const
{
    const std::vector<MenuItem>* items = &items_;
    int index = 0;
    for (std::size_t level = 0; level < path.size(); ++level) {
        int position = path[level];
        if (position < 0 || position >= static_cast<int>(items->size())) {
            return -1;
        }
        for (int i = 0; i < position; ++i) {
            const MenuItem& before = (*items)[static_cast<std::size_t>(i)];
            if (!before.separator) {
                index += before.children.empty() ? 1 : countLeaves(before.children);
            }
        }
        const MenuItem& item = (*items)[static_cast<std::size_t>(position)];
        if (item.separator) {
            return -1;
        }
        if (item.children.empty()) {
            return level + 1 == path.size() ? index : -1;
        }
        items = &item.children;
    }
    return -1;
}

}  // namespace pelko
