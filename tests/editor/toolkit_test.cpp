// Views, controls, containers and the frame without a window: dirty rules, mouse routing and
// tracking, wheel notches, keys and focus, double clicks, fonts, the text editor, popup menus.
#include "editor/toolkit/container.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "editor/toolkit/system_fonts.h"
#include "editor/toolkit/text_editor.h"
#include "editor/test_controls.h"

#include <gtest/gtest.h>

using namespace pelko;
using editor_testing::BarControl;
using editor_testing::CountingListener;

namespace {

struct FrameFixture : testing::Test {
    Frame* frame = new Frame(200, 100);
    CountingListener listener;
    ~FrameFixture() override { frame->release(); }
};

}  // namespace

TEST(ControlBase, DefaultsAndTheDirtyRule)
{
    auto* c = new BarControl(Rect{0, 0, 10, 10}, nullptr, 3);
    EXPECT_EQ(c->value(), 0.0f);
    EXPECT_EQ(c->minimum(), 0.0f);
    EXPECT_EQ(c->maximum(), 1.0f);
    EXPECT_EQ(c->defaultValue(), 0.5f);
    EXPECT_EQ(c->previousValue(), 1.0f);
    EXPECT_FLOAT_EQ(c->wheelIncrement(), 0.1f);
    EXPECT_GE(c->doubleClickTime(), 250);
    EXPECT_TRUE(c->isDirty());  // value 0 differs from the previous value 1
    c->setDirty(false);
    EXPECT_EQ(c->previousValue(), 0.0f);
    EXPECT_FALSE(c->isDirty());
    c->setValue(0.0f);
    EXPECT_FALSE(c->isDirty());
    c->setDirty(true);
    EXPECT_EQ(c->previousValue(), -1.0f);
    c->setValue(3.0f);
    c->bounceValue();
    EXPECT_EQ(c->value(), 1.0f);
    c->setRect(Rect{1, 2, 3, 4});
    c->copyBackgroundOffset();
    EXPECT_EQ(c->backgroundOffset(), (Point{1, 2}));
    c->release();
}

TEST_F(FrameFixture, UpdateRedrawsOnlyControlsWhoseValueChangedOrThatWereMarkedDirty)
{
    auto* a = new BarControl(Rect{0, 0, 50, 10}, &listener, 1);
    auto* b = new BarControl(Rect{0, 20, 50, 30}, &listener, 2);
    frame->addView(a);
    frame->addView(b);
    frame->redrawAll();
    a->draws = b->draws = 0;
    a->setValue(a->value());
    frame->updateViews();
    EXPECT_EQ(a->draws, 0);
    b->setValue(0.5f);
    frame->updateViews();
    EXPECT_EQ(a->draws, 0);
    EXPECT_EQ(b->draws, 1);
    a->setDirty(true);
    frame->updateViews();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(frame->backBuffer().pixel(10, 25), BarControl::kFilled.rgb());
    EXPECT_EQ(frame->backBuffer().pixel(40, 25), BarControl::kEmpty.rgb());
}

TEST_F(FrameFixture, APressGoesToTheFirstChildThatTakesItAndADragTracksWithoutWaiting)
{
    auto* container = new Container(Rect{100, 50, 200, 100});
    auto* hidden = new BarControl(Rect{0, 0, 100, 50}, &listener, 7);
    hidden->setMouseEnabled(false);
    auto* bar = new BarControl(Rect{0, 0, 100, 50}, &listener, 8);
    auto* second = new BarControl(Rect{0, 0, 100, 50}, &listener, 9);
    container->addView(hidden);
    container->addView(bar);
    container->addView(second);
    frame->addView(container);
    frame->redrawAll();

    frame->pressMouse(Point{125, 60}, kMouseLeft, 1000);
    EXPECT_TRUE(frame->isTracking());
    EXPECT_EQ(frame->trackingView(), bar);
    EXPECT_FLOAT_EQ(bar->value(), 0.25f);
    frame->moveMouse(Point{175, 60}, kMouseLeft);
    EXPECT_FLOAT_EQ(bar->value(), 0.75f);
    // Outside the control the drag goes on, bounded.
    frame->moveMouse(Point{400, 60}, kMouseLeft);
    EXPECT_FLOAT_EQ(bar->value(), 1.0f);
    frame->releaseMouse(Point{150, 60}, 0);
    EXPECT_FALSE(frame->isTracking());
    EXPECT_FLOAT_EQ(bar->value(), 0.5f);
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
    EXPECT_EQ(listener.changes, 4);
    EXPECT_EQ(listener.lastTag, 8);
    EXPECT_EQ(second->value(), 0.0f);
    EXPECT_EQ(hidden->value(), 0.0f);
    // Drawn in the container's coordinates.
    EXPECT_EQ(frame->backBuffer().pixel(145, 60), BarControl::kFilled.rgb());
    EXPECT_EQ(frame->backBuffer().pixel(155, 60), BarControl::kEmpty.rgb());
    // A motion without tracking changes nothing.
    frame->moveMouse(Point{190, 60}, 0);
    EXPECT_FLOAT_EQ(bar->value(), 0.5f);
}

