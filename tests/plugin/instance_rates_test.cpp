// Two plug-in instances in one process at different sample rates: each must sound exactly as it
// does alone, whatever rate the other was given and in whatever order their blocks are rendered.
#include "engine/engine_random.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

constexpr int kBlock = 256;
constexpr int kBlocks = 96;          // about 0.56 s at 44.1 kHz
constexpr int kReleaseBlock = 64;    // the chord is let go here, so the release is heard too

// One instance playing a chord on one program at one rate, a block at a time.
class RatedInstance {
public:
    RatedInstance(float rate, int program, std::uint16_t randomBase) : randomBase_(randomBase)
    {
        dispatch(vst2::effSetSampleRate, 0, nullptr, rate);
        dispatch(vst2::effSetBlockSize, kBlock, nullptr);
        dispatch(vst2::effMainsChanged, 1, nullptr);
        dispatch(vst2::effSetProgram, program, nullptr);
    }

    bool usesFilters() const
    {
        const auto& program = instance_.plugin()->editBuffer();
        return program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode).value() != 0 ||
               program.objectAs<pelko::IntegerObject>(pelko::object::kFilterMode + 1).value() != 0;
    }

    // Renders block number `block`. The engine's random generator is process-wide, so it is set to
    // a value of this instance's own before each block: both instances then draw the same numbers
    // alone and side by side.
    void renderBlock(int block)
    {
        events_.clear();
        if (block == 0 || block == kReleaseBlock) {
            const std::uint8_t status = block == 0 ? 0x90 : 0x80;
            for (std::uint8_t key : {48, 55, 60, 64, 67}) {
                events_.push_back(host::midiEvent(block == 0 ? 3 : 0, status, key, 100));
            }
        }
        host::MidiEventBlock midi(events_);
        dispatch(vst2::effProcessEvents, 0, const_cast<vst2::VstEvents*>(midi.events()));
        pelko::seedEngineRandom(static_cast<std::uint16_t>(randomBase_ + block));
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        instance_.effect()->processReplacing(instance_.effect(), nullptr, outputs, kBlock);
        output_.insert(output_.end(), left.begin(), left.end());
        output_.insert(output_.end(), right.begin(), right.end());
    }

    const std::vector<float>& output() const { return output_; }

private:
    void dispatch(vst2::VstInt32 opcode, vst2::VstIntPtr value, void* ptr, float opt = 0.0f)
    {
        instance_.effect()->dispatcher(instance_.effect(), opcode, 0, value, ptr, opt);
    }

    InProcessPlugin instance_;
    std::uint16_t randomBase_;
    std::vector<vst2::VstMidiEvent> events_;
    std::vector<float> output_;
};

std::vector<float> renderAlone(float rate, int program, std::uint16_t randomBase)
{
    RatedInstance instance(rate, program, randomBase);
    for (int block = 0; block < kBlocks; ++block) {
        instance.renderBlock(block);
    }
    return instance.output();
}

// Index of the first sample where the two outputs differ, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            return static_cast<long>(i);
        }
    }
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

TEST(InstanceRates, TwoInstancesAtDifferentRatesSoundAsEachDoesAlone)
{
    PluginEnvironment environment(true, true);

    // Factory programs whose voices run filters, the rate-dependent part of a voice.
    std::vector<int> programs;
    for (int p = 0; p < 64 && programs.size() < 3; p += 5) {
        if (RatedInstance(44100.0f, p, 0).usesFilters()) {
            programs.push_back(p);
        }
    }
    ASSERT_FALSE(programs.empty());

    const float otherRates[] = {96000.0f, 22050.0f};
    for (int program : programs) {
        const std::vector<float> first = renderAlone(44100.0f, program, 100);
        ASSERT_GT(testing_support::peak(first), 1e-3) << "program " << program << " is silent";
        for (float otherRate : otherRates) {
            SCOPED_TRACE(testing::Message() << "program " << program << ", other rate " << otherRate);
            const std::vector<float> second = renderAlone(otherRate, program, 9000);

            // The second instance is told its rate after the first has started, as a host that
            // adds a track at another rate would; their blocks then alternate.
            auto a = std::make_unique<RatedInstance>(44100.0f, program, 100);
            auto b = std::make_unique<RatedInstance>(otherRate, program, 9000);
            for (int block = 0; block < kBlocks; ++block) {
                a->renderBlock(block);
                b->renderBlock(block);
            }
            EXPECT_EQ(firstDifference(a->output(), first), -1);
            EXPECT_EQ(firstDifference(b->output(), second), -1);
        }
    }
}

}  // namespace
