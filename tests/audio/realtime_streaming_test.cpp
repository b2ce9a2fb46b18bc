// The processing call allocates nothing while notes, controllers, pitch bend, pressure and host
// parameter changes stream in.
#include "plugin/synth_plugin.h"
#include "support/allocation_counter.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(RealTime, NoAllocationWhileEventsAndAutomationStreamIn)
{
    testing_support::PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    vst2::AEffect* effect = instance.effect();
    ASSERT_NE(effect, nullptr);
    effect->setParameter(effect, 0, 1.0f);  // 32 voices: the pool exists before the measurement
    effect->setParameter(effect, 92, 0.3f);
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    // Warm up once so that every wave and table the program needs is in place.
    effect->processReplacing(effect, nullptr, outputs, 256);

    std::vector<std::vector<vst2::VstMidiEvent>> blocks;
    for (int b = 0; b < 400; ++b) {
        std::vector<vst2::VstMidiEvent> events;
        int note = 36 + (b * 7) % 48;
        events.push_back(host::midiEvent(b % 200, 0x90, static_cast<std::uint8_t>(note), 90));
        events.push_back(host::midiEvent(10, 0xB0, 7, static_cast<std::uint8_t>(60 + b % 60)));
        events.push_back(host::midiEvent(20, 0xB0, 1, static_cast<std::uint8_t>(b % 128)));
        events.push_back(host::midiEvent(30, 0xE0, 0, static_cast<std::uint8_t>((b * 3) % 128)));
        events.push_back(host::midiEvent(40, 0xD0, static_cast<std::uint8_t>(b % 128), 0));
        events.push_back(host::midiEvent(50, 0xA0, static_cast<std::uint8_t>(note), 64));
        events.push_back(host::midiEvent(60, 0xB0, 64, b % 50 < 25 ? 127 : 0));
        events.push_back(host::midiEvent(200, 0x80, static_cast<std::uint8_t>(36 + ((b + 40) * 7) % 48), 0));
        blocks.push_back(std::move(events));
    }
    std::vector<host::MidiEventBlock> prepared;
    prepared.reserve(blocks.size());
    for (const auto& events : blocks) {
        prepared.emplace_back(events);
    }

    double energy = 0.0;
    {
        testing_support::AllocationCounter counter;
        for (std::size_t b = 0; b < prepared.size(); ++b) {
            effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(prepared[b].events()),
                               0.0f);
            float v = static_cast<float>(b % 100) / 100.0f;
            effect->setParameter(effect, 111, v);
            effect->setParameter(effect, 113, 1.0f - v);
            effect->setParameter(effect, 8, v);
            effect->setParameter(effect, 167, v);
            effect->setParameter(effect, 179, v);
            effect->setParameter(effect, 195, v);
            effect->processReplacing(effect, nullptr, outputs, 256);
            for (float s : left) {
                energy += std::abs(s);
            }
        }
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_GT(energy, 1.0);
}

}  // namespace
