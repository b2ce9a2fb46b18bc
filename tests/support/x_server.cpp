#include "support/x_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {
namespace {

// Reads the display number the server writes once it accepts connections; -1 when it ends first
// or takes longer than the limit.
int readDisplayNumber(int fd, std::chrono::milliseconds limit)
{
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (text.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return -1;
        }
        pollfd waiting{fd, POLLIN, 0};
        int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return -1;
        }
        char buffer[32];
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return -1;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && number >= 0 && number < 65536 ? static_cast<int>(number) : -1;
}

// The program's path in PATH; empty when it is not there.
std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return {};
}

// Errors of the test's own requests (a window that is gone, say) are answered, not fatal.
int ignoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XServer::XServer(int width, int height)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        error_ = "cannot create a pipe for the X server";
        return;
    }
    // The read end stays with the test; the server writes its display number to the write end.
    ::fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    std::string program = findProgram("Xvfb");
    if (program.empty()) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        error_ = "Xvfb is not installed (scripts/install-deps installs the package xvfb)";
        return;
    }
    std::string fdText = std::to_string(pipeFds[1]);
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const char* arguments[] = {"Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(),
                               "-nolisten", "tcp", "-noreset", nullptr};
    pid_t parentPid = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        // The server ends with the test, even when the test is killed or crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parentPid) {
            ::_exit(1);
        }
        int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, 0);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execv(program.c_str(), const_cast<char* const*>(arguments));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        error_ = std::string("Xvfb could not be started: ") + std::strerror(errno);
        return;
    }
    pid_ = pid;
    int number = readDisplayNumber(pipeFds[0], std::chrono::seconds(20));
    ::close(pipeFds[0]);
    if (number < 0) {
        error_ = "Xvfb did not report a display within 20 s";
        return;
    }
    name_ = ":" + std::to_string(number);

    // Installed once: the editor's windows chain their own handler in front of it later.
    static bool handlerInstalled = false;
    if (!handlerInstalled) {
        XSetErrorHandler(&ignoreError);
        handlerInstalled = true;
    }
    // The server has said it listens; connecting may still need a moment.
    for (int attempt = 0; attempt < 100 && display_ == nullptr; ++attempt) {
        display_ = XOpenDisplay(name_.c_str());
        if (display_ == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (display_ == nullptr) {
        error_ = "cannot connect to Xvfb on " + name_;
        return;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        error_ = "Xvfb on " + name_ + " has no XTest extension";
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    const char* previous = std::getenv("DISPLAY");
    hadDisplay_ = previous != nullptr;
    previousDisplay_ = previous != nullptr ? previous : "";
    ::setenv("DISPLAY", name_.c_str(), 1);
}

XServer::~XServer()
{
    if (display_ != nullptr) {
        XCloseDisplay(display_);
        if (hadDisplay_) {
            ::setenv("DISPLAY", previousDisplay_.c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
}

XWindow XServer::root() const
{
    return DefaultRootWindow(display_);
}

void XServer::sync()
{
    XSync(display_, False);
}

XWindow XServer::createParentWindow(int width, int height, int x, int y)
{
    int screen = DefaultScreen(display_);
    Window window = XCreateSimpleWindow(display_, root(), x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, BlackPixel(display_, screen),
                                        BlackPixel(display_, screen));
    XMapWindow(display_, window);
    sync();
    return window;
}

void XServer::destroyWindow(XWindow window)
{
    XDestroyWindow(display_, window);
    sync();
}

void XServer::rootPosition(XWindow window, int& x, int& y)
{
    Window child = 0;
    x = 0;
    y = 0;
    XTranslateCoordinates(display_, window, root(), 0, 0, &x, &y, &child);
}

void XServer::movePointer(XWindow window, int x, int y)
{
    int originX = 0, originY = 0;
    rootPosition(window, originX, originY);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), originX + x, originY + y, CurrentTime);
    sync();
}

void XServer::pressButton(int button)
{
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    sync();
}

void XServer::releaseButton(int button)
{
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    sync();
}

void XServer::click(XWindow window, int x, int y, int button)
{
    movePointer(window, x, y);
    pressButton(button);
    releaseButton(button);
}

void XServer::drag(XWindow window, int fromX, int fromY, int toX, int toY, int steps,
                   const std::function<void()>& between)
{
    movePointer(window, fromX, fromY);
    between();
    pressButton(1);
    between();
    for (int i = 1; i <= steps; ++i) {
        movePointer(window, fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
        between();
    }
    releaseButton(1);
    between();
}

void XServer::pressKey(unsigned long keysym)
{
    KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    sync();
}

void XServer::releaseKey(unsigned long keysym)
{
    KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    sync();
}

void XServer::tapKey(unsigned long keysym)
{
    pressKey(keysym);
    releaseKey(keysym);
}

bool XServer::swapButtons(bool swapped)
{
    unsigned char map[32];
    int count = XGetPointerMapping(display_, map, sizeof map);
    if (count < 3) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        map[i] = static_cast<unsigned char>(i + 1);
    }
    if (swapped) {
        map[0] = 3;
        map[2] = 1;
    }
    // The server refuses a new mapping while a button is down; nothing is held between steps here.
    bool done = XSetPointerMapping(display_, map, count) == MappingSuccess;
    sync();
    return done;
}

long XServer::pixel(XWindow window, int x, int y)
{
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return -1;
    }
    long value = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFFu);
    XDestroyImage(image);
    return value;
}

std::vector<XWindow> XServer::children(XWindow window)
{
    Window rootReturn = 0, parent = 0;
    Window* list = nullptr;
    unsigned count = 0;
    std::vector<XWindow> result;
    if (XQueryTree(display_, window, &rootReturn, &parent, &list, &count) != 0) {
        result.assign(list, list + count);
    }
    if (list != nullptr) {
        XFree(list);
    }
    return result;
}

XWindow XServer::parentOf(XWindow window)
{
    Window rootReturn = 0, parent = 0;
    Window* list = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window, &rootReturn, &parent, &list, &count) == 0) {
        return 0;
    }
    if (list != nullptr) {
        XFree(list);
    }
    return parent;
}

std::vector<XWindow> XServer::popupWindows()
{
    std::vector<XWindow> popups;
    for (XWindow window : children(root())) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.override_redirect &&
            attributes.map_state == IsViewable) {
            popups.push_back(window);
        }
    }
    return popups;
}

bool XServer::exists(XWindow window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) != 0;
}

std::vector<unsigned long> XServer::property32(XWindow window, const std::string& name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name.c_str(), False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        format == 32 && data != nullptr) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

bool eventually(const std::function<bool()>& done, const std::function<void()>& step, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace testing_support
