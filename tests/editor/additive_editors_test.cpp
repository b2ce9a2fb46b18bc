// The additive page's controls, driven through the frame's mouse with an editor stand-in: what
// drags and menu operations write into the additive settings, that the waveform follows its
// object and the page's rebinding, and that the oscillator display switches its oscillator.
#include "control_fixture.h"

#include "editor/controls/additive_harmonics_editor.h"
#include "editor/controls/harmonic_operations.h"
#include "editor/controls/waveform_views.h"
#include "params/additive_settings_object.h"
#include "params/patch_object_table.h"
#include "params/wave_name_object.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

// Bars 4 wide every 6 pixels from x = 4 + 3; the middle line is at y = 110, half height 100.
constexpr const char* kSkin =
    "Harm: x=4, y=10, width=390, height=200, barWidth=4, barSpacing=2\n"
    "Wave: x=4, y=220, width=128, height=60\n";
constexpr int kAdditive = object::kAdditiveSettings;

int barX(int harmonic) { return 4 + 3 + 6 * harmonic + 2; }

class AdditiveEditing : public ::testing::Test, public ControlTest {
protected:
    AdditiveEditing() { skin(kSkin); }

    AdditiveSettingsObject& settings(int object = kAdditive)
    {
        return services.program.objectAs<AdditiveSettingsObject>(object);
    }
    AdditiveHarmonicsEditor* harmonics()
    {
        return make<AdditiveHarmonicsEditor>("AdditiveHarmonicsEditor", 208 + kAdditive, "Harm");
    }
    void drag(std::vector<Point> path)
    {
        press(path.front());
        for (std::size_t i = 1; i < path.size(); ++i) {
            move(path[i]);
        }
        release(path.back());
    }
};

TEST_F(AdditiveEditing, ThePressChoosesTheRowAndSetsTheHarmonicFromItsPositionThenMovesAreRelativeAndAccelerated)
{
    AdditiveHarmonicsEditor* h = harmonics();
    ASSERT_NE(h, nullptr);
    AdditiveSettingsObject& a = settings();
    services.edited.clear();

    // Level row: 1 − (y − top) / half; then 2 pixels up +0.02, 6 up +0.12 (doubled), 10 up four
    // times 0.10 (clamped at 1), and 100 down brings it to 0 while the row stays the levels.
    press(Point{barX(5), 35});
    EXPECT_FLOAT_EQ(a.level(5), 0.75f);
    EXPECT_EQ(h->selectedHarmonic(), 6);
    EXPECT_TRUE(h->valueTipShown());
    EXPECT_FLOAT_EQ(h->valueTip(), 0.75f);
    move(Point{barX(5), 33});
    EXPECT_NEAR(a.level(5), 0.77f, 1e-5);
    move(Point{barX(5), 27});
    EXPECT_NEAR(a.level(5), 0.89f, 1e-5);
    move(Point{barX(5), 25});
    EXPECT_NEAR(a.level(5), 0.91f, 1e-5);
    move(Point{barX(5), 15});
    EXPECT_FLOAT_EQ(a.level(5), 1.0f);
    move(Point{barX(5), 160});
    EXPECT_FLOAT_EQ(a.level(5), 0.0f);
    EXPECT_FLOAT_EQ(a.phase(5), 0.0f);
    // Entering another harmonic sets it from the absolute position again (clamped at 0 here).
    move(Point{barX(7), 60});
    EXPECT_FLOAT_EQ(a.level(7), 0.5f);
    EXPECT_EQ(h->selectedHarmonic(), 8);
    release(Point{barX(7), 60});
    EXPECT_FALSE(h->valueTipShown());
    // Every reading that changed something wrote the whole object through the editor.
    EXPECT_EQ(services.edited.size(), 7u);

    // Phase row: (y − top) / half − 1, and downward raises the phase.
    drag({Point{barX(2), 160}, Point{barX(2), 163}});
    EXPECT_NEAR(a.phase(2), 0.53f, 1e-5);
    EXPECT_FLOAT_EQ(a.level(2), 0.0f);

    // A press within 2 pixels of the middle line edits nothing, whatever the drag does after it.
    const std::size_t writes = services.edited.size();
    drag({Point{barX(9), 112}, Point{barX(9), 20}, Point{barX(10), 20}});
    drag({Point{barX(9), 108}, Point{barX(9), 190}});
    EXPECT_EQ(services.edited.size(), writes);
    EXPECT_FLOAT_EQ(a.level(9), 0.0f);
    EXPECT_FLOAT_EQ(a.phase(9), 0.0f);
}

