// The module as a host sees it: loaded with dlopen, driven only through AEffect.
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using testing_support::LoadedModule;
using testing_support::PluginEnvironment;

namespace {

std::set<std::string> exportedSymbols(const std::string& path)
{
    std::set<std::string> names;
    std::string command = "nm -D --defined-only '" + path + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return names;
    }
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) {
            names.insert(name);
        }
    }
    ::pclose(pipe);
    return names;
}

class ModuleTest : public ::testing::Test {
protected:
    PluginEnvironment environment;
    LoadedModule module;
    host::HostModule& host = module.host();
};

TEST(Module, ExportsOnlyTheTwoEntrySymbols)
{
    EXPECT_EQ(exportedSymbols(testing_support::modulePath()), (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST(Module, HostOfVersionZeroGetsNoPlugin)
{
    PluginEnvironment environment;
    host::HostModule host;
    ASSERT_TRUE(host.load(testing_support::modulePath()));
    host.state().version = 0;
    EXPECT_EQ(host.instantiate(), nullptr);
    EXPECT_EQ(host.state().versionQueries, 1);
}

TEST_F(ModuleTest, DescriptorAsPublished)
{
    vst2::AEffect* effect = module.effect();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, vst2::fourCC('V', 's', 't', 'P'));
    EXPECT_EQ(effect->numPrograms, 64);
    EXPECT_EQ(effect->numParams, 208);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->uniqueID, 0x504B5634);  // 'PKV4'
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->flags & (vst2::effFlagsCanReplacing | vst2::effFlagsProgramChunks | vst2::effFlagsIsSynth),
              vst2::effFlagsCanReplacing | vst2::effFlagsProgramChunks | vst2::effFlagsIsSynth);
    EXPECT_EQ(effect->flags & vst2::effFlagsHasClip, 0);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->process, nullptr);
}

TEST_F(ModuleTest, NamesAndVersionQueries)
{
    EXPECT_EQ(host.effectName(), "Pelko 2.02");
    EXPECT_EQ(host.productString(), "Pelko 2.02");
    EXPECT_EQ(host.vendorString(), "Vantomo");
    EXPECT_EQ(host.vstVersion(), 2300);
    EXPECT_EQ(host.plugCategory(), 2);
    EXPECT_EQ(host.vendorVersion(), 1);
    EXPECT_EQ(host.identify(), vst2::fourCC('N', 'v', 'E', 'f'));
    EXPECT_EQ(host.canBeAutomated(5), 1);
    EXPECT_EQ(host.tailSize(), 0);
    EXPECT_EQ(host.parameterProperties(0, nullptr), 0);
    EXPECT_EQ(host.keysRequired(), 0);  // the module has an editor, which wants keys
    EXPECT_EQ(host.dispatch(9999), 0);  // unknown opcode
}

TEST_F(ModuleTest, CanDoAnswersExactlyItsList)
{
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
                            "receiveVstTimeInfo", "conformsToWindowRules"}) {
        EXPECT_EQ(host.canDo(yes), 1) << yes;
    }
    for (const char* no : {"sendVstTimeInfo", "receiveVstEvent", "", "offline", "RECEIVEVSTEVENTS"}) {
        EXPECT_EQ(host.canDo(no), -1) << no;
    }
    EXPECT_EQ(host.dispatch(vst2::effCanDo, 0, 0, nullptr), -1);
}

