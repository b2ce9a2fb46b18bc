// Oscillators measured from their output: pitch against the tuning table, coarse tune, frequency
// range, fixed pitch, sample-rate independence, FM sidebands, phase envelope, waveshaper, glide
// and hostile settings.
#include "engine/voice_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace engine_test;
using testing_support::amplitudeAt;
using testing_support::cents;
using testing_support::zeroCrossingFrequency;

double playedFrequency(EngineFixture& f, int note, double seconds = 2.0)
{
    Voice voice(f.context);
    voice.start(note, 100);
    const auto samples = static_cast<int>(seconds * f.context.sampleRate);
    return zeroCrossingFrequency(renderLeft(voice, samples), f.context.sampleRate);
}

TEST(Oscillator, PlaysTheTuningTableFrequencyOfItsKeyWithinATenthOfACent)
{
    for (float rate : {44100.0f, 96000.0f}) {
        EngineFixture f(rate);
        f.holdLevel(0);
        for (int note : {45, 60, 69, 81, 96}) {
            const double expected = f.frequencies[static_cast<std::size_t>(note)];
            EXPECT_NEAR(cents(playedFrequency(f, note), expected), 0.0, 0.1) << "note " << note << " at " << rate;
        }
    }
}

TEST(Oscillator, FollowsAnUnequalTuningTable)
{
    EngineFixture f;
    f.holdLevel(0);
    f.frequencies[60] = 300.0f;  // far from the equal-tempered 261.63 Hz
    EXPECT_NEAR(cents(playedFrequency(f, 60), 300.0), 0.0, 0.1);
}

TEST(Oscillator, CoarseTuneRangeAndFineTuneScaleThePitch)
{
    EngineFixture f;
    f.holdLevel(0);
    const double a4 = f.frequencies[69];
    f.settings.oscillators[0].coarse = 60;  // an octave up
    EXPECT_NEAR(cents(playedFrequency(f, 69), 2.0 * a4), 0.0, 0.1);
    f.settings.oscillators[0].coarse = 41;  // a fifth down
    EXPECT_NEAR(cents(playedFrequency(f, 69), a4 * std::exp2(-7.0 / 12.0)), 0.0, 0.1);
    f.settings.oscillators[0].coarse = 48;
    f.settings.oscillators[0].rateFactor = 0.01f;  // 4.4 Hz
    EXPECT_NEAR(cents(playedFrequency(f, 69, 4.0), a4 / 100.0), 0.0, 0.5);
    f.settings.oscillators[0].rateFactor = 1.0f;
    f.settings.oscillators[0].fineFactor = 1.0594631f;  // key-pitch curve 1.0: one semitone up
    EXPECT_NEAR(cents(playedFrequency(f, 69), a4 * 1.0594631), 0.0, 0.1);
}

TEST(Oscillator, DetuneCurveAddsHertz)
{
    EngineFixture f;
    f.holdLevel(0);
    f.curve(object::kOscKeyDetune).applyPreset(3);  // 1.0 everywhere: +2 Hz
    EXPECT_NEAR(playedFrequency(f, 69), 442.0, 0.01);
}

TEST(Oscillator, FixedPitchIgnoresKeyAndCoarseTune)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.oscillators[0].coarse = 72;
    auto& fixed = f.program.objectAs<FixedPitchObject>(object::kFixedPitchValues);
    fixed.set(0, {true, 1000.0f, 60});
    EXPECT_NEAR(playedFrequency(f, 30), 1000.0, 0.01);
    EXPECT_NEAR(playedFrequency(f, 100), 1000.0, 0.01);
}

TEST(Oscillator, RandomDetuneStaysWithinItsRatio)
{
    EngineFixture f;
    f.holdLevel(0);
    const float R = 1.0594631f;  // one semitone
    f.settings.oscillators[0].randomPitchUp = R;
    f.settings.oscillators[0].randomPitchDown = 1.0f / R;
    double lowest = 1e9;
    double highest = 0.0;
    for (int i = 0; i < 12; ++i) {
        const double hz = playedFrequency(f, 69, 0.5);
        lowest = std::min(lowest, hz);
        highest = std::max(highest, hz);
    }
    // randomFactor = 1 + (1/R − 1)·r for r ≤ 1, 1 + (R − 1)(r − 1) above: within [1/R, 3 − 2/R].
    EXPECT_GE(lowest, 440.0 / R - 0.05);
    EXPECT_LE(highest, 440.0 * (3.0 - 2.0 / R) + 0.05);
    EXPECT_GT(highest - lowest, 1.0);  // the draws differ
}

