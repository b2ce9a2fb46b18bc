// Editor windows on X11: the editor's own connection to the display, its window (a child of the
// host's parent window, or a top-level window when there is none), the override-redirect popup
// windows it opens, and the translation of X events into plain window events. Only this layer
// sees Xlib types. Everything is used from the one thread that opened the window.
//
// A window of scale 2 has twice the pixels of its size in each direction: every position, size
// and area this interface takes or gives is in units (the editor's drawing coordinates), and only
// the images presented are in pixels (scale × scale per unit).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelko {

struct WindowArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct WindowEvent {
    enum class Type {
        kExpose,         // area needs repainting
        kButtonPress,    // button 1 left, 2 middle, 3 right
        kButtonRelease,
        kMotion,
        kWheel,          // wheelDelta: +120 per notch away from the user, -120 towards
        kKeyPress,       // key: the toolkit's key code
        kKeyRelease,
        kFocusOut,
        kCloseRequest,   // the window manager's close button (top-level windows)
        kDrop,           // files dropped at (x, y); answer with NativeWindow::finishDrop
    };
    Type type = Type::kExpose;
    // Pointer position relative to the main window, even over a popup or outside the window.
    int x = 0;
    int y = 0;
    int button = 0;
    int state = 0;       // mouse-state bits after the event (buttons, shift 8, control 16, alt 32)
    int key = 0;
    int wheelDelta = 0;
    std::uint32_t timeMs = 0;
    WindowArea area;     // for kExpose
    std::vector<std::string> files;  // for kDrop: the local paths, in the order given
};

class NativeWindow {
public:
    struct Options {
        std::uintptr_t parent = 0;  // the host's window; 0 opens a top-level window
        int width = 0;
        int height = 0;
        std::string title = "Window";
        std::string display;        // empty: the DISPLAY of the environment
        int scale = 1;              // pixels per unit, 1 or 2
    };

    // None when the display cannot be reached or the parent window does not exist.
    static std::unique_ptr<NativeWindow> open(const Options& options);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    std::uintptr_t id() const;
    int width() const { return width_; }
    int height() const { return height_; }
    int scale() const { return scale_; }

    // Takes the next event of this window and its popups without waiting; false when none is queued.
    bool nextEvent(WindowEvent& event);
    // Waits at most timeoutMs for something to arrive from the display; true when it did.
    bool waitForEvents(int timeoutMs);

    // Copies an area (in units) of a 32-bit 0x00RRGGBB image (the frame's back buffer, as many
    // pixels as the window) into the window.
    void present(const std::uint32_t* pixels, int stride, const WindowArea& area);

    // Files dragged from other programs (the XDND protocol): the window offers to take lists of
    // files; a drop that brings at least one local file arrives as a kDrop event, and the owner
    // tells whether it took the files, which the dragging program learns.
    void finishDrop(bool accepted);

    // The screen, relative to this window (popups are kept inside it).
    WindowArea screenArea() const;

    // Popup windows, placed relative to this window (they may reach outside it). While any is
    // open the pointer and keyboard are grabbed, so that every event comes here.
    int openPopup(const WindowArea& area);
    // width and height: the image's size in pixels.
    void presentPopup(int popup, const std::uint32_t* pixels, int stride, int width, int height);
    void closePopup(int popup);
    int openPopupCount() const;

    struct Native;

private:
    NativeWindow() = default;
    void updateGrab();

    std::unique_ptr<Native> native_;
    int width_ = 0;   // in units
    int height_ = 0;
    int scale_ = 1;
};

}  // namespace pelko