TEST_F(FrameFixture, DoubleClicksFollowTheControlsTimeAndTheModalViewTakesEveryPress)
{
    auto* bar = new BarControl(Rect{0, 0, 100, 50}, &listener, 1);
    auto* other = new BarControl(Rect{100, 0, 200, 50}, &listener, 2);
    frame->addView(bar);
    frame->addView(other);
    bar->setDoubleClickTime(300);
    frame->pressMouse(Point{10, 10}, kMouseLeft, 5000);
    frame->releaseMouse(Point{10, 10}, 0);
    frame->pressMouse(Point{11, 10}, kMouseLeft, 5200);
    frame->releaseMouse(Point{11, 10}, 0);
    EXPECT_EQ(bar->doubleClicks, 1);
    frame->pressMouse(Point{11, 10}, kMouseLeft, 5600);
    frame->releaseMouse(Point{11, 10}, 0);
    EXPECT_EQ(bar->doubleClicks, 1);
    frame->pressMouse(Point{40, 10}, kMouseLeft, 5700);  // too far away
    frame->releaseMouse(Point{40, 10}, 0);
    EXPECT_EQ(bar->doubleClicks, 1);

    frame->setModalView(bar);
    frame->pressMouse(Point{150, 10}, kMouseLeft, 9000);
    frame->releaseMouse(Point{150, 10}, 0);
    EXPECT_EQ(other->value(), 0.0f);
    frame->removeView(bar);
    EXPECT_EQ(frame->modalView(), nullptr);
}

TEST_F(FrameFixture, WheelNotchesReachTheViewUnderTheMouse)
{
    auto* bar = new BarControl(Rect{0, 0, 100, 50}, &listener, 1);
    frame->addView(bar);
    bar->setValue(0.5f);
    EXPECT_FLOAT_EQ(wheelNotches(-240), -2.0f);
    EXPECT_TRUE(frame->wheelMouse(Point{10, 10}, wheelNotches(-240), 0));
    EXPECT_FLOAT_EQ(bar->lastWheel, -2.0f);
    EXPECT_FLOAT_EQ(bar->value(), 0.3f);
    EXPECT_FALSE(frame->wheelMouse(Point{150, 80}, 1.0f, 0));
}

TEST(SystemFonts, TheTableRowsSizesAndFaces)
{
    SystemFont f = selectSystemFont(9, 0);
    EXPECT_EQ(f.pixelSize, 12);
    EXPECT_TRUE(f.bold);
    EXPECT_EQ(std::string(systemFontFace(9)), "Arial");
    EXPECT_FALSE(selectSystemFont(1).bold);
    EXPECT_EQ(selectSystemFont(1).pixelSize, 18);
    EXPECT_TRUE(selectSystemFont(1, 0, kFontBold).bold);
    EXPECT_EQ(selectSystemFont(6, 20).pixelSize, 20);
    EXPECT_EQ(std::string(systemFontFace(7)), "Symbol");
    // "Arial" comes out as an installed metric-compatible face, not a fallback of another shape.
    EXPECT_EQ(resolveFontFamily("Arial"), "Liberation Sans");
}

