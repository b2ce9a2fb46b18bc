#include "wave/additive_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace pelko;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// count samples of Σ amplitude[h]·sin(2π·phase[h] + 2π·(h + 1)·n/period).
std::vector<float> render(std::size_t count, double period, const std::vector<double>& amplitude,
                          const std::vector<double>& phase = {})
{
    std::vector<float> x(count);
    for (std::size_t n = 0; n < count; ++n) {
        double sum = 0.0;
        for (std::size_t h = 0; h < amplitude.size(); ++h) {
            const double p = h < phase.size() ? phase[h] : 0.0;
            sum += amplitude[h] * std::sin(kTwoPi * p + kTwoPi * static_cast<double>(h + 1) * static_cast<double>(n) / period);
        }
        x[n] = static_cast<float>(sum);
    }
    return x;
}

// A band-limited saw: harmonics falling as 1/h.
std::vector<double> sawHarmonics(int count)
{
    std::vector<double> a;
    for (int h = 1; h <= count; ++h) a.push_back(0.5 / h);
    return a;
}

double phaseDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 1.0 - d);
}

TEST(AdditiveAnalysis, ASawComesBackAsHarmonicsFallingAsOneOverN)
{
    // A period that is no whole number of samples, as a 130.8 Hz tone at 44.1 kHz has.
    const double period = 44100.0 / 130.8;
    const auto x = render(20000, period, sawHarmonics(64));
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->periodSamples, period, 0.01);
    EXPECT_EQ(result->cycles, 8);
    for (int h = 1; h <= 64; ++h) {
        EXPECT_NEAR(result->levels[static_cast<std::size_t>(h - 1)], 1.0 / h, 0.004) << "harmonic " << h;
        EXPECT_LT(phaseDistance(result->phases[static_cast<std::size_t>(h - 1)], 0.0), 0.01) << "harmonic " << h;
    }
}

TEST(AdditiveAnalysis, AnAliasedRampIsStillASaw)
{
    // A naive ramp from −1 to 1 every 1000.5 samples: its lower harmonics are a saw's.
    std::vector<float> x(12000);
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = std::fmod(static_cast<double>(n) / 1000.5, 1.0);
        x[n] = static_cast<float>(2.0 * t - 1.0);
    }
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    for (int h = 1; h <= 32; ++h) {
        EXPECT_NEAR(result->levels[static_cast<std::size_t>(h - 1)] * h, 1.0, 0.03) << "harmonic " << h;
        // A rising ramp is −Σ sin/h: every harmonic half a cycle round.
        EXPECT_LT(phaseDistance(result->phases[static_cast<std::size_t>(h - 1)], 0.5), 0.01) << "harmonic " << h;
    }
}

TEST(AdditiveAnalysis, ASineIsOneHarmonic)
{
    const auto x = render(6000, 256.0, {0.8});
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    EXPECT_FLOAT_EQ(result->levels[0], 1.0f);
    for (int h = 2; h <= 64; ++h) {
        EXPECT_EQ(result->levels[static_cast<std::size_t>(h - 1)], 0.0f) << h;
        EXPECT_EQ(result->phases[static_cast<std::size_t>(h - 1)], 0.0f);
    }
}

TEST(AdditiveAnalysis, ShiftedInputGivesShiftedPhases)
{
    const std::vector<double> amplitude = {1.0, 0.0, 0.4, 0.25};
    const std::vector<double> phase = {0.125, 0.0, 0.6, 0.9};
    const auto x = render(9000, 300.25, amplitude, phase);
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->levels[2], 0.4, 1e-3);
    EXPECT_NEAR(result->levels[3], 0.25, 1e-3);
    EXPECT_LT(result->levels[1], 1e-3);
    for (std::size_t h : {0u, 2u, 3u}) EXPECT_LT(phaseDistance(result->phases[h], phase[h]), 2e-3) << h;

    // The same sound started a quarter period later: harmonic h moves by h/4 of a cycle.
    const std::size_t skip = 75;  // 300.25/4, to a quarter of a sample
    const auto later = analyseHarmonics(x.data() + skip, x.size() - skip);
    ASSERT_TRUE(later);
    for (std::size_t h : {0u, 2u, 3u}) {
        const double moved = std::fmod(phase[h] + static_cast<double>(h + 1) * static_cast<double>(skip) / 300.25, 1.0);
        EXPECT_LT(phaseDistance(later->phases[h], moved), 3e-3) << h;
    }
}

TEST(AdditiveAnalysis, AFileOfOneCycleIsThatCycle)
{
    // Exactly one period, as single-cycle wave files hold: no repetition to find.
    const auto x = render(600, 600.0, {1.0, 0.5, 0.0, 0.3}, {0.0, 0.25, 0.0, 0.5});
    EXPECT_FALSE(detectPeriod(x.data(), x.size()));
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->cycles, 1);
    EXPECT_DOUBLE_EQ(result->periodSamples, 600.0);
    EXPECT_NEAR(result->levels[1], 0.5, 1e-4);
    EXPECT_NEAR(result->levels[3], 0.3, 1e-4);
    EXPECT_LT(phaseDistance(result->phases[1], 0.25), 1e-4);
    EXPECT_LT(phaseDistance(result->phases[3], 0.5), 1e-4);
}

TEST(AdditiveAnalysis, LeadingSilenceIsSkippedAndSilenceIsNothing)
{
    std::vector<float> x(2000, 0.0f);
    const auto tone = render(8000, 160.0, {1.0, 0.0, 0.5});
    x.insert(x.end(), tone.begin(), tone.end());
    const auto result = analyseHarmonics(x.data(), x.size());
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->periodSamples, 160.0, 0.01);
    EXPECT_NEAR(result->levels[2], 0.5, 1e-3);
    // The sound counts from its first audible sample, one after the tone's zero start.
    EXPECT_LT(phaseDistance(result->phases[0], 1.0 / 160.0), 2e-3);

    const std::vector<float> silence(5000, 0.0f);
    EXPECT_FALSE(analyseHarmonics(silence.data(), silence.size()));
    EXPECT_FALSE(analyseHarmonics(tone.data(), 3));
    const std::vector<std::int16_t> quiet(100, 0);
    EXPECT_FALSE(analyseHarmonics(quiet.data(), quiet.size()));
}

TEST(AdditiveAnalysis, SixteenBitSamplesAndStrongUpperHarmonics)
{
    // A wave whose second harmonic is stronger than the first must not be taken an octave up.
    const auto x = render(16000, 441.0, {0.3, 1.0, 0.2});
    std::vector<std::int16_t> samples(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) samples[i] = static_cast<std::int16_t>(std::lround(x[i] * 20000.0f));
    const auto result = analyseHarmonics(samples.data(), samples.size());
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->periodSamples, 441.0, 0.01);
    EXPECT_NEAR(result->levels[0], 0.3, 2e-3);
    EXPECT_NEAR(result->levels[1], 1.0, 1e-6);
    EXPECT_NEAR(result->levels[2], 0.2, 2e-3);
}

}  // namespace
