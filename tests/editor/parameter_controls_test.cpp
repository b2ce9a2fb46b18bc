// The editor's parameter controls, driven through the frame's mouse, wheel and keys with an
// editor stand-in: values, reports to the listener, what they write into the program, and what
// they draw.
#include "control_fixture.h"

#include "editor/controls/assignment_menu.h"
#include "editor/controls/assignment_session.h"
#include "editor/controls/buttons.h"
#include "editor/controls/choice_menus.h"
#include "editor/controls/name_displays.h"
#include "editor/controls/program_menu.h"
#include "editor/controls/numeric_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/controls/scroll_list.h"
#include "editor/controls/slider_or_knob.h"
#include "editor/controls/value_displays.h"
#include "editor/toolkit/text_editor.h"
#include "params/curve_objects.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"
#include "params/wave_name_object.h"
#include "params/user_controls_assignment.h"

#include <gtest/gtest.h>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

class Controls : public ::testing::Test, public ControlTest {
protected:
    // A 40 × 40 knob of three images (red, green, blue) at 10, 10 on parameter 1 (0 … 1).
    SliderOrKnob* knob(int tag = param::kMainLevel, int images = 3)
    {
        controls_testing::writeStrip(folder.path(), "knob.bmp", 40, 40, {kRed, kGreen, kBlue});
        skin("Knob: x=10, y=10, width=40, height=40, mode=1, bitmap=knob.bmp, nknobs=" + std::to_string(images));
        return make<SliderOrKnob>("SliderOrKnob", tag, "Knob");
    }
};

TEST_F(Controls, ControlClickSetsTheDefaultAndReportsOnce)
{
    SliderOrKnob* k = knob();
    k->setDefaultValue(0.5f);
    k->setValue(0.2f);
    click(Point{30, 30}, kMouseLeft | kMouseControl);
    EXPECT_FLOAT_EQ(k->value(), 0.5f);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_FLOAT_EQ(listener.reports[0].value, 0.5f);
    EXPECT_EQ(listener.begins.size(), 1u);
    EXPECT_EQ(listener.ends.size(), 1u);
}

TEST_F(Controls, LinearKnobMovesHalfTheRangePerHundredPixelsAndAThirdWithShift)
{
    SliderOrKnob* k = knob();
    k->setValue(0.25f);
    press(Point{30, 45});
    move(Point{30, -5});
    move(Point{30, -55});
    release(Point{30, -55});
    EXPECT_NEAR(k->value(), 0.75f, 1e-6);
    EXPECT_EQ(listener.begins, std::vector<int>{param::kMainLevel});
    EXPECT_EQ(listener.ends, std::vector<int>{param::kMainLevel});
    ASSERT_FALSE(listener.reports.empty());
    EXPECT_NEAR(listener.reports.back().value, 0.75f, 1e-6);

    k->setValue(0.0f);
    press(Point{30, 45}, kMouseLeft | kMouseShift);
    move(Point{30, -55}, kMouseLeft | kMouseShift);
    release(Point{30, -55});
    EXPECT_NEAR(k->value(), 1.0f / 3.0f, 1e-6);

    // Shift pressed halfway continues from where the value is; moving right counts like up.
    k->setValue(0.0f);
    press(Point{30, 45});
    move(Point{30, 5});
    move(Point{30, 5}, kMouseLeft | kMouseShift);
    move(Point{60, 5}, kMouseLeft | kMouseShift);
    release(Point{60, 5});
    EXPECT_NEAR(k->value(), 0.2f + 0.1f, 1e-6);
}

TEST_F(Controls, AltTurnsTheDefaultLinearKnobCircularAndTheGapPinsTheValue)
{
    SliderOrKnob* k = knob();
    // Straight above the centre is the middle of the arc.
    press(Point{30, 12}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 0.5f, 1e-6);
    // Straight right of it is 225 − 0 = 225 degrees into the arc.
    move(Point{60, 30}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 225.0f / 270.0f, 1e-5);
    // Lower right is the end; crossing the gap to the lower left keeps the end.
    move(Point{50, 50}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 1.0f, 1e-6);
    move(Point{10, 50}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 1.0f, 1e-6);
    release(Point{10, 50});

    // With another knob mode the plain drag is circular and alt makes it linear.
    services.knob = 0;
    press(Point{30, 12});
    EXPECT_NEAR(k->value(), 0.5f, 1e-6);
    release(Point{30, 12});
    press(Point{30, 48}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 0.5f, 1e-6);
    move(Point{30, 148}, kMouseLeft | kMouseAlt);
    EXPECT_NEAR(k->value(), 0.0f, 1e-6);
    release(Point{30, 148});
}

TEST_F(Controls, WheelAddsTheIncrementATenthWithShiftAndReportsOnlyChanges)
{
    skin("Slider: x=0, y=0, width=20, height=100, mode=0");
    auto* s = make<SliderOrKnob>("SliderOrKnob", param::kMainLevel, "Slider");
    s->setWheelIncrement(0.01f);
    s->setValue(0.5f);
    EXPECT_TRUE(wheel(Point{10, 50}, 1.0f, kMouseShift));
    EXPECT_NEAR(s->value(), 0.501f, 1e-6);
    EXPECT_TRUE(wheel(Point{10, 50}, -2.0f));
    EXPECT_NEAR(s->value(), 0.481f, 1e-6);
    s->setValue(1.0f);
    listener.reports.clear();
    wheel(Point{10, 50}, 3.0f);
    EXPECT_FLOAT_EQ(s->value(), 1.0f);
    EXPECT_TRUE(listener.reports.empty());
}

