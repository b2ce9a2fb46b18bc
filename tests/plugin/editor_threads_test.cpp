// The editor and the audio thread at once: the audio thread automates every parameter and renders
// while the user-interface thread idles the editor and drags a knob. Run under ThreadSanitizer by
// the test gates; here it also checks that the audio thread never allocates meanwhile and that
// the editor shows the last automated value after the next idle.
#include "editor/controls/parameter_controls.h"
#include "editor/core/editor.h"
#include "plugin/synth_plugin.h"
#include "plugin/vst2_adapter.h"
#include "support/allocation_counter.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

using namespace pelko;
using namespace testing_support;

namespace {

constexpr int kCutoff = 111;

void writeKnobSkin(const std::string& installFolder)
{
    std::filesystem::create_directories(installFolder + "skin");
    std::ofstream(installFolder + "skin/skin.ini") << "MainFrame: width=200, height=100\n"
                                                      "BankPage: x=0, y=0, width=200, height=100\n"
                                                      "Knob: x=10, y=10, width=24, height=24, mode=1\n";
    std::ofstream(installFolder + "skin/skin.dat") << "ContainerPage BankPage(0) {\n"
                                                      "SliderOrKnob Knob(Cutoff1)\n"
                                                      "}\n";
}

TEST(EditorThreads, AudioAutomatesEveryParameterWhileTheEditorIdlesAndDragsAKnob)
{
    PluginEnvironment environment;
    writeKnobSkin(environment.installFolder());
    installPluginEditorFactory(&Editor::make);
    {
        InProcessPlugin plugin;
        vst2::AEffect* effect = plugin.effect();
        ASSERT_NE(effect, nullptr);
        auto* editor = dynamic_cast<Editor*>(Vst2Adapter::fromEffect(effect)->editor());
        ASSERT_NE(editor, nullptr);
        effect->dispatcher(effect, vst2::effSetBlockSize, 0, 128, nullptr, 0.0f);
        effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
        ASSERT_EQ(effect->dispatcher(effect, vst2::effEditOpen, 0, 0, nullptr, 0.0f), 1);
        auto* knob = dynamic_cast<Control*>(editor->controlUnderTag(kCutoff));
        ASSERT_NE(knob, nullptr);

        // Each parameter moves between two values near its own; the voice count keeps its value
        // (a new pool is allocated by design, never on a steady stream of changes).
        std::vector<float> base(kParameters);
        for (int p = 0; p < kParameters; ++p) {
            base[static_cast<std::size_t>(p)] = effect->getParameter(effect, p);
        }
        std::atomic<bool> done{false};
        std::atomic<int> drags{0};
        std::atomic<std::size_t> audioAllocations{0};
        std::thread audio([&] {
            std::vector<float> left(128), right(128);
            float* outputs[2] = {left.data(), right.data()};
            auto pass = [&](int round) {
                for (int p = 0; p < kParameters; ++p) {
                    float v = base[static_cast<std::size_t>(p)];
                    if (p != 0) {
                        v = std::clamp(v + ((round + p) % 2 == 0 ? 0.01f : -0.01f), 0.0f, 1.0f);
                    }
                    effect->setParameter(effect, p, v);
                }
                effect->processReplacing(effect, nullptr, outputs, 128);
            };
            pass(0);
            pass(1);
            AllocationCounter counter;
            // Until the editor has dragged a few times, however slowly the machine runs.
            for (int round = 2; (round < 300 || drags.load() < 3) && round < 200000; ++round) {
                pass(round);
            }
            audioAllocations = counter.count();
            done = true;
        });

        Frame* frame = editor->frame();
        Rect r = knob->frameRect();
        Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        std::uint32_t time = 0;
        while (!done.load()) {
            frame->pressMouse(centre, kMouseLeft, time += 1000);
            for (int step = 1; step <= 20; ++step) {
                frame->moveMouse(Point{centre.h, centre.v - step}, kMouseLeft);
                effect->dispatcher(effect, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
            }
            frame->releaseMouse(Point{centre.h, centre.v - 20}, 0);
            effect->dispatcher(effect, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
            ++drags;
        }
        audio.join();
        EXPECT_EQ(audioAllocations.load(), 0u);
        EXPECT_GE(drags.load(), 3);
        EXPECT_GE(plugin.gestures(), 1);
        EXPECT_EQ(plugin.openGestures(), 0);

        // The last value, from whichever thread, is what the knob shows after the next idle.
        effect->setParameter(effect, kCutoff, 0.375f);
        effect->dispatcher(effect, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
        EXPECT_FLOAT_EQ(knob->value(), effect->getParameter(effect, kCutoff));
        effect->dispatcher(effect, vst2::effEditClose, 0, 0, nullptr, 0.0f);
    }
    installPluginEditorFactory(nullptr);
}

}  // namespace
