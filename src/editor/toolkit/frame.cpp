#include "editor/toolkit/frame.h"

#include "editor/toolkit/draw_context.h"
#include "platform/native_window.h"

#include <cstdlib>

namespace pelko {
namespace {
// A second press further away than this is not a double click.
constexpr int kDoubleClickDistance = 4;

int chosenScale(int scale, const FrameOwner* owner)
{
    if (scale == 0 && owner != nullptr) {
        scale = owner->drawingScale();
    }
    return scale == 2 ? 2 : 1;
}

}  // namespace

Frame::Frame(int width, int height, FrameOwner* owner, int scale)
    : Container(Rect{0, 0, width, height}), owner_(owner), scale_(chosenScale(scale, owner)),
      backBuffer_(width, height, colours::kButtonFace, scale_)
{
    frame_ = this;
}

Frame::~Frame()
{
    menu_.reset();
    focus_ = nullptr;
    modal_ = nullptr;
    tracking_ = nullptr;
    // Views are released before the window goes.
    removeAll(true);
    window_.reset();
}

bool Frame::openWindow(std::uintptr_t parent, const std::string& display, const std::string& title)
{
    closeWindow();
    NativeWindow::Options options;
    options.parent = parent;
    options.width = rect_.width();
    options.height = rect_.height();
    options.title = title;
    options.display = display;
    options.scale = scale_;
    window_ = NativeWindow::open(options);
    if (!window_) {
        return false;
    }
    redrawAll();
    return true;
}

void Frame::closeWindow()
{
    closePopupMenu();
    tracking_ = nullptr;
    window_.reset();
}

std::uintptr_t Frame::windowId() const
{
    return window_ ? window_->id() : 0;
}

bool Frame::waitForEvents(int timeoutMs)
{
    return window_ && window_->waitForEvents(timeoutMs);
}

void Frame::idle()
{
    if (window_) {
        WindowEvent event;
        while (window_ && window_->nextEvent(event)) {
            handleWindowEvent(event);
        }
    }
    updateViews();
}

void Frame::handleWindowEvent(const WindowEvent& event)
{
    Point where{event.x, event.y};
    switch (event.type) {
    case WindowEvent::Type::kExpose:
        if (menu_ && menu_->open()) {
            menu_->present();
        }
        addDamage(Rect::ofSize(event.area.x, event.area.y, event.area.width, event.area.height));
        break;
    case WindowEvent::Type::kButtonPress:
        pressMouse(where, event.state, event.timeMs);
        break;
    case WindowEvent::Type::kMotion:
        moveMouse(where, event.state);
        break;
    case WindowEvent::Type::kButtonRelease:
        releaseMouse(where, event.state);
        break;
    case WindowEvent::Type::kWheel:
        mouseLocation_ = where;
        wheelMouse(where, wheelNotches(event.wheelDelta), event.state);
        break;
    case WindowEvent::Type::kKeyPress:
        keyDown(event.key);
        break;
    case WindowEvent::Type::kKeyRelease:
        keyUp(event.key);
        break;
    case WindowEvent::Type::kFocusOut:
        if (focus_ != nullptr) {
            DrawContext context(backBuffer_, this);
            context.setOrigin(focus_->parentOrigin());
            View* view = focus_;
            focus_ = nullptr;
            view->looseFocus(&context);
            addDamage(context.damage());
        }
        break;
    case WindowEvent::Type::kDrop: {
        bool accepted = dropFiles(event.files, where);
        if (window_) {
            window_->finishDrop(accepted);
        }
        break;
    }
    case WindowEvent::Type::kCloseRequest:
        if (owner_ != nullptr) {
            owner_->closeRequested();
        }
        break;
    }
}

MouseEvent Frame::eventFor(Point where, int buttons, Point origin) const
{
    MouseEvent event;
    event.where = Point{where.h - origin.h, where.v - origin.v};
    event.buttons = buttons;
    event.sincePreviousPress = sincePreviousPress_;
    return event;
}

void Frame::pressMouse(Point where, int buttons, std::uint32_t timeMs)
{
    mouseState_ = buttons;
    mouseLocation_ = where;
    int pressed = buttons & kMouseButtons;
    bool near = std::abs(where.h - lastPressAt_.h) <= kDoubleClickDistance &&
                std::abs(where.v - lastPressAt_.v) <= kDoubleClickDistance;
    sincePreviousPress_ = hadPress_ && near && pressed == lastPressButtons_ ? timeMs - lastPressTime_ : UINT32_MAX;
    hadPress_ = true;
    lastPressAt_ = where;
    lastPressButtons_ = pressed;
    lastPressTime_ = timeMs;

    if (menu_) {
        menu_->press(where, buttons);
        closeMenuWhenDone();
        return;
    }
    DrawContext context(backBuffer_, this);
    if (focus_ != nullptr) {
        View* view = focus_;
        focus_ = nullptr;
        context.setOrigin(view->parentOrigin());
        view->looseFocus(&context);
        context.setOrigin(Point{});
    }
    if (tracking_ != nullptr) {
        // A second button during a drag belongs to the drag.
        context.setOrigin(trackingOrigin_);
        tracking_->mouseMoved(context, eventFor(where, buttons, trackingOrigin_));
    } else if (modal_ != nullptr) {
        Point origin = modal_->parentOrigin();
        context.setOrigin(origin);
        MouseEvent event = eventFor(where, buttons, origin);
        if (modal_->mouseEnabled() && modal_->hitTest(event.where, buttons)) {
            if (modal_->mouse(context, event) == MouseResponse::kTrack && tracking_ == nullptr) {
                beginTracking(modal_, origin);
            }
        }
    } else {
        Container::mouse(context, eventFor(where, buttons, Point{}));
    }
    finishMouseEvent(context, tracking_ != nullptr);
}

void Frame::moveMouse(Point where, int buttons)
{
    mouseState_ = buttons;
    mouseLocation_ = where;
    if (menu_) {
        menu_->move(where);
        return;
    }
    if (tracking_ == nullptr) {
        return;
    }
    DrawContext context(backBuffer_, this);
    context.setOrigin(trackingOrigin_);
    tracking_->mouseMoved(context, eventFor(where, buttons, trackingOrigin_));
    finishMouseEvent(context, true);
}

void Frame::releaseMouse(Point where, int buttons)
{
    mouseState_ = buttons;
    mouseLocation_ = where;
    if (menu_) {
        menu_->release(where);
        closeMenuWhenDone();
        return;
    }
    if (tracking_ == nullptr) {
        return;
    }
    DrawContext context(backBuffer_, this);
    context.setOrigin(trackingOrigin_);
    View* view = tracking_;
    if ((buttons & kMouseButtons) == 0) {
        // The drag ends when the last button is up.
        tracking_ = nullptr;
        view->mouseReleased(context, eventFor(where, buttons, trackingOrigin_));
    } else {
        view->mouseMoved(context, eventFor(where, buttons, trackingOrigin_));
    }
    finishMouseEvent(context, true);
}

void Frame::finishMouseEvent(const DrawContext& context, bool tracked)
{
    addDamage(context.damage());
    if (tracked && owner_ != nullptr) {
        owner_->trackingIdle();
    }
    present();
}

bool Frame::wheelMouse(Point where, float distance, int buttons)
{
    if (menu_) {
        return false;
    }
    DrawContext context(backBuffer_, this);
    bool handled = Container::wheel(&context, where, distance, buttons);
    addDamage(context.damage());
    present();
    return handled;
}

bool Frame::dropFiles(const std::vector<std::string>& files, Point where)
{
    if (menu_ || files.empty()) {
        return false;
    }
    DrawContext context(backBuffer_, this);
    bool accepted = drop(context, files, where);
    if (!accepted && owner_ != nullptr) {
        accepted = owner_->itemsDropped(context, files, where);
    }
    addDamage(context.damage());
    present();
    return accepted;
}

int Frame::keyDown(int key)
{
    if (menu_) {
        menu_->key(key);
        closeMenuWhenDone();
        return 1;
    }
    int handled = offerKey(&View::keyDown, key);
    updateViews();
    return handled;
}

int Frame::keyUp(int key)
{
    if (menu_) {
        return 1;
    }
    return offerKey(&View::keyUp, key);
}

int Frame::offerKey(int (View::*operation)(int), int key)
{
    int handled = -1;
    if (focus_ != nullptr) {
        handled = (focus_->*operation)(key);
    }
    if (handled == -1 && modal_ != nullptr && modal_ != focus_) {
        handled = (modal_->*operation)(key);
    }
    return handled;
}

void Frame::setFocusView(View* view) { focus_ = view; }
void Frame::setModalView(View* view) { modal_ = view; }

void Frame::beginTracking(View* view, Point origin)
{
    tracking_ = view;
    trackingOrigin_ = origin;
}

void Frame::forgetView(View* view)
{
    if (focus_ == view) {
        focus_ = nullptr;
    }
    if (modal_ == view) {
        modal_ = nullptr;
    }
    if (tracking_ == view) {
        tracking_ = nullptr;
    }
    if (auto* container = dynamic_cast<Container*>(view)) {
        for (View* child : container->views()) {
            forgetView(child);
        }
    }
}

void Frame::openPopupMenu(std::vector<MenuItem> items, Point where, PopupMenu::Chosen chosen, int preselected)
{
    closePopupMenu();
    // A drag that opened the menu is over: the menu takes the mouse now.
    tracking_ = nullptr;
    auto menu =
        std::make_unique<PopupMenu>(std::move(items), where, std::move(chosen), window_.get(), preselected, scale_);
    if (!menu->open()) {
        return;
    }
    menu_ = std::move(menu);
    if (!window_) {
        for (const Rect& area : menu_->panelAreas()) {
            addDamage(area);
        }
    }
}

void Frame::closeMenuWhenDone()
{
    if (menu_ && !menu_->open()) {
        closePopupMenu();
    }
}

void Frame::closePopupMenu()
{
    if (!menu_) {
        return;
    }
    std::unique_ptr<PopupMenu> menu = std::move(menu_);
    std::vector<Rect> areas = menu->panelAreas();
    // Cancelling reports -1 to the chooser, which may open another menu.
    menu->cancel();
    menu.reset();
    for (const Rect& area : areas) {
        invalidateArea(area);
    }
}

void Frame::redrawAll()
{
    DrawContext context(backBuffer_, this);
    draw(context);
    invalid_ = Rect{};
    damage_ = rect_;
    present();
}

void Frame::updateViews()
{
    DrawContext context(backBuffer_, this);
    if (!invalid_.empty()) {
        Rect area = invalid_;
        invalid_ = Rect{};
        drawRect(context, area);
        addDamage(area);
    }
    update(context);
    addDamage(context.damage());
    present();
}

void Frame::invalidateArea(const Rect& area)
{
    invalid_ = invalid_.unionWith(area.intersection(rect_));
}

void Frame::present()
{
    Rect area = damage_.intersection(rect_);
    damage_ = Rect{};
    if (!window_ || area.empty() || !backBuffer_.valid()) {
        return;
    }
    window_->present(backBuffer_.pixels(), backBuffer_.stride(),
                     WindowArea{area.left, area.top, area.width(), area.height()});
}

bool Frame::renderToPng(const std::string& path)
{
    redrawAll();
    if (!menu_) {
        return backBuffer_.writePng(path);
    }
    Offscreen picture(rect_.width(), rect_.height(), colours::kWhite, scale_);
    if (!picture.valid()) {
        return false;
    }
    {
        DrawContext context(picture, this);
        backBuffer_.copyTo(context, rect_);
        menu_->drawOver(context);
    }
    return picture.writePng(path);
}

}  // namespace pelko
