// The envelope editor and the curve editors, driven through the frame's mouse with an editor
// stand-in: what drags, handles and menu entries write into the program's objects, that every
// edit reaches the object whole through the editor, and that broken stored envelopes neither
// crash the editor nor come out of it invalid.
#include "control_fixture.h"

#include "editor/controls/curve_editor_base.h"
#include "editor/controls/envelope_clipboard.h"
#include "editor/controls/envelope_editor.h"
#include "editor/controls/envelope_operations.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

// The plot is 270 × 106 pixels at (20, 20); levels use its whole height.
constexpr const char* kSkin =
    "Env: x=10, y=10, width=300, height=160, marginLeft=10, marginRight=20, marginTop=10, marginBottom=44, "
    "defaultOffsetPercent=0, squareMarkersSize=6, circleMarkersSize=6\n"
    "Curve: x=10, y=10, width=200, height=100, marginLeft=0, marginRight=0, marginTop=0, marginBottom=0, "
    "defaultOffsetPercent=0\n";
constexpr double kPlotWidth = 270.0;
constexpr double kPlotHeight = 106.0;

class EnvelopeEditing : public ::testing::Test, public ControlTest {
protected:
    EnvelopeEditing()
    {
        EnvelopeClipboard::shared().clear();
        skin(kSkin);
    }
    ~EnvelopeEditing() override { EnvelopeClipboard::shared().clear(); }

    EnvelopeShape& shapeOf(int object) { return services.program.objectAs<EnvelopeObject>(object).shape(); }
    EnvelopeEditor* editor(int object = object::kOscEnv, std::vector<int> more = {})
    {
        return make<EnvelopeEditor>("OscEnvDisplayer", 208 + object, "Env", std::move(more));
    }
    void drag(Point from, std::vector<Point> path, int buttons = kMouseLeft)
    {
        press(from, buttons);
        for (Point p : path) {
            move(p, buttons);
        }
        release(path.empty() ? from : path.back());
    }
    // Levels in 0–1, finite non-negative durations, start times that add up.
    static void expectValid(const EnvelopeShape& s, bool continuous = true)
    {
        ASSERT_GE(s.segmentCount(), 0);
        ASSERT_LE(s.segmentCount(), s.capacity());
        for (int i = 0; i < s.segmentCount(); ++i) {
            const EnvelopeSegment& g = s.segment(i);
            EXPECT_TRUE(std::isfinite(g.duration) && g.duration >= 0.0f) << i;
            EXPECT_TRUE(g.startLevel >= 0.0f && g.startLevel <= 1.0f) << i;
            EXPECT_TRUE(g.endLevel >= 0.0f && g.endLevel <= 1.0f) << i;
            EXPECT_TRUE(g.curve >= 0.0f && g.curve <= 1.0f) << i;
            EXPECT_TRUE(std::isfinite(g.curveNorm)) << i;
            if (continuous && i > 0) {
                EXPECT_EQ(g.startLevel, s.segment(i - 1).endLevel) << i;
            }
        }
        EXPECT_GE(s.loopStart(), 0);
        EXPECT_GE(s.loopLength(), 0);
        EXPECT_TRUE(s.depth() >= 0.0f && s.depth() <= 1.0f);
    }
};

