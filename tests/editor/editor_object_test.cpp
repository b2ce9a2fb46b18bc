// The editor inside the plug-in: its rectangle and life cycle through the dispatcher, the controls
// made from the skin and bound to their tags, the refresh, pages and popup panels, user edits
// reaching the host as automation inside gestures, the learn and assignment modes, commands, and
// changes made elsewhere reaching the controls at the next idle.
#include "editor/editor_fixture.h"

#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/user_controls_assignment.h"
#include "platform/debug_output.h"
#include "plugin/synth_plugin.h"

#include <chrono>

using namespace pelko;
using namespace editor_testing;

namespace {

TEST_F(EditorFixture, ReportsItsSkinRectangleAndOpensHeadlessAndClosesRepeatedly)
{
    EXPECT_NE(plugin->effect()->flags & vst2::effFlagsHasEditor, 0);
    EXPECT_EQ(dispatch(vst2::effKeysRequired), 0);
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 10);
    EXPECT_EQ(rect->left, 10);
    EXPECT_EQ(rect->bottom, 210);
    EXPECT_EQ(rect->right, 310);

    for (int cycle = 0; cycle < 50; ++cycle) {
        ASSERT_TRUE(openHeadless());
        ASSERT_NE(editor->frame(), nullptr);
        EXPECT_EQ(editor->currentPage(), page::kBank);
        dispatch(vst2::effEditIdle);
        dispatch(vst2::effEditClose);
        EXPECT_EQ(editor->frame(), nullptr);
        EXPECT_EQ(editor->currentPage(), page::kNone);
        EXPECT_EQ(editor->taggedControls(), 0u);
    }
    // Idle, keys and the wheel without a window are harmless.
    dispatch(vst2::effEditIdle);
    EXPECT_EQ(dispatch(vst2::effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(dispatch(vst2::effVendorSpecific, vst2::fourCC('s', 't', 'C', 'A'), vst2::fourCC('W', 'h', 'e', 'e'), nullptr, 1.0f), 0);
}

TEST_F(EditorFixture, BindsEveryLineToItsTagsAndRefreshesFromThePlugin)
{
    plugin->plugin()->setParameter(param::kMainLevel, 0.25f);
    ASSERT_TRUE(openHeadless());

    // One control under several tags: its own and those of its params list, each bound once.
    auto* shape = under(kFirstObjectTag + object::kOscShapeId);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->item, "Shape");
    EXPECT_EQ(shape->bound, (std::vector<int>{object::kOscShapeId, object::kOscShapeId + 1, object::kFilterMode}));
    EXPECT_EQ(editor->controlUnderTag(kFirstObjectTag + object::kFilterMode), shape);
    EXPECT_GE(shape->kinds[notify::kObjectChanged], 1);

    // Two controls of one parameter both show its value; each has the row's range and increment.
    auto levels = editor->viewsUnderTag(param::kMainLevel);
    ASSERT_EQ(levels.size(), 2u);
    for (View* view : levels) {
        auto* level = dynamic_cast<Control*>(view);
        EXPECT_FLOAT_EQ(level->value(), 0.25f);
        const ParameterInfo& row = parameterTable()[param::kMainLevel];
        EXPECT_FLOAT_EQ(level->defaultValue(), row.defaultValue);
        EXPECT_FLOAT_EQ(level->wheelIncrement(), row.step);
    }
    // A command control is refreshed, not bound; the unknown type made nothing.
    EXPECT_GE(under(10043)->kinds[notify::kRefreshCommand], 1);
    EXPECT_EQ(editor->controlsUnderTag(5), 0u);
    // The additive page starts on the first oscillator.
    EXPECT_EQ(under(10082)->base, 184);
    EXPECT_FLOAT_EQ(under(10082)->value(), 1.0f);
}

TEST_F(EditorFixture, ShowsOnePageAndThePermanentOnesAndSwitchesPages)
{
    ASSERT_TRUE(openHeadless());
    Frame* frame = editor->frame();
    auto shownPages = [&] {
        std::vector<int> shown;
        for (int p = 0; p < 18; ++p) {
            if (editor->page(p) != nullptr && frame->isChild(editor->page(p))) {
                shown.push_back(p);
            }
        }
        return shown;
    };
    EXPECT_EQ(shownPages(), (std::vector<int>{page::kBank, page::kGlobal, page::kTabs, page::kStandalone}));
    // A container that is not a page sits on the frame.
    EXPECT_EQ(frame->views().size(), 5u);

    auto* tabs = under(10000);
    tabs->setValue(1.0f);
    editor->valueChanged(nullptr, *tabs);
    EXPECT_EQ(editor->currentPage(), 1);
    EXPECT_EQ(shownPages(), (std::vector<int>{1, page::kGlobal, page::kTabs, page::kStandalone}));

    editor->selectPage(page::kNone);
    EXPECT_EQ(shownPages(), (std::vector<int>{page::kGlobal, page::kTabs, page::kStandalone}));
    EXPECT_FLOAT_EQ(tabs->value(), 13.0f);
}

TEST_F(EditorFixture, UserEditsReachTheHostAsAutomationInsideOneGesture)
{
    ASSERT_TRUE(openHeadless());
    auto levels = editor->viewsUnderTag(param::kMainLevel);
    auto* level = dynamic_cast<RecordingBar*>(levels[0]);
    auto* twin = dynamic_cast<RecordingBar*>(levels[1]);
    const int before = plugin->automateCalls();
    Frame* frame = editor->frame();
    Rect r = level->frameRect();
    frame->pressMouse(Point{r.left + 20, r.top + 5}, kMouseLeft, 1000);
    EXPECT_EQ(plugin->openGestures(), 1);
    frame->moveMouse(Point{r.left + 30, r.top + 5}, kMouseLeft);
    frame->releaseMouse(Point{r.left + 30, r.top + 5}, 0);
    EXPECT_EQ(plugin->openGestures(), 0);
    EXPECT_EQ(plugin->gestures(), 1);
    EXPECT_GE(plugin->automateCalls() - before, 2);
    EXPECT_FLOAT_EQ(plugin->plugin()->getParameter(param::kMainLevel), 0.75f);
    // The other control of the parameter follows at once.
    EXPECT_FLOAT_EQ(twin->value(), 0.75f);
}

TEST_F(EditorFixture, ChangesFromTheHostReachTheControlsAtTheNextIdle)
{
    ASSERT_TRUE(openHeadless());
    auto* cutoff = dynamic_cast<Control*>(editor->viewsUnderTag(100)[0]);
    editor->frame()->updateViews();
    plugin->effect()->setParameter(plugin->effect(), 100, 0.125f);
    EXPECT_NE(cutoff->value(), 0.125f);
    dispatch(vst2::effEditIdle);
    EXPECT_FLOAT_EQ(cutoff->value(), 0.125f);

    // A program change refreshes every parameter.
    plugin->plugin()->storeProgram(3, Program());
    dispatch(vst2::effSetProgram, 0, 3);
    dispatch(vst2::effEditIdle);
    EXPECT_FLOAT_EQ(cutoff->value(), plugin->plugin()->getParameter(100));
}

TEST_F(EditorFixture, LearnModeMakesTheMovedParameterTheLearnTarget)
{
    ASSERT_TRUE(openHeadless());
    auto* learn = under(10024);
    learn->setValue(1.0f);
    editor->valueChanged(nullptr, *learn);
    EXPECT_TRUE(editor->learnMode());
    click(centreOf(*under(param::kMainLevel)));
    EXPECT_EQ(plugin->plugin()->learnTarget(), param::kMainLevel);
    EXPECT_EQ(plugin->plugin()->controllerText(param::kMainLevel), "???");
    learn->setValue(0.0f);
    editor->valueChanged(nullptr, *learn);
    EXPECT_FALSE(editor->learnMode());
    EXPECT_EQ(plugin->plugin()->learnTarget(), kNoLearnTarget);
}

TEST_F(EditorFixture, AssignmentModeBindsTheMovedParameterToTheNextUserControlUpToSixteen)
{
    ASSERT_TRUE(openHeadless());
    auto* assign = under(10025);
    assign->setValue(1.0f);
    editor->valueChanged(nullptr, *assign);
    auto* level = under(param::kMainLevel);
    auto* user = under(param::kUserSlider);
    ASSERT_NE(user, nullptr);

    auto assignments = [&] {
        int count = 0;
        EditorPort::Reading reading = EditorPort(*plugin->plugin()).read();
        count = dynamic_cast<const UserControlsAssignment&>(reading.object(object::kUserControlsAssignment)).count(0);
        return count;
    };
    // Each move lands on another place, so that every one changes the value.
    int moves = 0;
    auto move = [&](RecordingBar& bar) {
        Rect r = bar.frameRect();
        click(Point{r.left + 10 + 10 * (++moves % 3), r.top + 5});
    };
    const int start = assignments();
    move(*level);
    EXPECT_EQ(editor->pendingAssignment(), param::kMainLevel);
    move(*user);
    EXPECT_EQ(editor->pendingAssignment(), -1);
    EXPECT_EQ(assignments(), start + 1);
    // Moving the user control alone adds nothing.
    move(*user);
    EXPECT_EQ(assignments(), start + 1);

    for (int tries = 0; tries < 40 && assignments() < UserControlsAssignment::kAssignmentsPerSlider; ++tries) {
        move(*level);
        move(*user);
    }
    ASSERT_EQ(assignments(), 16);
    environment.ui().clear();
    move(*level);
    move(*user);
    EXPECT_EQ(assignments(), 16);
    ASSERT_EQ(environment.ui().messages().size(), 1u);
    EXPECT_EQ(environment.ui().messages()[0].text, "Too many assignments for this control (max 16)");
    EXPECT_EQ(editor->pendingAssignment(), -1);
}

TEST_F(EditorFixture, CommandsOnReleaseRunOncePerClickAndTheRadioGroupKeepsOneChosen)
{
    ASSERT_TRUE(openHeadless());
    // The save command asks for its file once per click (on the release), and nothing else.
    auto* save = under(10043);
    for (int clicks = 1; clicks <= 2; ++clicks) {
        save->setValue(1.0f);
        editor->valueChanged(nullptr, *save);
        save->setValue(0.0f);
        editor->valueChanged(nullptr, *save);
        ASSERT_EQ(environment.ui().fileRequests().size(), static_cast<std::size_t>(clicks));
    }

    auto* first = under(10082);
    auto* second = under(10083);
    second->setValue(1.0f);
    editor->valueChanged(nullptr, *second);
    EXPECT_FLOAT_EQ(first->value(), 0.0f);
    EXPECT_EQ(first->base, 185);
    // Clicking the chosen one again leaves it chosen.
    second->setValue(0.0f);
    editor->valueChanged(nullptr, *second);
    EXPECT_FLOAT_EQ(second->value(), 1.0f);
}

TEST_F(EditorFixture, FilesAskedForByControlsGoThroughTheEditorsDialog)
{
    ASSERT_TRUE(openHeadless());
    // A control's own file (an envelope) is asked for with the dialog the commands use: same
    // title, filter and extension, and the chosen path comes back; a cancelled dialog gives none.
    environment.ui().clear();
    environment.ui().queueFileName(environment.installFolder() + "shape.env");
    const pelko::FileChoice save{"Save Envelope", "Envelopes", ".env", "EnvPath", true};
    EXPECT_EQ(editor->chooseFile(save), environment.installFolder() + "shape.env");
    environment.ui().queueFileName(std::nullopt);
    EXPECT_EQ(editor->chooseFile(pelko::FileChoice{"Load Envelope", "Envelopes", ".env", "EnvPath", false}), "");
    auto requests = environment.ui().fileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Save Envelope");
    EXPECT_EQ(requests[0].filterDescription, "Envelopes");
    EXPECT_EQ(requests[0].extension, "env");
    EXPECT_FALSE(requests[1].save);
}

TEST_F(EditorFixture, SequencerLengthAndEffectSyncMirrorTheirParameters)
{
    ASSERT_TRUE(openHeadless());
    plugin->effect()->setParameter(plugin->effect(), param::kSeqSteps, 0.5f);
    dispatch(vst2::effEditIdle);
    // No step buttons in this skin: the hook must not fail; the parameter is what was set.
    EXPECT_FLOAT_EQ(plugin->plugin()->getParameter(param::kSeqSteps), 0.5f);
}

TEST_F(EditorFixture, PopupPanelIsModalAndClosesWithApply)
{
    ASSERT_TRUE(openHeadless());
    editor->showPopupPage(page::kAssignments, Rect{});
    ASSERT_NE(editor->popupView(), nullptr);
    EXPECT_EQ(editor->frame()->modalView(), editor->popupView());
    auto* ok = under(10141);
    ok->setValue(1.0f);
    editor->valueChanged(nullptr, *ok);
    EXPECT_NE(editor->popupView(), nullptr);
    ok->setValue(0.0f);
    editor->valueChanged(nullptr, *ok);
    EXPECT_EQ(editor->popupView(), nullptr);
    EXPECT_EQ(editor->frame()->modalView(), nullptr);
    EXPECT_EQ(ok->closedWith, 1);
    // Closing the editor with a panel open is clean.
    editor->showPopupPage(page::kAssignments, Rect{});
    dispatch(vst2::effEditClose);
    EXPECT_EQ(editor->popupView(), nullptr);
}

TEST_F(EditorFixture, ClosingDuringADragAndDestroyingWithTheEditorOpenAreClean)
{
    ASSERT_TRUE(openHeadless());
    Rect r = under(param::kMainLevel)->frameRect();
    editor->frame()->pressMouse(Point{r.left + 5, r.top + 5}, kMouseLeft, 1000);
    ASSERT_TRUE(editor->frame()->isTracking());
    dispatch(vst2::effEditClose);
    EXPECT_EQ(editor->frame(), nullptr);
    ASSERT_TRUE(openHeadless());
    plugin.reset();  // the host destroys the plug-in with its editor open
}

TEST_F(EditorFixture, WritesThePictureOfAPageThroughThePrivateCall)
{
    ASSERT_TRUE(openHeadless());
    testing_support::TempFolder folder;
    std::string path = folder.file("page.png");
    ASSERT_EQ(dispatch(vst2::effVendorSpecific, kRenderPageCall, 1, path.data()), 1);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_GT(info.st_size, 100);
    EXPECT_EQ(editor->currentPage(), page::kBank);
}

TEST_F(EditorFixture, OpensAndIdlesQuickly)
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    ASSERT_TRUE(openHeadless());
    const double openMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    dispatch(vst2::effEditIdle);
    constexpr int kIdles = 1000;
    start = Clock::now();
    for (int i = 0; i < kIdles; ++i) {
        dispatch(vst2::effEditIdle);
    }
    const double idleMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kIdles;
    // Measured, not asserted: printed for the record.
    std::printf("editor open %.2f ms, idle with nothing changed %.4f ms\n", openMs, idleMs);
    SUCCEED();
}

class EditorWithoutSkin : public ::testing::Test {};

TEST_F(EditorWithoutSkin, OpensAnEmptyEditorOfADefaultSize)
{
    testing_support::PluginEnvironment environment(false);
    pelko::installPluginEditorFactory(&pelko::Editor::make);
    {
        testing_support::InProcessPlugin plugin;
        ASSERT_NE(plugin.effect(), nullptr);
        vst2::ERect* rect = nullptr;
        ASSERT_EQ(plugin.effect()->dispatcher(plugin.effect(), vst2::effEditGetRect, 0, 0, &rect, 0.0f), 1);
        EXPECT_GT(rect->right - rect->left, 100);
        EXPECT_GT(rect->bottom - rect->top, 100);
        EXPECT_EQ(plugin.effect()->dispatcher(plugin.effect(), vst2::effEditOpen, 0, 0, nullptr, 0.0f), 1);
        plugin.effect()->dispatcher(plugin.effect(), vst2::effEditIdle, 0, 0, nullptr, 0.0f);
    }
    pelko::installPluginEditorFactory(nullptr);
}

}  // namespace
