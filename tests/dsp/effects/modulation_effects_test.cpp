// The LFO-driven effects, by the measured rate and range of what their LFOs do to the sound:
// the pan position, the delay of a ramp (a delayed ramp differs from the ramp by the delay
// times the slope), the level of a steady signal, the notch sweep, the carrier.
#include "dsp/effects/chorus_flanger.h"
#include "effect_test_signals.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace effect_tests;

namespace {

constexpr float kRate = 44100.0f;
constexpr float kSlope = 1e-5f;

// The delay (in samples) an effect applies to a ramp on the chosen channel, over time.
std::vector<float> delayOfRamp(Effect& e, int frames, bool left = true)
{
    const std::vector<float> x = ramp(frames, kSlope);
    const Stereo out = runMono(e, x);
    std::vector<float> d = difference(x, left ? out.left : out.right);
    for (float& v : d) {
        v /= kSlope;
    }
    return d;
}

// RMS per window of `window` samples.
std::vector<float> envelope(const std::vector<float>& x, int window)
{
    std::vector<float> env;
    for (std::size_t i = 0; i + static_cast<std::size_t>(window) <= x.size(); i += static_cast<std::size_t>(window)) {
        env.push_back(static_cast<float>(rms(x, i, i + static_cast<std::size_t>(window))));
    }
    return env;
}

TEST(AutoPan, MovesTheSignalBetweenTheChannelsAtItsRate)
{
    auto pan = make(80);
    configure(*pan, {0.5f, 1.0f}, 1.0f);  // 1.5 · 0.55 = 0.825 Hz
    const Stereo out = runMono(*pan, constant(int(12 * kRate), 1.0f));
    // Left gain b², right 1 − b²: the pan swings twice per LFO cycle.
    EXPECT_NEAR(crossingFrequency(out.left, kRate), 2 * 0.825, 0.02);
    EXPECT_NEAR(*std::min_element(out.left.begin(), out.left.end()), 0.0f, 1e-3f);
    EXPECT_NEAR(*std::max_element(out.left.begin(), out.left.end()), 1.0f, 1e-2f);
    for (std::size_t i = 0; i < out.left.size(); i += 997) {
        EXPECT_NEAR(out.left[i] + out.right[i], 1.0f, 1e-5f);
    }
    // Synced, 8 beats at 120 bpm: 30 · 8 / 120 = 2 Hz.
    configure(*pan, {1.0f, 1.0f}, 1.0f, true, 120.0f);
    EXPECT_NEAR(crossingFrequency(runMono(*pan, constant(int(6 * kRate), 1.0f)).left, kRate), 4.0, 0.02);
    // Without depth or mix nothing moves.
    configure(*pan, {0.5f, 0.0f}, 1.0f);
    const Stereo still = runMono(*pan, constant(4410, 1.0f));
    EXPECT_FLOAT_EQ(still.left[4000], 0.0f);  // mix 1 and no depth: g = 0, left gain 1 − mix
    EXPECT_FLOAT_EQ(still.right[4000], 1.0f);
}

TEST(ChorusFlanger, LineLengthsFollowIntensity)
{
    pelko::ChorusFlanger chorus(pelko::kChorusKind, kRate);
    pelko::ChorusFlanger flanger(pelko::kFlangerKind, kRate);
    chorus.setParam(1, 0.0f);
    flanger.setParam(1, 0.0f);
    EXPECT_EQ(chorus.lineLength(), 221);  // 5 ms
    EXPECT_EQ(flanger.lineLength(), 12);  // 0.25 ms
    chorus.setParam(1, 1.0f);
    EXPECT_EQ(chorus.lineLength(), 3529);
}

TEST(ChorusFlanger, SweepTheDelayAtTheLfoRate)
{
    for (int type : {9, 15}) {
        auto e = make(type);
        configure(*e, {1.0f, 0.2f, 1.0f, 0.0f}, 1.0f);  // 0.5125 Hz, no feedback
        const std::vector<float> d = delayOfRamp(*e, int(20 * kRate));
        EXPECT_NEAR(crossingFrequency(d, kRate, 4410), 0.5 * 1.025, 0.01) << type;
        // The delay swings from 0 to L − 2, L = (0.2 · range + min) ms.
        const float length = type == 9 ? 20.0f * 44.1f : 1.0f * 44.1f;
        const auto [low, high] = std::minmax_element(d.begin() + 4410, d.end());
        EXPECT_NEAR(*low, 0.0f, 0.5f) << type;
        EXPECT_NEAR(*high, length - 2.0f, 0.5f) << type;
        // Synced: 2 Hz at 120 bpm for the 8-beat step.
        configure(*e, {1.0f, 0.2f, 1.0f, 0.0f}, 1.0f, true, 120.0f);
        EXPECT_NEAR(crossingFrequency(delayOfRamp(*e, int(5 * kRate)), kRate, 4410), 2.0, 0.02) << type;
    }
}

TEST(CrazyComb, SweepsBetweenTheFullLineAndAFractionOfIt)
{
    auto comb = make(50);
    configure(*comb, {1.0f, 1.0f, 0.5f, 0.5f}, 1.0f);  // 3 ms lines, depth 0.49, 0.825 Hz, no feedback
    const std::vector<float> d = delayOfRamp(*comb, int(12 * kRate));
    EXPECT_NEAR(crossingFrequency(d, kRate, 4410), 0.825, 0.01);
    const float length = static_cast<float>(static_cast<int>(0.003f * kRate));
    const auto [low, high] = std::minmax_element(d.begin() + 4410, d.end());
    EXPECT_NEAR(*high, length, 0.5f);
    EXPECT_NEAR(*low, 0.02f * length, 0.5f);
}

TEST(StereoEnsemble, LfoOneSweepsTheDelayAndLfoTwoTheLevel)
{
    for (int type : {20, 21}) {
        auto e = make(type);
        configure(*e, {0.2f, 0.0f, 1.0f, 0.0f, 0.5f}, 1.0f);  // LFO 1 at 2.008 Hz, ±2.5 ms, no feedback
        const std::vector<float> d = delayOfRamp(*e, int(8 * kRate));
        EXPECT_NEAR(crossingFrequency(d, kRate, 2000), 2.008, 0.02) << type;
        const auto [low, high] = std::minmax_element(d.begin() + 2000, d.end());
        EXPECT_NEAR(*low, (0.012f - 0.0025f) * kRate, 1.0f) << type;
        EXPECT_NEAR(*high, (0.012f + 0.0025f) * kRate, 1.0f) << type;

        configure(*e, {0.2f, 0.25f, 0.0f, 1.0f, 0.5f}, 1.0f);  // LFO 2 at 6.5 Hz, level 0…1
        const Stereo out = runMono(*e, constant(int(6 * kRate), 1.0f));
        EXPECT_NEAR(crossingFrequency(out.left, kRate, 2000), 6.5, 0.05) << type;
        const auto [quiet, loud] = std::minmax_element(out.left.begin() + 2000, out.left.end());
        EXPECT_NEAR(*quiet, 0.0f, 0.01f);
        EXPECT_NEAR(*loud, 1.0f, 0.01f);
    }
}

TEST(RichEnsemble, BothLfosMoveTheAverageDelay)
{
    auto e = make(22);
    configure(*e, {0.1f, 0.5f, 1.0f, 0.5f}, 1.0f);  // 1.009 Hz and 5.005 Hz, no feedback
    // The taps' sum is scaled by 0.3333, not 1/3: take the delay from the mean of the taps.
    const std::vector<float> x = ramp(int(10 * kRate), kSlope);
    const Stereo out = runMono(*e, x);
    std::vector<float> d(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        d[i] = (x[i] - out.left[i] / 0.9999f) / kSlope;
    }
    const double slow = magnitudeAt(d, 1.009, kRate, 4410);
    const double fast = magnitudeAt(d, 5.005, kRate, 4410);
    // The mean of the three taps is 0.012 s + (1 + √3)/3 · A · (b1 + b2).
    const double expected = (1.0 + std::sqrt(3.0)) / 3.0 * 0.00075 * kRate;
    EXPECT_NEAR(slow, expected, 0.1 * expected);
    EXPECT_NEAR(fast, expected, 0.1 * expected);
    EXPECT_LT(magnitudeAt(d, 3.0, kRate, 4410), 0.05 * expected);
    EXPECT_NEAR(mean(d, 4410), 0.012 * kRate, 1.0);
}

TEST(RichChorus, FourLfosPerChannelAtTheirOwnRates)
{
    auto e = make(10);
    configure(*e, {0.95f, 1.0f, 0.5f, 0.0f}, 1.0f);  // rates m · 1.0 Hz, no feedback, 1 ms colour
    const int frames = int(20 * kRate);
    const std::vector<float> x = ramp(frames, kSlope);
    const Stereo out = runMono(*e, x);
    // The wet signal is the ramp scaled, minus the swept delays: remove the ramp by a linear fit.
    auto detrend = [&](const std::vector<float>& y) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        const double n = static_cast<double>(y.size() - 4410);
        for (std::size_t i = 4410; i < y.size(); ++i) {
            sx += x[i];
            sy += y[i];
            sxx += double(x[i]) * x[i];
            sxy += double(x[i]) * y[i];
        }
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        const double offset = (sy - slope * sx) / n;
        std::vector<float> r(y.size());
        for (std::size_t i = 0; i < y.size(); ++i) {
            r[i] = static_cast<float>(y[i] - slope * x[i] - offset);
        }
        return r;
    };
    const std::vector<float> left = detrend(out.left);
    const std::vector<float> right = detrend(out.right);
    double control = 0.0;
    for (double hz : {1.5, 2.8, 3.5}) {
        control = std::max({control, magnitudeAt(left, hz, kRate, 4410), magnitudeAt(right, hz, kRate, 4410)});
    }
    for (double hz : {2.0, 2.5, 3.15, 2.2}) {
        EXPECT_GT(magnitudeAt(left, hz, kRate, 4410), 5.0 * control) << hz;
    }
    for (double hz : {2.1, 2.65, 3.05, 1.95}) {
        EXPECT_GT(magnitudeAt(right, hz, kRate, 4410), 5.0 * control) << hz;
    }
}