TEST(DrawContextOps, StringsAlignAndExclusiveOrDrawingCancelsItself)
{
    Offscreen surface(120, 20, colours::kWhite);
    DrawContext context(surface);
    context.setFont(3);
    int width = context.stringWidth("Hello");
    EXPECT_GT(width, 20);
    EXPECT_LT(width, 40);
    EXPECT_GT(context.stringWidth("Hello Hello"), 2 * width);
    auto inkColumns = [&surface](int from, int to) {
        int first = -1;
        for (int x = from; x < to && first < 0; ++x) {
            for (int y = 0; y < 20; ++y) {
                if (surface.pixel(x, y) != 0xFFFFFFu) {
                    first = x;
                    break;
                }
            }
        }
        return first;
    };
    context.drawString("Hi", Rect{0, 0, 120, 20}, false, kAlignRight);
    int right = inkColumns(0, 120);
    EXPECT_GT(right, 100);
    context.setFillColour(colours::kWhite);
    context.fillRect(Rect{0, 0, 120, 20});
    context.drawString("Hi", Rect{0, 0, 120, 20}, false, kAlignCenter);
    int centre = inkColumns(0, 120);
    EXPECT_GT(centre, 45);
    EXPECT_LT(centre, 60);

    Offscreen canvas(20, 20, colours::kGrey);
    {
        DrawContext xor_(canvas);
        xor_.setDrawMode(DrawMode::kExclusiveOr);
        xor_.frameRect(Rect{2, 2, 15, 15});
        EXPECT_EQ(canvas.pixel(2, 2), 0x808080u);  // 255 - 127
        xor_.frameRect(Rect{2, 2, 15, 15});
        EXPECT_EQ(canvas.pixel(2, 2), 0x7F7F7Fu);
        xor_.setDrawMode(DrawMode::kCopy);
        xor_.setPenColour(colours::kRed);
        xor_.setLineStyle(LineStyle::kDotted);
        xor_.moveTo(Point{0, 18});
        xor_.lineTo(Point{10, 18});
    }
    EXPECT_EQ(canvas.pixel(0, 18), 0xFF0000u);
    EXPECT_EQ(canvas.pixel(1, 18), 0x7F7F7Fu);
    EXPECT_EQ(canvas.pixel(2, 18), 0xFF0000u);
    EXPECT_EQ(canvas.pixel(10, 18), 0x7F7F7Fu);  // the end point is not painted
}

TEST_F(FrameFixture, TextEditorEditsTheFocusedLineAndEndsOnceOnReturnOrLossOfFocus)
{
    struct MessageCatcher : Container {
        using Container::Container;
        int notify(std::uint32_t key, const Notification& record) override
        {
            if (key == kViewMessageKey && record.text == kLooseFocusMessage) {
                ++looseFocus;
            }
            return 0;
        }
        int looseFocus = 0;
    };
    auto* box = new MessageCatcher(Rect{0, 0, 200, 100});
    auto* editor = new TextEditor(Rect{10, 10, 110, 28}, &listener, 42, "old");
    box->addView(editor);
    frame->addView(box);
    editor->startEditing();
    EXPECT_EQ(frame->focusView(), editor);
    EXPECT_EQ(editor->selection(), (std::pair<std::size_t, std::size_t>{0, 3}));
    frame->keyDown('n');
    frame->keyDown('e');
    frame->keyDown('w');
    frame->keyDown(kKeyLeft);
    frame->keyDown(kKeyBackspace);
    frame->keyDown(kKeyEnd);
    frame->keyDown('!');
    EXPECT_EQ(editor->text(), "nw!");
    frame->keyDown(kKeyReturn);
    EXPECT_TRUE(editor->confirmed());
    EXPECT_FALSE(editor->editing());
    EXPECT_EQ(editor->previousText(), "old");
    EXPECT_EQ(frame->focusView(), nullptr);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(box->looseFocus, 1);
    EXPECT_EQ(frame->keyDown('x'), -1);

    editor->startEditing();
    for (int i = 0; i < 300; ++i) {
        frame->keyDown('a');
    }
    EXPECT_EQ(editor->text().size(), TextEditor::kMaxLength);
    frame->pressMouse(Point{150, 80}, kMouseLeft, 100);  // elsewhere: the focus is lost
    EXPECT_FALSE(editor->confirmed());
    EXPECT_FALSE(editor->editing());
    EXPECT_EQ(listener.changes, 2);
    EXPECT_EQ(box->looseFocus, 2);
}

