// One voice measured from its output: product buses, filter routing and pan, the cutoff glide and
// envelope depth at control rate, and recovery after a non-finite sample.
#include "dsp/filters/filter.h"
#include "dsp/filters/filter_types.h"
#include "engine/voice_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace engine_test;
using testing_support::amplitudeAt;
using testing_support::rms;

TEST(Voice, ProductBusRingModulatesItsOscillators)
{
    EngineFixture f;
    f.holdLevel(0);
    f.enable(1, 0.0f);
    f.holdLevel(1);
    f.settings.oscillators[0].direct = 0.0f;
    f.settings.oscillators[1].coarse = 48 + 7;
    f.context.busInputs[0] = {0, 1, -1};
    f.settings.busSend[0] = {0.0f, 0.0f, 1.0f};
    Voice voice(f.context);
    voice.start(69, 100);
    const auto out = renderLeft(voice, 1 << 15);
    const double a = 440.0;
    const double b = 440.0 * std::exp2(7.0 / 12.0);
    // (0.5 sin a)(0.5 sin b) = 0.125 (cos(a − b) − cos(a + b)).
    EXPECT_NEAR(amplitudeAt(out, b - a, 44100.0), 0.125, 0.005);
    EXPECT_NEAR(amplitudeAt(out, a + b, 44100.0), 0.125, 0.005);
    EXPECT_LT(amplitudeAt(out, a, 44100.0), 1e-3);
    EXPECT_LT(amplitudeAt(out, b, 44100.0), 1e-3);
}

TEST(Voice, ProductBusWithOneOscillatorPassesItAndWithNoneIsSilent)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.oscillators[0].direct = 0.0f;
    f.settings.busSend[1] = {0.0f, 0.0f, 1.0f};
    f.context.busInputs[1] = {-1, 0, -1};
    Voice one(f.context);
    one.start(69, 100);
    EXPECT_NEAR(amplitudeAt(renderLeft(one, 1 << 14), 440.0, 44100.0), 0.5, 0.005);
    f.context.busInputs[1] = {-1, -1, -1};
    Voice none(f.context);
    none.start(69, 100);
    EXPECT_EQ(testing_support::peak(renderLeft(none, 4096)), 0.0);
    EXPECT_EQ(none.modValue(7), 0.0f);
}

TEST(Voice, FiltersAreBuiltFromTheModesAndPannedByTheirCurves)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.oscillators[0].direct = 0.0f;
    f.settings.oscillators[0].sendFilter1 = 1.0f;
    f.context.filterTypes = {filter_id::kLowpass24, filter_id::kOff};
    f.settings.cutoff = {0.05f, 0.0f};
    f.settings.resonance = {0.0f, 0.0f};
    // All of filter 1 to the left.
    f.curve(object::kFilterVelocityPan).applyPreset(3);
    f.curve(object::kFilterKeyPan).applyPreset(3);
    Voice low(f.context);
    low.start(96, 100);  // 2093 Hz, far above a low cutoff
    ASSERT_NE(low.filter(0), nullptr);
    EXPECT_EQ(low.filter(0)->typeId(), filter_id::kLowpass24);
    EXPECT_EQ(low.filter(1), nullptr);
    std::vector<float> left(1 << 14);
    std::vector<float> right(left.size());
    for (std::size_t n = 0; n < left.size(); ++n) {
        low.render();
        left[n] = low.outLeft();
        right[n] = low.outRight();
    }
    EXPECT_EQ(testing_support::peak(right), 0.0);
    const double quiet = rms(left, 4096);

    f.settings.cutoff = {1.0f, 0.0f};
    Voice open(f.context);
    open.start(96, 100);
    const double loud = rms(renderLeft(open, 1 << 14), 4096);
    EXPECT_GT(loud, 0.2);
    EXPECT_LT(quiet, 0.1 * loud);
}