TEST_F(Controls, SliderHandleFollowsTheMouseFromWhereItWasGrabbedAndMovesSlowerWithShift)
{
    controls_testing::writeStrip(folder.path(), "handle.bmp", 20, 10, {kBlue});
    skin("Slider: x=0, y=0, width=20, height=120, mode=0, spacing1=5, spacing2=5, sliderItemBitmap=handle.bmp");
    auto* s = make<SliderOrKnob>("SliderOrKnob", param::kMainLevel, "Slider");
    auto* part = dynamic_cast<SliderPart*>(s->inner());
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(part->travel(s->rect()), 100);
    s->setValue(0.0f);
    // The handle sits at the bottom (5 + 100 … 115); grab it 3 pixels into it.
    press(Point{10, 108});
    EXPECT_FLOAT_EQ(s->value(), 0.0f);
    move(Point{10, 58});
    EXPECT_NEAR(s->value(), 0.5f, 1e-6);
    move(Point{10, 58}, kMouseLeft | kMouseShift);
    move(Point{10, 8}, kMouseLeft | kMouseShift);
    EXPECT_NEAR(s->value(), 0.5f + 0.5f / SliderPart::kFineZoom, 1e-6);
    release(Point{10, 8});
    int handleTop = part->handlePosition(s->rect(), s->value());
    EXPECT_EQ(pixel(10, handleTop + 5), kBlue);
    EXPECT_NE(pixel(10, handleTop - 2), kBlue);
}

TEST_F(Controls, KnobDrawsTheStripImageOfItsValueAndNothingWithoutImages)
{
    SliderOrKnob* k = knob();
    k->setValue(0.0f);
    EXPECT_EQ(pixel(30, 30), kRed);
    k->setValue(0.5f);
    EXPECT_EQ(pixel(30, 30), kGreen);
    k->setValue(1.0f);
    EXPECT_EQ(pixel(30, 30), kBlue);

    std::uint32_t behind = pixel(100, 100);
    skin("Bare: x=90, y=90, width=40, height=40, mode=1, bitmap=knob.bmp, nknobs=0\n"
         "Missing: x=150, y=90, width=40, height=40, mode=1, bitmap=none.bmp, nknobs=3");
    auto* none = make<SliderOrKnob>("SliderOrKnob", 2, "Bare");
    skin("Sized: x=5, y=6, mode=1, bitmap=knob.bmp, nknobs=3");
    EXPECT_EQ(make<SliderOrKnob>("SliderOrKnob", 4, "Sized")->rect(), Rect::ofSize(5, 6, 40, 40));
    none->setValue(1.0f);
    EXPECT_EQ(pixel(110, 110), behind);
    auto* missing = make<SliderOrKnob>("SliderOrKnob", 3, "Missing");
    EXPECT_EQ(pixel(170, 110), behind);
    // Without its bitmap it still reacts.
    missing->setValue(0.0f);
    press(Point{170, 110});
    move(Point{170, 90});
    release(Point{170, 90});
    EXPECT_GT(missing->value(), 0.0f);
}

