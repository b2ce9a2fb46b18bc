// The effect slots as the plug-in runs them: the accumulating process call adds the (silent)
// voices to what the host buffers hold and then runs the slots over the result, so a signal
// written into the buffers passes through the plug-in's own routing. It must match the slots
// run on their own with the same settings.
#include "dsp/effects/effect_slots.h"
#include "params/patch_object_table.h"
#include "plugin/synth_plugin.h"
#include "params/setting_objects.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kStereoDelay = 1;
constexpr int kQuadPhaser = 30;
constexpr int kOff = 0;
constexpr int kFrames = 4096;

struct Signal {
    std::vector<float> left, right;
};

Signal noise()
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> u(-0.5f, 0.5f);
    Signal s{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    for (int i = 0; i < kFrames; ++i) {
        s.left[static_cast<std::size_t>(i)] = u(random);
        s.right[static_cast<std::size_t>(i)] = u(random);
    }
    return s;
}

class EffectRouting : public ::testing::Test {
protected:
    void SetUp() override
    {
        plugin().setParameter(190, 0.0f);  // no DC removal: the slots see the signal as it is
    }
    pelko::SynthPlugin& plugin() { return *instance.plugin(); }

    void setTypes(int first, int second)
    {
        for (int slot = 0; slot < 2; ++slot) {
            plugin().editBuffer().objectAs<pelko::IntegerObject>(pelko::object::kFxType + slot).setValue(slot == 0 ? first : second);
            plugin().applyPatchObject(pelko::object::kFxType + slot);
            reference.setType(slot, slot == 0 ? first : second);
        }
    }
    void setParameters(float wet)
    {
        for (int p = 0; p < 6; ++p) {
            plugin().setParameter(167 + p, 0.3f + 0.1f * static_cast<float>(p));
            plugin().setParameter(173 + p, 0.6f - 0.05f * static_cast<float>(p));
            reference.setParameter(0, p, 0.3f + 0.1f * static_cast<float>(p));
            reference.setParameter(1, p, 0.6f - 0.05f * static_cast<float>(p));
        }
        plugin().setParameter(179, wet);
        plugin().setParameter(180, wet);
        reference.setDryWet(0, wet);
        reference.setDryWet(1, wet);
    }
    Signal throughPlugin(const Signal& input)
    {
        Signal out = input;
        for (int at = 0; at < kFrames; at += 256) {
            float* outputs[2] = {out.left.data() + at, out.right.data() + at};
            plugin().processAccumulating(outputs, 256);
        }
        return out;
    }
    Signal throughReference(const Signal& input)
    {
        Signal out = input;
        if (!reference.bypass()) {
            for (int at = 0; at < kFrames; at += 256) {
                reference.process(out.left.data() + at, out.right.data() + at, 256);
            }
        }
        return out;
    }
    static void expectSame(const Signal& a, const Signal& b)
    {
        double difference = 0.0, energy = 0.0;
        for (int i = 0; i < kFrames; ++i) {
            difference += std::abs(a.left[static_cast<std::size_t>(i)] - b.left[static_cast<std::size_t>(i)]) +
                          std::abs(a.right[static_cast<std::size_t>(i)] - b.right[static_cast<std::size_t>(i)]);
            energy += std::abs(b.left[static_cast<std::size_t>(i)]);
        }
        EXPECT_GT(energy, 1.0);
        EXPECT_LT(difference, 1e-3) << "the plug-in's routing differs from the slots'";
    }

    testing_support::PluginEnvironment environment;
    testing_support::InProcessPlugin instance;
    pelko::EffectSlots reference;
};

TEST_F(EffectRouting, SerialRunsSlotOneThenSlotTwo)
{
    reference.prepareAllTypes();
    setTypes(kStereoDelay, kQuadPhaser);
    setParameters(0.5f);
    Signal input = noise();
    Signal out = throughPlugin(input);
    expectSame(out, throughReference(input));
    // And the effects really did something.
    double changed = 0.0;
    for (int i = 0; i < kFrames; ++i) changed += std::abs(out.left[static_cast<std::size_t>(i)] - input.left[static_cast<std::size_t>(i)]);
    EXPECT_GT(changed, 10.0);
}

TEST_F(EffectRouting, ParallelSumsBothSlotsAndAnOffSlotAddsSilence)
{
    reference.prepareAllTypes();
    setTypes(kStereoDelay, kOff);
    setParameters(0.7f);
    plugin().setParameter(181, 0.0f);
    reference.setSerial(false);
    Signal input = noise();
    expectSame(throughPlugin(input), throughReference(input));
}

TEST_F(EffectRouting, BypassLeavesTheSignalUntouched)
{
    reference.prepareAllTypes();
    setTypes(kStereoDelay, kQuadPhaser);
    setParameters(1.0f);
    plugin().setParameter(182, 1.0f);
    Signal input = noise();
    Signal out = throughPlugin(input);
    EXPECT_EQ(out.left, input.left);
    EXPECT_EQ(out.right, input.right);
}

TEST_F(EffectRouting, SelectingAProgramWithAnEmptySlotForcesSerialMode)
{
    plugin().setParameter(181, 0.0f);
    plugin().bank().editProgram(2).values[181] = 0.0f;  // stored parallel, both slots "Off"
    plugin().selectProgram(2);
    EXPECT_EQ(plugin().getParameter(181), 1.0f);
    EXPECT_TRUE(plugin().effects().serial());
}

}  // namespace
