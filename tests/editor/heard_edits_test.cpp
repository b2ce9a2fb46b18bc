// The envelope and additive editors in the editor of a plug-in, on the test skin: what the mouse
// does to the editors is heard in the next rendered note, the additive page's oscillator buttons
// rebind its editors, and the edited objects survive a program chunk saved and loaded again.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"

#include "editor/controls/additive_harmonics_editor.h"
#include "editor/controls/envelope_editor.h"
#include "editor/controls/waveform_views.h"
#include "params/additive_settings_object.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"
#include "params/wave_name_object.h"
#include "plugin/synth_plugin.h"
#include "support/signal_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kAdditive = object::kAdditiveSettings;
constexpr int kHarmonicsTag = kFirstObjectTag + kAdditive;
constexpr double kRate = 44100.0;

class HeardEdits : public EditorFixture {
protected:
    void installSkin(const std::string& folder) override { installTestSkin(folder); }
    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(openHeadless());
    }

    // Holds a note for `frames` samples (in blocks, as a host does) and returns the left channel.
    std::vector<float> renderNote(int key, int frames)
    {
        vst2::VstMidiEvent on = host::midiEvent(0, 0x90, key, 100);
        host::MidiEventBlock block({on});
        dispatch(vst2::effMainsChanged, 0, 1);
        dispatch(vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()));
        std::vector<float> out;
        std::vector<float> left(512), right(512);
        for (int done = 0; done < frames; done += 512) {
            float* outputs[2] = {left.data(), right.data()};
            plugin->effect()->processReplacing(plugin->effect(), nullptr, outputs, 512);
            out.insert(out.end(), left.begin(), left.end());
        }
        dispatch(vst2::effMainsChanged, 0, 0);
        out.resize(static_cast<std::size_t>(frames));
        return out;
    }
    // The frame position of a point in the coordinates of the control's container.
    static Point inFrame(const View& view, Point p)
    {
        const Point origin = view.parentOrigin();
        return Point{p.h + origin.h, p.v + origin.v};
    }
    void dragInFrame(Point from, Point to, int steps = 8)
    {
        Frame* frame = editor->frame();
        frame->pressMouse(from, kMouseLeft, time += 1000);
        for (int i = 1; i <= steps; ++i) {
            frame->moveMouse(Point{from.h + (to.h - from.h) * i / steps, from.v + (to.v - from.v) * i / steps}, kMouseLeft);
        }
        frame->releaseMouse(to, 0);
    }
    template <class T>
    std::unique_ptr<T> copyOf(int index)
    {
        std::unique_ptr<PatchObject> copy;
        editor->readObject(index, [&](const PatchObject& o) { copy = o.clone(); });
        return std::unique_ptr<T>(dynamic_cast<T*>(copy.release()));
    }
    void playAdditiveOnOscillator1()
    {
        editor->editObject(object::kOscShapeId, [](PatchObject& o) {
            dynamic_cast<WaveNameObject&>(o).setText("User-Defined\\User1");
        });
    }
    // Peak level over 10 ms windows.
    static std::vector<double> contour(const std::vector<float>& x)
    {
        std::vector<double> c;
        for (std::size_t at = 0; at + 441 <= x.size(); at += 441) {
            c.push_back(testing_support::peak(x, at, at + 441));
        }
        return c;
    }
    static double timeOfPeak(const std::vector<double>& c, double until)
    {
        const std::size_t last = std::min(c.size(), static_cast<std::size_t>(until * 100.0));
        return static_cast<double>(std::max_element(c.begin(), c.begin() + static_cast<long>(last)) - c.begin()) / 100.0;
    }
};

