// The plug-in object in this process: construction with and without an install folder, sample
// rate handling, the editor-facing operations and the user sliders.
#include "params/patch_object_table.h"
#include "plugin/editor_port.h"
#include "plugin/synth_plugin.h"
#include "params/user_controls_assignment.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

namespace {

pelko::UserControlsAssignment& assignments(pelko::SynthPlugin& plugin)
{
    return dynamic_cast<pelko::UserControlsAssignment&>(plugin.editBuffer().object(pelko::object::kUserControlsAssignment));
}

TEST(PluginConstruction, StoredInstallPathIsUsedWithoutAsking)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    ASSERT_NE(instance.plugin(), nullptr);
    EXPECT_EQ(instance.plugin()->installFolder(), environment.installFolder());
    EXPECT_TRUE(environment.ui().messages().empty());
}

TEST(PluginConstruction, MissingPathShowsMessage20AndStoresTheChosenFolder)
{
    PluginEnvironment environment(false);
    testing_support::TempFolder chosen;
    environment.ui().queueFileName(chosen.path() + "pelko.db");
    InProcessPlugin instance;
    ASSERT_NE(instance.plugin(), nullptr);
    auto messages = environment.ui().messages();
    // The chosen folder holds no waves, so the default program's first wave cannot be loaded.
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].caption, "Pelko Error");
    EXPECT_EQ(messages[0].text,
              "Couldn't get Pelko setup path from registry. Please use the following dialog to locate it.");
    EXPECT_EQ(messages[1].text.rfind("An error occured while loading a waveform.\nSingle Cycle\\Sine", 0), 0u);
    auto requests = environment.ui().fileRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, "Define install path");
    EXPECT_EQ(requests[0].filterDescription, "Pelko presets database");
    EXPECT_EQ(requests[0].extension, "db");
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(instance.plugin()->installFolder(), chosen.path());
    EXPECT_EQ(instance.plugin()->settings().readText("path"), chosen.path());
}

TEST(PluginConstruction, CancelledDialogLeavesThePluginWorkingWithoutAPath)
{
    PluginEnvironment environment(false);
    InProcessPlugin instance;
    ASSERT_NE(instance.plugin(), nullptr);
    EXPECT_FALSE(instance.plugin()->installFolder().has_value());
    EXPECT_FALSE(instance.plugin()->settings().readText("path").has_value());
}

TEST(PluginConstruction, HostOfVersionZeroGetsNothingAndSeesNothing)
{
    PluginEnvironment environment;
    InProcessPlugin instance(0);
    EXPECT_EQ(instance.effect(), nullptr);
    EXPECT_TRUE(environment.ui().messages().empty());
}

TEST(PluginConstruction, RegistryOptionsAreRead)
{
    PluginEnvironment environment;
    environment.config().writeRegistry("path=" + environment.installFolder() + "\nMidiOut=1\nDefaultGain=0.5\n");
    InProcessPlugin instance;
    EXPECT_TRUE(instance.plugin()->midiOut());
    EXPECT_FLOAT_EQ(instance.plugin()->masterGain(), 0.5f);
    // Main Level 0.25 × master gain 0.5 × 4.
    EXPECT_FLOAT_EQ(instance.plugin()->engineSettings().engineGain, 0.5f);
}

TEST(PluginConstruction, DefaultGainThatIsZeroOrNotANumberGivesOne)
{
    for (const char* stored : {"0", "loud", "", "0.0"}) {
        PluginEnvironment environment;
        environment.config().writeRegistry("path=" + environment.installFolder() + "\nDefaultGain=" + stored + "\n");
        InProcessPlugin instance;
        EXPECT_FLOAT_EQ(instance.plugin()->masterGain(), 1.0f) << stored;
    }
}

TEST(PluginObject, SampleRateRecomputesRateDependentValues)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    plugin.setParameter(98, 1.0f);  // glide time: (99 + 1) · rate · 0.004 samples
    EXPECT_EQ(plugin.engineSettings().oscillators[0].glideSamples, static_cast<int>(100.0f * 44100.0f * 0.004f));
    instance.effect()->dispatcher(instance.effect(), vst2::effSetSampleRate, 0, 0, nullptr, 88200.0f);
    EXPECT_FLOAT_EQ(plugin.halfSamplePeriod(), 0.5f / 88200.0f);
    EXPECT_FLOAT_EQ(plugin.dcCoefficient(), 1.0f - 128.0f / 88200.0f);
    EXPECT_EQ(plugin.engineSettings().oscillators[0].glideSamples, static_cast<int>(100.0f * 88200.0f * 0.004f));
    // Nonsense rates are ignored.
    instance.effect()->dispatcher(instance.effect(), vst2::effSetSampleRate, 0, 0, nullptr, -5.0f);
    EXPECT_FLOAT_EQ(plugin.sampleRate(), 88200.0f);
}