TEST_F(EnvelopeEditing, ABreakpointDragMovesTimeAndLevelByTheScaledDistanceWritingTheWholeObjectEachMove)
{
    EnvelopeEditor* env = editor();
    // A new level envelope: five segments of 0.2 s; the first view fits the second into the plot.
    ASSERT_EQ(shapeOf(0).segmentCount(), 5);
    EXPECT_NEAR(env->xOfTime(1.0) - env->xOfTime(0.0), kPlotWidth, 1e-9);
    EXPECT_NEAR(env->levelScale(), 1.0 / kPlotHeight, 1e-12);

    const Point at = env->breakpointPoint(2);  // time 0.4, level 0.5
    EXPECT_EQ(at, (Point{20 + 108, 20 + 53}));
    services.edited.clear();
    drag(at, {Point{at.h + 10, at.v - 10}, Point{at.h + 27, at.v - 21}});
    const EnvelopeShape& s = shapeOf(0);
    EXPECT_NEAR(s.segment(1).duration, 0.2 + 27.0 / kPlotWidth, 1e-5);
    EXPECT_NEAR(s.segment(2).startTime, 0.5, 1e-5);
    EXPECT_NEAR(s.segment(3).startTime, 0.7, 1e-5);  // later breakpoints follow
    EXPECT_NEAR(s.segment(2).startLevel, 0.5 + 21.0 / kPlotHeight, 1e-5);
    EXPECT_EQ(s.segment(1).endLevel, s.segment(2).startLevel);
    // Every motion wrote the object through the editor, and the tip is gone after the release.
    EXPECT_EQ(services.edited, (std::vector<int>{0, 0}));
    EXPECT_FALSE(env->valueTipShown());

    // Dragging far past the control's edges clamps the level and keeps the duration at 0 or more.
    const Point again = env->breakpointPoint(2);
    drag(again, {Point{-500, 900}});
    EXPECT_EQ(s.segment(1).duration, 0.0f);
    EXPECT_EQ(s.segment(2).startLevel, 0.0f);
    expectValid(s);

    // The first breakpoint is fixed in time; control-click resets a level to 0.
    const Point first = env->breakpointPoint(0);
    drag(first, {Point{first.h + 50, first.v - 53}});
    EXPECT_EQ(s.segment(0).startTime, 0.0f);
    EXPECT_NEAR(s.segment(0).startLevel, 0.5, 1e-5);
    click(env->breakpointPoint(0), kMouseLeft | kMouseControl);
    EXPECT_EQ(s.segment(0).startLevel, 0.0f);
}

TEST_F(EnvelopeEditing, SyncedDragsSnapToAThirtySecondBeatAndShiftIsTenTimesFinerWithoutSnap)
{
    EnvelopeEditor* env = editor();
    EXPECT_EQ(env->snapStep(), 0.0);
    click(Point{(env->syncButtonArea().left + env->syncButtonArea().right) / 2, env->syncButtonArea().top + 2});
    ASSERT_TRUE(shapeOf(0).tempoSynced());
    EXPECT_DOUBLE_EQ(env->snapStep(), 1.0 / 64.0);  // 1/32 of a beat of 0.5 s

    const EnvelopeShape& s = shapeOf(0);
    for (int pixels : {13, 7, -19}) {
        const Point at = env->breakpointPoint(3);
        const double before = s.segment(3).startTime;
        drag(at, {Point{at.h + pixels, at.v}});
        const double time = s.segment(3).startTime;
        const double steps = time * 64.0;
        EXPECT_NEAR(steps, std::round(steps), 1e-3) << pixels;
        EXPECT_LE(std::fabs(time - (before + pixels / kPlotWidth)), 1.0 / 128.0 + 1e-6) << pixels;
    }

    // Shift: 100 pixels move the breakpoint by a tenth of their time, not snapped.
    const Point at = env->breakpointPoint(2);
    const double time = s.segment(2).startTime;
    const double level = s.segment(2).startLevel;
    drag(at, {Point{at.h + 100, at.v - 50}}, kMouseLeft | kMouseShift);
    EXPECT_NEAR(s.segment(2).startTime, time + 0.1 * 100.0 / kPlotWidth, 1e-5);
    EXPECT_NEAR(s.segment(2).startLevel, level + 0.1 * 50.0 / kPlotHeight, 1e-5);
    EXPECT_GT(std::fabs(s.segment(2).startTime * 64.0 - std::round(s.segment(2).startTime * 64.0)), 1e-2);

    // The sync button switches back.
    click(Point{env->syncButtonArea().left + 2, env->syncButtonArea().top + 2});
    EXPECT_FALSE(s.tempoSynced());
    EXPECT_EQ(env->snapStep(), 0.0);
}