TEST(Oscillator, FrequencyModulationMakesSidebandsWithTheExpectedBesselLevels)
{
    EngineFixture f;
    f.holdLevel(0);
    f.enable(1, 0.0f);  // the modulator is heard only through the carrier
    f.holdLevel(1);
    f.settings.oscillators[1].coarse = 48 + 5;  // 587.33 Hz against a 440 Hz carrier
    const float gain = 0.5f;
    f.settings.fmGain[0][1] = gain;
    Voice voice(f.context);
    voice.start(69, 100);
    const double rate = f.context.sampleRate;
    const auto out = renderLeft(voice, 1 << 16);
    const double fc = 440.0;
    const double fm = 440.0 * std::exp2(5.0 / 12.0);
    // The modulator adds fmDepth·gain·x to the read position, x = ±0.5 at full scale, fmDepth =
    // half the carrier's zone length: a peak phase deviation of β = 2π·(L/2·gain·0.5)/L radians.
    const double beta = std::numbers::pi * gain * 0.5;
    const double carrier = amplitudeAt(out, fc, rate, 4096);
    const double upper = amplitudeAt(out, fc + fm, rate, 4096);
    const double lower = amplitudeAt(out, fm - fc, rate, 4096);
    const double second = amplitudeAt(out, fc + 2.0 * fm, rate, 4096);
    const double j0 = std::cyl_bessel_j(0.0, beta);
    EXPECT_NEAR(carrier / 0.5, j0, 0.01);
    EXPECT_NEAR(upper / carrier, std::cyl_bessel_j(1.0, beta) / j0, 0.01);
    EXPECT_NEAR(lower / carrier, std::cyl_bessel_j(1.0, beta) / j0, 0.01);
    EXPECT_NEAR(second / carrier, std::cyl_bessel_j(2.0, beta) / j0, 0.01);
    // Nothing between the sidebands.
    for (double hz : {660.0, 880.0, 1320.0, 500.0}) {
        EXPECT_LT(amplitudeAt(out, hz, rate, 4096), 1e-3) << hz;
    }
}

TEST(Oscillator, FeedbackUsesThePreviousSampleOfItsOwnOutput)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.fmGain[0][0] = 0.3f;
    Voice voice(f.context);
    voice.start(69, 100);
    const auto out = renderLeft(voice, 1 << 15);
    // Self-modulation at the oscillator's own frequency keeps the pitch and adds harmonics.
    EXPECT_NEAR(zeroCrossingFrequency(out, 44100.0), 440.0, 0.05);
    EXPECT_GT(amplitudeAt(out, 880.0, 44100.0, 2048), 0.01);
    EXPECT_GT(amplitudeAt(out, 1320.0, 44100.0, 2048), 0.001);
}

TEST(Oscillator, PhaseEnvelopeOfOneWholeWaveChangesNothing)
{
    EngineFixture plain;
    plain.holdLevel(0);
    EngineFixture shifted;
    shifted.holdLevel(0);
    shifted.settings.oscillators[0].phaseAmount = 1.0f;  // phase envelope at level 1: one wave length
    Voice a(plain.context);
    Voice b(shifted.context);
    a.start(60, 100);
    b.start(60, 100);
    const auto x = renderLeft(a, 5000);
    const auto y = renderLeft(b, 5000);
    for (std::size_t n = 0; n < x.size(); ++n) {
        ASSERT_NEAR(x[n], y[n], 1e-4) << n;
    }
    // Half a wave inverts the sine.
    EngineFixture half;
    half.holdLevel(0);
    half.settings.oscillators[0].phaseAmount = 0.5f;
    Voice c(half.context);
    c.start(60, 100);
    const auto z = renderLeft(c, 5000);
    for (std::size_t n = 0; n < x.size(); ++n) {
        ASSERT_NEAR(x[n], -z[n], 2e-4) << n;
    }
}

