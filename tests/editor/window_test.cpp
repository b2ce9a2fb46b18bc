// The frame in a real window under a private X server: placed as the child of the host's window,
// driven by the pointer and keys of the XTest extension, its pixels read back from the server.
#include "editor/toolkit/frame.h"
#include "editor/toolkit/text_editor.h"
#include "editor/test_controls.h"
#include "support/drag_source.h"
#include "support/x_server.h"

#include <X11/keysym.h>

#include <gtest/gtest.h>

#include <chrono>

using namespace pelko;
using editor_testing::BarControl;
using editor_testing::CountingListener;
using testing_support::DragSource;
using testing_support::eventually;
using testing_support::XServer;
using testing_support::XWindow;

namespace {

// The bar spans x 20 ... 180 of a 200 × 100 frame; a point at x lies at value (x - 20) / 160.
constexpr Rect kBar{20, 20, 180, 50};

// Counts the idle steps the frame runs while a drag goes on.
struct CountingOwner : FrameOwner {
    void trackingIdle() override { ++idles; }
    int idles = 0;
};

struct WindowFixture : testing::Test {
    XServer x;
    XWindow parent = 0;
    CountingListener listener;
    CountingOwner owner;
    Frame* frame = nullptr;
    BarControl* bar = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(x.ok()) << x.error();
        parent = x.createParentWindow(320, 240);
        frame = new Frame(200, 100, &owner);
        bar = new BarControl(kBar, &listener, 12);
        frame->addView(bar);
        ASSERT_TRUE(frame->openWindow(parent, x.displayName()));
        pump();
    }
    void TearDown() override
    {
        if (frame != nullptr) {
            frame->release();
        }
    }
    XWindow window() const { return static_cast<XWindow>(frame->windowId()); }
    // Takes what the server has sent the frame so far.
    void pump()
    {
        frame->waitForEvents(5);
        frame->idle();
    }
    bool until(const std::function<bool()>& done) { return eventually(done, [this] { pump(); }); }
    bool showsColour(int px, int py, Colour colour)
    {
        return until([&] { return x.pixel(window(), px, py) == static_cast<long>(colour.rgb()); });
    }
    // Waits for done while the frame takes its events and the source its answers.
    bool serveUntil(DragSource& source, const std::function<bool()>& done)
    {
        return eventually(done, [&] {
            pump();
            source.serve();
        });
    }
    // A whole drag: in, to the point, dropped, until the source hears the end.
    void dragAndDrop(DragSource& source, int px, int py)
    {
        source.enter(window());
        source.position(window(), px, py);
        EXPECT_TRUE(serveUntil(source, [&] { return source.statusReplies == 1; }));
        source.drop(window());
        EXPECT_TRUE(serveUntil(source, [&] { return source.finished; }));
    }
    static std::vector<MenuItem> menuItems()
    {
        return {MenuItem::entry("Sine"), MenuItem::line(),
                MenuItem::submenu("More", {MenuItem::entry("Saw"), MenuItem::entry("Square")}),
                MenuItem::entry("Noise")};
    }
};

// Takes dropped files when asked to, and remembers what came.
struct DropTarget : View {
    DropTarget(const Rect& r, bool takes) : View(r), takes(takes) {}
    bool drop(DrawContext&, const std::vector<std::string>& files, Point where) override
    {
        ++drops;
        items = files;
        at = where;
        return takes;
    }
    bool takes;
    int drops = 0;
    std::vector<std::string> items;
    Point at{};
};

}  // namespace

TEST_F(WindowFixture, TheFrameIsAChildOfTheHostsWindowAndShowsItsViews)
{
    EXPECT_EQ(x.parentOf(window()), parent);
    EXPECT_EQ(x.children(parent), std::vector<XWindow>{window()});
    // Value 0: the whole bar shows its empty colour; around it the frame's background.
    EXPECT_TRUE(showsColour(100, 35, BarControl::kEmpty));
    EXPECT_TRUE(showsColour(5, 5, colours::kButtonFace));

    // Without a host window the frame opens a top-level window of its own.
    Frame* alone = new Frame(50, 40);
    ASSERT_TRUE(alone->openWindow(0, x.displayName(), "Standalone"));
    EXPECT_EQ(x.parentOf(static_cast<XWindow>(alone->windowId())), x.root());
    alone->release();
    // A host window that does not exist is refused.
    Frame* orphan = new Frame(50, 40);
    EXPECT_FALSE(orphan->openWindow(0x7FFFFF0, x.displayName()));
    EXPECT_FALSE(orphan->hasWindow());
    orphan->release();
    EXPECT_EQ(x.children(parent).size(), 1u);
}