TEST_F(HeardEdits, ANoteFollowsTheEnvelopeDraggedInTheEditor)
{
    editor->selectPage(1);
    auto* env = dynamic_cast<EnvelopeEditor*>(editor->controlUnderTag(kFirstObjectTag + object::kOscEnv));
    ASSERT_NE(env, nullptr);
    const std::vector<double> before = contour(renderNote(60, 30000));
    const double peakBefore = timeOfPeak(before, 0.6);

    // The peak breakpoint (the end of the first segment) dragged right by 0.2 s of the plot.
    const Point peakPoint = env->breakpointPoint(1);
    const int pixels = static_cast<int>(std::lround(0.2 / env->timePerPixel()));
    dragInFrame(inFrame(*env, peakPoint), inFrame(*env, Point{peakPoint.h + pixels, peakPoint.v}));
    const auto envelope = copyOf<EnvelopeObject>(object::kOscEnv);
    const EnvelopeShape& shape = envelope->shape();
    const double attack = shape.segment(0).duration;
    EXPECT_NEAR(attack, 0.4, 0.01);
    const std::vector<double> later = contour(renderNote(60, 30000));
    // The loudest moment of the note moved with the breakpoint.
    EXPECT_NEAR(timeOfPeak(later, 0.6) - peakBefore, 0.2, 0.03);

    // The next breakpoint dragged down halfway: the note is quieter there.
    const double atSecond = shape.segment(2).startTime;
    const std::size_t window = static_cast<std::size_t>(atSecond * 100.0);
    const double loudBefore = later[window];
    const float level = shape.segment(2).startLevel;
    const Point second = env->breakpointPoint(2);
    const int down = static_cast<int>(std::lround(level * 0.5 / env->levelScale()));
    dragInFrame(inFrame(*env, second), inFrame(*env, Point{second.h, second.v + down}));
    const auto changed = copyOf<EnvelopeObject>(object::kOscEnv);
    const EnvelopeShape& lowered = changed->shape();
    EXPECT_NEAR(lowered.segment(2).startLevel, level * 0.5f, 0.01f);
    EXPECT_NEAR(lowered.segment(2).startTime, atSecond, 1e-6);
    const double loudAfter = contour(renderNote(60, 30000))[window];
    std::printf("peak at %.2f s then %.2f s; level at %.2f s: %.4f then %.4f\n", peakBefore, timeOfPeak(later, 0.6),
                atSecond, loudBefore, loudAfter);
    // Half the level is half the amplitude.
    EXPECT_NEAR(loudAfter / loudBefore, 0.5, 0.1);
}