TEST(Voice, CutoffChangesGlideAndTheEnvelopeDepthScalesTheCutoff)
{
    EngineFixture f;
    f.context.filterTypes = {filter_id::kLowpass12, filter_id::kLowpass12};
    f.settings.cutoff = {0.2f, 0.2f};
    f.settings.cutoffEnvMod = {0.0f, 1.0f};
    f.envelope(object::kFilterEnv + 1).applyPreset(3);  // envelope held at 1: cutoff unchanged
    Voice voice(f.context);
    voice.start(60, 100);
    EXPECT_NEAR(voice.filterCutoff(0), 0.2f, 1e-6);
    EXPECT_NEAR(voice.filterCutoff(1), 0.2f, 1e-6);
    voice.setCutoff(0, 0.8f);
    renderLeft(voice, 64);
    EXPECT_NEAR(voice.filterCutoff(0), 0.2f, 1e-6);  // the tick after the change starts where it was
    renderLeft(voice, 64);
    const float afterTwoTicks = voice.filterCutoff(0);
    EXPECT_NEAR(afterTwoTicks, 0.8f - 0.6f * 0.95f, 1e-4);  // then glides in, 5 % of the way per tick
    renderLeft(voice, 64 * 200);
    EXPECT_NEAR(voice.filterCutoff(0), 0.8f, 1e-3);

    // A falling envelope at full depth pulls the cutoff down with it.
    f.envelope(object::kFilterEnv + 1).applyPreset(0);
    Voice swept(f.context);
    swept.start(60, 100);
    renderLeft(swept, 44100 * 3 / 10);  // past the attack peak, into the decay
    EXPECT_LT(swept.filterCutoff(1), 0.2f);
    EXPECT_GT(swept.filterCutoff(1), 0.0f);
}

TEST(Voice, ANonFiniteSampleIsSilencedAndTheVoiceRecoversAtTheNextControlTick)
{
    EngineFixture f;
    f.holdLevel(0);
    f.enable(1, 0.0f);
    f.holdLevel(1);
    // Two huge direct gains overflow the sum to infinity.
    f.settings.oscillators[0].direct = 3e38f;
    f.settings.oscillators[1].direct = 3e38f;
    f.context.filterTypes = {filter_id::kLowpass12, filter_id::kOff};
    f.settings.oscillators[0].sendFilter1 = 3e38f;
    f.settings.cutoff = {0.5f, 0.0f};
    Voice voice(f.context);
    voice.start(69, 100);
    for (float x : renderLeft(voice, 2000)) {
        ASSERT_TRUE(std::isfinite(x));
    }
    // Sane gains again: within one control period the note sounds normally.
    f.settings.oscillators[0].direct = 1.0f;
    f.settings.oscillators[1].direct = 0.0f;
    f.settings.oscillators[0].sendFilter1 = 0.0f;
    renderLeft(voice, 128);
    const auto out = renderLeft(voice, 1 << 14);
    EXPECT_NEAR(amplitudeAt(out, 440.0, 44100.0), 0.5, 0.01);
    EXPECT_NEAR(testing_support::zeroCrossingFrequency(out, 44100.0), 440.0, 0.1);
}

TEST(Voice, NotANumberInTheEngineSettingsNeverReachesTheOutput)
{
    EngineFixture f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    f.settings.oscillators[0].sendFilter2 = nan;
    f.settings.busSend[0] = {nan, nan, nan};
    f.settings.cutoff = {nan, nan};
    f.settings.vibratoDepth = nan;
    f.context.filterTypes = {filter_id::kComb, filter_id::kAnalogLowpass2};
    f.context.pitchBend = nan;
    Voice voice(f.context);
    voice.start(60, 100);
    voice.setCutoff(0, nan);
    voice.setResonance(1, nan);
    const auto out = renderLeft(voice, 20000);
    for (float x : out) {
        ASSERT_TRUE(std::isfinite(x));
    }
    EXPECT_GT(rms(out, 10000), 0.05);  // the direct sine still plays
}

}  // namespace

namespace {

// Oscillator 2 modulates oscillator 1, is heard directly and feeds a product bus with it; at zero
// level it must leave the sound exactly as if it were off, and still live as long as its envelope.
TEST(Voice, AnOscillatorAtZeroLevelSoundsExactlyLikeOneTurnedOff)
{
    auto setUp = [](EngineFixture& f, bool second) {
        f.holdLevel(0);
        f.settings.fmGain[0][1] = 0.5f;
        f.context.busInputs[0] = {0, 1, -1};
        f.settings.busSend[0] = {0.0f, 0.0f, 0.3f};
        if (second) {
            f.enable(1, 0.7f);
            f.holdLevel(1);
            f.envelope(object::kOscEnv + 1).setDepth(0.0f);
        }
    };
    EngineFixture silent;
    setUp(silent, true);
    EngineFixture off;
    setUp(off, false);
    Voice a(silent.context);
    Voice b(off.context);
    a.start(57, 90);
    b.start(57, 90);
    const auto left = renderLeft(a, 1 << 13);
    const auto reference = renderLeft(b, 1 << 13);
    EXPECT_GT(rms(reference, 1024), 0.05);
    ASSERT_EQ(left.size(), reference.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(left[i], reference[i]) << i;
    }
    EXPECT_TRUE(a.oscillator(1).active());
}

}  // namespace
