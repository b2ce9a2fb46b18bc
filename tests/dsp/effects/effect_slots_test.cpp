// The two effect slots: serial, parallel and bypass routing, type changes that carry the
// slot's settings, the shelf that makes type changes allocation-free, tempo and sample-rate
// propagation, and the queries the plug-in answers from them.
#include "dsp/effects/effect_slots.h"
#include "dsp/effects/stereo_delay.h"
#include "effect_test_signals.h"
#include "platform/threads.h"
#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <limits>

using namespace effect_tests;
using pelko::EffectSlots;

namespace {

// Slot set to a plain echo: one repeat after `time` · 499 + 1 ms − 1 sample, no feedback.
void setEcho(EffectSlots& slots, int slot, float time, float mix)
{
    slots.setType(slot, 1);
    slots.setTempoSync(slot, false);
    slots.setParameter(slot, 0, time);
    slots.setParameter(slot, 1, time);
    slots.setParameter(slot, 2, 0.5f);  // no feedback
    slots.setParameter(slot, 3, 0.0f);  // no damping
    slots.setDryWet(slot, mix);
}

int echoDelay(float time) { return static_cast<int>((0.499f * time + 0.001f) * 44100.0f) - 1; }

Stereo process(EffectSlots& slots, std::vector<float> left, std::vector<float> right, int block = 256)
{
    for (std::size_t start = 0; start < left.size(); start += static_cast<std::size_t>(block)) {
        const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), left.size() - start));
        slots.process(left.data() + start, right.data() + start, n);
    }
    return {left, right};
}

TEST(EffectSlots, StartEmptyAndPassTheSignalThrough)
{
    EffectSlots slots;
    EXPECT_EQ(slots.effectType(0), 0);
    EXPECT_EQ(slots.effectType(1), 0);
    EXPECT_FALSE(slots.bothSlotsHaveEffects());
    EXPECT_TRUE(slots.serial());
    EXPECT_FALSE(slots.bypass());
    EXPECT_FLOAT_EQ(slots.dryWet(0), 0.5f);
    EXPECT_TRUE(slots.tempoSync(1));
    const std::vector<float> noise = Noise(1).block(3000);
    const Stereo out = process(slots, noise, noise);
    EXPECT_EQ(out.left, noise);
    EXPECT_EQ(out.right, noise);
}

TEST(EffectSlots, SerialRunsTheSecondSlotOnTheFirstSlotsOutput)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 0.5f);  // 43 samples
    setEcho(slots, 1, 0.1f, 0.5f);  // 2243 samples
    const Stereo out = process(slots, impulse(5000), impulse(5000));
    const int a = echoDelay(0.0f);
    const int b = echoDelay(0.1f);
    for (int at : {0, a, b, a + b}) {
        EXPECT_NEAR(out.left[at], 0.25f, 1e-6f) << at;
        EXPECT_NEAR(out.right[at], 0.25f, 1e-6f) << at;
    }
    EXPECT_NEAR(rms(out.left) * rms(out.left) * 5000.0, 4 * 0.0625, 1e-5);
}

TEST(EffectSlots, ParallelSumsBothSlotsFromTheSameInput)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 0.5f);
    setEcho(slots, 1, 0.1f, 0.5f);
    slots.setSerial(false);
    const Stereo out = process(slots, impulse(5000), impulse(5000), 300);
    const int a = echoDelay(0.0f);
    const int b = echoDelay(0.1f);
    EXPECT_NEAR(out.left[0], 1.0f, 1e-6f);  // each slot carries its own dry half
    EXPECT_NEAR(out.left[a], 0.5f, 1e-6f);
    EXPECT_NEAR(out.left[b], 0.5f, 1e-6f);
    EXPECT_NEAR(out.left[a + b], 0.0f, 1e-6f);  // no echo of an echo
}