TEST_F(WindowFixture, ADragThroughTheServerTracksByEventsAndRepaints)
{
    x.movePointer(window(), 40, 35);
    pump();
    x.pressButton(1);
    ASSERT_TRUE(until([&] { return frame->isTracking(); }));
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 0);
    EXPECT_FLOAT_EQ(bar->value(), 20.0f / 160.0f);
    EXPECT_TRUE(showsColour(30, 35, BarControl::kFilled));

    // The button is held, but an idle with nothing queued returns at once.
    auto started = std::chrono::steady_clock::now();
    frame->idle();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_TRUE(frame->isTracking());

    for (int px = 60; px <= 140; px += 20) {
        x.movePointer(window(), px, 37);
        ASSERT_TRUE(until([&] { return bar->value() == static_cast<float>(px - 20) / 160.0f; })) << px;
    }
    // Beyond the window the drag goes on, bounded.
    x.movePointer(window(), 260, 60);
    ASSERT_TRUE(until([&] { return bar->value() == 1.0f; }));
    x.movePointer(window(), 120, 37);
    x.releaseButton(1);
    ASSERT_TRUE(until([&] { return !frame->isTracking(); }));
    EXPECT_FLOAT_EQ(bar->value(), 100.0f / 160.0f);
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
    EXPECT_EQ(listener.lastTag, 12);
    EXPECT_FLOAT_EQ(listener.lastValue, bar->value());
    EXPECT_TRUE(showsColour(110, 35, BarControl::kFilled));
    EXPECT_TRUE(showsColour(130, 35, BarControl::kEmpty));

    // Every event of the drag ran the owner's idle step (the host keeps being idled).
    EXPECT_GE(owner.idles, 8);

    // A motion after the release moves nothing.
    int changes = listener.changes;
    int idles = owner.idles;
    x.movePointer(window(), 170, 37);
    pump();
    pump();
    EXPECT_EQ(listener.changes, changes);
    EXPECT_EQ(owner.idles, idles);

    // A click is a drag of no length.
    x.click(window(), 60, 30);
    ASSERT_TRUE(until([&] { return listener.ends == 2; }));
    EXPECT_FLOAT_EQ(bar->value(), 40.0f / 160.0f);
    // A second click at once is a double click.
    x.click(window(), 61, 30);
    ASSERT_TRUE(until([&] { return listener.ends == 3; }));
    EXPECT_EQ(bar->doubleClicks, 1);
}

TEST_F(WindowFixture, EventsQueuedBeforeAnIdleAreTakenInTheirOrder)
{
    struct Recorder : CountingListener {
        void valueChanged(DrawContext* context, Control& control) override
        {
            CountingListener::valueChanged(context, control);
            values.push_back(control.value());
        }
        std::vector<float> values;
    } recorder;
    bar->setListener(&recorder);
    x.movePointer(window(), 40, 35);
    pump();
    // Everything arrives before the frame looks: moves of the pointer are merged, but never
    // across the press or the release.
    x.pressButton(1);
    x.movePointer(window(), 80, 35);
    x.movePointer(window(), 100, 35);
    x.releaseButton(1);
    x.movePointer(window(), 170, 35);
    x.movePointer(window(), 175, 35);
    ASSERT_TRUE(until([&] { return recorder.ends == 1; }));
    pump();
    EXPECT_FLOAT_EQ(bar->value(), 0.5f);
    for (float value : recorder.values) {
        EXPECT_LE(value, 0.5f);
    }
    EXPECT_EQ(recorder.begins, 1);
}