TEST_F(AdditiveEditing, DragsOffTheBarsChangeNothingAndComingBackCountsAsEnteringAnew)
{
    AdditiveHarmonicsEditor* h = harmonics();
    AdditiveSettingsObject& a = settings();
    EXPECT_EQ(h->visibleCount(), 64);
    EXPECT_EQ(h->harmonicAt(4 + 2), -1);  // left of the first bar
    EXPECT_EQ(h->harmonicAt(4 + 3), 0);
    EXPECT_EQ(h->harmonicAt(4 + 3 + 6 * 64), -1);  // past the last harmonic

    press(Point{barX(63), 60});
    EXPECT_FLOAT_EQ(a.level(63), 0.5f);
    // Far off the window to the right and below: ignored; back on harmonic 63 at y = 30 the level
    // is set from the position (0.8), not moved relatively by the jump.
    move(Point{5000, 9000});
    move(Point{-5000, -9000});
    EXPECT_FLOAT_EQ(a.level(0), 1.0f);
    move(Point{barX(63), 30});
    EXPECT_FLOAT_EQ(a.level(63), 0.8f);
    release(Point{barX(63), 30});
    for (int i = 0; i < AdditiveSettingsObject::kHarmonics; ++i) {
        EXPECT_TRUE(a.level(i) >= 0.0f && a.level(i) <= 1.0f && a.phase(i) >= 0.0f && a.phase(i) <= 1.0f) << i;
    }
}

TEST_F(AdditiveEditing, TheValueTipSitsBesideTheMouseByTheHalvesItIsIn)
{
    AdditiveHarmonicsEditor* h = harmonics();
    // Left half: 10 right; right half: 35 left. Upper half: 10 above; lower half: 30 above.
    EXPECT_EQ(h->tipOrigin(Point{50, 40}), (Point{60, 30}));
    EXPECT_EQ(h->tipOrigin(Point{300, 40}), (Point{265, 30}));
    EXPECT_EQ(h->tipOrigin(Point{50, 150}), (Point{60, 120}));
    EXPECT_EQ(h->tipOrigin(Point{300, 150}), (Point{265, 120}));
}

// ---- the operations menu ------------------------------------------------------------------------

AdditiveSettingsObject withLevels(std::initializer_list<float> levels, std::initializer_list<float> phases = {})
{
    AdditiveSettingsObject a;
    a.setLevel(0, 0.0f);
    int i = 0;
    for (float v : levels) {
        a.setLevel(i++, v);
    }
    i = 0;
    for (float v : phases) {
        a.setPhase(i++, v);
    }
    return a;
}

std::vector<float> levelsOf(const AdditiveSettingsObject& a, int count)
{
    std::vector<float> v;
    for (int i = 0; i < count; ++i) {
        v.push_back(a.level(i));
    }
    return v;
}

std::vector<float> phasesOf(const AdditiveSettingsObject& a, int count)
{
    std::vector<float> v;
    for (int i = 0; i < count; ++i) {
        v.push_back(a.phase(i));
    }
    return v;
}

void expectNear(const std::vector<float>& got, const std::vector<float>& want, const char* what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], 1e-5) << what << " index " << i;
    }
}

