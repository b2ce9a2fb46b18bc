// A view holding views: its children are drawn after its background in the order they were
// added, and a press goes to the first child (in that order) that is mouse-enabled and whose hit
// test accepts it. Children's rectangles are in the container's coordinates. A container can
// draw through an offscreen surface of its own (no flicker of overlapping children).
#pragma once

#include "editor/toolkit/view.h"

#include <memory>
#include <vector>

namespace pelko {

class Offscreen;

class Container : public View {
public:
    explicit Container(const Rect& rect);

    // Adds a view, taking over the caller's reference; sets its frame and parent and calls attached.
    void addView(View* view);
    // Removes a view: calls removed and, unless retained, releases the container's reference.
    bool removeView(View* view, bool release = true);
    void removeAll(bool release = true);
    bool isChild(const View* view) const;
    const std::vector<View*>& views() const { return children_; }

    void setOffscreenMode(bool on);
    bool offscreenMode() const { return offscreen_; }

    // Sends the record to every child in list order; returns the last non-zero answer.
    int notifyChildren(std::uint32_t key, const Notification& record);

    void draw(DrawContext& context) override;
    void drawRect(DrawContext& context, const Rect& area) override;
    MouseResponse mouse(DrawContext& context, const MouseEvent& event) override;
    void update(DrawContext& context) override;
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;
    bool drop(DrawContext& context, const std::vector<std::string>& items, Point where) override;
    void setFrame(Frame* frame) override;
    void setDirty(bool dirty = true) override;
    bool isDirty() const override;

    // The child under a point (container coordinates) that takes the mouse, or none.
    View* viewAt(Point where, int buttons) const;

protected:
    ~Container() override;
    // Draws the children whose rectangles meet the area (container coordinates).
    void drawChildren(DrawContext& context, const Rect* area);

    std::vector<View*> children_;
    bool offscreen_ = false;
};

}  // namespace pelko
