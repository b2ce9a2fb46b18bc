#include "platform/native_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <mutex>
#include <set>

namespace pelko {
namespace {

// Xlib reports protocol errors through one process-wide handler whose default ends the process.
// Errors on the editor's own connections are recorded instead; others go to whatever handler was
// installed before (the host's).
std::mutex errorLock;
std::set<Display*> ownDisplays;
XErrorHandler previousHandler = nullptr;
bool errorHandlerInstalled = false;
int lastErrorCode = 0;

int recordError(Display* display, XErrorEvent* error)
{
    {
        std::lock_guard<std::mutex> guard(errorLock);
        if (ownDisplays.count(display) != 0) {
            lastErrorCode = error->error_code;
            return 0;
        }
    }
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

void registerDisplay(Display* display)
{
    std::lock_guard<std::mutex> guard(errorLock);
    if (!errorHandlerInstalled) {
        previousHandler = XSetErrorHandler(&recordError);
        errorHandlerInstalled = true;
    }
    ownDisplays.insert(display);
}

void unregisterDisplay(Display* display)
{
    std::lock_guard<std::mutex> guard(errorLock);
    ownDisplays.erase(display);
}

// Runs the requests so far and tells whether any of them failed.
bool syncFailed(Display* display)
{
    {
        std::lock_guard<std::mutex> guard(errorLock);
        lastErrorCode = 0;
    }
    XSync(display, False);
    std::lock_guard<std::mutex> guard(errorLock);
    return lastErrorCode != 0;
}

int stateBits(unsigned int state)
{
    int bits = 0;
    if ((state & Button1Mask) != 0) bits |= 1;
    if ((state & Button2Mask) != 0) bits |= 2;
    if ((state & Button3Mask) != 0) bits |= 4;
    if ((state & ShiftMask) != 0) bits |= 8;
    if ((state & ControlMask) != 0) bits |= 16;
    if ((state & Mod1Mask) != 0) bits |= 32;
    return bits;
}

int buttonBit(unsigned int button)
{
    switch (button) {
    case Button1: return 1;
    case Button2: return 2;
    case Button3: return 4;
    default: return 0;
    }
}

// The toolkit's key codes (editor/toolkit/geometry.h): arrows and navigation keys in their own
// range, editing keys as ASCII control codes, characters as their Latin-1 code.
int keyCode(XKeyEvent& event)
{
    char text[8] = {};
    KeySym sym = NoSymbol;
    int length = XLookupString(&event, text, sizeof text, &sym, nullptr);
    switch (sym) {
    case XK_Left: case XK_KP_Left: return 0x1001;
    case XK_Up: case XK_KP_Up: return 0x1002;
    case XK_Right: case XK_KP_Right: return 0x1003;
    case XK_Down: case XK_KP_Down: return 0x1004;
    case XK_Home: case XK_KP_Home: return 0x1005;
    case XK_End: case XK_KP_End: return 0x1006;
    case XK_Page_Up: return 0x1007;
    case XK_Page_Down: return 0x1008;
    case XK_Return: case XK_KP_Enter: return 13;
    case XK_Escape: return 27;
    case XK_BackSpace: return 8;
    case XK_Tab: return 9;
    case XK_Delete: case XK_KP_Delete: return 127;
    default: break;
    }
    if (length == 1) {
        return static_cast<unsigned char>(text[0]);
    }
    if (sym >= 0x20 && sym <= 0xFF) {
        return static_cast<int>(sym);
    }
    return 0;
}

}  // namespace

struct NativeWindow::Native {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    bool canPresent = false;
    Atom deleteWindow = 0;
    struct Popup {
        int id;
        Window window;
        WindowArea area;
    };
    std::vector<Popup> popups;
    int nextPopup = 1;