TEST_F(ModuleTest, OutputPins)
{
    auto first = host.outputProperties(0);
    auto second = host.outputProperties(1);
    ASSERT_TRUE(first && second);
    EXPECT_STREQ(first->label, "PLKO1");
    EXPECT_STREQ(second->label, "PLKO2");
    EXPECT_EQ(second->flags, vst2::kVstPinIsActive | vst2::kVstPinIsStereo);
    EXPECT_FALSE(host.outputProperties(2));
    EXPECT_FALSE(host.outputProperties(-1));
    EXPECT_FALSE(host.inputProperties(0));
    EXPECT_EQ(host.dispatch(vst2::effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(ModuleTest, ProgramSelectionAndNames)
{
    EXPECT_EQ(host.getProgram(), 0);
    host.setProgram(5);
    EXPECT_EQ(host.getProgram(), 5);
    EXPECT_EQ(host.getProgramName(), "program 05");
    host.setProgram(64);
    host.setProgram(-1);
    EXPECT_EQ(host.getProgram(), 5);

    EXPECT_EQ(host.programNameIndexed(63), std::optional<std::string>("program 63"));
    EXPECT_FALSE(host.programNameIndexed(64));
    EXPECT_FALSE(host.programNameIndexed(-1));

    int refreshes = host.state().updateDisplayCount;
    host.setProgramName("A name far longer than twenty-four characters");
    EXPECT_EQ(host.getProgramName(), "A name far longer than t");
    EXPECT_GT(host.state().updateDisplayCount, refreshes);
    // The edit buffer's name reaches the bank slot only when the program is copied there.
    EXPECT_EQ(host.programNameIndexed(5), std::optional<std::string>("program 05"));
    EXPECT_TRUE(host.copyProgram(9));
    EXPECT_EQ(host.programNameIndexed(9), std::optional<std::string>("A name far longer than t"));
    EXPECT_FALSE(host.copyProgram(64));
}

TEST_F(ModuleTest, StringQueriesNeverWritePastWhatTheyPromise)
{
    for (int i = 0; i < 208; ++i) {
        host.paramDisplay(i, 9);
        EXPECT_FALSE(host.lastStringOverrun()) << "display " << i;
        host.paramLabel(i, 9);
        EXPECT_FALSE(host.lastStringOverrun()) << "label " << i;
        host.paramName(i, 25);
        EXPECT_FALSE(host.lastStringOverrun()) << "name " << i;
    }
    for (int p = 0; p < 64; ++p) {
        host.programNameIndexed(p, 25);
        EXPECT_FALSE(host.lastStringOverrun()) << "program " << p;
    }
    host.paramDisplay(208, 9);
    EXPECT_FALSE(host.lastStringOverrun());
    EXPECT_EQ(host.paramDisplay(208), "");
    EXPECT_EQ(host.paramDisplay(-3), "");
    // Null buffers from buggy hosts.
    for (vst2::VstInt32 opcode : {vst2::effGetParamDisplay, vst2::effGetParamName, vst2::effGetParamLabel,
                                  vst2::effGetProgramName, vst2::effGetEffectName, vst2::effGetVendorString,
                                  vst2::effGetProductString, vst2::effSetProgramName}) {
        host.dispatch(opcode, 0, 0, nullptr);
    }
    EXPECT_FALSE(host.programNameIndexed(3, 25) == std::nullopt);
}

TEST_F(ModuleTest, ParametersOutsideTheTableAreIgnored)
{
    host.setParameter(208, 0.3f);
    host.setParameter(-1, 0.3f);
    EXPECT_EQ(host.getParameter(208), 0.0f);
    EXPECT_EQ(host.getParameter(-1), 0.0f);
    EXPECT_EQ(host.paramName(500), "");
    EXPECT_EQ(host.paramLabel(500), "");
}

TEST_F(ModuleTest, ResumeAsksForMidiAndProcessingIsSafeAtAnyBlockSize)
{
    host.setSampleRate(48000.0f);
    host.setBlockSize(64);
    host.resume();
    EXPECT_EQ(host.state().wantMidiCount, 1);
    std::vector<float> left, right;
    for (int frames : {0, 1, 7, 64, 4096}) {
        host.processReplacing(left, right, frames);
        for (float s : left) ASSERT_LT(std::abs(s), 1e-20f);  // silence (plus the DC filter's guard offset)
    }
    host.suspend();
    // A rate of zero (a host error) changes nothing and keeps processing sane.
    host.setSampleRate(0.0f);
    host.resume();
    host.processReplacing(left, right, 32);
    EXPECT_EQ(left.size(), 32u);
}

}  // namespace

namespace {

// Restoring the state at construction selects and names a program; the host hears of it only
// once it holds the descriptor and has called the dispatcher (a host that looks its instance up
// by the descriptor would not find it earlier).
TEST(HostCallsAtStart, NothingIsAskedOfTheHostBeforeItHasTheDescriptor)
{
    PluginEnvironment environment(true, true);
    testing_support::InProcessPlugin instance;  // calls effOpen once the entry has returned
    ASSERT_NE(instance.effect(), nullptr);
    EXPECT_EQ(instance.callsBeforeDescriptor(), 0);
    EXPECT_EQ(instance.updateDisplayCalls(), 1);  // the refresh held back, delivered at effOpen
}

}  // namespace
