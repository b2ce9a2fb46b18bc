// The frame: the top container of one editor window. It owns the window (or none, for headless
// rendering), the back buffer every view draws into, the focus view that receives keys, the
// modal view that alone receives the mouse while set, the view that tracks a drag, and the open
// popup menu.
//
// Events are read when the host idles the editor (idle()); a press starts tracking, motions
// move the tracked control and the release ends it, so nothing waits for the mouse. After each
// tracked event the owner's tracking idle step runs (the editor's own idle and the host's).
//
// At scale 2 the window and the back buffer have twice the pixels in each direction; views still
// draw and receive the mouse in the frame's own coordinates (units), which the window and the
// back buffer turn into pixels.
#pragma once

#include "editor/toolkit/container.h"
#include "editor/toolkit/offscreen.h"
#include "editor/toolkit/popup_menu.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class NativeWindow;

// The object that owns the frame (the editor).
class FrameOwner {
public:
    virtual ~FrameOwner() = default;
    // Runs after every event of a drag.
    virtual void trackingIdle() {}
    // The window's close button of a top-level frame.
    virtual void closeRequested() {}
    // Items dropped on the frame that no view under the point took; true when the owner did.
    virtual bool itemsDropped(DrawContext& /*context*/, const std::vector<std::string>& /*items*/, Point /*where*/)
    {
        return false;
    }
    // Pixels per unit of the frames it owns (1 or 2), asked once when a frame is made.
    virtual int drawingScale() const { return 1; }
};

class Frame : public Container {
public:
    // scale 0 takes the owner's drawing scale (1 without an owner).
    Frame(int width, int height, FrameOwner* owner = nullptr, int scale = 0);
    int scale() const { return scale_; }

    // Opens the window: a child of parent (the host's window id), or a top-level window when
    // parent is 0. An empty display name uses the environment's. False when it cannot be opened.
    bool openWindow(std::uintptr_t parent, const std::string& display = {}, const std::string& title = "Window");
    void closeWindow();
    bool hasWindow() const { return window_ != nullptr; }
    std::uintptr_t windowId() const;
    NativeWindow* window() const { return window_.get(); }

    // Handles every queued window event, redraws the views that are dirty and shows the result.
    void idle();
    // Waits up to timeoutMs for window events (for a standalone loop); false without a window.
    bool waitForEvents(int timeoutMs);

    // Input in frame coordinates, as the window delivers it (tests call these directly).
    void pressMouse(Point where, int buttons, std::uint32_t timeMs);
    void moveMouse(Point where, int buttons);
    void releaseMouse(Point where, int buttons);
    bool wheelMouse(Point where, float distance, int buttons);
    int keyDown(int key) override;
    int keyUp(int key) override;
    // Files dropped on the window from another program, at a point: the view under the point
    // may take them (drop), else the owner may. True when one did.
    bool dropFiles(const std::vector<std::string>& files, Point where);

    void setFocusView(View* view);
    View* focusView() const { return focus_; }
    void setModalView(View* view);
    View* modalView() const { return modal_; }
    bool isTracking() const { return tracking_ != nullptr; }
    View* trackingView() const { return tracking_; }
    void beginTracking(View* view, Point origin);
    // A view leaves the tree: the frame forgets it as focus, modal or tracking view.
    void forgetView(View* view);

    // Opens a popup menu at a point (frame coordinates); an open one is cancelled first.
    void openPopupMenu(std::vector<MenuItem> items, Point where, PopupMenu::Chosen chosen, int preselected = -1);
    PopupMenu* popupMenu() const { return menu_.get(); }
    void closePopupMenu();

    // Drawing.
    Offscreen& backBuffer() { return backBuffer_; }
    // Redraws every view into the back buffer.
    void redrawAll();
    // Redraws the dirty views.
    void updateViews();
    // The area is redrawn (draw rectangle) at the next idle.
    void invalidateArea(const Rect& area);
    void addDamage(const Rect& area) { damage_ = damage_.unionWith(area); }
    // Draws everything, popup menus included, and writes the picture as a PNG file.
    bool renderToPng(const std::string& path);

    FrameOwner* frameOwner() const { return owner_; }
    int mouseState() const { return mouseState_; }
    Point mouseLocation() const { return mouseLocation_; }

protected:
    ~Frame() override;

private:
    void present();
    void handleWindowEvent(const struct WindowEvent& event);
    MouseEvent eventFor(Point where, int buttons, Point origin) const;
    // After a press, motion or release: shows what was drawn; a tracked event runs the owner's
    // tracking idle step first.
    void finishMouseEvent(const DrawContext& context, bool tracked);
    // A key goes to the focus view, then (when not handled) to the modal view.
    int offerKey(int (View::*operation)(int), int key);
    // A menu that closed itself on the last input (a choice, Escape, a click outside) goes.
    void closeMenuWhenDone();

    FrameOwner* owner_;
    int scale_;
    Offscreen backBuffer_;
    std::unique_ptr<NativeWindow> window_;
    std::unique_ptr<PopupMenu> menu_;
    View* focus_ = nullptr;
    View* modal_ = nullptr;
    View* tracking_ = nullptr;
    Point trackingOrigin_{};
    int mouseState_ = 0;
    Point mouseLocation_{};
    Point lastPressAt_{};
    int lastPressButtons_ = 0;
    std::uint32_t lastPressTime_ = 0;
    bool hadPress_ = false;
    std::uint32_t sincePreviousPress_ = UINT32_MAX;
    Rect damage_{};
    Rect invalid_{};
};

}  // namespace pelko
