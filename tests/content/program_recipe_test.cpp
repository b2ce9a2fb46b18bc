// The recipe builder's musical units: velocity slopes in dB, FM amounts as modulation indices
// (checked on the rendered spectrum against the Bessel functions), comments wrapped over the
// program's four comment lines.
#include "params/fm_depth_curve.h"
#include "params/patch_object_table.h"
#include "plugin/synth_plugin.h"
#include "program_recipe.h"
#include "params/curve_objects.h"
#include "params/text_object.h"
#include "storage/chunk_storage.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

namespace {

using pelko::factory::Recipe;

float curveAt(const pelko::Program& program, int object, int value)
{
    return program.objectAs<pelko::CurveObject>(object).curve().at(value);
}

TEST(ProgramRecipe, VelocitySlopesReachTheirRangeAtVelocity30AndFullLevelAt127)
{
    pelko::Program program;
    Recipe(program).velocity(18.0f).velocityLevel(2, 6.0f).velocityCutoff(0, 0.5f);
    for (int osc = 0; osc < 6; ++osc) {
        const float range = osc == 2 ? 6.0f : 18.0f;
        const int curve = pelko::object::kOscVelocityLevel + osc;
        EXPECT_FLOAT_EQ(curveAt(program, curve, 127), 1.0f) << osc;
        EXPECT_NEAR(20.0 * std::log10(curveAt(program, curve, 30)), -range, 0.3) << osc;
        EXPECT_NEAR(20.0 * std::log10(curveAt(program, curve, 78)), -range / 2.0, 0.3) << osc;
        for (int v = 1; v < 128; ++v) {
            EXPECT_GT(curveAt(program, curve, v), curveAt(program, curve, v - 1)) << osc << " at " << v;
        }
    }
    EXPECT_NEAR(curveAt(program, pelko::object::kFilterVelocityCutoff, 30), 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(curveAt(program, pelko::object::kFilterVelocityCutoff, 127), 1.0f);
    EXPECT_FLOAT_EQ(curveAt(program, pelko::object::kFilterVelocityCutoff + 1, 30), 1.0f);  // untouched
}

TEST(ProgramRecipe, FmIndexInvertsTheDepthCurveAndTheLinearScaling)
{
    constexpr double kRadiansPerGain = std::numbers::pi * 0.9;  // a factory sine, g = 1
    for (float index : {0.05f, 0.3f, 1.0f, 2.5f, 6.0f, 11.0f}) {
        const float curved = pelko::factory::fmIndexValue(index, true);
        EXPECT_NEAR(pelko::fmCellGain(curved, true) / 2.0 * kRadiansPerGain, index, 1e-3 * index) << index;
    }
    for (float index : {0.05f, 1.0f, 2.5f}) {
        const float linear = pelko::factory::fmIndexValue(index, false);
        EXPECT_NEAR(pelko::fmCellGain(linear, false) / 2.0 * kRadiansPerGain, index, 1e-4) << index;
    }
    // Beyond what the scaling reaches the cell is simply at its maximum.
    EXPECT_FLOAT_EQ(pelko::factory::fmIndexValue(20.0f, true), 1.0f);
    EXPECT_FLOAT_EQ(pelko::factory::fmIndexValue(20.0f, false), 1.0f);
    EXPECT_FLOAT_EQ(pelko::factory::fmIndexValue(0.0f, true), 0.0f);
}

// A sine carrier phase-modulated by a sine four times its frequency at index β has lines at
// f (J0), 3f and 5f (J1), 7f and 9f (J2), none of them shared: their levels show β.
TEST(ProgramRecipe, RenderedSidebandsShowTheModulationIndex)
{
    testing_support::PluginEnvironment environment;
    std::filesystem::remove(pelko::stateFilePath(environment.installFolder()));
    testing_support::InProcessPlugin instance;
    vst2::AEffect* e = instance.effect();
    ASSERT_NE(e, nullptr);
    e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, vst2::effSetBlockSize, 0, 512, nullptr, 0.0f);
    e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    constexpr double f = 220.0;  // key 57
    for (float index : {0.8f, 1.5f, 3.0f}) {
        pelko::Program program;
        Recipe r(program);
        r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").transpose(1, 24);
        r.raw(0, 0.5f).raw(1, 0.0f);
        r.amp(0, {0.001f, 0.01f, 1.0f, 0.05f}).amp(1, {0.001f, 0.01f, 1.0f, 0.05f});
        r.fmIndex(1, 0, index);
        instance.plugin()->bank().editProgram(0) = program;
        e->dispatcher(e, vst2::effSetProgram, 0, 0, nullptr, 0.0f);

        std::vector<vst2::VstMidiEvent> on{host::midiEvent(0, 0x90, 57, 127)};
        host::MidiEventBlock block(on);
        e->dispatcher(e, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
        std::vector<float> left(16384), right(16384);
        for (std::size_t at = 0; at < left.size(); at += 512) {
            float* outputs[2] = {left.data() + at, right.data() + at};
            e->processReplacing(e, nullptr, outputs, 512);
        }
        std::vector<vst2::VstMidiEvent> off{host::midiEvent(0, 0x80, 57, 0)};
        host::MidiEventBlock release(off);
        e->dispatcher(e, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(release.events()), 0.0f);
        std::vector<float> tailLeft(512), tailRight(512);
        for (int i = 0; i < 20; ++i) {  // the note ends before the next program is selected
            float* outputs[2] = {tailLeft.data(), tailRight.data()};
            e->processReplacing(e, nullptr, outputs, 512);
        }

        const auto line = [&](int harmonic) {
            return testing_support::amplitudeAt(left, harmonic * f, 44100.0, 0, 0) + 1e-12;
        };
        const double carrier = line(1);
        for (int n : {1, 2}) {
            const double expected = 20.0 * std::log10(std::abs(std::cyl_bessel_j(n, double(index)) /
                                                               std::cyl_bessel_j(0, double(index))));
            EXPECT_NEAR(20.0 * std::log10(line(1 + 4 * n) / carrier), expected, 1.0) << "index " << index << " n " << n;
            EXPECT_NEAR(20.0 * std::log10(line(4 * n - 1) / carrier), expected, 1.0) << "index " << index << " n " << n;
        }
    }
}

TEST(ProgramRecipe, DescribeWrapsTheCommentOverTheFourLinesAtWordBoundaries)
{
    pelko::Program program;
    const std::string text = "Glass wave and saw through a snapping low-pass, echoing from side to side; harder is brighter";
    Recipe(program).describe(text);
    std::string joined;
    for (int line = 0; line < 4; ++line) {
        const std::string part(program.objectAs<pelko::TextObject>(pelko::object::kPatchComment + line).text());
        EXPECT_LE(part.size(), 31u) << line;
        EXPECT_FALSE(part.empty()) << line;
        EXPECT_NE(part.front(), ' ');
        joined += (line > 0 ? " " : "") + part;
    }
    EXPECT_EQ(joined, text);

    // A text longer than four lines keeps the words that fit; a short one leaves lines empty.
    Recipe(program).describe(text + " " + text);
    EXPECT_EQ(program.objectAs<pelko::TextObject>(pelko::object::kPatchComment).text(), "Glass wave and saw through a");
    Recipe(program).describe("Short");
    EXPECT_EQ(program.objectAs<pelko::TextObject>(pelko::object::kPatchComment).text(), "Short");
    EXPECT_TRUE(program.objectAs<pelko::TextObject>(pelko::object::kPatchComment + 3).text().empty());
}

}  // namespace
