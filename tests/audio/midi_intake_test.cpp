// MIDI that reaches the plug-in: controllers driving parameters, learn, data increment and
// decrement, pan, program changes, and the controller output of parameter changes.
#include "audio/controller_map.h"
#include "config/registry_store.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class MidiIntake : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string defaults;
        for (int p = 0; p < 208; ++p) defaults += p == 1 ? "07" : "FF";
        environment.config().writeRegistry("path=" + environment.installFolder() + "\nmidicfg=" + defaults + "\n");
        pelko::loadControllerAssignments(pelko::RegistryStore());
        module = std::make_unique<testing_support::LoadedModule>();
        host().resume();
    }
    host::HostModule& host() { return module->host(); }
    void play(const std::vector<vst2::VstMidiEvent>& events, int frames = 64)
    {
        host().sendMidi(events);
        std::vector<float> left, right;
        host().processReplacing(left, right, frames);
    }

    testing_support::PluginEnvironment environment;
    std::unique_ptr<testing_support::LoadedModule> module;
};

TEST_F(MidiIntake, ControllerSevenDrivesMainLevelOnAnyChannel)
{
    play({host::midiEvent(0, 0xB0, 7, 127)});
    EXPECT_FLOAT_EQ(host().getParameter(1), 1.0f);
    play({host::midiEvent(3, 0xBF, 7, 64)});
    EXPECT_FLOAT_EQ(host().getParameter(1), 64.0f / 127.0f);
    EXPECT_TRUE(host().state().automations.empty());  // controller changes do not inform the host
}

TEST_F(MidiIntake, DataIncrementAndDecrementStepTheParameterOfTheController)
{
    host().setParameter(1, 0.5f);
    play({host::midiEvent(0, 0xB0, 96, 7)});
    EXPECT_FLOAT_EQ(host().getParameter(1), 0.51f);
    play({host::midiEvent(0, 0xB0, 97, 7), host::midiEvent(1, 0xB0, 97, 7)});
    EXPECT_FLOAT_EQ(host().getParameter(1), 0.49f);
    host().setParameter(1, 1.0f);
    play({host::midiEvent(0, 0xB0, 96, 7)});
    EXPECT_EQ(host().getParameter(1), 1.0f);
    // A controller that drives nothing: nothing changes.
    float before = host().getParameter(111);
    play({host::midiEvent(0, 0xB0, 96, 33)});
    EXPECT_EQ(host().getParameter(111), before);
}

TEST_F(MidiIntake, ProgramChangesBeyondTheBankAreIgnored)
{
    play({host::midiEvent(0, 0xC0, 12, 0)});
    EXPECT_EQ(host().getProgram(), 12);
    play({host::midiEvent(0, 0xC0, 70, 0)});
    EXPECT_EQ(host().getProgram(), 12);
}

TEST_F(MidiIntake, SystemMessagesAndNonMidiEventsAreIgnored)
{
    vst2::VstMidiEvent sysex = host::midiEvent(0, 0xF0, 7, 127);
    vst2::VstMidiEvent other = host::midiEvent(0, 0xB0, 7, 127);
    other.type = vst2::kVstSysExType;
    float before = host().getParameter(1);
    play({sysex, other, host::midiEvent(0, 0xF8, 0, 0)});
    EXPECT_EQ(host().getParameter(1), before);
}

TEST(MidiLearn, TheNextPlainControllerIsAssignedAndChangesNothing)
{
    testing_support::PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    plugin.setLearnTarget(111);
    EXPECT_EQ(plugin.controllerText(111), "???");
    float before = plugin.getParameter(111);
    auto send = [&](std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
        host::MidiEventBlock block({host::midiEvent(0, status, d1, d2)});
        instance.effect()->dispatcher(instance.effect(), vst2::effProcessEvents, 0, 0,
                                      const_cast<vst2::VstEvents*>(block.events()), 0.0f);
        std::vector<float> left(16), right(16);
        float* outputs[2] = {left.data(), right.data()};
        plugin.processReplacing(outputs, 16);
    };
    send(0xB0, 10, 0);  // pan is not learned
    EXPECT_EQ(plugin.learnTarget(), 111);
    EXPECT_FLOAT_EQ(plugin.leftBalance(), 1.0f);
    EXPECT_NEAR(plugin.rightBalance(), 0.0f, 1e-6);
    send(0xB2, 21, 90);
    EXPECT_EQ(plugin.learnTarget(), pelko::kNoLearnTarget);
    EXPECT_EQ(plugin.getParameter(111), before);
    EXPECT_EQ(plugin.controllerText(111), "21");
    send(0xB0, 21, 127);
    EXPECT_FLOAT_EQ(plugin.getParameter(111), 1.0f);
    pelko::assignController(111, 255);
}

TEST(MidiOut, ParameterChangesGoOutAsControllersOnlyWhenAssigned)
{
    testing_support::PluginEnvironment environment;
    environment.config().writeRegistry("path=" + environment.installFolder() + "\nMidiOut=1\n");
    testing_support::InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    ASSERT_TRUE(plugin.midiOut());
    int automations = instance.automateCalls();
    plugin.setParameterAutomated(111, 0.5f);  // no controller: nothing is sent, the host is not told
    EXPECT_EQ(instance.automateCalls(), automations);
    EXPECT_EQ(instance.lastMidiSent(), -1);
    pelko::assignController(111, 74);
    plugin.setParameterAutomated(111, 0.5f);
    EXPECT_EQ(instance.lastMidiSent(), (0xB0 << 16) | (74 << 8) | 63);
    EXPECT_EQ(instance.automateCalls(), automations);
    pelko::assignController(111, 255);
    plugin.setMidiOut(false);
    plugin.setParameterAutomated(111, 0.5f);
    EXPECT_EQ(instance.automateCalls(), automations + 1);
}

}  // namespace
