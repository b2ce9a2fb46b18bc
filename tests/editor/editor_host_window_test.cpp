// The editor as a host shows it: the module's editor opened inside a parent window the test makes
// on a private X server, a knob dragged with the pointer through the server, the parameter and the
// host's gestures read back, and the window gone when the host closes the editor.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"
#include "support/x_server.h"

#include "params/parameter_table.h"

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

}  // namespace