TEST_F(EnvelopeEditing, SustainHandlesSetTheLoopAndRefuseAnEndBeforeTheStart)
{
    EnvelopeEditor* env = editor();
    EnvelopeShape& s = shapeOf(0);
    ASSERT_EQ(s.loopStart(), 1);
    ASSERT_EQ(s.loopLength(), 2);
    auto handle = [&](bool end) {
        Rect r = env->sustainHandleArea(end);
        return Point{(r.left + r.right) / 2, r.top + 3};
    };
    // The end handle to breakpoint 4: the loop covers segments 1–3.
    drag(handle(true), {Point{env->breakpointPoint(4).h + 2, handle(true).v}});
    EXPECT_EQ(s.loopStart(), 1);
    EXPECT_EQ(s.loopLength(), 3);
    // The end handle left of the loop's start leaves the loop as it is.
    drag(handle(true), {Point{env->breakpointPoint(0).h, handle(true).v}});
    EXPECT_EQ(s.loopStart(), 1);
    EXPECT_EQ(s.loopLength(), 3);
    // Nor may it end on the last breakpoint (it does not start a segment).
    drag(handle(true), {Point{env->breakpointPoint(5).h, handle(true).v}});
    EXPECT_EQ(s.loopLength(), 3);
    // The start handle to breakpoint 0 keeps the loop's end.
    drag(handle(false), {Point{env->breakpointPoint(0).h, handle(false).v}});
    EXPECT_EQ(s.loopStart(), 0);
    EXPECT_EQ(s.loopLength(), 4);

    // Both handles on one spot: the first move decides which one goes.
    s.setLoop(2, 0);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    ASSERT_EQ(env->sustainHandleArea(false), env->sustainHandleArea(true));
    drag(handle(true), {Point{handle(true).h + 1, handle(true).v}, Point{env->breakpointPoint(4).h, handle(true).v}});
    EXPECT_EQ(s.loopStart(), 2);
    EXPECT_EQ(s.loopLength(), 2);
    s.setLoop(2, 0);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    drag(handle(false), {Point{handle(false).h - 1, handle(false).v}, Point{env->breakpointPoint(1).h, handle(false).v}});
    EXPECT_EQ(s.loopStart(), 1);
    EXPECT_EQ(s.loopLength(), 1);
}

TEST_F(EnvelopeEditing, CurveMarkersBendTheSegmentControlClickStraightensAndShiftStepsByATenThousandth)
{
    EnvelopeEditor* env = editor();
    const EnvelopeShape& s = shapeOf(0);
    const Point marker = env->curveMarkerPoint(1);  // segment 1 falls from 1 to 0.5, straight
    EXPECT_EQ(marker.v, 20 + 53);
    drag(marker, {Point{marker.h, marker.v - 30}});
    EXPECT_NEAR(s.segment(1).curve, 1.0 - (marker.v - 30 - 20) / kPlotHeight, 1e-5);
    EXPECT_NE(s.segment(1).curveExponent, 1.0f);
    // The bend shows: halfway along, the falling segment now runs above the straight line.
    EXPECT_GT(segmentLevelAt(s.segment(1), 0.5f), 0.75f + 0.01f);

    click(env->curveMarkerPoint(1), kMouseLeft | kMouseControl);
    EXPECT_EQ(s.segment(1).curve, 0.5f);
    EXPECT_NEAR(segmentLevelAt(s.segment(1), 0.5f), 0.75f, 1e-5);

    const Point straight = env->curveMarkerPoint(1);
    drag(straight, {Point{straight.h, straight.v - 1}, Point{straight.h, straight.v - 40}, Point{straight.h, straight.v - 41},
                    Point{straight.h, straight.v - 30}},
         kMouseLeft | kMouseShift);
    EXPECT_NEAR(s.segment(1).curve, 0.5 + 0.0001 * 2, 1e-6);
}

