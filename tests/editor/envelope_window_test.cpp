// The envelope editor in a real window: a private X server (Xvfb) and XTest move the pointer and
// press its buttons, the frame reads the events as it does inside a host, and the drag reaches
// the program's envelope.
#include "control_fixture.h"

#include "editor/controls/envelope_editor.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Last: the X headers define macros (None, Bool, True) that clash with other headers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

// An X server of the test's own; the server picks a free display number and reports it.
class PrivateXServer {
public:
    PrivateXServer()
    {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The number arrives with a line feed, perhaps in pieces; the pipe stays open while the
        // server runs (it fails when it cannot write the whole line).
        pipe_ = fds[0];
        std::string text;
        char c = 0;
        while (pid_ > 0 && read(pipe_, &c, 1) == 1 && c != '\n') {
            text += c;
        }
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
            display_ = ":" + text;
        }
    }
    ~PrivateXServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (pipe_ >= 0) {
            close(pipe_);
        }
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::string display_;
};

TEST(EnvelopeWindow, AnXTestDragOfABreakpointMovesItInTheProgram)
{
    PrivateXServer server;
    if (server.display().empty()) {
        GTEST_SKIP() << "no Xvfb";
    }
    ControlTest t;
    t.skin("Env: x=10, y=10, width=300, height=160, marginLeft=10, marginRight=20, marginTop=10, marginBottom=44, "
           "defaultOffsetPercent=0");
    auto* env = t.make<EnvelopeEditor>("OscEnvDisplayer", 208 + object::kOscEnv, "Env");
    ASSERT_NE(env, nullptr);
    ASSERT_TRUE(t.frame->openWindow(0, server.display()));
    Display* display = XOpenDisplay(server.display().c_str());
    ASSERT_NE(display, nullptr);
    auto pump = [&](int times) {
        for (int i = 0; i < times; ++i) {
            t.frame->waitForEvents(10);
            t.frame->idle();
        }
    };
    pump(20);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, static_cast<Window>(t.frame->windowId()), DefaultRootWindow(display), 0, 0, &rootX,
                          &rootY, &child);

    const EnvelopeShape& s = t.services.program.objectAs<EnvelopeObject>(object::kOscEnv).shape();
    const Point at = env->breakpointPoint(2);  // 0.4 s, level 0.5; the plot is 270 × 106 pixels
    XTestFakeMotionEvent(display, 0, rootX + at.h, rootY + at.v, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XSync(display, False);
    pump(10);
    XTestFakeMotionEvent(display, 0, rootX + at.h + 27, rootY + at.v - 53, 0);
    XSync(display, False);
    pump(10);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    pump(10);
    XCloseDisplay(display);

    EXPECT_NEAR(s.segment(2).startTime, 0.5f, 1e-4);
    EXPECT_NEAR(s.segment(2).startLevel, 1.0f, 1e-4);
    EXPECT_FALSE(t.frame->isTracking());
    t.frame->closeWindow();
}

}  // namespace