TEST(EffectSlots, AnOffSlotAddsSilenceInParallel)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 0.5f);
    slots.setSerial(false);
    const Stereo out = process(slots, impulse(2000), impulse(2000));
    EXPECT_NEAR(out.left[0], 0.5f, 1e-6f);
    EXPECT_NEAR(out.left[echoDelay(0.0f)], 0.5f, 1e-6f);
    // A slot that had an effect and becomes "Off" stops contributing at once.
    setEcho(slots, 1, 0.0f, 1.0f);
    process(slots, Noise(4).block(700), Noise(5).block(700));
    slots.setType(1, 0);
    slots.setType(0, 0);
    const Stereo quiet = process(slots, Noise(6).block(1200), Noise(7).block(1200));
    EXPECT_EQ(rms(quiet.left) + rms(quiet.right), 0.0);
}

TEST(EffectSlots, BypassLeavesTheBlockAlone)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 1.0f);
    slots.setType(1, 40);
    slots.setBypass(true);
    const std::vector<float> noise = Noise(2).block(4000);
    EXPECT_EQ(process(slots, noise, noise).left, noise);
    slots.setSerial(false);
    EXPECT_EQ(process(slots, noise, noise).right, noise);
}

TEST(EffectSlots, LongBlocksSoundLikeShortOnes)
{
    // Blocks longer than the scratch buffers are processed in chunks, in both modes.
    for (bool serial : {true, false}) {
        EffectSlots a;
        EffectSlots b;
        for (EffectSlots* s : {&a, &b}) {
            setEcho(*s, 0, 0.2f, 0.6f);
            s->setType(1, 2);
            s->setDryWet(1, 0.4f);
            s->setSerial(serial);
        }
        const std::vector<float> noise = Noise(8).block(20000);
        const Stereo whole = process(a, noise, noise, 20000);
        const Stereo pieces = process(b, noise, noise, EffectSlots::kChunkFrames);
        EXPECT_EQ(whole.left, pieces.left);
        EXPECT_EQ(whole.right, pieces.right);
    }
}

TEST(EffectSlots, EmptyAndSingleFrameBlocks)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 1.0f);
    slots.process(nullptr, nullptr, 0);
    float left = 1.0f;
    float right = 1.0f;
    slots.process(&left, &right, 0);
    EXPECT_FLOAT_EQ(left, 1.0f);
    std::vector<float> l = impulse(100);
    std::vector<float> r = impulse(100);
    for (int i = 0; i < 100; ++i) {
        slots.process(&l[i], &r[i], 1);
    }
    EXPECT_NEAR(l[echoDelay(0.0f)], 1.0f, 1e-6f);
    EXPECT_NEAR(l[0], 0.0f, 1e-6f);
}

TEST(EffectSlots, NewEffectsStartFromTheSlotSettings)
{
    EffectSlots slots;
    for (int i = 0; i < 6; ++i) {
        slots.setParameter(1, i, 0.1f * static_cast<float>(i + 1));
    }
    slots.setDryWet(1, 0.8f);
    slots.setTempoSync(1, true);
    slots.setTempo(90.0);
    slots.setType(1, 20);
    const Effect& e = slots.effect(1);
    EXPECT_EQ(e.typeId(), 20);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(e.param(i), 0.1f * static_cast<float>(i + 1));
    }
    EXPECT_FLOAT_EQ(e.mix(), 0.8f);
    EXPECT_TRUE(e.tempoSync());
    EXPECT_FLOAT_EQ(e.tempo(), 90.0f);
    EXPECT_TRUE(slots.isDiscrete(1, 0));  // a synced rate
    EXPECT_FALSE(slots.isDiscrete(1, 2));
    slots.setTempoSync(1, false);
    EXPECT_FALSE(slots.isDiscrete(1, 0));
}

TEST(EffectSlots, UnknownTypeIdsGiveOffWithADiagnostic)
{
    EffectSlots slots;
    slots.setType(0, 40);
    testing::internal::CaptureStderr();
    slots.setType(0, 12345);
    const std::string diagnostic = testing::internal::GetCapturedStderr();
    EXPECT_EQ(slots.effectType(0), 0);
    EXPECT_NE(diagnostic.find("12345"), std::string::npos);
    EXPECT_EQ(diagnostic.back(), '\n');
    // On the audio thread the diagnostic waits for the next type change made elsewhere.
    testing::internal::CaptureStderr();
    {
        pelko::AudioThreadScope audio;
        slots.setType(1, 777);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(slots.effectType(1), 0);
    testing::internal::CaptureStderr();
    slots.setType(1, 40);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("777"), std::string::npos);
    slots.setType(5, 1);  // no such slot: ignored
    slots.setType(-1, 1);
    EXPECT_EQ(slots.effectType(5), 0);
}

