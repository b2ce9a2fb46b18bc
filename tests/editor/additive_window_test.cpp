// The harmonics editor in a real window on a private X server: a drag made with XTest reaches
// the additive settings, and closing the window in the middle of a drag leaves the object whole.
#include "control_fixture.h"

#include "editor/controls/additive_harmonics_editor.h"
#include "params/additive_settings_object.h"
#include "params/patch_object_table.h"
#include "support/x_server.h"

#include <gtest/gtest.h>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

constexpr int kAdditive = object::kAdditiveSettings;

TEST(AdditiveWindow, AnXTestDragSetsBarsAndClosingMidDragLeavesTheObjectWhole)
{
    testing_support::XServer server(640, 480);
    if (!server.ok()) {
        GTEST_SKIP() << server.error();
    }
    ControlTest t;
    // Bars 4 wide every 6 pixels from x = 13; the middle line at y = 110, half height 100.
    t.skin("Harm: x=10, y=10, width=390, height=200, barWidth=4, barSpacing=2");
    auto* bars = t.make<AdditiveHarmonicsEditor>("AdditiveHarmonicsEditor", 208 + kAdditive, "Harm");
    ASSERT_NE(bars, nullptr);
    ASSERT_TRUE(t.frame->openWindow(0, server.displayName()));
    const auto window = static_cast<testing_support::XWindow>(t.frame->windowId());
    auto pump = [&] {
        for (int i = 0; i < 5; ++i) {
            t.frame->waitForEvents(5);
            t.frame->idle();
        }
    };
    pump();
    const AdditiveSettingsObject& a = t.services.program.objectAs<AdditiveSettingsObject>(kAdditive);

    // A sweep across harmonics 2–6 at y = 60 sets each from the absolute position: level 0.5.
    const int x0 = 10 + 3 + 6 * 2 + 2;
    server.drag(window, x0, 60, x0 + 6 * 4, 60, 8, pump);
    pump();
    for (int i = 2; i <= 6; ++i) {
        EXPECT_FLOAT_EQ(a.level(i), 0.5f) << i;
    }
    EXPECT_FLOAT_EQ(a.level(7), 0.0f);
    EXPECT_EQ(bars->selectedHarmonic(), 7);
    EXPECT_FALSE(t.frame->isTracking());

    // The host closes the editor while the button is still down: what was written stays whole.
    server.movePointer(window, x0, 160);
    server.pressButton(1);
    pump();
    server.movePointer(window, x0, 170);
    pump();
    t.frame->closeWindow();
    server.releaseButton(1);
    EXPECT_NEAR(a.phase(2), 0.9f, 1e-5);  // 0.5 from the press, then 10 pixels at four times 0.01
    for (int i = 0; i < AdditiveSettingsObject::kHarmonics; ++i) {
        ASSERT_TRUE(a.level(i) >= 0.0f && a.level(i) <= 1.0f && a.phase(i) >= 0.0f && a.phase(i) <= 1.0f) << i;
    }
}

}  // namespace