    std::vector<Popup>::iterator findPopup(int id)
    {
        return std::find_if(popups.begin(), popups.end(), [id](const Popup& p) { return p.id == id; });
    }
    std::vector<Popup>::iterator popupOfWindow(Window window)
    {
        return std::find_if(popups.begin(), popups.end(), [window](const Popup& p) { return p.window == window; });
    }
    bool grabbed = false;
};

std::unique_ptr<NativeWindow> NativeWindow::open(const Options& options)
{
    if (options.width <= 0 || options.height <= 0 || options.width > 16384 || options.height > 16384) {
        return nullptr;
    }
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    registerDisplay(display);
    auto fail = [display]() -> std::unique_ptr<NativeWindow> {
        unregisterDisplay(display);
        XCloseDisplay(display);
        return nullptr;
    };
    int screen = DefaultScreen(display);
    Window parent = options.parent != 0 ? static_cast<Window>(options.parent) : RootWindow(display, screen);
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display, parent, &parentAttributes) == 0 || syncFailed(display)) {
        return fail();
    }

    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(display, screen);
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
    // The window uses the screen's default visual so that the back buffer's layout is known.
    attributes.colormap = DefaultColormap(display, screen);
    attributes.border_pixel = 0;
    Window window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(options.width),
                                  static_cast<unsigned>(options.height), 0, DefaultDepth(display, screen), InputOutput,
                                  DefaultVisual(display, screen),
                                  CWBackPixel | CWEventMask | CWColormap | CWBorderPixel, &attributes);
    if (window == 0 || syncFailed(display)) {
        return fail();
    }
    std::unique_ptr<NativeWindow> result(new NativeWindow());
    result->native_ = std::make_unique<Native>();
    Native& n = *result->native_;
    n.display = display;
    n.window = window;
    n.visual = DefaultVisual(display, screen);
    n.depth = DefaultDepth(display, screen);
    n.canPresent = (n.depth == 24 || n.depth == 32) && n.visual->red_mask == 0xFF0000 &&
                   n.visual->green_mask == 0x00FF00 && n.visual->blue_mask == 0x0000FF;
    n.gc = XCreateGC(display, window, 0, nullptr);
    result->width_ = options.width;
    result->height_ = options.height;

    if (options.parent == 0) {
        // A top-level window of fixed size with the window manager's usual decorations.
        XStoreName(display, window, options.title.c_str());
        XSizeHints* hints = XAllocSizeHints();
        if (hints != nullptr) {
            hints->flags = PMinSize | PMaxSize;
            hints->min_width = hints->max_width = options.width;
            hints->min_height = hints->max_height = options.height;
            XSetWMNormalHints(display, window, hints);
            XFree(hints);
        }
        n.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &n.deleteWindow, 1);
    }
    XMapWindow(display, window);
    XSync(display, False);
    return result;
}

NativeWindow::~NativeWindow()
{
    if (!native_) {
        return;
    }
    Native& n = *native_;
    while (!n.popups.empty()) {
        closePopup(n.popups.back().id);
    }
    XFreeGC(n.display, n.gc);
    XDestroyWindow(n.display, n.window);
    XSync(n.display, False);
    unregisterDisplay(n.display);
    XCloseDisplay(n.display);
}

std::uintptr_t NativeWindow::id() const
{
    return static_cast<std::uintptr_t>(native_->window);
}

bool NativeWindow::waitForEvents(int timeoutMs)
{
    Display* display = native_->display;
    if (XPending(display) > 0) {
        return true;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    return ::poll(&fd, 1, timeoutMs) > 0 && XPending(display) > 0;
}

bool NativeWindow::nextEvent(WindowEvent& out)
{
    Native& n = *native_;
    while (XPending(n.display) > 0) {
        XEvent event;
        XNextEvent(n.display, &event);
        Window target = event.xany.window;
        bool main = target == n.window;
        auto popup = n.popupOfWindow(target);
        if (!main && popup == n.popups.end()) {
            continue;
        }
        // Pointer positions are given relative to the main window, wherever the pointer is.
        int dx = main ? 0 : popup->area.x;
        int dy = main ? 0 : popup->area.y;
        out = WindowEvent{};
        switch (event.type) {
        case Expose:
            if (!main) {
                // A popup's content is presented again by its owner on the next idle.
                out.type = WindowEvent::Type::kExpose;
                out.area = popup->area;
                return true;
            }
            out.type = WindowEvent::Type::kExpose;
            out.area = WindowArea{event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height};
            return true;
        case ButtonPress:
        case ButtonRelease: {
            XButtonEvent& b = event.xbutton;
            out.x = b.x + dx;
            out.y = b.y + dy;
            out.timeMs = static_cast<std::uint32_t>(b.time);
            if (b.button == Button4 || b.button == Button5) {
                if (event.type == ButtonRelease) {
                    continue;
                }
                out.type = WindowEvent::Type::kWheel;
                out.wheelDelta = b.button == Button4 ? 120 : -120;
                out.state = stateBits(b.state);
                return true;
            }
            int bit = buttonBit(b.button);
            if (bit == 0) {
                continue;
            }
            out.button = static_cast<int>(b.button);
            if (event.type == ButtonPress) {
                out.type = WindowEvent::Type::kButtonPress;
                out.state = stateBits(b.state) | bit;
            } else {
                out.type = WindowEvent::Type::kButtonRelease;
                out.state = stateBits(b.state) & ~bit;
            }
            return true;
        }
        case MotionNotify: {
            // Only the latest position matters: motions that follow each other directly are
            // merged, but never across another event (a release must not see a later position).
            XEvent following;
            while (XEventsQueued(n.display, QueuedAfterReading) > 0) {
                XPeekEvent(n.display, &following);
                if (following.type != MotionNotify || following.xany.window != target) {
                    break;
                }
                XNextEvent(n.display, &event);
            }
            XMotionEvent& m = event.xmotion;
            out.type = WindowEvent::Type::kMotion;
            out.x = m.x + dx;
            out.y = m.y + dy;
            out.state = stateBits(m.state);
            out.timeMs = static_cast<std::uint32_t>(m.time);
            return true;
        }
        case KeyPress:
        case KeyRelease:
            out.type = event.type == KeyPress ? WindowEvent::Type::kKeyPress : WindowEvent::Type::kKeyRelease;
            out.key = keyCode(event.xkey);
            out.state = stateBits(event.xkey.state);
            out.timeMs = static_cast<std::uint32_t>(event.xkey.time);
            if (out.key == 0) {
                continue;
            }
            return true;
        case FocusOut:
            if (!main || n.grabbed || event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab) {
                continue;
            }
            out.type = WindowEvent::Type::kFocusOut;
            return true;
        case ClientMessage:
            if (main && n.deleteWindow != 0 && static_cast<Atom>(event.xclient.data.l[0]) == n.deleteWindow) {
                out.type = WindowEvent::Type::kCloseRequest;
                return true;
            }
            continue;
        default:
            continue;
        }
    }
    return false;
}

namespace {

void putImage(Display* display, Window window, GC gc, Visual* visual, int depth, const std::uint32_t* pixels,
              int stride, int imageWidth, int imageHeight, int x, int y, int width, int height)
{
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels)),
                                 static_cast<unsigned>(imageWidth), static_cast<unsigned>(imageHeight), 32, stride);
    if (image == nullptr) {
        return;
    }
    XPutImage(display, window, gc, image, x, y, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    // The pixels belong to the caller.
    image->data = nullptr;
    XDestroyImage(image);
}

}  // namespace