TEST_F(Controls, ButtonsCycleTheirStatesAndKickButtonsReportPressAndReleaseOnce)
{
    controls_testing::writeStrip(folder.path(), "three.bmp", 20, 10, {kRed, kGreen, kBlue});
    skin("Three: x=0, y=0, bitmap=three.bmp\nKick: x=50, y=0, width=20, height=10\nOnOff: x=100, y=0, width=20, height=10");
    auto* three = make<ThreeStatesButton>("ThreeStatesButton", 10023, "Three");
    EXPECT_EQ(three->rect(), Rect::ofSize(0, 0, 20, 10));
    std::vector<float> seen;
    for (int i = 0; i < 3; ++i) {
        click(Point{5, 5});
        seen.push_back(three->value());
        EXPECT_EQ(pixel(5, 5), (std::array<std::uint32_t, 3>{kGreen, kBlue, kRed}[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(seen, (std::vector<float>{0.5f, 1.0f, 0.0f}));

    auto* kick = make<KickButton>("KickButton", 10043, "Kick");
    listener.reports.clear();
    click(Point{55, 5});
    ASSERT_EQ(listener.reports.size(), 2u);
    EXPECT_EQ(listener.reports[0].value, 1.0f);
    EXPECT_EQ(listener.reports[1].value, 0.0f);
    // Dragged out and back: only the picture follows; the release still reports once.
    listener.reports.clear();
    press(Point{55, 5});
    move(Point{200, 200});
    EXPECT_EQ(kick->value(), 0.0f);
    move(Point{56, 5});
    EXPECT_EQ(kick->value(), 1.0f);
    release(Point{56, 5});
    EXPECT_EQ(listener.reports.size(), 2u);
    // With a modifier the press and the release come at once.
    listener.reports.clear();
    press(Point{55, 5}, kMouseLeft | kMouseShift);
    EXPECT_EQ(listener.reports.size(), 2u);
    EXPECT_FALSE(frame->isTracking());
    release(Point{55, 5});

    auto* onOff = make<OnOffButton>("OnOffButton", 10024, "OnOff");
    click(Point{105, 5});
    EXPECT_EQ(onOff->value(), 1.0f);
    click(Point{105, 5});
    EXPECT_EQ(onOff->value(), 0.0f);
}

TEST_F(Controls, SwitchButtonsWriteTheWaveshaperAndTheGlobalTuning)
{
    skin("Shaper: x=0, y=0, width=20, height=10\nTuning: x=50, y=0, width=20, height=10");
    auto* shaper = make<WaveshaperOnOffButton>("WaveshaperOnOffButton", 208 + object::kOscWaveshape + 2, "Shaper");
    EXPECT_EQ(shaper->value(), 0.0f);
    click(Point{5, 5});
    EXPECT_TRUE(services.program.objectAs<WaveshaperObject>(object::kOscWaveshape + 2).curve().on());
    EXPECT_EQ(services.edited, std::vector<int>{object::kOscWaveshape + 2});
    services.program.objectAs<WaveshaperObject>(object::kOscWaveshape + 2).curve().setOn(false);
    shaper->notify(kControlNotifyKey, makeObjectChanged(object::kOscWaveshape + 2));
    EXPECT_EQ(shaper->value(), 0.0f);

    auto* tuning = make<GlobalTuningButton>("GlobalTuningButton", 10200, "Tuning");
    listener.reports.clear();
    click(Point{55, 5});
    EXPECT_TRUE(services.tuning);
    EXPECT_EQ(tuning->value(), 1.0f);
    EXPECT_EQ(listener.reports.size(), 1u);
    services.tuningLocked = true;
    click(Point{55, 5});
    EXPECT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(tuning->value(), 1.0f);
}

TEST_F(Controls, SeqNoteMenuPreselectsTheNoteOfTheValueAndChoosingSetsIt)
{
    EXPECT_EQ(SeqNoteSliderOrKnob::entryOf(0.5f), 48);
    EXPECT_EQ(SeqNoteSliderOrKnob::entryOf(0.0f), 0);
    EXPECT_EQ(SeqNoteSliderOrKnob::entryOf(1.0f), 96);
    SliderOrKnob* plain = knob(param::kSeqNote);
    (void)plain;
    skin("Note: x=100, y=10, width=40, height=40, mode=1");
    auto* note = make<SeqNoteSliderOrKnob>("SeqNoteSliderOrKnob", param::kSeqNote + 1, "Note");
    note->setValue(0.51f);  // entry trunc(48.96) = 48
    click(Point{110, 20}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    listener.reports.clear();
    frame->keyDown(kKeyReturn);  // takes the preselected entry
    EXPECT_EQ(frame->popupMenu(), nullptr);
    EXPECT_FLOAT_EQ(note->value(), 0.5f);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].tag, param::kSeqNote + 1);

    click(Point{110, 20}, kMouseRight);
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyReturn);
    EXPECT_FLOAT_EQ(note->value(), 50.0f / 96.0f);
    // The plain slider-or-knob ignores the right button.
    click(Point{20, 20}, kMouseRight);
    EXPECT_EQ(frame->popupMenu(), nullptr);
}

TEST_F(Controls, PitchKnobPreparesThePitchPanelFromTheOscillatorsFixedPitch)
{
    skin("Pitch: x=0, y=0, width=40, height=40, mode=1\nRatio: x=0, y=100, width=60, height=12\n"
         "Freq: x=0, y=120, width=60, height=12");
    auto* ratio = make<NumericPanelDisplay>("CMDisplayer", kPitchRatioDisplayTag, "Ratio");
    auto* freq = make<NumericPanelDisplay>("PitchBaseDisplayer", kPitchFrequencyDisplayTag, "Freq");
    services.program.objectAs<FixedPitchObject>(object::kFixedPitchValues).set(3, {true, 261.5f, 60});
    make<PitchSliderOrKnob>("PitchSliderOrKnob", param::kOscFine + 3, "Pitch");
    click(Point{10, 10}, kMouseRight);
    EXPECT_EQ(services.popupPage, kPitchPanelPage);
    EXPECT_EQ(services.popupNear, Rect::ofSize(0, 0, 40, 40));
    EXPECT_EQ(services.commands[kPitchRatioModeTag], 0.0f);
    EXPECT_EQ(services.commands[kPitchFixedModeTag], 1.0f);
    EXPECT_EQ(ratio->oscillator(), 3);
    EXPECT_EQ(freq->oscillator(), 3);
    EXPECT_DOUBLE_EQ(freq->number(), 261.5);
    EXPECT_EQ(freq->valueText(), "0261.50");
    freq->setNumber(12000.0);  // above four digits it is kept, not cut
    EXPECT_DOUBLE_EQ(freq->number(), 12000.0);
    freq->setMode(0);
    EXPECT_TRUE(freq->disabled());
}

TEST_F(Controls, NumericPanelFormatsPadWithZerosToAFixedWidth)
{
    EXPECT_EQ(formatRatio(1.5), "01.500");
    EXPECT_EQ(formatRatio(12.25), "12.250");
    EXPECT_EQ(formatRatio(0.0), "00.000");
    EXPECT_EQ(formatFrequency(5.0), "0005.00");
    EXPECT_EQ(formatFrequency(44.0), "0044.00");
    EXPECT_EQ(formatFrequency(440.0), "0440.00");
    EXPECT_EQ(formatFrequency(2000.125), "2000.12");
}

TEST_F(Controls, UserControlOpensTheAssignmentsPanelOnAWorkingCopyAppliedOnlyOnApply)
{
    auto& stored = services.program.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    ASSERT_TRUE(stored.add(1, param::kCutoff, 0.2f, 0.8f));
    skin("User: x=0, y=0, width=40, height=40, mode=1\nLow: x=0, y=100, width=60, height=12, valueX=0\n"
         "High: x=0, y=120, width=60, height=12, valueX=0, end=1");
    make<UserControlSliderOrKnob>("MyUserControlSliderOrKnob", param::kUserSlider + 1, "User");
    auto* low = make<AssignmentRangeDisplay>("UserAssignmentMinValue", 10300, "Low");
    auto* high = make<AssignmentRangeDisplay>("UserAssignmentMinValue", 10301, "High");
    EXPECT_EQ(low->valueText(), "");
    click(Point{10, 10}, kMouseRight);
    EXPECT_EQ(services.popupPage, kAssignmentsPanelPage);
    EXPECT_EQ(services.rebound, (std::vector<std::pair<int, int>>{{kAssignmentsPanelPage, 1}}));
    EXPECT_EQ(low->valueText(), "020");
    EXPECT_EQ(high->valueText(), "080");
    wheel(Point{30, 105}, 1.0f);  // middle third: one increment of 0.01
    EXPECT_EQ(low->valueText(), "021");
    EXPECT_NEAR(stored.entry(1, 0).low, 0.2f, 1e-6);  // the program is untouched

    low->notify(kControlNotifyKey, makePopupClosed(false));
    high->notify(kControlNotifyKey, makePopupClosed(false));
    EXPECT_NEAR(stored.entry(1, 0).low, 0.2f, 1e-6);
    EXPECT_EQ(AssignmentSession::of(services), nullptr);

    click(Point{10, 10}, kMouseRight);
    wheel(Point{5, 105}, 2.0f);  // left third: 2 × 2.5 × 0.01
    low->notify(kControlNotifyKey, makePopupClosed(true));
    high->notify(kControlNotifyKey, makePopupClosed(true));
    EXPECT_NEAR(stored.entry(1, 0).low, 0.25f, 1e-6);
    EXPECT_NEAR(stored.entry(1, 0).high, 0.8f, 1e-6);

    // A panel still open when the window's controls go is discarded with them.
    click(Point{10, 10}, kMouseRight);
    ASSERT_NE(AssignmentSession::of(services), nullptr);
    frame->removeAll(true);
    EXPECT_EQ(AssignmentSession::of(services), nullptr);
}

TEST_F(Controls, AssignmentMenuRetargetsRemovesAndAppendsRowsOfTheWorkingCopy)
{
    auto& stored = services.program.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    ASSERT_TRUE(stored.add(1, 10, 0.2f, 0.8f));
    ASSERT_TRUE(stored.add(1, 20, 0.3f, 0.6f));
    ASSERT_TRUE(stored.add(1, 30, 0.0f, 1.0f));
    skin("Row: x=0, y=0, width=100, height=12, row=1\nLast: x=0, y=20, width=100, height=12, row=3");
    auto* row = make<AssignmentMenu>("UserAssignmentControlMenu", 208 + object::kUserControlsAssignment, "Row");
    auto* last = make<AssignmentMenu>("UserAssignmentControlMenu", 208 + object::kUserControlsAssignment, "Last");
    // Without an open panel there is nothing to show or choose.
    EXPECT_TRUE(row->disabled());
    click(Point{5, 5});
    EXPECT_EQ(frame->popupMenu(), nullptr);

    AssignmentSession::open(services, 1);
    EXPECT_EQ(row->name(), "Param20");
    EXPECT_TRUE(last->disabled());
    // The menu opens inside the current parameter's group, on it.
    click(Point{5, 5});
    ASSERT_NE(frame->popupMenu(), nullptr);
    EXPECT_EQ(frame->popupMenu()->panelAreas().size(), 2u);
    frame->keyDown(kKeyReturn);
    const UserControlsAssignment& copy = AssignmentSession::of(services)->assignments();
    EXPECT_EQ(copy.entry(1, 1).parameter, 20);

    EXPECT_FALSE(row->assign(param::kUserSlider + 2));  // a user control drives no user control
    EXPECT_TRUE(row->assign(40));
    EXPECT_EQ(copy.entry(1, 1).parameter, 40);
    EXPECT_NEAR(copy.entry(1, 1).low, 0.3f, 1e-6);  // the range stays
    EXPECT_TRUE(last->assign(50));                   // past the end: appended over 0–1
    EXPECT_EQ(copy.count(1), 4);
    EXPECT_EQ(copy.entry(1, 3).parameter, 50);
    EXPECT_TRUE(row->assign(-1));                    // "None": the rows below move up
    EXPECT_EQ(copy.count(1), 3);
    EXPECT_EQ(copy.entry(1, 1).parameter, 30);
    EXPECT_EQ(copy.entry(1, 2).parameter, 50);
    EXPECT_EQ(stored.count(1), 3);  // the program waits for the panel's apply
    EXPECT_EQ(stored.entry(1, 1).parameter, 20);
    AssignmentSession::close(services, true);
    EXPECT_EQ(stored.entry(1, 2).parameter, 50);
}

TEST_F(Controls, ValueDisplaysPadTheTextShowControllersWhileLearningAndScaleTheWheel)
{
    skin("Disp: x=0, y=0, width=90, height=12, valueX=30, ndigits=5, label=Cut, uppercase=1");
    auto* d = make<ParameterDisplay>("BitmapParamDisplayer", 5, "Disp");
    services.values[5] = 0.5f;
    EXPECT_EQ(d->shownValue(), "  050");
    EXPECT_EQ(d->labelText(), "CUT");
    services.learning = true;
    EXPECT_EQ(d->shownValue(), "   07");
    services.learning = false;

    d->setWheelIncrement(0.1f);
    d->setValue(0.0f);
    wheel(Point{35, 5}, 1.0f);  // left third of 30 … 90
    EXPECT_NEAR(d->value(), 0.25f, 1e-6);
    wheel(Point{60, 5}, 1.0f);
    EXPECT_NEAR(d->value(), 0.35f, 1e-6);
    wheel(Point{85, 5}, 1.0f);
    EXPECT_NEAR(d->value(), 0.36f, 1e-6);
    wheel(Point{10, 5}, 1.0f);  // over the label
    EXPECT_NEAR(d->value(), 0.37f, 1e-6);

    skin("Plain: x=0, y=20, width=90, height=12, hasLabel=1");
    auto* named = make<ParameterDisplay>("SeqNoteDisplayer", 7, "Plain");
    EXPECT_EQ(named->labelText(), "Param7");
    EXPECT_EQ(named->shownValue(), "000");
}

TEST_F(Controls, MatrixDisplaysAreDisabledWhileTheirRoutingSwitchIsOff)
{
    controls_testing::writeStrip(folder.path(), "on.bmp", 30, 10, {kGreen});
    controls_testing::writeStrip(folder.path(), "off.bmp", 30, 10, {kRed});
    skin("Cell: x=0, y=0, width=30, height=10, background=on.bmp, backgroundDisabled=off.bmp");
    int parameter = param::kFmMatrix + 6 * 2 + 4;
    auto* cell = make<MatrixDisplay>("MatrixParamDisplayer", parameter, "Cell", {object::kDisabledFm});
    EXPECT_FALSE(cell->disabled());
    EXPECT_EQ(pixel(5, 5), kGreen);
    std::string switches(48, '1');
    switches[6 * 2 + 4] = '0';
    services.program.objectAs<TextObject>(object::kDisabledFm).setText(switches);
    cell->notify(kControlNotifyKey, makeObjectChanged(object::kDisabledFm));
    EXPECT_TRUE(cell->disabled());
    EXPECT_EQ(pixel(5, 5), kRed);
    // A click switches the cell on again, and the next off; no other cell moves, no value is sent.
    click(Point{5, 5});
    EXPECT_EQ(services.program.objectAs<TextObject>(object::kDisabledFm).text(), std::string(48, '1'));
    EXPECT_FALSE(cell->disabled());
    EXPECT_EQ(pixel(5, 5), kGreen);
    click(Point{5, 5});
    EXPECT_EQ(services.program.objectAs<TextObject>(object::kDisabledFm).text(), switches);
    EXPECT_EQ(services.edited, (std::vector<int>{object::kDisabledFm, object::kDisabledFm}));
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(MatrixDisplay::switchCell(object::kDisabledOscOut, param::kOscToFilter1 + 17), 17);
    EXPECT_EQ(MatrixDisplay::switchCell(object::kDisabledOscOut, param::kOscToFilter1 + 18), -1);
    EXPECT_EQ(MatrixDisplay::switchCell(object::kDisabledFltOut, param::kBusOut + 5), 5);
}

TEST_F(Controls, PageSelectorLampClickMutesWithoutSelectingAndTabClickSelects)
{
    std::vector<std::uint32_t> bands;
    controls_testing::writeStrip(folder.path(), "tabs.bmp", 120, 20, {0x101010, 0x202020, 0x303030, 0x404040});
    skin("Tabs: x=0, y=0, ntabs=3, tabsWidth=40, tabsHeight=20, x1=0, y1=0, x2=40, y2=0, x3=80, y3=0, "
         "ledX=2, ledY=2, ledWidth=6, ledHeight=6, background=tabs.bmp");
    services.program.objectAs<WaveNameObject>(object::kOscShapeId).setText("Off");
    services.program.objectAs<WaveNameObject>(object::kOscShapeId + 1).setText("Single Cycle\\Sine");
    auto* tabs = make<PageSelector>("Tabs", 10000, "Tabs");
    EXPECT_EQ(tabs->rect(), Rect::ofSize(0, 0, 120, 20));
    tabs->setValue(1.0f);
    EXPECT_TRUE(tabs->lamp(2));
    EXPECT_FALSE(tabs->lamp(1));
    EXPECT_EQ(pixel(20, 15), 0x303030u);  // selected
    EXPECT_EQ(pixel(60, 15), 0x202020u);  // lamp on
    EXPECT_EQ(pixel(100, 15), 0x101010u);

    click(Point{44, 4});  // the lamp of tab 2
    EXPECT_TRUE(services.program.objectAs<WaveNameObject>(object::kOscShapeId + 1).muted());
    EXPECT_FALSE(tabs->lamp(2));
    EXPECT_EQ(tabs->selected(), 1);
    EXPECT_TRUE(listener.reports.empty());

    click(Point{60, 15});
    EXPECT_EQ(tabs->selected(), 2);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(listener.reports[0].tag, 10000);
    click(Point{60, 15});  // already selected
    EXPECT_EQ(listener.reports.size(), 1u);

    services.values[param::kSeqSteps] = 0.5f;
    tabs->notify(kControlNotifyKey, makeRefresh());
    EXPECT_TRUE(tabs->lamp(10));

    click(Point{100, 10}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->keyDown(kKeyDown);  // from "Pad" (current) to "Lead"
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.selected, std::vector<int>{3});
}

TEST_F(Controls, ChoiceMenusWriteTheirObjectsAndIgnoreChoicesOutsideTheList)
{
    skin("Shape: x=0, y=0, width=80, height=12\nMode: x=0, y=20, width=80, height=12");
    services.program.objectAs<WaveNameObject>(object::kOscShapeId).setText("Off");
    auto* shape = make<ChoiceMenu>("OscShapeMenu", 208 + object::kOscShapeId, "Shape");
    EXPECT_EQ(shape->name(), "Off");
    click(Point{10, 5});
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->keyDown(kKeyDown);    // "Single Cycle"
    frame->keyDown(kKeyRight);   // into the submenu, on "Sine"
    frame->keyDown(kKeyDown);
    frame->keyDown(kKeyReturn);  // "Saw"
    EXPECT_EQ(services.program.objectAs<WaveNameObject>(object::kOscShapeId).text(), "Single Cycle\\Saw");
    EXPECT_EQ(shape->name(), "Saw");
    EXPECT_EQ(listener.reports.size(), 1u);
    // Opened again, the menu starts inside the archive's submenu on the current wave.
    click(Point{10, 5});
    ASSERT_NE(frame->popupMenu(), nullptr);
    EXPECT_EQ(frame->popupMenu()->panelAreas().size(), 2u);
    frame->keyDown(kKeyUp);
    frame->keyDown(kKeyReturn);  // "Sine"
    EXPECT_EQ(services.program.objectAs<WaveNameObject>(object::kOscShapeId).text(), "Single Cycle\\Sine");

    auto* mode = make<ChoiceMenu>("FilterModeMenu", 208 + object::kFilterMode + 1, "Mode");
    EXPECT_TRUE(mode->choose(2));
    EXPECT_EQ(services.program.objectAs<IntegerObject>(object::kFilterMode + 1).value(), 7);
    EXPECT_EQ(mode->name(), "HP 12");
    EXPECT_FALSE(mode->choose(3));
    EXPECT_FALSE(mode->choose(-1));
    EXPECT_EQ(services.program.objectAs<IntegerObject>(object::kFilterMode + 1).value(), 7);
}

TEST_F(Controls, CommentsAreEditedInPlaceAndWrittenToTheirObject)
{
    skin("Author: x=10, y=10, width=100, height=14\nPresetAuthorEditor: width=120, height=16, font=3, "
         "foregroundColor=FFFFFF, backgroundColor=000080, borderColor=FF0000");
    services.program.objectAs<TextObject>(object::kPatchAuthor).setText("someone");
    auto* author = make<EditableTextDisplay>("PresetAuthorDisplayer", 208 + object::kPatchAuthor, "Author");
    EXPECT_EQ(author->name(), "someone");
    std::size_t views = frame->views().size();
    click(Point{20, 15});
    auto* editor = dynamic_cast<TextEditor*>(frame->focusView());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->rect(), Rect::ofSize(10, 10, 120, 16));
    EXPECT_EQ(frame->views().size(), views + 1);
    for (char c : std::string("Ann")) {
        frame->keyDown(c);
    }
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.program.objectAs<TextObject>(object::kPatchAuthor).text(), "Ann");
    EXPECT_EQ(frame->views().size(), views);
    EXPECT_EQ(frame->focusView(), nullptr);
    EXPECT_EQ(listener.reports.size(), 1u);

    // An edit that ends without a change writes nothing.
    services.edited.clear();
    click(Point{20, 15});
    click(Point{300, 250});
    EXPECT_TRUE(services.edited.empty());
    EXPECT_EQ(frame->views().size(), views);
    // The window closing while an edit is open.
    click(Point{20, 15});
    ASSERT_NE(frame->focusView(), nullptr);
}