TEST_F(WindowFixture, SwappedButtonsReadThePhysicalRightButtonAsTheLeftOne)
{
    ASSERT_TRUE(x.swapButtons(true));
    // The physical left button is the right one now: the bar takes only the left.
    x.click(window(), 100, 35, 1);
    pump();
    pump();
    EXPECT_EQ(listener.begins, 0);
    EXPECT_EQ(bar->value(), 0.0f);

    x.movePointer(window(), 100, 35);
    x.pressButton(3);
    ASSERT_TRUE(until([&] { return frame->isTracking(); }));
    EXPECT_EQ(frame->mouseState() & kMouseButtons, kMouseLeft);
    x.movePointer(window(), 140, 35);
    ASSERT_TRUE(until([&] { return bar->value() == 0.75f; }));
    EXPECT_EQ(frame->mouseState() & kMouseButtons, kMouseLeft);
    x.releaseButton(3);
    ASSERT_TRUE(until([&] { return !frame->isTracking(); }));
    EXPECT_EQ(listener.ends, 1);
    x.swapButtons(false);
}

TEST_F(WindowFixture, TheWheelArrivesInNotches)
{
    bar->setValue(0.5f);
    x.movePointer(window(), 100, 35);
    x.pressButton(4);
    x.releaseButton(4);
    ASSERT_TRUE(until([&] { return bar->lastWheel != 0.0f; }));
    EXPECT_FLOAT_EQ(bar->lastWheel, 1.0f);
    EXPECT_FLOAT_EQ(bar->value(), 0.6f);
    x.pressButton(5);
    x.releaseButton(5);
    x.pressButton(5);
    x.releaseButton(5);
    ASSERT_TRUE(until([&] { return bar->value() < 0.45f; }));
    EXPECT_FLOAT_EQ(bar->lastWheel, -1.0f);
    EXPECT_FLOAT_EQ(bar->value(), 0.4f);
    EXPECT_EQ(listener.begins, 0);  // the wheel is no drag
}

TEST_F(WindowFixture, KeysReachTheFocusViewWithTheArrowsTranslated)
{
    auto* editor = new TextEditor(Rect{20, 60, 180, 80}, &listener, 40, "old");
    frame->addView(editor);
    editor->startEditing();
    // Keys go to the window under the pointer inside the focused window.
    x.movePointer(window(), 100, 70);
    for (unsigned long key : {XK_n, XK_e, XK_w, XK_Left, XK_BackSpace, XK_End, XK_exclam}) {
        if (key == XK_exclam) {
            x.pressKey(XK_Shift_L);
            x.tapKey(XK_1);
            x.releaseKey(XK_Shift_L);
        } else {
            x.tapKey(key);
        }
    }
    ASSERT_TRUE(until([&] { return editor->text() == "nw!"; })) << editor->text();
    x.tapKey(XK_Return);
    ASSERT_TRUE(until([&] { return !editor->editing(); }));
    EXPECT_TRUE(editor->confirmed());
    EXPECT_EQ(editor->previousText(), "old");
    EXPECT_EQ(listener.lastTag, 40);
}

TEST_F(WindowFixture, PopupMenusAreOverrideRedirectWindowsThatCloseOnAClickOutsideOrEscape)
{
    int chosen = -2;
    auto record = [&chosen](int index) { chosen = index; };
    frame->openPopupMenu(menuItems(), Point{30, 10}, record);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    XWindow panel = x.popupWindows()[0];
    int panelX = 0, panelY = 0, frameX = 0, frameY = 0;
    x.rootPosition(panel, panelX, panelY);
    x.rootPosition(window(), frameX, frameY);
    EXPECT_EQ(panelX - frameX, 30);
    EXPECT_EQ(panelY - frameY, 10);
    // The panel shows its own drawing: the light panel colour beside the first entry's text.
    EXPECT_TRUE(until([&] { return x.pixel(panel, 4, 12) == 0xF0F0F0; }));

    // A click outside every panel (and inside the bar) closes the menu and goes nowhere else.
    x.click(window(), 150, 80);
    ASSERT_TRUE(until([&] { return chosen == -1; }));
    EXPECT_TRUE(until([&] { return x.popupWindows().empty(); }));
    EXPECT_EQ(listener.begins, 0);

    chosen = -2;
    frame->openPopupMenu(menuItems(), Point{30, 10}, record);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    x.tapKey(XK_Escape);
    ASSERT_TRUE(until([&] { return chosen == -1; }));
    EXPECT_TRUE(until([&] { return x.popupWindows().empty(); }));

    // The pointer resting on "More" opens its submenu; a click on "Square" chooses it.
    chosen = -2;
    frame->openPopupMenu(menuItems(), Point{30, 10}, record);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    x.movePointer(window(), 30 + 20, 10 + 2 + 18 + 7 + 9);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 2; }));
    ASSERT_EQ(frame->popupMenu()->panelAreas().size(), 2u);
    Rect sub = frame->popupMenu()->panelAreas()[1];
    x.movePointer(window(), sub.left + 20, sub.top + 2 + 18 + 9);
    pump();
    x.click(window(), sub.left + 20, sub.top + 2 + 18 + 9);
    ASSERT_TRUE(until([&] { return chosen == 2; }));
    EXPECT_TRUE(until([&] { return x.popupWindows().empty(); }));

    // Closing the window cancels its menu; releasing the frame takes a menu with it silently.
    chosen = -2;
    frame->openPopupMenu(menuItems(), Point{30, 10}, record);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    frame->closeWindow();
    EXPECT_EQ(chosen, -1);
    x.sync();
    EXPECT_TRUE(x.popupWindows().empty());
    ASSERT_TRUE(frame->openWindow(parent, x.displayName()));
    chosen = -2;
    frame->openPopupMenu(menuItems(), Point{30, 10}, record);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    frame->release();
    frame = nullptr;
    EXPECT_EQ(chosen, -2);
    x.sync();
    EXPECT_TRUE(x.popupWindows().empty());
    EXPECT_TRUE(x.children(parent).empty());
}