TEST(Oscillator, WaveshaperIdentityLeavesTheSoundAndAStepTableSquaresIt)
{
    EngineFixture f;
    f.holdLevel(0);
    Voice plain(f.context);
    plain.start(60, 100);
    const auto x = renderLeft(plain, 4096);

    auto& shaper = f.program.objectAs<WaveshaperObject>(object::kOscWaveshape).curve();
    shaper.setOn(true);
    Voice identity(f.context);
    identity.start(60, 100);
    const auto y = renderLeft(identity, 4096);
    for (std::size_t n = 0; n < x.size(); ++n) {
        ASSERT_NEAR(x[n], y[n], 2e-3) << n;
    }

    // A table that jumps from 0 to 1 in the middle: a square wave of ±0.5.
    shaper.setStartLevel(0, 0.0f);
    shaper.setEndLevel(0, 0.0f);
    shaper.insertPoint(0.5f, 0.0f);
    shaper.insertPoint(0.502f, 1.0f);
    shaper.setEndLevel(shaper.segmentCount() - 1, 1.0f);
    Voice square(f.context);
    square.start(60, 100);
    const auto z = renderLeft(square, 8192);
    EXPECT_NEAR(testing_support::rms(z, 1000), 0.5, 0.03);
    EXPECT_GT(amplitudeAt(z, f.frequencies[60] * 3.0, 44100.0, 0), 0.15);  // odd harmonics of a square
}

TEST(Oscillator, PortamentoGlidesFromThePreviousNote)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.glideOn = true;
    f.settings.oscillators[0].glideSamples = 22050;
    f.settings.oscillators[0].glideReciprocal = 1.0f / 22050.0f;
    f.context.lastNote = 57;  // A3, 220 Hz
    Voice voice(f.context);
    voice.start(69, 100);
    EXPECT_EQ(f.context.lastNote, 69);
    const auto out = renderLeft(voice, 44100);
    const double early = zeroCrossingFrequency(std::vector<float>(out.begin(), out.begin() + 2000), 44100.0);
    const double late = zeroCrossingFrequency(std::vector<float>(out.begin() + 23000, out.end()), 44100.0);
    EXPECT_NEAR(early, 440.0 * (0.5 + 0.5 * 1000.0 / 22050.0), 2.0);  // the mean ratio of its first 2000 samples
    EXPECT_NEAR(late, 440.0, 0.05);
}

TEST(Oscillator, SilentForOffMutedMissingAndLooplessWaves)
{
    EngineFixture f;
    f.holdLevel(0);
    auto silentFor = [&f]() {
        Voice voice(f.context);
        voice.start(60, 100);
        return !voice.oscillator(0).enabled() && testing_support::peak(renderLeft(voice, 256)) == 0.0;
    };
    f.shape(0).setMuted(true);
    EXPECT_TRUE(silentFor());
    f.shape(0).setMuted(false);
    f.shape(0).setText("Off");
    EXPECT_TRUE(silentFor());
    f.shape(0).setText("Single Cycle\\Sine");
    f.waves[0].clear();
    EXPECT_TRUE(silentFor());
}

TEST(Oscillator, HostileSettingsNeverReadOutsideTheWaveOrGoNonFinite)
{
    EngineFixture f;
    f.holdLevel(0);
    f.settings.oscillators[0].coarse = 5000;  // out of range: clamped
    f.settings.fmGain[0][0] = std::numeric_limits<float>::quiet_NaN();
    f.settings.oscillators[0].rateFactor = 1e30f;
    f.frequencies[60] = std::numeric_limits<float>::infinity();
    makePlayable(f.frequencies);
    EXPECT_NEAR(f.frequencies[60], 261.6256f, 0.01f);
    Voice voice(f.context);
    voice.start(60, 100);
    for (float x : renderLeft(voice, 20000)) {
        ASSERT_TRUE(std::isfinite(x));
    }

    // Huge FM pushes the read position far outside the wave in both directions.
    EngineFixture g;
    g.holdLevel(0);
    g.enable(1, 0.0f);
    g.holdLevel(1);
    g.settings.fmGain[0][1] = 1e9f;
    Voice modulated(g.context);
    modulated.start(60, 100);
    const auto out = renderLeft(modulated, 20000);
    for (float x : out) {
        ASSERT_TRUE(std::isfinite(x));
        ASSERT_LE(std::fabs(x), 0.5f);
    }
}

TEST(Oscillator, ALoopAfterAnAttackWrapsIntoTheLoop)
{
    // A zone whose loop starts half way: after the first pass the read position stays in the
    // second half, so a sine split there plays its second half only (all samples ≤ 0).
    EngineFixture f;
    f.holdLevel(0);
    f.waves[0].replace(sineWave(kSineLength, kSineLength / 2));
    Voice voice(f.context);
    voice.start(60, 100);
    const auto out = renderLeft(voice, 20000);
    EXPECT_GT(testing_support::peak(std::vector<float>(out.begin(), out.begin() + 80)), 0.05);  // first pass
    for (std::size_t n = 400; n < out.size(); ++n) {
        ASSERT_LE(out[n], 1e-3f) << n;
    }
}

}  // namespace
