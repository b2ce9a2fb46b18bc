// The engine alone, without a plug-in around it: the pan law and the processing loop's
// handling of events, DC removal and program changes it hands to its owner.
#include "dsp/filters/filter_tables.h"
#include "engine/synth_engine.h"
#include "params/program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(PanLaw, FullLeftCentreFullRight)
{
    EXPECT_FLOAT_EQ(pelko::panLaw(0), 1.0f);
    EXPECT_NEAR(pelko::panLaw(127), 0.0f, 1e-7);
    EXPECT_NEAR(pelko::panLaw(64) + pelko::panLaw(63), 1.0f, 1e-6);
}

struct RecordingOwner : pelko::EngineOwner {
    std::vector<int> programs;
    std::vector<std::pair<int, int>> controllers;
    void programChangeReceived(int program) override { programs.push_back(program); }
    void controllerReceived(int controller, int value) override { controllers.emplace_back(controller, value); }
};

struct Events {
    std::vector<pelko::TimedMidi> list;
    static bool read(const void* list, int index, pelko::TimedMidi& out) noexcept
    {
        out = static_cast<const std::vector<pelko::TimedMidi>*>(list)->at(static_cast<std::size_t>(index));
        return out.bytes[0] != 0;  // a zero status stands for an entry that is not MIDI
    }
    pelko::MidiEventList view() const { return {&list, static_cast<int>(list.size()), &read}; }
};

TEST(SynthEngine, HandsProgramChangesAndParameterControllersToItsOwnerAndKeepsPan)
{
    pelko::Program program;
    pelko::SynthEngine engine;
    engine.attachProgram(program);
    RecordingOwner owner;
    Events events;
    events.list = {{0, {0xC0, 5, 0}}, {3, {0xB0, 10, 127}}, {4, {0, 0, 0}}, {6, {0xB0, 74, 33}}, {8, {0xC1, 70, 0}}};
    engine.setEvents(events.view());
    std::vector<float> left(16, 1.0f), right(16, 1.0f);
    engine.render(left.data(), right.data(), 16, false, owner);
    EXPECT_EQ(owner.programs, (std::vector<int>{5, 70}));  // 70 too: the owner decides what exists
    EXPECT_EQ(owner.controllers, (std::vector<std::pair<int, int>>{{74, 33}}));  // pan stays in the engine
    EXPECT_FLOAT_EQ(engine.leftBalance(), 0.0f);
    EXPECT_FLOAT_EQ(engine.rightBalance(), 1.0f);
    for (float v : left) {
        EXPECT_LT(std::abs(v), 1e-20f);  // no voice pool yet: silence (the DC filter's offset aside)
    }
    // The events were for that block only.
    engine.render(left.data(), right.data(), 16, false, owner);
    EXPECT_EQ(owner.programs.size(), 2u);
}

TEST(SynthEngine, DcCoefficientFollowsTheSampleRate)
{
    pelko::SynthEngine engine;
    EXPECT_FLOAT_EQ(engine.dcCoefficient(), 0.99f);
    engine.setSampleRate(88200.0f, pelko::filterTablesFor(88200.0f));
    EXPECT_FLOAT_EQ(engine.halfSamplePeriod(), 0.5f / 88200.0f);
    EXPECT_FLOAT_EQ(engine.dcCoefficient(), 1.0f - 128.0f / 88200.0f);
}

}  // namespace