TEST(PluginObject, IncrementAndDecrementStayWithinRange)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    plugin.setParameter(1, 0.5f);
    pelko::EditorPort(plugin).incrementParameter(1);
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.51f);
    EXPECT_EQ(instance.automateCalls(), 1);  // MIDI out is off: the host is informed
    plugin.setParameter(1, 1.0f);
    pelko::EditorPort(plugin).incrementParameter(1);
    EXPECT_EQ(plugin.getParameter(1), 1.0f);
    EXPECT_EQ(instance.automateCalls(), 1);
    plugin.setParameter(0, 0.0f);
    pelko::EditorPort(plugin).incrementParameter(0);  // Voices steps by one voice
    EXPECT_FLOAT_EQ(plugin.getParameter(0), 1.0f / 31.0f);
    plugin.setParameter(1, 0.0f);
    pelko::EditorPort(plugin).decrementParameter(1);
    EXPECT_EQ(plugin.getParameter(1), 0.0f);
}

TEST(PluginObject, DisplayNamesAndDiscreteRows)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    EXPECT_EQ(pelko::EditorPort(plugin).parameterDisplayName(1), std::optional<std::string>("Main Level"));
    EXPECT_FALSE(pelko::EditorPort(plugin).parameterDisplayName(208));
    bool discrete = false;
    EXPECT_TRUE(pelko::EditorPort(plugin).parameterIsDiscrete(2, discrete));
    EXPECT_TRUE(discrete);
    EXPECT_TRUE(pelko::EditorPort(plugin).parameterIsDiscrete(14, discrete));
    EXPECT_FALSE(discrete);
    EXPECT_FALSE(pelko::EditorPort(plugin).parameterIsDiscrete(208, discrete));
}

TEST(PluginObject, RenameCopyAndPastePrograms)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    plugin.renameProgram(0, "Warm Bass with a very long name");
    EXPECT_EQ(plugin.bank().program(0).name(), "Warm Bass with a very lo");
    EXPECT_EQ(plugin.editBuffer().name(), "Warm Bass with a very lo");
    plugin.renameProgram(3, "Lead");
    EXPECT_EQ(plugin.editBuffer().name(), "Warm Bass with a very lo");

    EXPECT_FALSE(plugin.clipboardPresent());
    plugin.pasteProgram(4);  // nothing to paste
    EXPECT_EQ(plugin.bank().program(4).name(), "program 04");
    plugin.setParameter(1, 0.8f);
    plugin.copyProgram(0);  // the current program: copied from the edit buffer
    EXPECT_TRUE(plugin.clipboardPresent());
    plugin.pasteProgram(4);
    EXPECT_EQ(plugin.bank().program(4).name(), "Warm Bass with a very lo");
    EXPECT_FLOAT_EQ(plugin.bank().program(4).values[1], 0.8f);
    plugin.initialiseProgram(4, true);
    EXPECT_EQ(plugin.bank().program(4).name(), "Default                 ");
}

TEST(PluginObject, MidiOutSwitchIsRemembered)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    instance.plugin()->setMidiOut(true);
    EXPECT_EQ(instance.plugin()->settings().readInteger("MidiOut", 0), 1);
    instance.plugin()->setMidiOut(false);
    EXPECT_EQ(instance.plugin()->settings().readInteger("MidiOut", 1), 0);
}

TEST(UserSliders, ApplyTheirAssignmentsBetweenLowAndHigh)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    assignments(plugin).add(0, 1, 0.2f, 0.6f);
    assignments(plugin).add(0, 111, 1.0f, 0.0f);
    plugin.setParameter(202, 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.4f);
    EXPECT_FLOAT_EQ(plugin.getParameter(111), 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(202), 0.5f);
    for (int k = 2; k < 16; ++k) {
        EXPECT_TRUE(assignments(plugin).add(0, 112, 0.0f, 1.0f));
    }
    EXPECT_FALSE(assignments(plugin).add(0, 113, 0.0f, 1.0f));  // a seventeenth is refused
}

TEST(UserSliders, AChainThatLeadsBackIntoItselfEnds)
{
    PluginEnvironment environment;
    InProcessPlugin instance;
    pelko::SynthPlugin& plugin = *instance.plugin();
    // Slider 1 moves slider 2 and Main Level; slider 2 moves slider 1 and a cutoff.
    assignments(plugin).add(0, 203, 0.0f, 1.0f);
    assignments(plugin).add(0, 1, 0.0f, 1.0f);
    assignments(plugin).add(1, 202, 1.0f, 0.0f);
    assignments(plugin).add(1, 112, 0.0f, 1.0f);
    plugin.setParameter(202, 0.25f);
    EXPECT_FLOAT_EQ(plugin.getParameter(203), 0.25f);
    EXPECT_FLOAT_EQ(plugin.getParameter(112), 0.25f);
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.25f);
    // The inner chain stored slider 1's value from slider 2, then the outer call stored its own.
    EXPECT_FLOAT_EQ(plugin.getParameter(202), 0.25f);
}

}  // namespace
