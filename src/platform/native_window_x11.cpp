#include "platform/native_window.h"

#include "platform/uri_list.h"

#include <X11/Xatom.h>
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

// Pixels to units, rounding towards minus infinity (positions left of or above the window stay
// outside it).
int toUnits(int pixels, int scale)
{
    return pixels >= 0 ? pixels / scale : -((-pixels + scale - 1) / scale);
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
    int scale = 1;

    // Files dragged over the window by another program.
    struct Atoms {
        Atom aware, enter, position, status, leave, drop, finished, selection, typeList, actionCopy, uriList,
            incr, dropData;
    } dnd{};
    struct Drag {
        Window source = 0;
        long version = 0;
        bool offersFiles = false;
        int x = 0;                  // the last position, in window coordinates
        int y = 0;
        bool waitingForData = false;
        bool answerPending = false; // the drop was handed on; the owner answers with finishDrop
    } drag;

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

namespace {

// The protocol version this window speaks (the drag's own may be older).
constexpr long kDragVersion = 5;
// A file list larger than this is refused (as 32-bit units of the property request).
constexpr long kMaxDropListLongs = 256 * 1024;
// At most this many offered types are looked at.
constexpr long kMaxDragTypes = 1024;

using Native = NativeWindow::Native;

void initDragAndDrop(Native& n)
{
    const char* names[] = {"XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave",
                           "XdndDrop", "XdndFinished", "XdndSelection", "XdndTypeList", "XdndActionCopy",
                           "text/uri-list", "INCR", "EDITOR_DROPPED_FILES"};
    Atom atoms[13] = {};
    XInternAtoms(n.display, const_cast<char**>(names), 13, False, atoms);
    n.dnd = Native::Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6],
                          atoms[7], atoms[8], atoms[9], atoms[10], atoms[11], atoms[12]};
    Atom version = static_cast<Atom>(kDragVersion);
    XChangeProperty(n.display, n.window, n.dnd.aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&version), 1);
}

void sendToDragSource(Native& n, Atom type, long first, long second, long third, long fourth)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.display = n.display;
    message.xclient.window = n.drag.source;
    message.xclient.message_type = type;
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(n.window);
    message.xclient.data.l[1] = first;
    message.xclient.data.l[2] = second;
    message.xclient.data.l[3] = third;
    message.xclient.data.l[4] = fourth;
    // A source that went away meanwhile costs an error on the own connection, nothing more.
    XSendEvent(n.display, n.drag.source, False, NoEventMask, &message);
    XFlush(n.display);
}

void sendDropFinished(Native& n, bool accepted)
{
    if (n.drag.source != 0) {
        sendToDragSource(n, n.dnd.finished, accepted ? 1 : 0,
                         accepted ? static_cast<long>(n.dnd.actionCopy) : 0, 0, 0);
    }
    n.drag = Native::Drag{};
}

