// Programs converted from FM bulk-dump voices, played by a voice: the routing, frequencies and
// levels the converter writes must sound as the voice intends.
#include "engine/voice_fixture.h"
#include "params/parameter_host.h"
#include "params/parameter_table.h"
#include "storage/sysex_import.h"
#include "params/text_object.h"
#include "params/user_controls_assignment.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

namespace {

using namespace engine_test;
using testing_support::amplitudeAt;
using testing_support::zeroCrossingFrequency;

// Maps a program's stored values into engine settings, as the plug-in does on selection.
class ProgramParameters final : public ParameterHost {
public:
    ProgramParameters(Program& program, EngineSettings& settings) : program_(program), settings_(settings) {}

    void applyAll()
    {
        for (int i = 0; i < kParameterCount; ++i) setParameter(i, program_.values[static_cast<std::size_t>(i)]);
    }

    EngineSettings& engineSettings() override { return settings_; }
    float sampleRate() const override { return 44100.0f; }
    float tempo() const override { return 120.0f; }
    float masterGain() const override { return 1.0f; }
    float storedValue(int index) const override { return program_.values[static_cast<std::size_t>(index)]; }
    bool routingCellOn(RoutingSwitch object, int cell) const override
    {
        const std::string_view cells = program_.objectAs<TextObject>(object).text();
        return cell < 0 || static_cast<std::size_t>(cell) >= cells.size() || cells[static_cast<std::size_t>(cell)] != '0';
    }
    const UserControlsAssignment& userAssignments() const override
    {
        return program_.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    }
    void setParameter(int index, float value) override
    {
        program_.values[static_cast<std::size_t>(index)] = mapParameter(*this, index, value);
    }
    void polyphonyChanged(int) override {}
    void pitchBendRangeChanged(int) override {}
    void glideSwitched() override {}
    void effectParameterChanged(int, int, float) override {}
    void effectDryWetChanged(int, float) override {}
    void effectSyncChanged(int, bool) override {}
    void effectRoutingChanged(bool) override {}
    void effectParameterDisplay(int, int, float, char* out) const override { out[0] = '\0'; }

private:
    Program& program_;
    EngineSettings& settings_;
};

// A voice whose operators all hold their level while the key is down, at ratio 1.
FmVoice organVoice(int algorithm)
{
    FmVoice voice;
    voice.algorithm = algorithm;
    voice.pitchLevels = {50, 50, 50, 50};
    for (FmOperator& op : voice.operators) {
        op.rates = {99, 99, 99, 99};
        op.levels = {99, 99, 99, 0};
        op.outputLevel = 0;
        op.coarse = 1;
    }
    voice.name = "TEST VOICE";
    return voice;
}

std::vector<float> play(const FmVoice& voice, int note, int samples = 1 << 15)
{
    EngineFixture f;
    Program converted;
    convertFmVoice(voice, FmImportContent{}, converted);
    f.program = converted;
    ProgramParameters(f.program, f.settings).applyAll();
    Voice v(f.context);
    v.start(note, 127);
    renderLeft(v, 2048);  // past the attack
    return renderLeft(v, samples);
}

TEST(FmVoiceImport, ACarrierAloneIsASineAtItsRatio)
{
    FmVoice voice = organVoice(31);  // every operator a carrier
    voice.operators[0].outputLevel = 99;
    voice.operators[0].coarse = 2;
    const auto out = play(voice, 57);  // 220 Hz
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0), 440.0, 0.5);
    EXPECT_NEAR(amplitudeAt(out, 440.0, 44100.0), 0.5, 0.02);  // full scale
    EXPECT_LT(amplitudeAt(out, 880.0, 44100.0), 1e-3);
}

TEST(FmVoiceImport, AModulatorAddsSidebandsOnlyThroughItsAlgorithm)
{
    // Algorithm 1: operator 2 (at ratio 3, so that no sideband folds onto another) modulates
    // carrier 1.
    FmVoice voice = organVoice(0);
    voice.operators[0].outputLevel = 99;
    voice.operators[1].outputLevel = 99;
    voice.operators[1].coarse = 3;
    const auto modulated = play(voice, 69);
    const double sideband = amplitudeAt(modulated, 440.0 + 1320.0, 44100.0);
    EXPECT_GT(sideband, 0.1);
    EXPECT_LT(amplitudeAt(modulated, 1320.0, 44100.0), 1e-3);  // the modulator is not heard

    // In algorithm 32 the same operator is a carrier of its own: no sidebands, its own tone.
    voice.algorithm = 31;
    const auto parallel = play(voice, 69);
    EXPECT_LT(amplitudeAt(parallel, 1760.0, 44100.0), 1e-3);
    EXPECT_NEAR(amplitudeAt(parallel, 1320.0, 44100.0), 0.5, 0.02);
    EXPECT_NEAR(amplitudeAt(parallel, 440.0, 44100.0), 0.5, 0.02);

    // A quieter modulator modulates less.
    voice.algorithm = 0;
    voice.operators[1].outputLevel = 70;
    EXPECT_LT(amplitudeAt(play(voice, 69), 1760.0, 44100.0), 0.5 * sideband);
}

TEST(FmVoiceImport, FixedFrequencyOperatorsIgnoreTheKey)
{
    FmVoice voice = organVoice(31);
    voice.operators[2].outputLevel = 99;
    voice.operators[2].fixedFrequency = true;
    voice.operators[2].coarse = 2;  // 100 Hz
    voice.operators[2].fine = 30;   // × 10^0.3
    const double hz = 100.0 * std::pow(10.0, 0.3);
    EXPECT_NEAR(zeroCrossingFrequency(play(voice, 40), 44100.0), hz, 0.2);
    EXPECT_NEAR(zeroCrossingFrequency(play(voice, 90), 44100.0), hz, 0.2);
}

TEST(FmVoiceImport, OutputLevelsAreSixDecibelsPerEightSteps)
{
    FmVoice voice = organVoice(31);
    voice.operators[0].outputLevel = 91;
    EXPECT_NEAR(amplitudeAt(play(voice, 69), 440.0, 44100.0), 0.25, 0.01);
    voice.operators[0].outputLevel = 83;
    EXPECT_NEAR(amplitudeAt(play(voice, 69), 440.0, 44100.0), 0.125, 0.005);
}

}  // namespace