TEST_F(EnvelopeEditing, TimeHandlesAndTheAmountBarSetSensitivityAndDepth)
{
    EnvelopeEditor* env = editor();
    EnvelopeShape& s = shapeOf(0);
    const Rect handle = env->timeHandleArea(2);  // segment 2 from 0.4 s, sensitivity 0.25
    ASSERT_FALSE(handle.empty());
    const Point grab{(handle.left + handle.right) / 2, handle.top + 3};
    drag(grab, {Point{static_cast<int>(std::lround(env->xOfTime(0.4 + 0.75 * 0.2))), grab.v}});
    EXPECT_NEAR(s.velocityTimeSensitivity(2), 0.75f, 0.02f);
    const Rect moved = env->timeHandleArea(2);
    drag(Point{(moved.left + moved.right) / 2, moved.top + 3}, {Point{grab.h + 900, grab.v}});
    EXPECT_EQ(s.velocityTimeSensitivity(2), 1.0f);

    const Rect bar = env->amountBarArea();
    ASSERT_FALSE(bar.empty());
    drag(Point{bar.left + 1, bar.top + 1}, {Point{bar.left + 1, bar.top + bar.height() / 4}});
    EXPECT_NEAR(s.depth(), 0.75f, 0.01f);
    press(Point{bar.left + 1, bar.top + 1});
    move(Point{bar.left + 1, bar.bottom + 200});
    EXPECT_TRUE(env->valueTipShown());
    EXPECT_EQ(env->valueTip(), 0.0f);
    release(Point{bar.left + 1, bar.bottom + 200});
    EXPECT_EQ(s.depth(), 0.0f);
}

TEST_F(EnvelopeEditing, CopyAndPasteGoBetweenTwoEditorsThroughTheContextMenu)
{
    EnvelopeEditor* first = editor(object::kOscEnv);
    skin("Other: x=10, y=180, width=300, height=110, marginLeft=10, marginRight=20, marginTop=4, marginBottom=44");
    auto* second = make<EnvelopeEditor>("FilterEnvDisplayer", 208 + object::kFilterEnv, "Other");
    ASSERT_NE(second, nullptr);

    // With the clipboard empty, "Paste Env" is an empty line that does nothing.
    std::vector<MenuItem> items = second->menuItems();
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items[11].text, "");
    EXPECT_FALSE(items[11].enabled);
    const EnvelopeShape before = shapeOf(object::kFilterEnv);
    second->runMenuEntry(EnvelopeEditor::kPasteEnvelope, 0.5);
    EXPECT_EQ(shapeOf(object::kFilterEnv).segmentCount(), before.segmentCount());

    EnvelopeShape& source = shapeOf(object::kOscEnv);
    source.insertPoint(0.1f, 0.7f);
    source.setLoop(2, 3);
    source.setTimeMode(1);
    source.setDepth(0.4f);
    first->notify(kControlNotifyKey, makeObjectChanged(object::kOscEnv));
    first->runMenuEntry(EnvelopeEditor::kCopyEnvelope, 0.0);
    EXPECT_EQ(first->menuItems()[11].text, "Paste Env");

    // Right press on an empty spot of the second editor opens the menu; entry 9 pastes.
    click(Point{200, 230}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    for (int i = 0; i < 10; ++i) {
        frame->keyDown(kKeyDown);
    }
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(frame->popupMenu(), nullptr);
    const EnvelopeShape& pasted = shapeOf(object::kFilterEnv);
    ASSERT_EQ(pasted.segmentCount(), 6);
    EXPECT_EQ(pasted.segment(1).startLevel, 0.7f);
    EXPECT_EQ(pasted.loopStart(), 2);
    EXPECT_EQ(pasted.loopLength(), 3);
    EXPECT_TRUE(pasted.tempoSynced());
    EXPECT_EQ(pasted.depth(), 0.4f);
    // The copy is a copy: editing the source later leaves the pasted envelope alone.
    source.setDepth(1.0f);
    EXPECT_EQ(pasted.depth(), 0.4f);
}