TEST(RotarySpeaker, RotorModulatesLevelAndSeparationBlendsThePickups)
{
    auto rotary = make(81);
    configure(*rotary, {0.5f, 1.0f, 1.0f, 0.0f}, 1.0f);  // rotor 1 at 2.275 Hz, crossover 7.6 kHz
    std::vector<float> dc = constant(int(8 * kRate), 1.0f);
    std::vector<float> none(dc.size(), 0.0f);
    const Stereo out = run(*rotary, dc, none);
    // Low rotor only: left pickup 1 + s, right pickup 1 − s.
    EXPECT_NEAR(crossingFrequency(out.left, kRate, 4410), 0.5 * (8.9 * 0.5 + 0.1), 0.02);
    const auto [low, high] = std::minmax_element(out.left.begin() + 4410, out.left.end());
    EXPECT_NEAR(*low, 0.0f, 0.02f);
    EXPECT_NEAR(*high, 2.0f, 0.02f);
    for (std::size_t i = 4410; i < out.left.size(); i += 1009) {
        EXPECT_NEAR(out.left[i] + out.right[i], 2.0f, 1e-3f);
    }
    // Full separation sends both pickups to both sides: no more level movement.
    configure(*rotary, {0.5f, 1.0f, 1.0f, 1.0f}, 1.0f);
    const Stereo blended = run(*rotary, dc, none);
    EXPECT_NEAR(blended.left[200000], 2.0f, 1e-3f);
    EXPECT_NEAR(blended.right[200000], 2.0f, 1e-3f);
    // The high rotor turns at its own rate: a high tone above a low crossover.
    configure(*rotary, {0.5f, 0.0f, 0.0f, 0.0f}, 1.0f);
    const std::vector<float> tone = sine(int(8 * kRate), 5000.0f, kRate);
    const Stereo high_rotor = run(*rotary, tone, std::vector<float>(tone.size(), 0.0f));
    EXPECT_NEAR(crossingFrequency(envelope(high_rotor.left, 441), 100.0, 10), 0.5 * (8.88 * 0.5 + 0.12), 0.03);
}