TEST_F(WindowFixture, MenusNearTheScreensCornerStayOnTheScreen)
{
    // A host window in the bottom right corner of the 1024 × 768 screen.
    XWindow corner = x.createParentWindow(240, 120, 1024 - 220, 768 - 110);
    frame->release();
    frame = new Frame(200, 100);
    ASSERT_TRUE(frame->openWindow(corner, x.displayName()));
    int chosen = -2;
    frame->openPopupMenu(menuItems(), Point{150, 80}, [&chosen](int index) { chosen = index; });
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    Rect top = frame->popupMenu()->panelAreas()[0];
    int frameX = 0, frameY = 0;
    x.rootPosition(window(), frameX, frameY);
    EXPECT_LE(frameX + top.right, 1024);
    EXPECT_LE(frameY + top.bottom, 768);
    int panelX = 0, panelY = 0;
    x.rootPosition(x.popupWindows()[0], panelX, panelY);
    EXPECT_EQ(panelX, frameX + top.left);
    EXPECT_EQ(panelY, frameY + top.top);
    // The submenu has no room on the right: it opens on the left of the top panel.
    x.movePointer(window(), top.left + 20, top.top + 2 + 18 + 7 + 9);
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 2; }));
    Rect sub = frame->popupMenu()->panelAreas()[1];
    EXPECT_LE(sub.right, top.left + 2);
    EXPECT_GE(frameX + sub.left, 0);
    EXPECT_LE(frameY + sub.bottom, 768);
    x.movePointer(window(), sub.left + 20, sub.top + 2 + 9);
    pump();
    x.click(window(), sub.left + 20, sub.top + 2 + 9);
    ASSERT_TRUE(until([&] { return chosen == 1; }));
}

TEST_F(WindowFixture, AHostThatDestroysItsWindowBeforeClosingTheEditorIsSurvived)
{
    frame->openPopupMenu(menuItems(), Point{30, 10}, [](int) {});
    ASSERT_TRUE(until([&] { return x.popupWindows().size() == 1; }));
    x.destroyWindow(parent);
    bar->setValue(0.5f);
    pump();
    pump();
    frame->release();
    frame = nullptr;
    x.sync();
    EXPECT_TRUE(x.popupWindows().empty());
    XWindow next = x.createParentWindow(100, 100);
    Frame* again = new Frame(50, 50);
    EXPECT_TRUE(again->openWindow(next, x.displayName()));
    again->release();
}

TEST_F(WindowFixture, AHundredFramesOpenedAndClosedLeaveNoWindowBehind)
{
    frame->release();
    frame = nullptr;
    for (int i = 0; i < 100; ++i) {
        Frame* f = new Frame(200, 100);
        f->addView(new BarControl(kBar, &listener, i));
        ASSERT_TRUE(f->openWindow(parent, x.displayName())) << i;
        ASSERT_EQ(x.children(parent).size(), 1u) << i;
        if (i % 10 == 0) {
            // Some of them close with a menu open.
            f->openPopupMenu(menuItems(), Point{10, 10}, [](int) {});
        }
        f->idle();
        f->release();
    }
    x.sync();
    EXPECT_TRUE(x.children(parent).empty());
    EXPECT_TRUE(x.popupWindows().empty());
}