TEST(HarmonicOperations, LevelOperationsGiveTheTabulatedResults)
{
    using Op = HarmonicOperation;
    AdditiveSettingsObject a = withLevels({0.6f});
    applyHarmonicOperation(a, Op::kBoostAll, 1);
    EXPECT_FLOAT_EQ(a.level(0), 1.0f);
    applyHarmonicOperation(a, Op::kLowerAll, 1);
    EXPECT_FLOAT_EQ(a.level(0), 0.5f);

    a = withLevels({0.051f, 0.05f, 0.2f, 0.01f});
    applyHarmonicOperation(a, Op::kThreshold5, 1);
    expectNear(levelsOf(a, 4), {0.051f, 0.0f, 0.2f, 0.0f}, "threshold <5");
    a = withLevels({0.01f, 0.05f, 0.011f});
    applyHarmonicOperation(a, Op::kThreshold1, 2);  // from the second harmonic on
    expectNear(levelsOf(a, 3), {0.01f, 0.05f, 0.011f}, "threshold <1");

    // Odd indices start at the first odd index at or above s, even ones at or just below s.
    a = withLevels({0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f}, {0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f});
    applyHarmonicOperation(a, Op::kRemoveOdds, 3);  // s = 2: indices 3, 5
    expectNear(levelsOf(a, 6), {0.8f, 0.8f, 0.8f, 0.0f, 0.8f, 0.0f}, "remove odds");
    expectNear(phasesOf(a, 6), {0.3f, 0.3f, 0.3f, 0.0f, 0.3f, 0.0f}, "remove odds phases");
    a = withLevels({0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f});
    applyHarmonicOperation(a, Op::kLowerEvens, 4);  // s = 3: indices 2, 4
    expectNear(levelsOf(a, 6), {0.8f, 0.8f, 0.4f, 0.8f, 0.4f, 0.8f}, "lower evens");
    applyHarmonicOperation(a, Op::kBoostOdds, 1);  // s = 0: indices 1, 3, 5
    expectNear(levelsOf(a, 6), {0.8f, 1.0f, 0.4f, 1.0f, 0.4f, 1.0f}, "boost odds");

    a = withLevels({0.2f, 0.5f, 0.25f});
    applyHarmonicOperation(a, Op::kNormalize, 0);  // all levels, no selection needed
    expectNear(levelsOf(a, 3), {0.4f, 1.0f, 0.5f}, "normalize");
    a = withLevels({});
    EXPECT_TRUE(applyHarmonicOperation(a, Op::kNormalize, 0));
    EXPECT_TRUE(a.silent());  // all zero stays all zero, no NaN

    a = withLevels({1.0f, 0.5f});
    a.setLevel(63, 0.2f);
    a.setLevel(62, 0.6f);
    applyHarmonicOperation(a, Op::kMirror, 0);
    EXPECT_NEAR(a.level(0), 0.6f, 1e-6);
    EXPECT_NEAR(a.level(63), 0.6f, 1e-6);
    EXPECT_NEAR(a.level(1), 0.55f, 1e-6);
    EXPECT_NEAR(a.level(62), 0.55f, 1e-6);
    EXPECT_NEAR(a.level(2), 0.0f, 1e-6);

    a = withLevels({1.0f, 1.0f, 1.0f, 1.0f});
    applyHarmonicOperation(a, Op::kLowpass, 2);  // s = 1 upward: × 1, 0.9, 0.81
    expectNear(levelsOf(a, 4), {1.0f, 1.0f, 0.9f, 0.81f}, "lowpass");
    a = withLevels({1.0f, 1.0f, 1.0f, 1.0f});
    applyHarmonicOperation(a, Op::kHipassHardest, 3);  // s = 2 downward: × 1, 0.7, 0.49
    expectNear(levelsOf(a, 4), {0.49f, 0.7f, 1.0f, 1.0f}, "hipass (hardest)");
}

