// Two instances share the process-wide controller map: each learns controllers on its audio thread
// while the other plays through the map and both editors arm learning and read assignments. Run
// under ThreadSanitizer by the test gates: no data race may be reported.
#include "audio/controller_map.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

void playControllers(vst2::AEffect* effect, int round, int firstController)
{
    std::vector<vst2::VstMidiEvent> events;
    for (int i = 0; i < 8; ++i) {
        const auto controller = static_cast<std::uint8_t>(firstController + (round + i) % 16);
        events.push_back(host::midiEvent(i * 8, 0xB0, controller, static_cast<std::uint8_t>((round * 5 + i) % 128)));
    }
    events.push_back(host::midiEvent(70, 0x90, static_cast<std::uint8_t>(48 + round % 24), 90));
    host::MidiEventBlock block(events);
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
    std::vector<float> left(128), right(128);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, nullptr, outputs, 128);
}

TEST(HostThreads, TwoInstancesLearnAndPlayAtOnce)
{
    PluginEnvironment environment;
    InProcessPlugin first;
    InProcessPlugin second;
    ASSERT_NE(first.plugin(), nullptr);
    ASSERT_NE(second.plugin(), nullptr);
    constexpr int kRounds = 300;

    std::atomic<int> audioRunning{2};
    auto audio = [&](vst2::AEffect* effect, int firstController) {
        for (int round = 0; round < kRounds; ++round) {
            playControllers(effect, round, firstController);
        }
        --audioRunning;
    };
    std::thread audioA(audio, first.effect(), 20);
    std::thread audioB(audio, second.effect(), 30);
    // The editors of both instances arm learning on parameters 111–118 and read the texts.
    int armed = 0;
    while (audioRunning.load() > 0 || armed < 50) {
        pelko::SynthPlugin& plugin = armed % 2 == 0 ? *first.plugin() : *second.plugin();
        const int parameter = 111 + armed % 8;
        plugin.setLearnTarget(parameter);
        EXPECT_FALSE(plugin.controllerText(parameter).empty());
        ++armed;
        std::this_thread::yield();
    }
    audioA.join();
    audioB.join();

    // Whatever interleaving happened, the two directions of the map agree.
    for (int cc = 0; cc < 128; ++cc) {
        const std::uint8_t p = pelko::parameterOfController(cc);
        if (p != pelko::kNoController) {
            EXPECT_EQ(pelko::controllerOfParameter(p), cc) << "controller " << cc;
        }
    }
    for (int p = 0; p < 208; ++p) {
        const std::uint8_t cc = pelko::controllerOfParameter(p);
        if (cc != pelko::kNoController) {
            EXPECT_EQ(pelko::parameterOfController(cc), p) << "parameter " << p;
        }
    }
    // A learn still works afterwards, on either instance.
    first.plugin()->setLearnTarget(120);
    playControllers(first.effect(), 0, 90);
    EXPECT_EQ(pelko::parameterOfController(90), 120);
    EXPECT_EQ(first.plugin()->learnTarget(), pelko::kNoLearnTarget);
    // The map is process-wide: later tests in this process start without these assignments.
    for (int p = 111; p <= 120; ++p) {
        pelko::assignController(p, pelko::kNoController);
    }
}

}  // namespace