TEST_F(FrameFixture, PopupMenusChooseBySubmenuPathAndCloseOnEscapeOrAClickOutside)
{
    std::vector<MenuItem> items = {MenuItem::entry("Sine"), MenuItem::line(),
                                   MenuItem::submenu("More", {MenuItem::entry("Saw"), MenuItem::entry("Square")}),
                                   MenuItem::entry("Noise")};
    int chosen = -2;
    frame->openPopupMenu(items, Point{20, 10}, [&chosen](int index) { chosen = index; });
    PopupMenu* menu = frame->popupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->indexOf({2, 1}), 2);
    EXPECT_EQ(menu->indexOf({3}), 3);
    EXPECT_EQ(menu->indexOf({1}), -1);
    Rect top = menu->panelAreas()[0];
    // Hover "More" (third row: 2 + 18 + 7 pixels down), then go into its submenu.
    frame->moveMouse(Point{top.left + 20, top.top + 2 + 18 + 7 + 5}, 0);
    ASSERT_EQ(menu->panelAreas().size(), 2u);
    Rect sub = menu->panelAreas()[1];
    frame->moveMouse(Point{sub.left + 20, sub.top + 2 + 18 + 5}, 0);
    frame->pressMouse(Point{sub.left + 20, sub.top + 2 + 18 + 5}, kMouseLeft, 10);
    frame->releaseMouse(Point{sub.left + 20, sub.top + 2 + 18 + 5}, 0);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(frame->popupMenu(), nullptr);

    frame->openPopupMenu(items, Point{20, 10}, [&chosen](int index) { chosen = index; });
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyRight);
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(chosen, 1);
    frame->openPopupMenu(items, Point{20, 10}, [&chosen](int index) { chosen = index; });
    frame->keyDown(kKeyEscape);
    EXPECT_EQ(chosen, -1);
    EXPECT_EQ(frame->popupMenu(), nullptr);
    // A preselected entry inside a submenu opens that submenu with the entry highlighted.
    frame->openPopupMenu(items, Point{20, 10}, [&chosen](int index) { chosen = index; }, 2);
    ASSERT_EQ(frame->popupMenu()->panelAreas().size(), 2u);
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(chosen, 2);
    chosen = 5;
    frame->openPopupMenu(items, Point{20, 10}, [&chosen](int index) { chosen = index; });
    frame->pressMouse(Point{190, 95}, kMouseLeft, 20);
    EXPECT_EQ(chosen, -1);
    EXPECT_EQ(frame->popupMenu(), nullptr);
}

namespace {

// A child that narrows its drawing to the clip its container set must see that clip in its own
// coordinates, or it paints too little (or too much) of itself.
TEST(DrawContextClip, TheClipIsReadInTheCurrentOriginsCoordinates)
{
    Offscreen surface(100, 100, colours::kWhite);
    DrawContext context(surface);
    context.setClip(Rect{0, 40, 100, 100});
    context.setOrigin(Point{0, 40});
    EXPECT_EQ(context.clip(), (Rect{0, 0, 100, 60}));
    // Drawing through the clip read back covers exactly the area set.
    context.setClip(context.clip().intersection(Rect{10, 0, 50, 30}));
    context.setFillColour(colours::kBlack);
    context.fillRect(Rect{0, -40, 100, 60});
    EXPECT_EQ(surface.pixel(20, 41) & 0xFFFFFF, 0u);
    EXPECT_EQ(surface.pixel(20, 39) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(surface.pixel(20, 71) & 0xFFFFFF, 0xFFFFFFu);
    context.setOrigin(Point{});
    EXPECT_EQ(context.clip(), (Rect{10, 40, 50, 70}));
}

}  // namespace
