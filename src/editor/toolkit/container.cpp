#include "editor/toolkit/container.h"

#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/offscreen.h"

#include <algorithm>

namespace pelko {
namespace {

// Moves a context's origin for the time of a scope.
class OriginShift {
public:
    OriginShift(DrawContext& context, int dx, int dy) : context_(context), saved_(context.origin())
    {
        context.setOrigin(Point{saved_.h + dx, saved_.v + dy});
    }
    ~OriginShift() { context_.setOrigin(saved_); }

private:
    DrawContext& context_;
    Point saved_;
};

}  // namespace

Container::Container(const Rect& rect) : View(rect) {}

Container::~Container()
{
    removeAll(true);
}

void Container::addView(View* view)
{
    if (view == nullptr) {
        return;
    }
    children_.push_back(view);
    view->setParent(this);
    view->setFrame(frame_);
    view->attached(this);
    view->setDirty(true);
}

bool Container::removeView(View* view, bool release)
{
    auto found = std::find(children_.begin(), children_.end(), view);
    if (found == children_.end()) {
        return false;
    }
    children_.erase(found);
    if (frame_ != nullptr) {
        frame_->forgetView(view);
    }
    view->removed(this);
    view->setParent(nullptr);
    view->setFrame(nullptr);
    if (release) {
        view->release();
    }
    return true;
}

void Container::removeAll(bool release)
{
    while (!children_.empty()) {
        removeView(children_.back(), release);
    }
}

bool Container::isChild(const View* view) const
{
    return std::find(children_.begin(), children_.end(), view) != children_.end();
}

void Container::setOffscreenMode(bool on)
{
    offscreen_ = on;
}

int Container::notifyChildren(std::uint32_t key, const Notification& record)
{
    int answer = 0;
    // A child may remove itself while notified: walk a copy.
    std::vector<View*> children = children_;
    for (View* child : children) {
        if (int a = child->notify(key, record); a != 0) {
            answer = a;
        }
    }
    return answer;
}

void Container::setFrame(Frame* frame)
{
    View::setFrame(frame);
    for (View* child : children_) {
        child->setFrame(frame);
    }
}

void Container::setDirty(bool dirty)
{
    View::setDirty(dirty);
    for (View* child : children_) {
        child->setDirty(dirty);
    }
}

bool Container::isDirty() const
{
    if (dirty_) {
        return true;
    }
    return std::any_of(children_.begin(), children_.end(), [](const View* v) { return v->isDirty(); });
}

void Container::drawChildren(DrawContext& context, const Rect* area)
{
    OriginShift shift(context, rect_.left, rect_.top);
    for (View* child : children_) {
        if (area == nullptr) {
            child->draw(context);
        } else if (child->checkUpdate(*area)) {
            child->drawRect(context, *area);
        }
    }
}

void Container::draw(DrawContext& context)
{
    if (offscreen_ && rect_.width() > 0 && rect_.height() > 0) {
        Offscreen surface(rect_.width(), rect_.height(), colours::kButtonFace, context.target().scale());
        if (surface.valid()) {
            {
                DrawContext inner(surface, context.frame());
                inner.setOrigin(Point{-rect_.left, -rect_.top});
                drawBackground(inner);
                drawChildren(inner, nullptr);
            }
            surface.copyTo(context, rect_);
            View::setDirty(false);
            return;
        }
    }
    drawBackground(context);
    drawChildren(context, nullptr);
    View::setDirty(false);
}

void Container::drawRect(DrawContext& context, const Rect& area)
{
    Rect inside = area.intersection(rect_);
    if (inside.empty()) {
        return;
    }
    if (offscreen_) {
        draw(context);
        return;
    }
    bool hadClip = context.hasClip();
    Rect savedClip = context.clip();
    context.setClip(inside);
    drawBackground(context);
    Rect local = inside.offsetBy(-rect_.left, -rect_.top);
    drawChildren(context, &local);
    if (hadClip) {
        context.setClip(savedClip);
    } else {
        context.resetClip();
    }
    View::setDirty(false);
}

void Container::update(DrawContext& context)
{
    // A container drawing through its own surface redraws as a whole.
    if (dirty_ || (offscreen_ && isDirty())) {
        draw(context);
        return;
    }
    OriginShift shift(context, rect_.left, rect_.top);
    for (View* child : children_) {
        child->update(context);
    }
}

View* Container::viewAt(Point where, int buttons) const
{
    Point local{where.h - rect_.left, where.v - rect_.top};
    for (View* child : children_) {
        if (child->mouseEnabled() && child->hitTest(local, buttons)) {
            return child;
        }
    }
    return nullptr;
}

MouseResponse Container::mouse(DrawContext& context, const MouseEvent& event)
{
    View* child = viewAt(event.where, event.buttons);
    if (child == nullptr) {
        return MouseResponse::kNotHandled;
    }
    MouseEvent local = event;
    local.where = Point{event.where.h - rect_.left, event.where.v - rect_.top};
    OriginShift shift(context, rect_.left, rect_.top);
    MouseResponse response = child->mouse(context, local);
    if (response == MouseResponse::kTrack && frame_ != nullptr && !frame_->isTracking()) {
        frame_->beginTracking(child, context.origin());
    }
    return response;
}

bool Container::wheel(DrawContext* context, Point where, float distance, int buttons)
{
    Point local{where.h - rect_.left, where.v - rect_.top};
    for (View* child : children_) {
        if (child->mouseEnabled() && child->mouseableArea().contains(local)) {
            if (context != nullptr) {
                OriginShift shift(*context, rect_.left, rect_.top);
                if (child->wheel(context, local, distance, buttons)) {
                    return true;
                }
            } else if (child->wheel(nullptr, local, distance, buttons)) {
                return true;
            }
        }
    }
    return false;
}

bool Container::drop(DrawContext& context, const std::vector<std::string>& items, Point where)
{
    Point local{where.h - rect_.left, where.v - rect_.top};
    for (View* child : children_) {
        if (child->mouseEnabled() && child->mouseableArea().contains(local)) {
            OriginShift shift(context, rect_.left, rect_.top);
            if (child->drop(context, items, local)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace pelko
