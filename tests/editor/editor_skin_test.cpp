// The editor with every control type the skin may name (the test skin), through the plug-in: the
// controls edit the sound as a user's mouse does, and pelko-shot draws every page of the skin.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"

#include "editor/controls/name_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/controls/parameter_controls.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "platform/file_system.h"
#include "plugin/synth_plugin.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kCutoff = 111;

class SkinnedEditor : public EditorFixture {
protected:
    void installSkin(const std::string& folder) override { installTestSkin(folder); }

    void SetUp() override
    {
        EditorFixture::SetUp();
        ASSERT_TRUE(openHeadless());
    }
    Control* control(int tag) const { return dynamic_cast<Control*>(editor->controlUnderTag(tag)); }
    float value(int parameter) const { return plugin->plugin()->getParameter(parameter); }
    void hostSets(int parameter, float v)
    {
        plugin->effect()->setParameter(plugin->effect(), parameter, v);
        dispatch(vst2::effEditIdle);
    }
    void drag(Control& c, int dy, int modifiers = 0)
    {
        Point p = centreOf(c);
        Frame* frame = editor->frame();
        frame->pressMouse(p, kMouseLeft | modifiers, time += 1000);
        for (int step = 1; step <= 10; ++step) {
            frame->moveMouse(Point{p.h, p.v + dy * step / 10}, kMouseLeft | modifiers);
        }
        frame->releaseMouse(Point{p.h, p.v + dy}, modifiers);
    }
    std::string skinText(const char* file) const
    {
        std::ifstream in(std::string(PELKO_SOURCE_DIR) + "/tests/editor/test_skin/" + file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(SkinnedEditor, EveryTypeOfTheRegistryIsInTheSkinAndEveryLineMadeItsControl)
{
    const std::string layout = skinText("skin.dat");
    for (const std::string& type : parameterControlTypes()) {
        EXPECT_NE(layout.find(type + " "), std::string::npos) << type << " is not in the test skin";
    }
    // Each control line and each params entry is one entry of the tag map.
    std::size_t expected = 0;
    std::istringstream lines(layout);
    for (std::string line; std::getline(lines, line);) {
        if (line.find('(') == std::string::npos || line.find('{') != std::string::npos) {
            continue;
        }
        ++expected;
        if (std::size_t params = line.find("params("); params != std::string::npos) {
            expected += 1 + static_cast<std::size_t>(std::count(line.begin() + static_cast<long>(params), line.end(), ','));
        }
    }
    EXPECT_EQ(editor->taggedControls(), expected);
}

TEST_F(SkinnedEditor, RefreshSetsEveryParameterControlFromThePlugin)
{
    hostSets(kCutoff, 0.3f);
    dispatch(vst2::effEditClose);
    ASSERT_TRUE(openHeadless());
    int checked = 0;
    for (int p = 0; p < kParameters; ++p) {
        for (View* view : editor->viewsUnderTag(p)) {
            if (auto* c = dynamic_cast<Control*>(view)) {
                EXPECT_FLOAT_EQ(c->value(), value(p)) << "parameter " << p;
                ++checked;
            }
        }
    }
    EXPECT_GE(checked, 10);
}

TEST_F(SkinnedEditor, KnobDragsResetsAndWheelEditTheParameterInsideGestures)
{
    Control* knob = control(kCutoff);
    ASSERT_NE(knob, nullptr);
    hostSets(kCutoff, 0.2f);
    const int automations = plugin->automateCalls();
    drag(*knob, -100);
    EXPECT_NEAR(value(kCutoff), 0.7f, 1e-4);
    EXPECT_EQ(plugin->openGestures(), 0);
    EXPECT_GE(plugin->gestures(), 1);
    EXPECT_GT(plugin->automateCalls(), automations);

    hostSets(kCutoff, 0.2f);
    drag(*knob, -100, kMouseShift);
    EXPECT_NEAR(value(kCutoff), 0.2f + 1.0f / 3.0f, 1e-4);

    editor->frame()->pressMouse(centreOf(*knob), kMouseLeft | kMouseControl, time += 1000);
    editor->frame()->releaseMouse(centreOf(*knob), 0);
    EXPECT_FLOAT_EQ(value(kCutoff), parameterTable()[kCutoff].defaultValue);

    hostSets(kCutoff, 0.5f);
    editor->frame()->wheelMouse(centreOf(*knob), 1.0f, kMouseShift);
    EXPECT_NEAR(value(kCutoff), 0.5f + parameterTable()[kCutoff].step * 0.1f, 1e-5);
}

TEST_F(SkinnedEditor, ButtonsCycleAndTheKickButtonSavesOncePerClick)
{
    editor->selectPage(1);
    Control* three = control(param::kSeqRandom);
    ASSERT_NE(three, nullptr);
    std::vector<float> seen;
    for (int i = 0; i < 3; ++i) {
        click(centreOf(*three));
        seen.push_back(three->value());
    }
    EXPECT_NE(seen[0], 0.0f);
    EXPECT_NE(seen[1], seen[0]);
    EXPECT_FLOAT_EQ(seen[2], 0.0f);

    Control* save = control(10043);
    ASSERT_NE(save, nullptr);
    for (std::size_t clicks = 1; clicks <= 3; ++clicks) {
        click(centreOf(*save));
        EXPECT_EQ(environment.ui().fileRequests().size(), clicks);
    }
}

TEST_F(SkinnedEditor, SequencerStepButtonsAndTheStepCountMirrorEachOther)
{
    editor->selectPage(10);
    auto lit = [&] {
        std::vector<int> on;
        for (int tag = 10026; tag <= 10041; ++tag) {
            Control* button = control(tag);
            EXPECT_NE(button, nullptr) << tag;
            if (button != nullptr && button->value() != 0.0f) {
                on.push_back(tag - 10025);
            }
        }
        return on;
    };
    auto* tabs = dynamic_cast<PageSelector*>(editor->controlUnderTag(10000));
    ASSERT_NE(tabs, nullptr);
    // A click on the fifth button sets five steps; only that button is lit.
    click(centreOf(*control(10030)));
    EXPECT_FLOAT_EQ(value(param::kSeqSteps), 5.0f / 16.0f);
    EXPECT_EQ(lit(), std::vector<int>{5});
    EXPECT_TRUE(tabs->lamp(10));
    // The host sets twelve steps: the twelfth button lights instead.
    hostSets(param::kSeqSteps, 12.0f / 16.0f);
    EXPECT_EQ(lit(), std::vector<int>{12});
    // Clicking the lit button switches the sequencer off, and every button goes dark.
    click(centreOf(*control(10037)));
    EXPECT_FLOAT_EQ(value(param::kSeqSteps), 0.0f);
    EXPECT_TRUE(lit().empty());
    EXPECT_FALSE(tabs->lamp(10));
}

TEST_F(SkinnedEditor, TheProgramMenuCopiesClearsPastesSavesAndLoadsTheCurrentProgram)
{
    SynthPlugin& synth = *plugin->plugin();
    const int current = synth.currentProgram();
    synth.setProgramName("Original");
    hostSets(kCutoff, 0.3f);
    EXPECT_FALSE(editor->programCopied());
    editor->slotCommand(EditorServices::SlotCommand::kCopy, current);
    EXPECT_TRUE(editor->programCopied());
    editor->slotCommand(EditorServices::SlotCommand::kClear, current);
    EXPECT_NE(synth.programName(), "Original");
    editor->slotCommand(EditorServices::SlotCommand::kPaste, current);
    EXPECT_EQ(synth.programName(), "Original");
    EXPECT_FLOAT_EQ(value(kCutoff), 0.3f);

    testing_support::TempFolder folder;
    environment.ui().queueFileName(folder.file("saved"));
    editor->slotCommand(EditorServices::SlotCommand::kSavePreset, current);
    ASSERT_TRUE(fileExists(folder.file("saved.fxp")));
    hostSets(kCutoff, 0.9f);
    environment.ui().queueFileName(folder.file("saved.fxp"));
    editor->slotCommand(EditorServices::SlotCommand::kLoadPreset, current);
    EXPECT_FLOAT_EQ(value(kCutoff), 0.3f);
    EXPECT_FLOAT_EQ(control(kCutoff)->value(), 0.3f);

    // A rename shows in the current program's display at once.
    editor->renameProgram(current, "Named");
    auto* display = dynamic_cast<ProgramNameDisplay*>(editor->controlUnderTag(10001));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->name().substr(0, 5), "Named");
}

TEST_F(SkinnedEditor, TheEffectMenuWritesItsObjectAndTheSoundChanges)
{
    auto render = [&] {
        vst2::VstMidiEvent on = host::midiEvent(0, 0x90, 60, 100);
        host::MidiEventBlock block({on});
        dispatch(vst2::effMainsChanged, 0, 1);
        dispatch(vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()));
        std::vector<float> left(4096), right(4096);
        float* outputs[2] = {left.data(), right.data()};
        plugin->effect()->processReplacing(plugin->effect(), nullptr, outputs, 4096);
        dispatch(vst2::effMainsChanged, 0, 0);
        return left;
    };
    auto effectType = [&] {
        int type = -1;
        editor->readObject(object::kFxType, [&](const PatchObject& o) {
            type = dynamic_cast<const IntegerObject&>(o).value();
        });
        return type;
    };
    const std::vector<float> before = render();
    const int typeBefore = effectType();
    Control* menu = control(kFirstObjectTag + object::kFxType);
    ASSERT_NE(menu, nullptr);
    click(centreOf(*menu));
    ASSERT_NE(editor->frame()->popupMenu(), nullptr);
    for (int i = 0; i < 3; ++i) {
        editor->frame()->keyDown(kKeyDown);
    }
    editor->frame()->keyDown(kKeyReturn);
    EXPECT_EQ(editor->frame()->popupMenu(), nullptr);
    EXPECT_NE(effectType(), typeBefore);
    EXPECT_NE(render(), before);
}

TEST_F(SkinnedEditor, ATabShowsItsPageWithThePermanentOnes)
{
    Control* tabs = control(10000);
    ASSERT_NE(tabs, nullptr);
    Rect r = tabs->frameRect();
    // Tab k (1…6, from the left) shows page k.
    click(Point{r.left + 70 * 3 + 30, r.top + 10});
    EXPECT_EQ(editor->currentPage(), 4);
    int shown = 0;
    for (int p = 0; p < 18; ++p) {
        shown += editor->page(p) != nullptr && editor->frame()->isChild(editor->page(p)) ? 1 : 0;
    }
    // Page 4 has no container in this skin: only the permanent pages are shown.
    EXPECT_EQ(shown, 3);
    click(Point{r.left + 30, r.top + 10});
    EXPECT_EQ(editor->currentPage(), 1);
    EXPECT_TRUE(editor->frame()->isChild(editor->page(1)));
    EXPECT_FALSE(editor->frame()->isChild(editor->page(0)));
}

TEST_F(SkinnedEditor, PelkoShotWritesEveryPageOfTheSkin)
{
    dispatch(vst2::effEditClose);
    testing_support::TempFolder out;
    const std::string command = std::string(PELKO_BINARY_DIR) + "/tools/pelko-shot/pelko-shot --module " +
                                testing_support::modulePath() + " " + out.path() + "shot > " + out.path() + "log.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
        if (entry.path().extension() == ".png" && entry.file_size() > 100) {
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 18);
    // At 2x every picture has twice the pixels each way (the PNG header's width and height). One
    // page is enough for that; all of them when they are kept for a look.
    const std::string pages = std::getenv("PELKO_EDITOR_SHOTS") != nullptr ? " " : " --page 0 ";
    const std::string doubled = std::string(PELKO_BINARY_DIR) + "/tools/pelko-shot/pelko-shot --scale 2" + pages +
                                "--module " + testing_support::modulePath() + " " + out.path() + "shot2x > " +
                                out.path() + "log2x.txt 2>&1";
    ASSERT_EQ(std::system(doubled.c_str()), 0);
    const std::string first = out.path() + (pages == " " ? "shot2x-00-BankPage.png" : "shot2x");
    const std::vector<std::uint8_t> png = readWholeFile(first, 1 << 24).value_or(std::vector<std::uint8_t>{});
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ((png[18] << 8) | png[19], 840);
    EXPECT_EQ((png[22] << 8) | png[23], 600);
    // PELKO_EDITOR_SHOTS=folder/ keeps the pictures for a look.
    if (const char* keep = std::getenv("PELKO_EDITOR_SHOTS")) {
        std::filesystem::copy(out.path(), keep, std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
    }
    EXPECT_EQ(std::system((std::string(PELKO_BINARY_DIR) + "/tools/pelko-shot/pelko-shot --help > /dev/null").c_str()), 0);
}

}  // namespace
