// The editor as a host shows it: the module's editor opened inside a parent window the test makes
// on a private X server, a knob dragged with the pointer through the server, the parameter and the
// host's gestures read back, and the window gone when the host closes the editor.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"
#include "support/x_server.h"

#include "dsp/filters/filter_types.h"
#include "params/parameter_ids.h"
#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/user_controls_assignment.h"
#include "plugin/synth_plugin.h"

#include <thread>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kCutoff = 111;

class EditorInHostWindow : public EditorFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error();
        EditorFixture::SetUp();
    }
    void installSkin(const std::string& folder) override { installTestSkin(folder); }
    void idle() { dispatch(vst2::effEditIdle); }

    testing_support::XServer server;
};

// The test skin's editor opened in a host window, used through the pointer.
class SkinnedEditorInHostWindow : public EditorInHostWindow {
protected:
    void SetUp() override
    {
        EditorInHostWindow::SetUp();
        parent = server.createParentWindow(420, 300, 0, 0);
        ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        idle();
        server.sync();
        ASSERT_EQ(server.children(parent).size(), 1u);
        window = server.children(parent)[0];
    }
    SynthPlugin& synth() { return *plugin->plugin(); }
    Control* control(int tag) const { return dynamic_cast<Control*>(editor->controlUnderTag(tag)); }
    void hostSets(int parameter, float value)
    {
        plugin->effect()->setParameter(plugin->effect(), parameter, value);
        idle();
    }
    // Waits until done() holds while the editor takes its events.
    bool until(const std::function<bool()>& done)
    {
        return testing_support::eventually(done, [&] {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
    }
    // A click at the control's centre, taken once the control's value has changed (or after the
    // events have had their time).
    void clickOn(const Control& c)
    {
        const Point at = centreOf(c);
        server.click(window, at.h, at.v);
        for (int i = 0; i < 10; ++i) {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // Drags the control by dy pixels and waits for the gesture to end.
    void dragBy(const Control& c, int dy)
    {
        const Point at = centreOf(c);
        const int before = plugin->gestures();
        server.drag(window, at.h, at.v, at.h, at.v + dy, 10, [&] { idle(); });
        EXPECT_TRUE(until([&] { return plugin->openGestures() == 0 && plugin->gestures() > before; }));
    }
    // Renders the start of a note; controllers (CC number, value) go with it.
    std::vector<float> render(std::vector<std::pair<int, int>> controllers = {}, bool note = true)
    {
        std::vector<vst2::VstMidiEvent> events;
        for (auto [number, value] : controllers) {
            events.push_back(host::midiEvent(0, 0xB0, static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(value)));
        }
        if (note) {
            events.push_back(host::midiEvent(0, 0x90, 48, 100));
        }
        host::MidiEventBlock block(events);
        dispatch(vst2::effMainsChanged, 0, 1);
        dispatch(vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()));
        std::vector<float> left(4096), right(4096);
        float* outputs[2] = {left.data(), right.data()};
        plugin->effect()->processReplacing(plugin->effect(), nullptr, outputs, 4096);
        dispatch(vst2::effMainsChanged, 0, 0);
        return left;
    }

    testing_support::XWindow parent = 0;
    testing_support::XWindow window = 0;
};

TEST_F(EditorInHostWindow, OpensInsideTheParentAndAPointerDragMovesItsParameterInOneGesture)
{
    const testing_support::XWindow parent = server.createParentWindow(640, 480, 0, 0);
    ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    idle();
    server.sync();
    const std::vector<testing_support::XWindow> children = server.children(parent);
    ASSERT_EQ(children.size(), 1u);
    const testing_support::XWindow window = children[0];

    auto* knob = dynamic_cast<Control*>(editor->controlUnderTag(kCutoff));
    ASSERT_NE(knob, nullptr);
    plugin->effect()->setParameter(plugin->effect(), kCutoff, 0.2f);
    idle();
    const Point centre = centreOf(*knob);
    const int gesturesBefore = plugin->gestures();
    // 100 pixels up over the whole range is half of it, in linear knob mode.
    server.drag(window, centre.h, centre.v, centre.h, centre.v - 100, 20, [&] { idle(); });
    testing_support::eventually([&] { return plugin->openGestures() == 0 && plugin->gestures() > gesturesBefore; },
                                [&] { idle(); });
    EXPECT_NEAR(plugin->plugin()->getParameter(kCutoff), 0.7f, 1e-3);
    EXPECT_EQ(plugin->gestures(), gesturesBefore + 1);
    EXPECT_EQ(plugin->openGestures(), 0);

    // A change from the host shows at the next idle: the knob takes the value.
    plugin->effect()->setParameter(plugin->effect(), kCutoff, 0.0f);
    idle();
    EXPECT_FLOAT_EQ(knob->value(), 0.0f);

    dispatch(vst2::effEditClose);
    server.sync();
    EXPECT_TRUE(server.children(parent).empty());
}

TEST_F(EditorInHostWindow, TwentyOpenAndCloseCyclesLeaveNoWindowBehind)
{
    const testing_support::XWindow parent = server.createParentWindow(640, 480, 0, 0);
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        idle();
        server.sync();
        ASSERT_EQ(server.children(parent).size(), 1u) << "cycle " << cycle;
        dispatch(vst2::effEditClose);
        server.sync();
        ASSERT_TRUE(server.children(parent).empty()) << "cycle " << cycle;
    }
}

TEST_F(SkinnedEditorInHostWindow, LearnModeBindsTheNextControllerToTheMovedParameter)
{
    Control* learn = control(10024);
    Control* knob = control(kCutoff);
    ASSERT_NE(learn, nullptr);
    ASSERT_NE(knob, nullptr);
    clickOn(*learn);
    ASSERT_TRUE(until([&] { return editor->learnMode(); }));
    const int automations = plugin->automateCalls();
    dragBy(*knob, -20);
    // The drag reached the host as automation inside one gesture, and made the knob the target.
    EXPECT_GT(plugin->automateCalls(), automations);
    EXPECT_EQ(synth().learnTarget(), kCutoff);
    render({{20, 64}}, false);
    clickOn(*learn);
    ASSERT_TRUE(until([&] { return !editor->learnMode(); }));

    // The learnt controller now moves the parameter, and the knob follows at the next idle.
    render({{20, 127}}, false);
    EXPECT_NEAR(synth().getParameter(kCutoff), 1.0f, 1e-3);
    EXPECT_TRUE(until([&] { return std::abs(knob->value() - 1.0f) < 1e-3f; }));
    render({{20, 0}}, false);
    EXPECT_NEAR(synth().getParameter(kCutoff), 0.0f, 1e-3);
}

TEST_F(SkinnedEditorInHostWindow, AnAssignmentMadeInTheEditorDrivesItsTarget)
{
    Control* assign = control(10025);
    Control* knob = control(kCutoff);
    Control* user = control(param::kUserSlider);
    ASSERT_NE(assign, nullptr);
    ASSERT_NE(knob, nullptr);
    ASSERT_NE(user, nullptr);
    hostSets(kCutoff, 0.2f);
    hostSets(param::kUserSlider, 1.0f);
    clickOn(*assign);
    ASSERT_TRUE(until([&] { return editor->assignmentMode(); }));
    dragBy(*knob, -40);  // to 0.4: the pending target and the low end of its range
    EXPECT_EQ(editor->pendingAssignment(), kCutoff);
    dragBy(*user, 100);  // the user control moves to 0.5 and takes the assignment
    EXPECT_EQ(editor->pendingAssignment(), -1);
    const UserControlsAssignment::Entry entry = synth().userAssignments().entry(0, 0);
    EXPECT_EQ(entry.parameter, kCutoff);
    EXPECT_NEAR(entry.low, 0.4f, 1e-3);
    EXPECT_NEAR(entry.high, 1.0f, 1e-6);
    EXPECT_NEAR(synth().getParameter(kCutoff), 0.4f + 0.5f * 0.6f, 1e-2);
    clickOn(*assign);
    ASSERT_TRUE(until([&] { return !editor->assignmentMode(); }));

    // From the host too: the user control sets its target within the range.
    hostSets(param::kUserSlider, 0.0f);
    EXPECT_NEAR(synth().getParameter(kCutoff), 0.4f, 1e-3);
    EXPECT_TRUE(until([&] { return std::abs(knob->value() - 0.4f) < 1e-3f; }));
}

TEST_F(SkinnedEditorInHostWindow, AFilterModeChosenInThePopupWindowWritesItsObjectAndTheSoundChanges)
{
    auto mode = [&] {
        int id = -1;
        editor->readObject(object::kFilterMode, [&](const PatchObject& o) { id = dynamic_cast<const IntegerObject&>(o).value(); });
        return id;
    };
    // The table's default program sends oscillator 1 straight out and nothing into filter 1, so
    // the filter's mode has nothing to act on; here the oscillator plays through the filter.
    hostSets(param::kOscToFilter1, 0.25f);
    hostSets(param::kOscToFilter1 + 12, 0.0f);
    hostSets(kCutoff, 0.15f);
    const std::vector<float> before = render();
    Control* menu = control(kFirstObjectTag + object::kFilterMode);
    ASSERT_NE(menu, nullptr);
    clickOn(*menu);
    ASSERT_TRUE(until([&] { return server.popupWindows().size() == 1; }));
    ASSERT_NE(editor->frame()->popupMenu(), nullptr);
    const Rect panel = editor->frame()->popupMenu()->panelAreas()[0];
    // The third entry: 2 pixels of margin, then rows of 18.
    const Point entry{panel.left + 20, panel.top + 2 + 2 * 18 + 9};
    server.movePointer(window, entry.h, entry.v);
    idle();
    server.click(window, entry.h, entry.v);
    ASSERT_TRUE(until([&] { return editor->frame()->popupMenu() == nullptr; }));
    EXPECT_TRUE(until([&] { return server.popupWindows().empty(); }));
    EXPECT_EQ(mode(), filterTypeAtMenuIndex(2));
    EXPECT_NE(render(), before);
}

TEST_F(SkinnedEditorInHostWindow, ThreeClicksCycleAThreeStateButtonAndAKickButtonSavesOncePerClick)
{
    Control* tabs = control(10000);
    ASSERT_NE(tabs, nullptr);
    const Rect r = tabs->frameRect();
    server.click(window, r.left + 40, r.top + 10);  // the first oscillator's page
    ASSERT_TRUE(until([&] { return editor->currentPage() == 1; }));
    Control* three = control(param::kSeqRandom);
    ASSERT_NE(three, nullptr);
    std::vector<float> seen;
    for (int i = 0; i < 3; ++i) {
        const float was = three->value();
        clickOn(*three);
        EXPECT_TRUE(until([&] { return three->value() != was; }));
        seen.push_back(synth().getParameter(param::kSeqRandom));
    }
    EXPECT_NE(seen[0], 0.0f);
    EXPECT_NE(seen[1], seen[0]);
    EXPECT_FLOAT_EQ(seen[2], 0.0f);

    Control* save = control(10043);
    ASSERT_NE(save, nullptr);
    for (std::size_t clicks = 1; clicks <= 3; ++clicks) {
        clickOn(*save);
        EXPECT_TRUE(until([&] { return environment.ui().fileRequests().size() >= clicks; }));
        EXPECT_EQ(environment.ui().fileRequests().size(), clicks);
    }
}

}  // namespace