TEST(QuadPhaser, PhaseSweepsAtTwiceTheLfoRate)
{
    auto phaser = make(30);
    configure(*phaser, {0.5f, 1.0f, 0.0f}, 1.0f);  // 0.505 Hz
    // At 100 Hz the chain's phase stays below π for every coefficient, so the level of
    // input + chain follows the coefficient, which follows |LFO|.
    const std::vector<float> tone = sine(int(12 * kRate), 100.0f, kRate);
    const Stereo out = runMono(*phaser, tone);
    EXPECT_NEAR(crossingFrequency(envelope(out.left, 441), 100.0, 10), 2 * 0.505, 0.03);
    // Synced, 8 beats at 120 bpm: 2 Hz, notches at 4 Hz.
    configure(*phaser, {1.0f, 1.0f, 0.0f}, 1.0f, true, 120.0f);
    EXPECT_NEAR(crossingFrequency(envelope(runMono(*phaser, tone).right, 441), 100.0, 10), 4.0, 0.05);
    // No depth: the input passes unchanged.
    configure(*phaser, {0.5f, 0.0f, 0.5f}, 1.0f);
    const Stereo dry = runMono(*phaser, tone);
    EXPECT_EQ(dry.left, tone);
}

TEST(RingModulator, MultipliesByTheCarrier)
{
    auto ring = make(95);
    configure(*ring, {0.3f, 0.0f, 0.0f, 1.0f}, 1.0f);  // carrier 0.5 · (9999 · 0.09 + 1) Hz
    const Stereo out = runMono(*ring, constant(int(2 * kRate), 1.0f));
    EXPECT_NEAR(crossingFrequency(out.left, kRate), 0.5 * (9999.0 * 0.09 + 1.0), 0.5);
    EXPECT_NEAR(crossingFrequency(out.right, kRate), 0.5 * (9999.0 * 0.09 + 1.0), 0.5);
    // Synced: 30 · 8 / 120 = 2 Hz.
    configure(*ring, {1.0f, 0.0f, 0.0f, 1.0f}, 1.0f, true, 120.0f);
    EXPECT_NEAR(crossingFrequency(runMono(*ring, constant(int(6 * kRate), 1.0f)).left, kRate), 2.0, 0.02);
}

