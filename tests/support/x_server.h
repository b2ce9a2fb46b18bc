// A private X server for tests of real windows: a virtual-framebuffer server on a display number
// that was free, a connection of the test's own that plays the host (it makes the parent window),
// and the hands of a user: pointer moves, clicks, drags and keys sent through the XTest extension,
// pixels read back from a window, and the child windows of a window counted.
//
// The test never touches the display it was started on: while the server runs, DISPLAY names the
// private one, so that even code that asks the environment lands there.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Xlib's header defines macros (None, Bool, Status...) that clash with other headers, so this
// one names its types without it.
struct _XDisplay;

namespace testing_support {

using XWindow = unsigned long;

class XServer {
public:
    // Starts the server and connects to it. On failure ok() is false and error() says why (the
    // server is not installed, it did not start, or it lacks the XTest extension).
    explicit XServer(int width = 1024, int height = 768);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& error() const { return error_; }
    // ":N", for the code under test to connect to.
    const std::string& displayName() const { return name_; }
    // The test's own connection.
    _XDisplay* display() const { return display_; }
    XWindow root() const;

    // A mapped top-level window of this size at (x, y), as a host makes for an editor.
    XWindow createParentWindow(int width, int height, int x = 40, int y = 30);
    void destroyWindow(XWindow window);

    // Pointer and keys (window coordinates; the pointer is moved there first). Every call waits
    // until the server has taken the event.
    void movePointer(XWindow window, int x, int y);
    void pressButton(int button);    // X button numbers: 1 left, 2 middle, 3 right, 4/5 the wheel
    void releaseButton(int button);
    void click(XWindow window, int x, int y, int button = 1);
    // Press at from, move to to in steps (between), release there; between runs after every
    // event so that the code under test can take it.
    void drag(XWindow window, int fromX, int fromY, int toX, int toY, int steps, const std::function<void()>& between);
    void pressKey(unsigned long keysym);
    void releaseKey(unsigned long keysym);
    void tapKey(unsigned long keysym);
    // Physical buttons 1 and 3 swapped (true) or the identity mapping (false).
    bool swapButtons(bool swapped);

    // 0xRRGGBB of one pixel of a window; -1 when the window cannot be read.
    long pixel(XWindow window, int x, int y);
    std::vector<XWindow> children(XWindow window);
    XWindow parentOf(XWindow window);
    // Mapped override-redirect children of the root (popup windows).
    std::vector<XWindow> popupWindows();
    bool exists(XWindow window);
    // A window's property of 32-bit items (atoms, cardinals) by name; empty when there is none.
    std::vector<unsigned long> property32(XWindow window, const std::string& name);
    // Where a window's origin lies on the root window.
    void rootPosition(XWindow window, int& x, int& y);

    void sync();

private:
    std::string error_;
    std::string name_;
    std::string previousDisplay_;
    bool hadDisplay_ = false;
    pid_t pid_ = -1;
    _XDisplay* display_ = nullptr;
};

// Runs step (which should take what arrived) until done() holds or the time is up; true when it held.
bool eventually(const std::function<bool()>& done, const std::function<void()>& step,
                std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

}  // namespace testing_support