TEST(EffectSlots, TypeChangesReuseShelvedEffectsAsIfNew)
{
    EffectSlots slots;
    slots.prepareAllTypes();
    setEcho(slots, 0, 0.0f, 1.0f);
    const Effect* echo = &slots.effect(0);
    process(slots, Noise(3).block(1000), Noise(4).block(1000));  // fills the line
    slots.setType(0, 40);
    const Effect* reverb = &slots.effect(0);
    slots.setType(0, 1);
    EXPECT_EQ(&slots.effect(0), echo);  // the same object, not a new one
    slots.setType(0, 40);
    EXPECT_EQ(&slots.effect(0), reverb);
    slots.setType(0, 1);
    // Back from the shelf it starts clean: the echo of the earlier noise is gone.
    const Stereo out = process(slots, std::vector<float>(500, 0.0f), std::vector<float>(500, 0.0f));
    EXPECT_LT(rms(out.left), 1e-20);
}

TEST(EffectSlots, AudioThreadOperationsDoNotAllocateOncePrepared)
{
    EffectSlots slots;
    slots.prepareAllTypes();
    slots.setTempoSync(0, false);
    slots.setTempoSync(1, false);
    std::vector<float> left = Noise(10).block(1024);
    std::vector<float> right = Noise(11).block(1024);
    char text[32];
    testing_support::AllocationCounter counter;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < pelko::kEffectTypeCount; ++i) {
            const int type = pelko::effectKindAtMenuIndex(i).typeId;
            slots.setType(round, type);
            slots.setType(1 - round, pelko::effectKindAtMenuIndex(pelko::kEffectTypeCount - 1 - i).typeId);
            for (int p = 0; p < 6; ++p) {
                slots.setParameter(0, p, 0.1f * static_cast<float>(p + i % 5));
                slots.setParameter(1, p, 1.0f - 0.1f * static_cast<float>(p));
                slots.display(0, p, text, sizeof text);
            }
            slots.setDryWet(0, 0.3f);
            slots.setTempo(100.0 + i);
            slots.setSerial(i % 2 == 0);
            slots.process(left.data(), right.data(), 1024);
            slots.process(left.data(), right.data(), 1);
        }
        slots.swapSlots();
        slots.reset();
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST(EffectSlots, TempoRule)
{
    EffectSlots slots;
    setEcho(slots, 0, 1.0f, 1.0f);
    slots.setTempoSync(0, true);  // 8 beats
    EXPECT_EQ(static_cast<const pelko::StereoDelay&>(slots.effect(0)).lineLength(0), 176400);
    EXPECT_TRUE(slots.setTempo(240.0));
    EXPECT_FALSE(slots.setTempo(240.0));  // unchanged
    EXPECT_EQ(static_cast<const pelko::StereoDelay&>(slots.effect(0)).lineLength(0), 88200);
    for (double bad : {0.0, -90.0, 5.0, 5000.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
             -std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(slots.setTempo(bad)) << bad;
    }
    EXPECT_FLOAT_EQ(slots.tempo(), 240.0f);
    EXPECT_EQ(static_cast<const pelko::StereoDelay&>(slots.effect(0)).lineLength(0), 88200);
}

TEST(EffectSlots, SampleRateReachesActiveAndShelvedEffects)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 1.0f);
    slots.setType(1, 40);
    slots.setType(1, 97);  // the reverb is now on the shelf
    slots.setSampleRate(96000.0);
    EXPECT_FLOAT_EQ(slots.sampleRate(), 96000.0f);
    EXPECT_FLOAT_EQ(slots.effect(0).sampleRate(), 96000.0f);
    EXPECT_EQ(static_cast<const pelko::StereoDelay&>(slots.effect(0)).lineLength(0), 96);
    slots.setType(1, 40);
    EXPECT_FLOAT_EQ(slots.effect(1).sampleRate(), 96000.0f);
    slots.setSampleRate(0.0);
    slots.setSampleRate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FLOAT_EQ(slots.sampleRate(), 96000.0f);
    slots.setSampleRate(1e6);
    EXPECT_FLOAT_EQ(slots.effect(1).sampleRate(), 384000.0f);
}