TEST_F(WindowFixture, FilesDroppedByAnotherProgramReachTheViewUnderThePoint)
{
    // The window tells dragging programs that it speaks the protocol's version 5.
    EXPECT_EQ(x.property32(window(), "XdndAware"), std::vector<unsigned long>{5});
    auto* target = new DropTarget(Rect{100, 55, 200, 100}, true);
    frame->addView(target);
    DragSource source(x, "file:///tmp/one.fxp\r\nfile://localhost/tmp/My%20Sounds/%C3%A9t%C3%A9%23.fxb\r\n"
                         "http://example.org/skipped.fxp\r\n");
    source.enter(window());
    source.position(window(), 150, 70);
    ASSERT_TRUE(serveUntil(source, [&] { return source.statusReplies == 1; }));
    EXPECT_TRUE(source.accepted);
    EXPECT_TRUE(source.actionIsCopy);
    source.position(window(), 160, 75);
    ASSERT_TRUE(serveUntil(source, [&] { return source.statusReplies == 2; }));
    source.drop(window());
    ASSERT_TRUE(serveUntil(source, [&] { return source.finished; }));
    EXPECT_TRUE(source.finishedAccepted);
    EXPECT_TRUE(source.finishedActionIsCopy);
    EXPECT_EQ(source.dataRequests, 1);
    ASSERT_EQ(target->drops, 1);
    EXPECT_EQ(target->items, (std::vector<std::string>{"/tmp/one.fxp", "/tmp/My Sounds/été#.fxb"}));
    EXPECT_EQ(target->at, (Point{160, 75}));

    // A source that lists more than three types on its window is understood too.
    DragSource many(x, "file:///tmp/two.wav", {"text/plain", "UTF8_STRING", "STRING", "text/x-moz-url", "text/uri-list"});
    dragAndDrop(many, 120, 60);
    EXPECT_TRUE(many.accepted);
    EXPECT_TRUE(many.finishedAccepted);
    EXPECT_EQ(target->items, std::vector<std::string>{"/tmp/two.wav"});
    EXPECT_EQ(target->at, (Point{120, 60}));
}

TEST_F(WindowFixture, DropsThatBringNoFilesOrLandOnNoTakerAreRefused)
{
    auto* target = new DropTarget(Rect{100, 55, 200, 100}, true);
    frame->addView(target);
    // Only text: nothing is offered to take.
    DragSource text(x, "hello", {"text/plain"});
    dragAndDrop(text, 150, 70);
    EXPECT_FALSE(text.accepted);
    EXPECT_FALSE(text.finishedAccepted);
    EXPECT_EQ(text.dataRequests, 0);
    // A list without a local file.
    DragSource remote(x, "http://example.org/a.fxp\r\nfile://elsewhere.example/b.fxp\r\nfile:///bad%zz\r\n");
    dragAndDrop(remote, 150, 70);
    EXPECT_TRUE(remote.accepted);
    EXPECT_FALSE(remote.finishedAccepted);
    // Files over a place where no view takes them.
    DragSource files(x, "file:///tmp/a.fxp");
    dragAndDrop(files, 50, 70);
    EXPECT_FALSE(files.finishedAccepted);
    EXPECT_EQ(target->drops, 0);

    // A drag that leaves is forgotten: a drop without an enter is refused.
    DragSource gone(x, "file:///tmp/a.fxp");
    gone.enter(window());
    gone.position(window(), 150, 70);
    gone.leave(window());
    gone.drop(window());
    ASSERT_TRUE(serveUntil(gone, [&] { return gone.finished; }));
    EXPECT_FALSE(gone.finishedAccepted);
    EXPECT_EQ(target->drops, 0);
    // The window still takes the next drag.
    DragSource next(x, "file:///tmp/c.fxp");
    dragAndDrop(next, 150, 70);
    EXPECT_TRUE(next.finishedAccepted);
    EXPECT_EQ(target->items, std::vector<std::string>{"/tmp/c.fxp"});
}