TEST_F(Controls, ProgramNameDisplayOpensTheProgramMenuAndTheProgramList)
{
    skin("Name: x=0, y=0, width=100, height=12\nBankNameEditor: width=100, height=14, font=3");
    auto* name = make<ProgramNameDisplay>("CurrentPresetNameDisplayer", 10001, "Name");
    EXPECT_EQ(name->name(), "Pad");
    name->setText("Renamed");
    EXPECT_EQ(name->name(), "Renamed");
    // The right button: the bank's programs, the current one preselected.
    click(Point{5, 5}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->keyDown(kKeyUp);
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.selected, std::vector<int>{1});

    // The left button: the current slot's program menu; "Paste" waits for a copy.
    std::vector<MenuItem> items = programMenuItems(false);
    ASSERT_EQ(items.size(), 13u);
    EXPECT_EQ(items[7].text, "Paste");
    EXPECT_FALSE(items[7].enabled);
    EXPECT_TRUE(items[8].separator);
    EXPECT_EQ(items[12].text, "Save Preset");
    click(Point{5, 5});
    ASSERT_NE(frame->popupMenu(), nullptr);
    EXPECT_EQ(frame->popupMenu()->indexOf({6}), 6);
    for (int i = 0; i < 7; ++i) {
        frame->keyDown(kKeyDown);  // down to "Copy" (the disabled "Paste" and the line are passed by)
    }
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.actions, (std::vector<std::pair<EditorServices::SlotCommand, int>>{{EditorServices::SlotCommand::kCopy, 2}}));
    runProgramMenuEntry(services, 2, 7, nullptr);  // "Paste" with nothing copied does nothing
    services.copied = true;
    runProgramMenuEntry(services, 2, 7, nullptr);
    runProgramMenuEntry(services, 2, 11, nullptr);
    runProgramMenuEntry(services, 2, 12, nullptr);  // outside the menu
    EXPECT_EQ(services.actions.size(), 3u);
    EXPECT_EQ(services.actions[1].first, EditorServices::SlotCommand::kPaste);
    EXPECT_EQ(services.actions[2].first, EditorServices::SlotCommand::kSavePreset);

    // "Rename" edits the name in place and hands the text over for the slot.
    click(Point{5, 5});
    for (int i = 0; i < 5; ++i) {
        frame->keyDown(kKeyDown);
    }
    frame->keyDown(kKeyReturn);
    auto* editor = dynamic_cast<TextEditor*>(frame->focusView());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Renamed");
    frame->keyDown('X');
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.renamed, (std::vector<std::pair<int, std::string>>{{2, "X"}}));
}