TEST(EffectSlots, RoutingChangesResetTheEffectsOnlyWhenTheyChange)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.1f, 1.0f);
    const int n = echoDelay(0.1f);
    std::vector<float> pulse = impulse(1000);
    process(slots, pulse, pulse);
    slots.setSerial(true);  // unchanged: the pending echo survives
    Stereo later = process(slots, std::vector<float>(2000, 0.0f), std::vector<float>(2000, 0.0f));
    EXPECT_NEAR(later.left[n - 1000], 1.0f, 1e-6f);

    process(slots, pulse, pulse);
    slots.setSerial(false);  // changed: both effects start clean
    later = process(slots, std::vector<float>(2000, 0.0f), std::vector<float>(2000, 0.0f));
    EXPECT_LT(rms(later.left), 1e-20);
}

TEST(EffectSlots, NonFiniteInputIsSilencedAndDoesNotStick)
{
    EffectSlots slots;
    setEcho(slots, 0, 0.0f, 0.5f);
    slots.setParameter(0, 2, 1.0f);  // strong feedback
    std::vector<float> bad = Noise(5).block(600);
    bad[100] = std::numeric_limits<float>::quiet_NaN();
    const Stereo out = process(slots, bad, bad, 600);
    for (float v : out.left) {
        EXPECT_TRUE(std::isfinite(v));
    }
    const std::vector<float> noise = Noise(6).block(3000);
    const Stereo after = process(slots, noise, noise);
    for (float v : after.left) {
        ASSERT_TRUE(std::isfinite(v));
    }
    EXPECT_GT(rms(after.left), 0.1);
}

TEST(EffectSlots, SwapExchangesEffectsAndSettings)
{
    EffectSlots slots;
    slots.setType(0, 40);
    slots.setParameter(0, 0, 0.3f);
    slots.setDryWet(0, 0.9f);
    slots.setType(1, 95);
    slots.setTempoSync(1, false);
    slots.swapSlots();
    EXPECT_EQ(slots.effectType(0), 95);
    EXPECT_EQ(slots.effectType(1), 40);
    EXPECT_FLOAT_EQ(slots.parameter(1, 0), 0.3f);
    EXPECT_FLOAT_EQ(slots.dryWet(1), 0.9f);
    EXPECT_FALSE(slots.tempoSync(0));
    EXPECT_TRUE(slots.tempoSync(1));
    EXPECT_TRUE(slots.bothSlotsHaveEffects());
}

TEST(EffectSlots, DisplaysAndNamesComeFromTheEffect)
{
    EffectSlots slots;
    slots.setType(0, 1);
    slots.setParameter(0, 0, 1.0f);
    slots.setParameter(0, 2, 0.5f);
    char text[32];
    slots.display(0, 0, text, sizeof text);
    EXPECT_STREQ(text, "   8");  // the slot's sync is on by default
    slots.display(0, 2, text, sizeof text);
    EXPECT_STREQ(text, "+0");
    slots.setTempoSync(0, false);
    slots.display(0, 0, text, sizeof text);
    EXPECT_STREQ(text, "100");
    EXPECT_STREQ(slots.parameterName(0, 3), "Damp");
    EXPECT_STREQ(slots.parameterName(1, 3), "");
    slots.display(7, 0, text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_FLOAT_EQ(slots.setParameter(0, 0, 0.3f), 0.3f);
    slots.setTempoSync(0, true);
    EXPECT_NEAR(slots.setParameter(0, 0, 0.3f), 0.28f, 1e-6f);
    EXPECT_FLOAT_EQ(slots.setParameter(0, 9, 0.3f), 0.0f);
}

}  // namespace
