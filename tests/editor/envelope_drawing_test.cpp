// What the envelope editor draws: everything stays inside its rectangle (the ruler's labels too),
// and a control given little room keeps a plot one can still edit. PELKO_EDITOR_SHOTS=folder/
// keeps the pictures of a looped, tempo-synced envelope.
#include "control_fixture.h"

#include "editor/controls/envelope_editor.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace pelko;
using controls_testing::ControlTest;

class EnvelopeDrawing : public ::testing::Test, public ControlTest {
protected:
    // Draws the editor for the item and counts the frame pixels outside `area` that changed.
    int changedOutside(const std::string& item, const Rect& area, const char* shot)
    {
        frame->updateViews();
        const Offscreen& buffer = frame->backBuffer();
        std::vector<std::uint32_t> before;
        for (int y = 0; y < buffer.height(); ++y) {
            for (int x = 0; x < buffer.width(); ++x) {
                before.push_back(buffer.pixel(x, y));
            }
        }
        env = make<EnvelopeEditor>("OscEnvDisplayer", 208 + object::kOscEnv, item);
        EnvelopeShape& s = services.program.objectAs<EnvelopeObject>(object::kOscEnv).shape();
        s.setTimeMode(1);
        s.setLoop(1, 2);
        env->notify(kControlNotifyKey, makeObjectChanged(object::kOscEnv));
        env->setDirty(true);
        frame->updateViews();
        if (const char* keep = std::getenv("PELKO_EDITOR_SHOTS"); keep != nullptr && shot != nullptr) {
            frame->backBuffer().writePng(std::string(keep) + shot);
        }
        int changed = 0;
        for (int y = 0; y < buffer.height(); ++y) {
            for (int x = 0; x < buffer.width(); ++x) {
                if (!area.contains(Point{x, y}) && buffer.pixel(x, y) != before[static_cast<std::size_t>(y * buffer.width() + x)]) {
                    ++changed;
                }
            }
        }
        return changed;
    }
    EnvelopeEditor* env = nullptr;
};

TEST_F(EnvelopeDrawing, ALoopedSyncedEnvelopeDrawsItsRulerInsideTheControl)
{
    skin("Env: x=0, y=10, width=400, height=200");
    EXPECT_EQ(changedOutside("Env", Rect::ofSize(0, 10, 400, 200), "envelope-looped-synced.png"), 0);
    ASSERT_NE(env->shape(), nullptr);
    EXPECT_TRUE(env->shape()->tempoSynced());
    EXPECT_GT(env->rulerSubdivision(), 0);
}

TEST_F(EnvelopeDrawing, AControlGivenLittleRoomKeepsAPlotAndDrawsNothingOutside)
{
    // The default margins (16 above, 44 below) would leave no plot at all in 60 pixels.
    skin("Env: x=20, y=20, width=260, height=60");
    EXPECT_EQ(changedOutside("Env", Rect::ofSize(20, 20, 260, 60), "envelope-small.png"), 0);
    const Rect plot = env->plotArea();
    EXPECT_GE(plot.height(), EnvelopeEditor::kMinPlotHeight);
    EXPECT_GE(plot.top, 20);
    EXPECT_LE(plot.bottom, 80);
    // Smaller than the minimum: the plot is the control's height.
    skin("Tiny: x=20, y=100, width=200, height=24");
    auto* tiny = make<EnvelopeEditor>("OscEnvDisplayer", 208 + object::kOscEnv, "Tiny");
    EXPECT_EQ(tiny->plotArea().top, 100);
    EXPECT_EQ(tiny->plotArea().bottom, 124);
}

}  // namespace