// Whether the source offers a file list, from the types in the message or, when it offers more
// than three, from the list on its window.
bool offersFileList(Native& n, const XClientMessageEvent& message)
{
    if ((message.data.l[1] & 1) == 0) {
        for (int i = 2; i < 5; ++i) {
            if (static_cast<Atom>(message.data.l[i]) == n.dnd.uriList) {
                return true;
            }
        }
        return false;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(n.display, static_cast<Window>(message.data.l[0]), n.dnd.typeList, 0, kMaxDragTypes,
                           False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        type == XA_ATOM && format == 32 && data != nullptr) {
        // Format 32 properties come as an array of longs.
        const auto* types = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            found = static_cast<Atom>(types[i]) == n.dnd.uriList;
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

void handleDragMessage(Native& n, const XClientMessageEvent& message)
{
    if (message.format != 32) {
        return;
    }
    Atom type = message.message_type;
    auto source = static_cast<Window>(message.data.l[0]);
    if (type == n.dnd.enter) {
        if (n.drag.answerPending || n.drag.waitingForData) {
            sendDropFinished(n, false);
        }
        n.drag = Native::Drag{};
        n.drag.source = source;
        n.drag.version = (message.data.l[1] >> 24) & 0xFF;
        n.drag.offersFiles = offersFileList(n, message);
        return;
    }
    if (source == 0 || source != n.drag.source) {
        // A message of no drag this window knows: a drop is answered so the source can end.
        if (type == n.dnd.drop && source != 0) {
            Native::Drag saved = n.drag;
            n.drag = Native::Drag{};
            n.drag.source = source;
            sendDropFinished(n, false);
            n.drag = saved;
        }
        return;
    }
    if (type == n.dnd.position) {
        // The pointer on the root window, as two signed 16-bit halves.
        auto rootX = static_cast<std::int16_t>((message.data.l[2] >> 16) & 0xFFFF);
        auto rootY = static_cast<std::int16_t>(message.data.l[2] & 0xFFFF);
        Window child = 0;
        XTranslateCoordinates(n.display, DefaultRootWindow(n.display), n.window, rootX, rootY, &n.drag.x,
                              &n.drag.y, &child);
        bool accept = n.drag.offersFiles && !n.drag.waitingForData && !n.drag.answerPending;
        // No rectangle: a position message for every move.
        sendToDragSource(n, n.dnd.status, accept ? 1 : 0, 0, 0, accept ? static_cast<long>(n.dnd.actionCopy) : 0);
    } else if (type == n.dnd.leave) {
        if (!n.drag.waitingForData && !n.drag.answerPending) {
            n.drag = Native::Drag{};
        }
    } else if (type == n.dnd.drop) {
        if (!n.drag.offersFiles || n.drag.waitingForData || n.drag.answerPending) {
            sendDropFinished(n, false);
            return;
        }
        auto time = n.drag.version >= 1 ? static_cast<Time>(message.data.l[2]) : CurrentTime;
        XDeleteProperty(n.display, n.window, n.dnd.dropData);
        XConvertSelection(n.display, n.dnd.selection, n.dnd.uriList, n.dnd.dropData, n.window, time);
        XFlush(n.display);
        n.drag.waitingForData = true;
    }
}

// The file list the source sent for a drop: a kDrop event when it names local files; otherwise
// the drop is answered as refused.
bool takeDroppedFiles(Native& n, const XSelectionEvent& notice, WindowEvent& out)
{
    if (!n.drag.waitingForData || notice.selection != n.dnd.selection) {
        return false;
    }
    n.drag.waitingForData = false;
    std::vector<std::string> files;
    if (notice.property == n.dnd.dropData) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(n.display, n.window, n.dnd.dropData, 0, kMaxDropListLongs, True, AnyPropertyType,
                               &type, &format, &count, &after, &data) == Success &&
            data != nullptr && format == 8 && type != n.dnd.incr && after == 0) {
            files = filePathsFromUriList(std::string_view(reinterpret_cast<const char*>(data), count));
        }
        if (data != nullptr) {
            XFree(data);
        }
        XDeleteProperty(n.display, n.window, n.dnd.dropData);
    }
    if (files.empty()) {
        sendDropFinished(n, false);
        return false;
    }
    out = WindowEvent{};
    out.type = WindowEvent::Type::kDrop;
    out.x = toUnits(n.drag.x, n.scale);
    out.y = toUnits(n.drag.y, n.scale);
    out.files = std::move(files);
    n.drag.answerPending = true;
    return true;
}

}  // namespace

void NativeWindow::finishDrop(bool accepted)
{
    Native& n = *native_;
    if (n.drag.answerPending || n.drag.waitingForData) {
        sendDropFinished(n, accepted && n.drag.answerPending);
    }
}

