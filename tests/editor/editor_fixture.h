// A plug-in with its editor, built in this process through the entry point, and a small skin
// written into its private install folder: the editor is opened headless (a frame that draws into
// an image) and driven through the frame's mouse calls, as the window would drive it.
#pragma once

#include "editor/controls/control_registry.h"
#include "editor/core/editor.h"
#include "editor/image_files.h"
#include "editor/test_controls.h"
#include "plugin/vst2_adapter.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

namespace editor_testing {

// A bar that records what the editor told it: the item it was configured from and the objects it
// was bound to (kind 3), refreshed with (kind 0) and rebased to (kind 4).
class RecordingBar : public BarControl {
public:
    using BarControl::BarControl;
    int notify(std::uint32_t key, const pelko::Notification& record) override
    {
        if (key != pelko::kControlNotifyKey) {
            return 0;
        }
        ++kinds[record.kind];
        if (record.kind == pelko::notify::kConfigure) {
            item = std::string(record.text);
            auto* services = static_cast<pelko::EditorServices*>(const_cast<void*>(record.data));
            int x = services->attributes().integer(item, "x");
            int y = services->attributes().integer(item, "y");
            setRect(pelko::Rect{x, y, x + 40, y + 10});
            setMouseableArea(rect());
        } else if (record.kind == pelko::notify::kBindObject) {
            bound.push_back(static_cast<int>(record.first));
        } else if (record.kind == pelko::notify::kRebase) {
            base = static_cast<int>(record.first);
        } else if (record.kind == pelko::notify::kPopupClosed) {
            closedWith = static_cast<int>(record.first);
        }
        return 1;
    }
    std::string item;
    std::map<int, int> kinds;
    std::vector<int> bound;
    int base = -1;
    int closedWith = -1;
};

inline void registerTestControls()
{
    pelko::registerFrameTypes();
    pelko::ControlRegistry::shared().add("TestBar", [](pelko::ControlListener* listener, int tag) {
        return pelko::Ref<pelko::View>::adopt(new RecordingBar(pelko::Rect{}, listener, tag));
    });
}

// The test skin: a 300 x 200 frame, the three permanent pages, two ordinary pages, the two popup
// panels and bars bound to parameters, objects and commands.
inline void writeTestSkin(const std::string& installFolder)
{
    const std::string skin = installFolder + "skin/";
    ::mkdir(skin.c_str(), 0755);
    std::vector<std::uint32_t> back(300 * 200, 0x203040);
    writeFile(skin + "back.bmp", bmpBytes(300, 200, back));
    writeText(skin + "skin.ini",
              "MainFrame: width=300, height=200, background=back.bmp\n"
              "Page: x=0, y=40, width=300, height=120\n"
              "BankPage: @=Page\n"
              "Osc1Page: @=Page\n"
              "AdditivePage: @=Page\n"
              "TabsPage: x=0, y=0, width=300, height=20\n"
              "GlobalPage: x=0, y=20, width=300, height=20\n"
              "StandalonePage: x=0, y=180, width=300, height=20\n"
              "UserAssignmentsPage: x=0, y=0, width=100, height=60\n"
              "Strip: x=0, y=160, width=300, height=20\n"
              "Level: x=10, y=10\n"
              "Level2: x=10, y=30\n"
              "Cutoff: x=60, y=10\n"
              "User1: x=110, y=10\n"
              "Voices: x=160, y=5\n"
              "Shape: x=10, y=50\n"
              "Tabs: x=0, y=5\n"
              "Radio1: x=10, y=70\n"
              "Radio2: x=60, y=70\n"
              "Learn: x=200, y=5\n"
              "Assign: x=250, y=5\n"
              "Save: x=10, y=90\n"
              "Ok: x=10, y=20\n");
    writeText(skin + "skin.dat",
              "ContainerPage TabsPage(0) {\n"
              "TestBar Tabs(10000)\n"
              "TestBar Learn(10024)\n"
              "TestBar Assign(10025)\n"
              "}\n"
              "ContainerPage GlobalPage(0) {\n"
              "TestBar Voices(0)\n"
              "}\n"
              "ContainerPage StandalonePage(0) {\n"
              "}\n"
              "ContainerPage BankPage(0) {\n"
              "TestBar Level(MainLevel)\n"
              "TestBar Level2(1)\n"
              "TestBar User1(UserSlider1)\n"
              "TestBar Shape(OSC1_SHAPE_ID) params(OSC2_SHAPE_ID, FLT1_MODE)\n"
              "TestBar Save(10043)\n"
              "}\n"
              "ContainerPage AdditivePage(0) {\n"
              "TestBar Radio1(10082)\n"
              "TestBar Radio2(10083)\n"
              "}\n"
              "ContainerPage Osc1Page(0) {\n"
              "TestBar Cutoff(100)\n"
              "}\n"
              "ContainerPage UserAssignmentsPage(0) {\n"
              "TestBar Ok(10141)\n"
              "}\n"
              "NoSuchType Nothing(5)\n"
              "ContainerPage Strip(0) {\n"
              "}\n");
}

// The plug-in of a private install folder holding the test skin, with its editor.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerTestControls();
        pelko::installPluginEditorFactory(&pelko::Editor::make);
        installSkin(environment.installFolder());
        plugin = std::make_unique<testing_support::InProcessPlugin>();
        ASSERT_NE(plugin->effect(), nullptr);
        editor = dynamic_cast<pelko::Editor*>(pelko::Vst2Adapter::fromEffect(plugin->effect())->editor());
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override
    {
        plugin.reset();
        pelko::installPluginEditorFactory(nullptr);
    }

    virtual void installSkin(const std::string& folder) { writeTestSkin(folder); }

    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f)
    {
        return plugin->effect()->dispatcher(plugin->effect(), opcode, index, value, ptr, opt);
    }
    bool openHeadless() { return dispatch(vst2::effEditOpen) == 1; }

    template <class T = RecordingBar>
    T* under(int tag) const
    {
        return dynamic_cast<T*>(editor->controlUnderTag(tag));
    }
    // A click (press and release) at a point of the frame.
    void click(pelko::Point where, int buttons = pelko::kMouseLeft)
    {
        pelko::Frame* frame = editor->frame();
        frame->pressMouse(where, buttons, time += 1000);
        frame->releaseMouse(where, buttons & ~pelko::kMouseButtons);
    }
    pelko::Point centreOf(const pelko::View& view) const
    {
        pelko::Rect r = view.frameRect();
        return pelko::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    testing_support::PluginEnvironment environment;
    std::unique_ptr<testing_support::InProcessPlugin> plugin;
    pelko::Editor* editor = nullptr;
    std::uint32_t time = 0;
};

}  // namespace editor_testing