TEST_F(EnvelopeEditing, MenuOperationsAtTheLimitsRefuseOrDoNothing)
{
    EnvelopeEditor* env = editor();
    EnvelopeShape& s = shapeOf(0);

    // "Add Point" splits the segment under the mouse without changing the envelope's course.
    const float level = envelope_edit::levelAt(s, 0.3);
    env->runMenuEntry(EnvelopeEditor::kAddPoint, 0.3);
    ASSERT_EQ(s.segmentCount(), 6);
    EXPECT_NEAR(s.segment(2).startTime, 0.3f, 1e-6);
    EXPECT_NEAR(s.segment(2).startLevel, level, 1e-6);
    EXPECT_EQ(s.loopStart(), 1);
    EXPECT_EQ(s.loopLength(), 3);
    // Past the end, nothing is split.
    env->runMenuEntry(EnvelopeEditor::kAddPoint, 5.0);
    EXPECT_EQ(s.segmentCount(), 6);

    // "Remove Segment" takes out the segment under the mouse; the last one stays.
    env->runMenuEntry(EnvelopeEditor::kRemoveSegment, 0.35);
    EXPECT_EQ(s.segmentCount(), 5);
    EXPECT_NEAR(s.totalDuration(), 0.9f, 1e-5);
    for (int i = 0; i < 10; ++i) {
        env->runMenuEntry(EnvelopeEditor::kRemoveSegment, 0.0);
    }
    EXPECT_EQ(s.segmentCount(), 1);
    click(env->breakpointPoint(1), kMouseRight);
    EXPECT_EQ(s.segmentCount(), 1);
    expectValid(s);

    // A full envelope takes no more points, a right press on the first breakpoint removes nothing.
    std::vector<EnvelopeSegment> full(128);
    for (EnvelopeSegment& g : full) {
        g.duration = 0.01f;
        g.startLevel = g.endLevel = 0.5f;
    }
    s.assign(128, full.data());
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    env->runMenuEntry(EnvelopeEditor::kAddPoint, 0.5);
    EXPECT_EQ(s.segmentCount(), 128);
    env->setView(20.0 / (0.01 * EnvelopeEditor::kPixelsPerUnitAtZoom1), 0.0);  // 20 pixels a segment
    click(env->breakpointPoint(0), kMouseRight);
    EXPECT_EQ(s.segmentCount(), 128);
    // A right press on another breakpoint removes the segment before it.
    click(env->breakpointPoint(5), kMouseRight);
    EXPECT_EQ(s.segmentCount(), 127);
    EXPECT_NEAR(s.totalDuration(), 1.27f, 1e-4);

    // Stretching by half and back restores the durations; duplicating a loop that does not fit
    // does nothing.
    const float total = s.totalDuration();
    env->runMenuEntry(EnvelopeEditor::kStretch50, 0.0);
    EXPECT_NEAR(s.totalDuration(), total * 0.5f, 1e-5);
    env->runMenuEntry(EnvelopeEditor::kStretch200, 0.0);
    EXPECT_EQ(s.totalDuration(), total);
    s.setLoop(0, 10);
    env->runMenuEntry(EnvelopeEditor::kDuplicateSustain, 0.0);
    EXPECT_EQ(s.segmentCount(), 127);
    expectValid(s);
}