std::unique_ptr<NativeWindow> NativeWindow::open(const Options& options)
{
    const int scale = options.scale == 2 ? 2 : 1;
    if (options.width <= 0 || options.height <= 0 || options.width > 16384 / scale || options.height > 16384 / scale) {
        return nullptr;
    }
    const int pixelWidth = options.width * scale;
    const int pixelHeight = options.height * scale;
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
    Window window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(pixelWidth),
                                  static_cast<unsigned>(pixelHeight), 0, DefaultDepth(display, screen), InputOutput,
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
    n.scale = scale;
    result->width_ = options.width;
    result->height_ = options.height;
    result->scale_ = scale;

    if (options.parent == 0) {
        // A top-level window of fixed size with the window manager's usual decorations.
        XStoreName(display, window, options.title.c_str());
        XSizeHints* hints = XAllocSizeHints();
        if (hints != nullptr) {
            hints->flags = PMinSize | PMaxSize;
            hints->min_width = hints->max_width = pixelWidth;
            hints->min_height = hints->max_height = pixelHeight;
            XSetWMNormalHints(display, window, hints);
            XFree(hints);
        }
        n.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &n.deleteWindow, 1);
    }
    initDragAndDrop(n);
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
    if (n.drag.waitingForData || n.drag.answerPending) {
        finishDrop(false);
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
        // Pointer positions are given relative to the main window, wherever the pointer is, in
        // units.
        const int s = n.scale;
        int dx = main ? 0 : popup->area.x * s;
        int dy = main ? 0 : popup->area.y * s;
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
            {
                // The units that cover the exposed pixels.
                const XExposeEvent& e = event.xexpose;
                int x0 = toUnits(e.x, s);
                int y0 = toUnits(e.y, s);
                int x1 = toUnits(e.x + e.width + s - 1, s);
                int y1 = toUnits(e.y + e.height + s - 1, s);
                out.area = WindowArea{x0, y0, x1 - x0, y1 - y0};
            }
            return true;
        case ButtonPress:
        case ButtonRelease: {
            XButtonEvent& b = event.xbutton;
            out.x = toUnits(b.x + dx, s);
            out.y = toUnits(b.y + dy, s);
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
            out.x = toUnits(m.x + dx, s);
            out.y = toUnits(m.y + dy, s);
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
            if (main) {
                handleDragMessage(n, event.xclient);
            }
            continue;
        case SelectionNotify:
            if (main && takeDroppedFiles(n, event.xselection, out)) {
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
    const int s = scale_;
    int x0 = std::max(0, area.x) * s;
    int y0 = std::max(0, area.y) * s;
    int x1 = std::min(width_, area.x + area.width) * s;
    int y1 = std::min(height_, area.y + area.height) * s;
    if (!n.canPresent || pixels == nullptr || x1 <= x0 || y1 <= y0) {
        return;
    }
    putImage(n.display, n.window, n.gc, n.visual, n.depth, pixels, stride, width_ * s, height_ * s, x0, y0, x1 - x0,
             y1 - y0);
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

WindowArea NativeWindow::screenArea() const
{
    Native& n = *native_;
    int screen = DefaultScreen(n.display);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(n.display, n.window, RootWindow(n.display, screen), 0, 0, &rootX, &rootY, &child);
    const int s = scale_;
    return WindowArea{toUnits(-rootX, s), toUnits(-rootY, s), DisplayWidth(n.display, screen) / s,
                      DisplayHeight(n.display, screen) / s};
}

int NativeWindow::openPopup(const WindowArea& area)
{
    Native& n = *native_;
    const int s = scale_;
    if (area.width <= 0 || area.height <= 0 || area.width > 16384 / s || area.height > 16384 / s) {
        return 0;
    }
    int screen = DefaultScreen(n.display);
    Window root = RootWindow(n.display, screen);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(n.display, n.window, root, area.x * s, area.y * s, &rootX, &rootY, &child);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(n.display, screen);
    attributes.event_mask = ExposureMask;
    attributes.save_under = True;
    Window window = XCreateWindow(n.display, root, rootX, rootY, static_cast<unsigned>(area.width * s),
                                  static_cast<unsigned>(area.height * s), 0, n.depth, InputOutput, n.visual,
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
    int w = std::min(width, found->area.width * scale_);
    int h = std::min(height, found->area.height * scale_);
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