void NativeWindow::present(const std::uint32_t* pixels, int stride, const WindowArea& area)
{
    Native& n = *native_;
    int x0 = std::max(0, area.x);
    int y0 = std::max(0, area.y);
    int x1 = std::min(width_, area.x + area.width);
    int y1 = std::min(height_, area.y + area.height);
    if (!n.canPresent || pixels == nullptr || x1 <= x0 || y1 <= y0) {
        return;
    }
    putImage(n.display, n.window, n.gc, n.visual, n.depth, pixels, stride, width_, height_, x0, y0, x1 - x0, y1 - y0);
    XFlush(n.display);
}

void NativeWindow::updateGrab()
{
    Native& n = *native_;
    bool want = !n.popups.empty();
    if (want && !n.grabbed) {
        // Every pointer event comes to the main window (owner_events off), so clicks outside a
        // popup are seen and close it.
        XGrabPointer(n.display, n.window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        XGrabKeyboard(n.display, n.window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        n.grabbed = true;
    } else if (!want && n.grabbed) {
        XUngrabPointer(n.display, CurrentTime);
        XUngrabKeyboard(n.display, CurrentTime);
        n.grabbed = false;
    }
    XFlush(n.display);
}

int NativeWindow::openPopup(const WindowArea& area)
{
    Native& n = *native_;
    if (area.width <= 0 || area.height <= 0 || area.width > 16384 || area.height > 16384) {
        return 0;
    }
    int screen = DefaultScreen(n.display);
    Window root = RootWindow(n.display, screen);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(n.display, n.window, root, area.x, area.y, &rootX, &rootY, &child);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(n.display, screen);
    attributes.event_mask = ExposureMask;
    attributes.save_under = True;
    Window window = XCreateWindow(n.display, root, rootX, rootY, static_cast<unsigned>(area.width),
                                  static_cast<unsigned>(area.height), 0, n.depth, InputOutput, n.visual,
                                  CWOverrideRedirect | CWBackPixel | CWEventMask | CWSaveUnder, &attributes);
    if (window == 0) {
        return 0;
    }
    XMapRaised(n.display, window);
    int id = n.nextPopup++;
    n.popups.push_back(Native::Popup{id, window, area});
    updateGrab();
    return id;
}

void NativeWindow::presentPopup(int popup, const std::uint32_t* pixels, int stride, int width, int height)
{
    Native& n = *native_;
    auto found = n.findPopup(popup);
    if (found == n.popups.end() || !n.canPresent || pixels == nullptr) {
        return;
    }
    int w = std::min(width, found->area.width);
    int h = std::min(height, found->area.height);
    putImage(n.display, found->window, n.gc, n.visual, n.depth, pixels, stride, width, height, 0, 0, w, h);
    XFlush(n.display);
}

void NativeWindow::closePopup(int popup)
{
    Native& n = *native_;
    auto found = n.findPopup(popup);
    if (found == n.popups.end()) {
        return;
    }
    XDestroyWindow(n.display, found->window);
    n.popups.erase(found);
    updateGrab();
}

int NativeWindow::openPopupCount() const
{
    return static_cast<int>(native_->popups.size());
}

}  // namespace pelko