TEST_F(HeardEdits, TheAdditiveSpectrumFollowsTheHarmonicBars)
{
    playAdditiveOnOscillator1();
    editor->selectPage(9);
    auto* bars = dynamic_cast<AdditiveHarmonicsEditor*>(editor->controlUnderTag(kHarmonicsTag));
    ASSERT_NE(bars, nullptr);
    const std::vector<float> sine = renderNote(57, 16384);
    const double f = testing_support::zeroCrossingFrequency(sine, kRate, 4096);
    ASSERT_GT(f, 100.0);
    auto amplitude = [&](const std::vector<float>& x, int harmonic) {
        return testing_support::amplitudeAt(x, f * harmonic, kRate, 4096, 8192);
    };
    const double fundamental = amplitude(sine, 1);
    EXPECT_LT(amplitude(sine, 2), fundamental * 0.02);
    EXPECT_LT(amplitude(sine, 3), fundamental * 0.02);

    // Bars drawn for the 2nd harmonic at full level and the 3rd at half: press at the top of the
    // control for 1, a quarter of the way down for 0.5.
    const Rect r = bars->rect();
    auto barX = [&](int harmonic) { return r.left + AdditiveHarmonicsEditor::kLeftInset + bars->barStride() * harmonic + 1; };
    dragInFrame(inFrame(*bars, Point{barX(1), r.top}), inFrame(*bars, Point{barX(1), r.top}), 1);
    dragInFrame(inFrame(*bars, Point{barX(2), r.top + r.height() / 4}), inFrame(*bars, Point{barX(2), r.top + r.height() / 4}), 1);
    const auto a = copyOf<AdditiveSettingsObject>(kAdditive);
    EXPECT_FLOAT_EQ(a->level(1), 1.0f);
    EXPECT_NEAR(a->level(2), 0.5f, 0.01f);

    const std::vector<float> rich = renderNote(57, 16384);
    const double one = amplitude(rich, 1);
    std::printf("harmonics 2 and 3 against the first: %.3f %.3f (before %.4f %.4f)\n", amplitude(rich, 2) / one,
                amplitude(rich, 3) / one, amplitude(sine, 2) / fundamental, amplitude(sine, 3) / fundamental);
    EXPECT_NEAR(amplitude(rich, 2) / one, 1.0, 0.15);
    EXPECT_NEAR(amplitude(rich, 3) / one, 0.5, 0.1);

    // The waveform beside the bars shows the new wave, and so does the oscillator's display.
    auto* wave = dynamic_cast<AdditiveWaveformEditor*>(editor->viewsUnderTag(kHarmonicsTag).at(1));
    ASSERT_NE(wave, nullptr);
    std::vector<float> expected(wave->points().size());
    a->renderWaveform(static_cast<int>(expected.size()), expected.data());
    EXPECT_EQ(wave->points(), expected);
    OscWaveformDisplayer* osc = nullptr;
    for (View* view : editor->viewsUnderTag(kFirstObjectTag + object::kOscShapeId)) {
        osc = osc != nullptr ? osc : dynamic_cast<OscWaveformDisplayer*>(view);
    }
    ASSERT_NE(osc, nullptr);
    ASSERT_GE(osc->points().size(), 2u);
    // The played wave holds three harmonics now: it is no longer a sine (its quarter point is not its peak).
    const std::vector<float>& played = osc->points();
    const float largest = *std::max_element(played.begin(), played.end());
    EXPECT_LT(played[played.size() / 4], largest - 0.05f);

    // PELKO_EDITOR_SHOTS=folder/ keeps a picture of the page, with a phase dragged and its tip.
    if (const char* keep = std::getenv("PELKO_EDITOR_SHOTS")) {
        Frame* frame = editor->frame();
        const Point phase = inFrame(*bars, Point{barX(2), r.bottom - r.height() / 5});
        frame->pressMouse(phase, kMouseLeft, time += 1000);
        frame->updateViews();
        frame->backBuffer().writePng(std::string(keep) + "additive-page-edited.png");
        frame->releaseMouse(phase, 0);
    }
}

TEST_F(HeardEdits, TheOscillatorButtonsRebindTheAdditivePageAndItsFileCommandsUseTheChosenOscillator)
{
    editor->selectPage(9);
    auto* bars = dynamic_cast<AdditiveHarmonicsEditor*>(editor->controlUnderTag(kHarmonicsTag));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->shownObject(), kAdditive);
    auto* third = dynamic_cast<Control*>(editor->controlUnderTag(10084));
    ASSERT_NE(third, nullptr);
    click(centreOf(*third));
    EXPECT_EQ(third->value(), 1.0f);
    EXPECT_EQ(dynamic_cast<Control*>(editor->controlUnderTag(10082))->value(), 0.0f);
    EXPECT_EQ(bars->shownObject(), kAdditive + 2);
    auto* wave = dynamic_cast<AdditiveWaveformEditor*>(editor->viewsUnderTag(kHarmonicsTag).at(1));
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->shownObject(), kAdditive + 2);

    // A drag now edits oscillator 3's settings, and the waveform hears of it although its tag names
    // oscillator 1's.
    const Rect r = bars->rect();
    const int x = r.left + AdditiveHarmonicsEditor::kLeftInset + bars->barStride() * 4 + 1;
    dragInFrame(inFrame(*bars, Point{x, r.top}), inFrame(*bars, Point{x, r.top}), 1);
    EXPECT_FLOAT_EQ(copyOf<AdditiveSettingsObject>(kAdditive + 2)->level(4), 1.0f);
    EXPECT_FLOAT_EQ(copyOf<AdditiveSettingsObject>(kAdditive)->level(4), 0.0f);
    std::vector<float> expected(wave->points().size());
    copyOf<AdditiveSettingsObject>(kAdditive + 2)->renderWaveform(static_cast<int>(expected.size()), expected.data());
    EXPECT_EQ(wave->points(), expected);

    // Clicking the chosen button again keeps it chosen.
    click(centreOf(*third));
    EXPECT_EQ(third->value(), 1.0f);

    // Save (10078) asks for an ".add" file and writes oscillator 3's settings; load (10077) reads
    // them into whichever oscillator is chosen then.
    testing_support::TempFolder files;
    const std::string path = files.path() + "three.add";
    environment.ui().queueFileName(path);
    click(centreOf(*dynamic_cast<Control*>(editor->controlUnderTag(10078))));
    ASSERT_FALSE(environment.ui().fileRequests().empty());
    ASSERT_TRUE(std::filesystem::exists(path));
    click(centreOf(*dynamic_cast<Control*>(editor->controlUnderTag(10087))));
    EXPECT_EQ(bars->shownObject(), kAdditive + 5);
    environment.ui().queueFileName(path);
    click(centreOf(*dynamic_cast<Control*>(editor->controlUnderTag(10077))));
    EXPECT_FLOAT_EQ(copyOf<AdditiveSettingsObject>(kAdditive + 5)->level(4), 1.0f);
    ASSERT_NE(bars->settings(), nullptr);
    EXPECT_FLOAT_EQ(bars->settings()->level(4), 1.0f);
}