TEST_F(EnvelopeEditing, BrokenStoredEnvelopesDrawAndEditWithoutCrashingAndStayValid)
{
    // A stored envelope with NaN and huge values, levels and curves out of range, a loop past its
    // end and a depth that is not a number, read as a program reads it.
    ByteWriter out;
    out.putInt32(4);
    out.putInt32(128);
    out.putInt32(0);
    const float nan = std::nanf("");
    const float rows[4][7] = {{0, nan, -3.0f, 7.0f, nan, nan, nan},
                              {0, 3.0e38f, nan, 0.5f, 0, 0, 9.0f},
                              {0, 3.0e38f, 0.5f, 0.5f, 0, 0, -2.0f},
                              {0, 0.0f, 2.0f, nan, 0, 0, 0.5f}};
    for (const auto& row : rows) {
        for (float v : row) {
            out.putFloat(v);
        }
    }
    out.putInt32(3);
    out.putInt32(90);
    out.putInt32(1);
    out.putFloat(nan);
    for (int i = 0; i < 4; ++i) {
        out.putFloat(nan);
    }
    out.putFloat(nan);
    std::vector<std::uint8_t> bytes = out.take();
    ByteReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(services.program.object(0).read(in, kFormatVersion));

    EnvelopeEditor* env = editor();
    frame->redrawAll();
    EnvelopeShape& s = shapeOf(0);
    for (int b = 0; b <= s.segmentCount(); ++b) {
        Point p = env->breakpointPoint(b);
        drag(p, {Point{p.h + 5, p.v - 5}});
        drag(env->curveMarkerPoint(std::min(b, 3)), {Point{p.h, p.v + 3}});
    }
    for (int entry = EnvelopeEditor::kAddPoint; entry <= EnvelopeEditor::kPasteEnvelope; ++entry) {
        env->runMenuEntry(entry, 0.001 + entry);
        frame->redrawAll();
    }
    drag(Point{env->sustainHandleArea(true).left + 4, env->sustainHandleArea(true).top + 2}, {Point{150, 140}});
    // Stored breakpoints may disagree about their levels; the editor leaves those it did not touch.
    expectValid(s, false);

    // No segments at all: it draws, and "Add Point" gives it a first segment.
    s.assign(0, nullptr);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    frame->redrawAll();
    click(Point{100, 60});
    click(Point{100, 60}, kMouseRight);
    frame->closePopupMenu();
    env->runMenuEntry(EnvelopeEditor::kRemoveSegment, 0.1);
    env->runMenuEntry(EnvelopeEditor::kAddPoint, 0.25);
    ASSERT_EQ(s.segmentCount(), 1);
    EXPECT_NEAR(s.totalDuration(), 0.25f, 1e-6);
    expectValid(s);

    // 128 segments of zero duration stack on one spot; the later breakpoint is the one grabbed.
    std::vector<EnvelopeSegment> stacked(128);
    s.assign(128, stacked.data());
    s.setTimeMode(0);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    env->runMenuEntry(EnvelopeEditor::kFit, 0.0);
    frame->redrawAll();
    const Point stack = env->breakpointPoint(0);
    drag(stack, {Point{stack.h + 27, stack.v}});
    EXPECT_NEAR(s.segment(127).duration, 27.0 * env->timePerPixel(), 1e-6);
    expectValid(s);
}