TEST_F(Controls, InformationListListsTheArchivesAndScrollsTenRowsPerNotch)
{
    skin("Info: x=0, y=0, width=200, height=60, nitems=5, spacing=12, scrollbarPosition=190, handleWidth=6");
    auto* info = make<InfoScrollList>("InfoScrollList", 10100, "Info");
    const auto& lines = info->lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[1].find_first_not_of('-'), std::string::npos);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Included waveforms"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Single Cycle: 12 waveforms"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Vocal: 40 waveforms"), lines.end());
    EXPECT_EQ(lines[lines.size() - 2], "External waves: 3 waveforms");
    EXPECT_EQ(lines.back(), "Number of presets in database: 1234");
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("Pelko 2"), line.find("Pelko"));  // our own name only
    }
    wheel(Point{50, 30}, -1.0f);
    EXPECT_EQ(info->firstRow(), std::min(10, info->rowCount() - 5));
    wheel(Point{50, 30}, 5.0f);
    EXPECT_EQ(info->firstRow(), 0);
    EXPECT_EQ(info->rowAt(Point{50, 13}), 1);
    EXPECT_EQ(info->rowAt(Point{192, 13}), -1);  // the scroll bar
}

TEST_F(Controls, EveryCatalogueTypeIsRegistered)
{
    for (const std::string& type : parameterControlTypes()) {
        EXPECT_TRUE(ControlRegistry::shared().has(type)) << type;
    }
    EXPECT_EQ(parameterControlTypes().size(), 39u);
}

}  // namespace

