#include "editor/toolkit/view.h"

#include "editor/toolkit/container.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"

namespace pelko {

View::View(const Rect& rect) : rect_(rect), mouseableArea_(rect) {}

void View::drawBackground(DrawContext& context)
{
    if (!background_) {
        return;
    }
    if (transparent_) {
        background_->drawTransparent(context, rect_, backgroundOffset_);
    } else {
        background_->draw(context, rect_, backgroundOffset_);
    }
}

void View::draw(DrawContext& context)
{
    drawBackground(context);
    setDirty(false);
}

void View::drawRect(DrawContext& context, const Rect&)
{
    draw(context);
}

bool View::checkUpdate(const Rect& area) const
{
    return rect_.overlaps(area);
}

MouseResponse View::mouse(DrawContext&, const MouseEvent&)
{
    return MouseResponse::kNotHandled;
}

void View::mouseMoved(DrawContext&, const MouseEvent&) {}
void View::mouseReleased(DrawContext&, const MouseEvent&) {}

void View::update(DrawContext& context)
{
    if (isDirty()) {
        draw(context);
    }
}

int View::notify(std::uint32_t, const Notification&) { return 0; }
int View::keyDown(int) { return -1; }
int View::keyUp(int) { return -1; }
bool View::drop(DrawContext&, const std::vector<std::string>&, Point) { return false; }
bool View::wheel(DrawContext*, Point, float, int) { return false; }
void View::looseFocus(DrawContext*) {}
void View::spareNotification(DrawContext&) {}
bool View::isDirty() const { return dirty_; }
void View::setDirty(bool dirty) { dirty_ = dirty; }
void View::setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
bool View::mouseEnabled() const { return mouseEnabled_; }
void View::setMouseableArea(const Rect& area) { mouseableArea_ = area; }
Rect View::mouseableArea() const { return mouseableArea_; }
bool View::hitTest(Point where, int) const { return rect_.contains(where); }
void View::setTransparency(bool transparent) { transparent_ = transparent; }
bool View::transparency() const { return transparent_; }

void View::setRect(const Rect& rect)
{
    rect_ = rect;
    setDirty(true);
}

Rect View::rect() const { return rect_; }
void View::setParent(Container* parent) { parent_ = parent; }
void View::setFrame(Frame* frame) { frame_ = frame; }

FrameOwner* View::owner() const
{
    return frame_ != nullptr ? frame_->frameOwner() : nullptr;
}

bool View::attached(Container*) { return true; }
bool View::removed(Container*) { return true; }

void View::invalidate()
{
    if (frame_ != nullptr) {
        frame_->invalidateArea(frameRect());
    }
}

Point View::parentOrigin() const
{
    Point origin{};
    // The frame is the top container and sits at its own origin.
    for (const View* p = parent_; p != nullptr && p->parent_ != nullptr; p = p->parent_) {
        origin.h += p->rect_.left;
        origin.v += p->rect_.top;
    }
    return origin;
}

Rect View::frameRect() const
{
    Point o = parentOrigin();
    return rect_.offsetBy(o.h, o.v);
}

}  // namespace pelko