TEST_F(EnvelopeEditing, SeveralBoundEnvelopesGetANamesMenuAndOneAloneDoesNot)
{
    EnvelopeEditor* alone = editor(object::kOscEnv);
    EXPECT_FALSE(alone->namesMenuShown());
    skin("Many: x=10, y=180, width=300, height=110, namesMenuX=4, namesMenuY=2, namesMenuWidth=100, namesMenuHeight=12");
    // Objects that are no envelopes (a curve) are not offered.
    auto* many = make<EnvelopeEditor>("OscEnvDisplayer", 208 + object::kOscEnv, "Many",
                                      {object::kOscEnv + 1, object::kOscKeyLevel, object::kOscEnv + 2});
    ASSERT_TRUE(many->namesMenuShown());
    EXPECT_EQ(many->editableObjects(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(many->shownObject(), 0);
    click(Point{30, 188});
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(many->shownObject(), 2);
    // Edits now go to the envelope shown.
    services.edited.clear();
    many->runMenuEntry(EnvelopeEditor::kStretch200, 0.0);
    EXPECT_EQ(services.edited, std::vector<int>{2});
    EXPECT_NEAR(shapeOf(2).totalDuration(), 2.0f, 1e-5);
    EXPECT_NEAR(shapeOf(0).totalDuration(), 1.0f, 1e-5);
}

TEST_F(EnvelopeEditing, EnvelopeFilesSaveAndLoadThroughTheMenuAndADamagedFileChangesNothing)
{
    EnvelopeEditor* env = editor();
    EnvelopeShape& s = shapeOf(0);
    s.setDepth(0.3f);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    services.chosenFile = folder.file("saved.env");
    env->runMenuEntry(EnvelopeEditor::kSaveEnvelope, 0.0);
    ASSERT_TRUE(std::filesystem::exists(services.chosenFile));
    EXPECT_EQ(services.fileChoices, std::vector<std::string>{"Save Envelope"});

    s.setDepth(1.0f);
    s.stretch(3.0f);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    env->runMenuEntry(EnvelopeEditor::kLoadEnvelope, 0.0);
    EXPECT_EQ(services.fileChoices.back(), "Load Envelope");
    EXPECT_EQ(s.depth(), 0.3f);
    EXPECT_NEAR(s.totalDuration(), 1.0f, 1e-5);

    editor_testing::writeFile(folder.file("bad.env"), std::vector<std::uint8_t>{'P', 'L', 'K', 'e', 0, 0, 0, 21, 0, 0});
    services.chosenFile = folder.file("bad.env");
    s.setDepth(0.6f);
    env->notify(kControlNotifyKey, makeObjectChanged(0));
    env->runMenuEntry(EnvelopeEditor::kLoadEnvelope, 0.0);
    EXPECT_EQ(s.depth(), 0.6f);
    EXPECT_EQ(s.segmentCount(), 5);
    // A cancelled dialog does nothing.
    services.chosenFile.clear();
    services.edited.clear();
    env->runMenuEntry(EnvelopeEditor::kLoadEnvelope, 0.0);
    EXPECT_TRUE(services.edited.empty());
}

TEST_F(EnvelopeEditing, CurveEditorsKeepTheirEndsAtZeroAndOneAndAddPointsWithTheRightButton)
{
    // The plot is the whole 200 × 100 control at (10, 10).
    auto* curve = make<CurveSegmentEditor>("CurveSegmentDisplayer", 208 + object::kOscKeyLevel, "Curve");
    ASSERT_NE(curve, nullptr);
    Curve& c = services.program.objectAs<CurveObject>(object::kOscKeyLevel).curve();
    ASSERT_EQ(c.segmentCount(), 1);
    click(Point{10 + 50, 40}, kMouseRight);
    ASSERT_EQ(c.segmentCount(), 2);
    EXPECT_NEAR(c.segment(1).startTime, 0.25f, 1e-6);
    EXPECT_EQ(c.segment(1).startLevel, 1.0f);

    // The inner breakpoint moves between its neighbours, the durations still add up to 1.
    drag(curve->breakpointPoint(1), {Point{10 + 100, 10 + 50}});
    EXPECT_NEAR(c.segment(0).duration, 0.5f, 1e-6);
    EXPECT_NEAR(c.segment(1).duration, 0.5f, 1e-6);
    EXPECT_NEAR(c.segment(1).startLevel, 0.5f, 1e-6);
    EXPECT_NEAR(c.table()[64], 0.5f, 0.02f);  // the rendered table follows
    // The last breakpoint stays at 1 in time; its level moves.
    drag(curve->breakpointPoint(2), {Point{10 + 20, 10 + 100}});
    EXPECT_NEAR(c.segment(0).duration + c.segment(1).duration, 1.0f, 1e-6);
    EXPECT_EQ(c.segment(1).endLevel, 0.0f);
    // Control-click puts the level back to the curve's neutral 1.0; right press removes the point.
    click(curve->breakpointPoint(1), kMouseLeft | kMouseControl);
    EXPECT_EQ(c.segment(1).startLevel, 1.0f);
    click(curve->breakpointPoint(1), kMouseRight);
    EXPECT_EQ(c.segmentCount(), 1);
    EXPECT_EQ(c.segment(0).duration, 1.0f);
}

TEST_F(EnvelopeEditing, TheWaveshaperEditorDrawsDisabledWhileTheShaperIsOffAndResetsToTheIdentity)
{
    skin("Shaper: x=10, y=10, width=200, height=100, marginLeft=0, marginRight=0, marginTop=0, marginBottom=0, "
         "defaultOffsetPercent=0, curveColor=FF0000, curveDisabledColor=0000FF, gridX=0, gridY=0");
    WaveshaperCurve& w = services.program.objectAs<WaveshaperObject>(object::kOscWaveshape).curve();
    auto* shaper = make<WaveshaperEditor>("WaveshaperDisplayer", 208 + object::kOscWaveshape, "Shaper");
    ASSERT_NE(shaper, nullptr);
    EXPECT_EQ(shaper->value(), 0.0f);
    // The identity line passes (60, 85): drawn in the disabled colour while off.
    auto redness = [&](int x, int y) { return static_cast<int>(pixel(x, y) >> 16) - static_cast<int>(pixel(x, y) & 0xFF); };
    EXPECT_LT(redness(60, 85), -100);
    w.setOn(true);
    shaper->notify(kControlNotifyKey, makeObjectChanged(object::kOscWaveshape));
    EXPECT_EQ(shaper->value(), 1.0f);
    EXPECT_GT(redness(60, 85), 100);

    click(Point{110, 60}, kMouseRight);
    ASSERT_EQ(w.segmentCount(), 2);
    drag(shaper->breakpointPoint(1), {Point{110, 20}});
    EXPECT_NEAR(w.table()[128], 0.9f, 0.02f);
    click(shaper->breakpointPoint(1), kMouseLeft | kMouseControl);
    EXPECT_NEAR(w.segment(1).startLevel, 0.5f, 1e-6);
    EXPECT_NEAR(w.table()[128], 128.0f / 255.0f, 0.01f);
}

TEST_F(EnvelopeEditing, ALoopedSyncedEnvelopeRendersItsPartsInTheirColours)
{
    controls_testing::writeBitmapFont(folder.path(), "font.bmp", 0xE0E0E0);
    skin("Big: x=10, y=10, width=380, height=200, marginLeft=10, marginRight=22, marginTop=20, marginBottom=46, "
         "defaultOffsetPercent=4, gridX=8, gridY=4, gridColor=303848, curveColor=F0C850, curveEndColor=FFFFFF, "
         "curveMiddleColor=60B0FF, sustainAreaBackgroundColor=283C5A, gridTextColor=B0B0C0, gridTextFont=6, "
         "menuFont=font.bmp, namesMenuX=12, namesMenuY=4, namesMenuWidth=120, namesMenuHeight=12, "
         "dynamicValueFontSize=11, dynamicValueForeground=000000, dynamicValueBackground=FFF0A0");
    EnvelopeShape& s = shapeOf(0);
    s.setTimeMode(1);
    s.setDuration(0, 0.125f);
    s.setDuration(1, 0.25f);
    s.setDuration(2, 0.5f);
    s.setDuration(3, 0.5f);
    s.setDuration(4, 0.375f);
    s.setCurve(1, 0.2f);
    s.setCurve(4, 0.8f);
    s.setLoop(2, 2);
    auto* env = make<EnvelopeEditor>("OscEnvDisplayer", 208, "Big", {1});
    frame->redrawAll();
    Offscreen& shown = frame->backBuffer();
    // The sustain area spans segments 2–3 (0.375 s to 1.375 s).
    const int inLoop = static_cast<int>(env->xOfTime(0.9));
    EXPECT_EQ(shown.pixel(inLoop, 40), 0x283C5Au);
    EXPECT_NE(shown.pixel(static_cast<int>(env->xOfTime(1.6)), 40), 0x283C5Au);
    // Breakpoint markers in their colour; the ruler counts in eighths.
    const Point b2 = env->breakpointPoint(2);
    EXPECT_EQ(shown.pixel(b2.h, b2.v), 0xFFFFFFu);
    EXPECT_EQ(env->rulerSubdivision(), 4);  // 1.75 s fitted into 348 pixels: zoom 0.41

    // A drag in progress shows the value tip.
    press(env->breakpointPoint(3));
    move(Point{env->breakpointPoint(3).h, env->breakpointPoint(3).v - 8});
    ASSERT_TRUE(env->valueTipShown());
    frame->redrawAll();
    std::string png = folder.file("envelope.png");
    ASSERT_TRUE(frame->renderToPng(png));
    if (const char* keep = std::getenv("PELKO_ENVELOPE_PNG")) {
        frame->renderToPng(keep);
    }
    release(Point{env->breakpointPoint(3).h, env->breakpointPoint(3).v});
}

}  // namespace

namespace {

using namespace pelko;

TEST_F(EnvelopeEditing, AMenuChosenAfterItsEditorLeftTheFrameStillActsOnTheEnvelope)
{
    EnvelopeEditor* env = editor();
    click(Point{200, 60}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->removeView(env);  // the page closes; only the open menu holds the editor now
    services.underTag.clear();
    for (int i = 0; i < 4; ++i) {
        frame->keyDown(kKeyDown);  // to entry 3, "Stretch 200%"
    }
    frame->keyDown(kKeyReturn);
    EXPECT_NEAR(shapeOf(0).totalDuration(), 2.0f, 1e-5);
}

}  // namespace