TEST(RingModulator, DepthZeroReadsTheCarrierSampleJustWritten)
{
    auto ring = make(95);
    configure(*ring, {0.3f, 0.0f, 0.0f, 1.0f}, 1.0f);
    const Stereo out = runMono(*ring, impulse(4));
    // First step of the carrier: b = −k; the one-pole passes y = b / (g + 1).
    const float k = pelko::lfoCoefficient(0.5f * (9999.0f * 0.09f + 1.0f), 1.0f / kRate);
    const float g = 0.15915494f / (19999.0f / kRate);
    EXPECT_NEAR(out.left[0], -k / (g + 1.0f), 1e-6f);
}

TEST(RingModulator, VibratoAddsSidebandsAtItsRate)
{
    const float carrier = 0.5f * (9999.0f * 0.09f + 1.0f);
    const float vibrato = 0.5f * (999.9f * 0.01f + 0.1f);
    auto sidebands = [&](float depth) {
        auto ring = make(95);
        configure(*ring, {0.3f, 0.1f, depth, 1.0f}, 1.0f);
        const Stereo out = runMono(*ring, constant(int(4 * kRate), 1.0f));
        return magnitudeAt(out.left, carrier + vibrato, kRate, 4410) / magnitudeAt(out.left, carrier, kRate, 4410);
    };
    // A delay swing of ±d samples is a phase deviation β = 2π·f·d / sampleRate; the first
    // sidebands stand at about β/2 of the carrier.
    const double d = 0.02 * (0.01 * kRate * 0.5 - 1.0);
    const double beta = 2.0 * M_PI * carrier * d / kRate;
    EXPECT_NEAR(sidebands(0.02f), beta / 2.0, 0.2 * beta / 2.0);
    EXPECT_LT(sidebands(0.0f), 0.01);
}

}  // namespace
