// The base of everything the editor shows: a rectangle in its container's coordinates, the area
// that takes the mouse, the frame and container it belongs to, a dirty flag, and a reference
// count (views are shared by containers and the editor's tag map).
//
// The virtual operations keep one fixed order that every view and control follows (see the
// numbered comments); a control adds its value operations after them (control.h).
//
// Mouse handling is event-driven: a press reaches mouse(); a view that answers kTrack then gets
// every motion through mouseMoved() and the release through mouseReleased(), so a drag never
// blocks the host's user-interface thread.
#pragma once

#include "editor/toolkit/bitmap.h"
#include "editor/toolkit/geometry.h"
#include "editor/toolkit/ref.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

class Container;
class DrawContext;
class Frame;
class FrameOwner;

// A press, a motion or a release, in the coordinates of the receiving view's container.
struct MouseEvent {
    Point where;
    int buttons = 0;  // mouse state bits (geometry.h) at the time of the event
    // Milliseconds since the previous press of the same button near the same place; the largest
    // value when there was none. Controls compare it with their double-click time.
    std::uint32_t sincePreviousPress = std::numeric_limits<std::uint32_t>::max();
};

enum class MouseResponse {
    kNotHandled,
    kHandled,
    kTrack,  // send the following motions and the release to this view
};

// The record of a notification: what each kind carries is the business of the editor.
struct Notification {
    int kind = 0;
    std::int64_t first = 0;
    std::int64_t second = 0;
    const void* data = nullptr;
    std::string_view text;
};

// Key of the editor's notifications to its controls.
constexpr std::uint32_t kControlNotifyKey = 0x12345678u;
// Key of the text messages views send their container (text holds the message).
constexpr std::uint32_t kViewMessageKey = 0x56574D53u;
constexpr std::string_view kLooseFocusMessage = "LooseFocus";

class View : public RefCounted {
public:
    explicit View(const Rect& rect);

    virtual void draw(DrawContext& context);                          // 1
    virtual void drawRect(DrawContext& context, const Rect& area);    // 2
    virtual bool checkUpdate(const Rect& area) const;                 // 3
    virtual MouseResponse mouse(DrawContext& context, const MouseEvent& event);  // 4
    virtual void update(DrawContext& context);                        // 5
    virtual int notify(std::uint32_t key, const Notification& record);  // 6
    virtual int keyDown(int key);                                     // 7
    virtual int keyUp(int key);                                       // 8
    virtual bool drop(DrawContext& context, const std::vector<std::string>& items, Point where);  // 9
    // The context may be none (a wheel forwarded by the host).
    virtual bool wheel(DrawContext* context, Point where, float distance, int buttons);  // 10
    virtual void looseFocus(DrawContext* context);                    // 11
    virtual void spareNotification(DrawContext& context);             // 12
    virtual bool isDirty() const;                                     // 13
    virtual void setDirty(bool dirty = true);                         // 14
    virtual void setMouseEnabled(bool enabled);                       // 15
    virtual bool mouseEnabled() const;                                // 16
    virtual void setMouseableArea(const Rect& area);                  // 17
    virtual Rect mouseableArea() const;                               // 18
    virtual bool hitTest(Point where, int buttons) const;             // 19
    virtual void setTransparency(bool transparent);                   // 20
    virtual bool transparency() const;                                // 21
    virtual void setRect(const Rect& rect);                           // 22
    virtual Rect rect() const;                                        // 23
    virtual void setParent(Container* parent);                        // 24
    virtual void setFrame(Frame* frame);                              // 25
    virtual FrameOwner* owner() const;                                // 26
    virtual bool attached(Container* parent);                         // 27
    virtual bool removed(Container* parent);                          // 28
    // 29 – 31: release, add reference, reference count (RefCounted).
    virtual void invalidate();                                        // 32

    // While tracking (after mouse() answered kTrack).
    virtual void mouseMoved(DrawContext& context, const MouseEvent& event);
    virtual void mouseReleased(DrawContext& context, const MouseEvent& event);

    Container* parent() const { return parent_; }
    Frame* frame() const { return frame_; }
    // The rectangle in the frame's coordinates.
    Rect frameRect() const;
    // Where this view's container puts its origin in the frame's coordinates.
    Point parentOrigin() const;

    // The background image (shared), drawn by the base draw at the background offset.
    void setBackground(Ref<Bitmap> bitmap) { background_ = std::move(bitmap); }
    Bitmap* background() const { return background_.get(); }
    void setBackgroundOffset(Point offset) { backgroundOffset_ = offset; }
    Point backgroundOffset() const { return backgroundOffset_; }

protected:
    ~View() override = default;
    void drawBackground(DrawContext& context);

    Rect rect_;
    Rect mouseableArea_;
    Frame* frame_ = nullptr;
    Container* parent_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
    Ref<Bitmap> background_;
    Point backgroundOffset_{};
};

}  // namespace pelko