TEST(HarmonicOperations, ShiftsSmoothingAndPhaseOperations)
{
    using Op = HarmonicOperation;
    auto ramp = [] {
        AdditiveSettingsObject a;
        for (int i = 0; i < 64; ++i) {
            a.setLevel(i, (i + 1) / 64.0f);
            a.setPhase(i, (63 - i) / 64.0f);
        }
        return a;
    };
    // Shift Up at s = 63 changes nothing; at s = 2 index 2 keeps its values and each above takes
    // the one below it.
    AdditiveSettingsObject a = ramp();
    applyHarmonicOperation(a, Op::kShiftUp, 64);
    expectNear(levelsOf(a, 64), levelsOf(ramp(), 64), "shift up at 63");
    applyHarmonicOperation(a, Op::kShiftUp, 3);
    EXPECT_FLOAT_EQ(a.level(1), 2 / 64.0f);
    EXPECT_FLOAT_EQ(a.level(2), 3 / 64.0f);
    EXPECT_FLOAT_EQ(a.level(3), 3 / 64.0f);
    EXPECT_FLOAT_EQ(a.level(63), 63 / 64.0f);
    EXPECT_FLOAT_EQ(a.phase(3), 61 / 64.0f);
    // Shift Down from s = 2: index 63 keeps its values.
    a = ramp();
    applyHarmonicOperation(a, Op::kShiftDown, 3);
    EXPECT_FLOAT_EQ(a.level(1), 2 / 64.0f);
    EXPECT_FLOAT_EQ(a.level(2), 4 / 64.0f);
    EXPECT_FLOAT_EQ(a.level(62), 1.0f);
    EXPECT_FLOAT_EQ(a.level(63), 1.0f);
    EXPECT_FLOAT_EQ(a.phase(62), 0.0f);

    // Smooth from the first harmonic: it stays; each one above is the mean of itself and the
    // already smoothed one below.
    a = withLevels({0.8f, 0.0f, 0.4f}, {0.0f, 1.0f, 0.0f});
    applyHarmonicOperation(a, Op::kSmooth, 1);
    expectNear(levelsOf(a, 4), {0.8f, 0.4f, 0.4f, 0.2f}, "smooth levels");
    expectNear(phasesOf(a, 4), {0.0f, 0.5f, 0.25f, 0.125f}, "smooth phases");

    // Alternate Phase with the 3rd harmonic selected leaves the first two.
    a = withLevels({}, {0.3f, 0.3f, 0.3f, 0.3f, 0.3f});
    applyHarmonicOperation(a, Op::kAlternatePhase, 3);
    expectNear(phasesOf(a, 6), {0.3f, 0.3f, 0.5f, 0.0f, 0.5f, 0.0f}, "alternate phase");
    a = withLevels({}, {0.75f, 0.5f, 0.0f, 1.0f});
    applyHarmonicOperation(a, Op::kInvertPhase, 1);
    expectNear(phasesOf(a, 4), {0.25f, 1.0f, 0.5f, 0.5f}, "invert phase");
    applyHarmonicOperation(a, Op::kClearPhase, 2);
    expectNear(phasesOf(a, 3), {0.25f, 0.0f, 0.0f}, "clear phase");

    // Without a selected harmonic only the operations over all 64 do anything.
    a = ramp();
    for (int op = 0; op < static_cast<int>(Op::kCount); ++op) {
        const bool ran = applyHarmonicOperation(a, static_cast<Op>(op), 0);
        EXPECT_EQ(ran, !operationNeedsSelection(static_cast<Op>(op))) << harmonicOperationNames()[static_cast<std::size_t>(op)];
    }
    EXPECT_FALSE(applyHarmonicOperation(a, Op::kCount, 1));
    EXPECT_EQ(harmonicOperationNames().size(), static_cast<std::size_t>(Op::kCount));
}

TEST_F(AdditiveEditing, TheRightButtonMenuRunsTheChosenOperationOnTheSelectedHarmonicThroughTheEditor)
{
    AdditiveHarmonicsEditor* h = harmonics();
    AdditiveSettingsObject& a = settings();
    a.setLevel(2, 0.6f);
    a.setLevel(3, 0.6f);
    h->notify(kControlNotifyKey, makeObjectChanged(kAdditive));
    h->setSelectedHarmonic(3);
    press(Point{barX(20), 60}, kMouseRight);
    ASSERT_NE(frame->popupMenu(), nullptr);
    // "Boost All" is the eighth entry.
    for (int i = 0; i < 8; ++i) {
        frame->keyDown(kKeyDown);
    }
    frame->keyDown(kKeyReturn);
    EXPECT_EQ(frame->popupMenu(), nullptr);
    EXPECT_FLOAT_EQ(a.level(0), 1.0f);  // below the selection
    EXPECT_FLOAT_EQ(a.level(2), 1.0f);
    EXPECT_FLOAT_EQ(a.level(3), 1.0f);
    EXPECT_EQ(services.edited.back(), kAdditive);
}