TEST_F(HeardEdits, EditedEnvelopeAndAdditiveObjectsSurviveAProgramChunkSavedAndLoaded)
{
    editor->selectPage(9);
    auto* bars = dynamic_cast<AdditiveHarmonicsEditor*>(editor->controlUnderTag(kHarmonicsTag));
    ASSERT_NE(bars, nullptr);
    const Rect r = bars->rect();
    const int x = r.left + AdditiveHarmonicsEditor::kLeftInset + bars->barStride() * 6 + 1;
    dragInFrame(inFrame(*bars, Point{x, r.top + r.height() / 4}), inFrame(*bars, Point{x, r.top + r.height() / 4}), 1);
    dragInFrame(inFrame(*bars, Point{x, r.bottom - 1 - r.height() / 4}), inFrame(*bars, Point{x, r.bottom - 1 - r.height() / 4}), 1);
    editor->selectPage(1);
    auto* env = dynamic_cast<EnvelopeEditor*>(editor->controlUnderTag(kFirstObjectTag + object::kOscEnv));
    ASSERT_NE(env, nullptr);
    const Point b = env->breakpointPoint(3);
    dragInFrame(inFrame(*env, b), inFrame(*env, Point{b.h + 20, b.v - 15}));
    const auto additive = copyOf<AdditiveSettingsObject>(kAdditive);
    const auto envelope = copyOf<EnvelopeObject>(object::kOscEnv);
    EXPECT_NEAR(additive->level(6), 0.5f, 0.02f);
    EXPECT_NEAR(additive->phase(6), 0.5f, 0.02f);

    void* data = nullptr;
    const auto size = dispatch(vst2::effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 0);
    const std::vector<std::uint8_t> chunk(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    editor->editObject(kAdditive, [](PatchObject& o) { o.copyFrom(AdditiveSettingsObject()); });
    editor->editObject(object::kOscEnv, [](PatchObject& o) { dynamic_cast<EnvelopeObject&>(o).shape().setBreakpointLevel(1, 0.1f); });
    ASSERT_EQ(dispatch(vst2::effSetChunk, 1, size, const_cast<std::uint8_t*>(chunk.data())), 1);
    dispatch(vst2::effEditIdle);

    auto bytes = [](const PatchObject& o) {
        ByteWriter out;
        o.write(out);
        return out.take();
    };
    EXPECT_EQ(bytes(*copyOf<AdditiveSettingsObject>(kAdditive)), bytes(*additive));
    EXPECT_EQ(bytes(*copyOf<EnvelopeObject>(object::kOscEnv)), bytes(*envelope));
    // The editors show what was loaded.
    ASSERT_NE(bars->settings(), nullptr);
    EXPECT_EQ(bytes(*bars->settings()), bytes(*additive));
}

}  // namespace