namespace {

using namespace pelko;

// A list of numbered rows that records what the base hands its owner.
class NumberList final : public ScrollList {
public:
    NumberList() : ScrollList(nullptr, 10900) {}
    int rowCount() const override { return 25; }
    std::string rowText(int row) const override { return std::to_string(row); }
    void configureFrom(controls_testing::FakeServices& services, const std::string& item)
    {
        notify(kControlNotifyKey, makeConfigure(services, item));
    }

    std::vector<std::string> events;

protected:
    void rowSelected(int row) override { events.push_back("select " + std::to_string(row)); }
    void rowDragStarted(int row) override { events.push_back("drag " + std::to_string(row)); }
    void rowDropped(int row, Point where) override
    {
        events.push_back("drop " + std::to_string(row) + " at " + std::to_string(where.h) + "," + std::to_string(where.v));
    }
    void rowMenu(int row, Point) override { events.push_back("menu " + std::to_string(row)); }
};

class Lists : public ::testing::Test, public controls_testing::ControlTest {};

TEST_F(Lists, ClicksSelectDragsCarryTheRowRightPressesAskForItsMenuAndEvenScrollRoundsAway)
{
    skin("List: x=0, y=0, width=100, height=60, nitems=5, spacing=12, evenScroll=1, scrollbarPosition=90, handleWidth=8");
    auto* list = new NumberList();
    list->configureFrom(services, "List");
    frame->addView(list);
    click(Point{10, 14});
    press(Point{10, 26});
    move(Point{11, 27});  // within the few pixels a click may wobble
    move(Point{40, 80});
    release(Point{40, 80});
    click(Point{10, 38}, kMouseRight);
    EXPECT_EQ(list->events, (std::vector<std::string>{"select 1", "drag 2", "drop 2 at 40,80", "menu 3"}));

    list->scrollBy(3);  // odd: rounded away from zero to 4
    EXPECT_EQ(list->firstRow(), 4);
    list->scrollBy(-1);
    EXPECT_EQ(list->firstRow(), 2);
    wheel(Point{10, 10}, -3.0f);  // 30 rows down, bounded to the last page
    EXPECT_EQ(list->firstRow(), 20);
    // The scroll bar takes the press instead of the rows: its top goes back to the start.
    press(Point{92, 0});
    release(Point{92, 0});
    EXPECT_EQ(list->firstRow(), 0);
    EXPECT_EQ(list->events.size(), 4u);
}

TEST_F(Lists, CentredKnobStripsShowTheirMiddleImageForTheMiddleOfTheRange)
{
    skin("Knob: x=0, y=0, width=10, height=10, mode=1, nknobs=4, bitmapCentered=1\n"
         "Plain: x=0, y=0, width=10, height=10, mode=1, nknobs=4");
    auto* centred = dynamic_cast<KnobPart*>(make<SliderOrKnob>("SliderOrKnob", 1, "Knob")->inner());
    auto* plain = dynamic_cast<KnobPart*>(make<SliderOrKnob>("SliderOrKnob", 2, "Plain")->inner());
    ASSERT_NE(centred, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(centred->imageFor(0.0f), 0);
    EXPECT_EQ(centred->imageFor(0.5f), 1);
    EXPECT_EQ(centred->imageFor(1.0f), 3);
    EXPECT_EQ(plain->imageFor(0.5f), 1);
    EXPECT_EQ(plain->imageFor(0.999f), 2);
    EXPECT_EQ(plain->imageFor(1.0f), 3);
}

}  // namespace

namespace {

using namespace pelko;

class Texts : public ::testing::Test, public controls_testing::ControlTest {};

TEST_F(Texts, LabelsAndNamesComeFromTheirObjectsAndUserControlCaptionsAreEditedInPlace)
{
    skin("Scale: x=0, y=0, width=100, height=12, label=Scale\nCaption: x=0, y=20, width=100, height=12, hasLabel=1\n"
         "Fx: x=0, y=40, width=100, height=12\nUserControlTextEditor: height=14");
    services.program.objectAs<TuningScaleObject>(object::kMicrotuningScale).scale().setName("Just 5-limit");
    auto* scale = make<TuningScaleDisplay>("TuningScaleDisplayer", 208 + object::kMicrotuningScale, "Scale");
    EXPECT_EQ(scale->name(), "Just 5-limit");

    auto* caption = make<UserControlTextDisplay>("UserControlTextDisplayer", param::kUserSlider + 2, "Caption");
    EXPECT_EQ(caption->labelText(), "Param204");  // no caption yet: the parameter's name
    services.program.objectAs<TextObject>(object::kUserControlText + 2).setText("Bite");
    EXPECT_EQ(caption->labelText(), "Bite");
    click(Point{5, 25});
    ASSERT_NE(dynamic_cast<TextEditor*>(frame->focusView()), nullptr);
    EXPECT_EQ(frame->focusView()->rect(), Rect::ofSize(0, 20, 100, 14));
    for (char c : std::string("Grit")) {
        frame->keyDown(c);
    }
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(services.program.objectAs<TextObject>(object::kUserControlText + 2).text(), "Grit");

    auto* fx = make<ParameterDisplay>("EffectParamDisplayer", param::kFxParameter + 3, "Fx");
    EXPECT_FALSE(fx->disabled());
    services.displays[param::kFxParameter + 3] = "";
    EXPECT_TRUE(fx->disabled());
}

TEST_F(Texts, PageSelectorLampsFollowFiltersEffectsAndTheSequencer)
{
    skin("Tabs: x=0, y=0, width=240, height=20, ntabs=12, tabsWidth=20, tabsHeight=20");
    auto* tabs = make<PageSelector>("Tabs", 10000, "Tabs");
    services.program.objectAs<IntegerObject>(object::kFilterMode + 1).setValue(3);
    services.program.objectAs<IntegerObject>(object::kFxType).setValue(0);
    services.program.objectAs<IntegerObject>(object::kFxType + 1).setValue(0);
    tabs->notify(kControlNotifyKey, makeObjectChanged(object::kFilterMode + 1));
    EXPECT_FALSE(tabs->lamp(7));
    EXPECT_TRUE(tabs->lamp(8));
    EXPECT_FALSE(tabs->lamp(11));
    services.program.objectAs<IntegerObject>(object::kFxType + 1).setValue(4);
    tabs->notify(kControlNotifyKey, makeObjectChanged(object::kFxType + 1));
    EXPECT_TRUE(tabs->lamp(11));
    EXPECT_FALSE(tabs->lamp(10));
}

}  // namespace