// ---- the waveform and rebinding -------------------------------------------------------------------

TEST_F(AdditiveEditing, TheWaveformFollowsItsObjectAndBothEditorsFollowTheRebindingOfThePage)
{
    AdditiveHarmonicsEditor* h = harmonics();
    auto* wave = make<AdditiveWaveformEditor>("AdditiveWaveformEditor", 208 + kAdditive, "Wave");
    ASSERT_NE(wave, nullptr);
    // A sine: one point per column, the peak a quarter of the way in.
    ASSERT_EQ(wave->points().size(), 128u);
    EXPECT_NEAR(wave->points()[32], 1.0f, 1e-3);
    EXPECT_NEAR(wave->points()[96], -1.0f, 1e-3);

    // Oscillator 4's settings are all zero: rebinding shows them as a flat line, and a drag on the
    // harmonics editor now writes oscillator 4's object only.
    for (int i = 0; i < 64; ++i) {
        settings(kAdditive + 3).setLevel(i, 0.0f);
    }
    h->notify(kControlNotifyKey, makeRebind(kAdditive + 3));
    wave->notify(kControlNotifyKey, makeRebind(kAdditive + 3));
    EXPECT_EQ(h->shownObject(), kAdditive + 3);
    for (float v : wave->points()) {
        ASSERT_EQ(v, 0.0f);
    }
    h->setSelectedHarmonic(5);
    h->notify(kControlNotifyKey, makeRebind(7));  // not an additive object: ignored
    EXPECT_EQ(h->shownObject(), kAdditive + 3);
    EXPECT_EQ(h->selectedHarmonic(), 5);  // the selection survives rebinding

    drag({Point{barX(1), 10}});
    EXPECT_FLOAT_EQ(settings(kAdditive + 3).level(1), 1.0f);
    EXPECT_FLOAT_EQ(settings(kAdditive).level(1), 0.0f);
    EXPECT_EQ(services.edited.back(), kAdditive + 3);
    wave->notify(kControlNotifyKey, makeObjectChanged(kAdditive + 3));
    EXPECT_NEAR(wave->points()[16], 1.0f, 1e-3);  // the second harmonic peaks at an eighth
    // A change of another object leaves the picture.
    const std::vector<float> before = wave->points();
    settings(kAdditive).setLevel(4, 1.0f);
    wave->notify(kControlNotifyKey, makeObjectChanged(kAdditive));
    EXPECT_EQ(wave->points(), before);
    // Drawing an all-zero object and the control itself leaves the frame intact.
    EXPECT_NE(pixel(50, 250), 0u);
}

TEST_F(AdditiveEditing, TheOscillatorDisplayShowsTheWaveAndAClickTogglesTheMuteSwitch)
{
    skin("Osc: x=10, y=10, width=100, height=50\n");
    auto* osc = make<OscWaveformDisplayer>("OscWaveformDisplayer", 208 + object::kOscShapeId + 2, "Osc");
    ASSERT_NE(osc, nullptr);
    EXPECT_EQ(osc->oscillator(), 2);
    auto& name = services.program.objectAs<WaveNameObject>(object::kOscShapeId + 2);
    EXPECT_FALSE(name.muted());
    EXPECT_EQ(osc->value(), 1.0f);

    click(Point{50, 30});
    EXPECT_EQ(osc->value(), 0.0f);
    EXPECT_TRUE(name.muted());
    ASSERT_FALSE(listener.reports.empty());
    EXPECT_EQ(listener.reports.back().tag, 208 + object::kOscShapeId + 2);
    click(Point{50, 30});
    EXPECT_EQ(osc->value(), 1.0f);
    EXPECT_FALSE(name.muted());
    // A click with a modifier or another button is not a toggle.
    click(Point{50, 30}, kMouseLeft | kMouseShift);
    click(Point{50, 30}, kMouseRight);
    EXPECT_EQ(osc->value(), 1.0f);
    EXPECT_FALSE(name.muted());
}

}  // namespace
