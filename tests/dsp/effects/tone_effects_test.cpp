// The equaliser and the overdrive: the EQ's identity case and its bands, the overdrive's
// transfer curve, small-signal gain and harmonics, and the stability limit of their filters.
#include "dsp/effects/filter_sections.h"
#include "dsp/effects/overdrive.h"
#include "effect_test_signals.h"

#include <gtest/gtest.h>

using namespace effect_tests;

namespace {

constexpr float kRate = 44100.0f;

double gainAt(Effect& e, float hz, float sampleRate = kRate)
{
    const std::vector<float> tone = sine(int(sampleRate), hz, sampleRate);
    const Stereo out = runMono(e, tone);
    return rms(out.left, tone.size() / 2) / rms(tone, tone.size() / 2);
}

TEST(ThreeBandEq, UnitLowAndHighWithMidAtTheDampingReproduceTheInput)
{
    const std::vector<float> noise = Noise(17).block(20000);
    for (float rate : {8000.0f, 44100.0f, 192000.0f}) {
        for (float cutoff : {0.0f, 0.614f, 1.0f}) {
            for (float rez : {0.0f, 0.8f, 1.0f}) {
                auto eq = make(90, rate);
                configure(*eq, {cutoff, rez, 1.0f, pelko::svfDamping(rez), 1.0f}, 1.0f);
                const Stereo out = runMono(*eq, noise);
                double worst = 0.0;
                for (std::size_t i = 0; i < noise.size(); ++i) {
                    worst = std::max(worst, double(std::fabs(out.left[i] - noise[i])));
                }
                EXPECT_LT(worst, 1e-5) << rate << " " << cutoff << " " << rez;
            }
        }
    }
}

TEST(ThreeBandEq, BandsSplitTheSpectrum)
{
    auto eq = make(90);
    configure(*eq, {0.5f, 0.0f, 1.0f, 0.0f, 0.0f}, 1.0f);  // low only, cutoff 2075 Hz, no resonance
    EXPECT_NEAR(gainAt(*eq, 100.0f), 1.0, 0.02);
    EXPECT_LT(gainAt(*eq, 15000.0f), 0.05);
    configure(*eq, {0.5f, 0.0f, 0.0f, 0.0f, 1.0f}, 1.0f);  // high only
    EXPECT_LT(gainAt(*eq, 100.0f), 0.01);
    EXPECT_NEAR(gainAt(*eq, 15000.0f), 1.0, 0.25);  // the undersampled section lifts the top a little
    configure(*eq, {0.5f, 0.0f, 0.2f, 0.2f, 0.2f}, 0.0f);  // dry
    EXPECT_NEAR(gainAt(*eq, 1000.0f), 1.0, 1e-6);
}

TEST(StateVariableSection, FrequencyIsLimitedToTheStableRange)
{
    for (float q : {0.01f, 0.5f, 1.0f}) {
        const float f = pelko::stableSvfFrequency(1.99f, q);
        EXPECT_LT(f * f + 2.0f * f * q, 4.0f) << q;
        EXPECT_FLOAT_EQ(pelko::stableSvfFrequency(0.3f, q), 0.3f);
    }
    EXPECT_FLOAT_EQ(pelko::stableSvfFrequency(-0.5f, 1.0f), 0.0f);
    // At 44.1 kHz the full cutoff range is stable as it is; at 8 kHz the top is limited.
    EXPECT_FLOAT_EQ(pelko::stableSvfFrequency(pelko::svfFrequency(1.0f, 1.0f / 44100.0f), 1.0f),
        pelko::svfFrequency(1.0f, 1.0f / 44100.0f));
    EXPECT_LT(pelko::stableSvfFrequency(pelko::svfFrequency(1.0f, 1.0f / 8000.0f), 1.0f), 1.24f);
}

TEST(OverdriveShape, ParabolaUpToOneThenKeepsGrowing)
{
    const float gain = 0.55f;
    for (float t : {0.0f, 0.25f, 0.5f, 1.0f}) {
        EXPECT_FLOAT_EQ(pelko::overdriveShape(t, 1.0f, gain), gain * (2.0f * t - t * t)) << t;
        EXPECT_FLOAT_EQ(pelko::overdriveShape(-t, 1.0f, gain), -gain * (2.0f * t - t * t)) << t;
    }
    EXPECT_FLOAT_EQ(pelko::overdriveShape(0.5f, 2.0f, gain), gain);  // t = |h · drive| = 1
    EXPECT_NEAR(pelko::overdriveShape(1.0001f, 1.0f, gain), 1.5f * gain, 1e-3f);
    EXPECT_FLOAT_EQ(pelko::overdriveShape(2.0f, 1.0f, gain), 2.0f * gain);
    EXPECT_FLOAT_EQ(pelko::overdriveShape(-8.0f, 1.0f, gain), -8.0f * gain);
    // Monotonic: more input never gives less output.
    float previous = 0.0f;
    for (float h = 0.0f; h < 20.0f; h += 0.01f) {
        const float y = pelko::overdriveShape(h, 1.0f, 1.0f);
        EXPECT_GE(y, previous - 1e-6f) << h;
        previous = y;
    }
    // Infinite and NaN input end (with a non-finite result) instead of looping forever.
    EXPECT_FALSE(std::isfinite(pelko::overdriveShape(INFINITY, 1.0f, 1.0f)));
    EXPECT_TRUE(std::isnan(pelko::overdriveShape(NAN, 1.0f, 1.0f)));
}

TEST(Overdrive, SmallSignalsPassWithTwiceDriveTimesGain)
{
    for (float drive : {0.0f, 0.5f}) {
        for (float level : {0.2f, 1.0f}) {
            auto od = make(97);
            // Lowpass open (8150 Hz), highpass at 50 Hz, no resonance.
            configure(*od, {1.0f, 0.0f, 0.0f, 0.0f, drive, level}, 1.0f);
            const std::vector<float> tone = sine(int(kRate), 500.0f, kRate, 1e-4f);
            const Stereo out = runMono(*od, tone);
            const double expected = 2.0 * (15.5 * drive + 0.5) * (0.9 * level + 0.1);
            EXPECT_NEAR(rms(out.left, 22050) / rms(tone, 22050), expected, 0.05 * expected);
        }
    }
}

TEST(Overdrive, LoudSignalsGainOddHarmonics)
{
    auto od = make(97);
    configure(*od, {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f}, 1.0f);
    const std::vector<float> tone = sine(int(kRate), 200.0f, kRate, 0.5f);
    const Stereo out = runMono(*od, tone);
    const double first = magnitudeAt(out.left, 200.0, kRate, 4410);
    EXPECT_GT(magnitudeAt(out.left, 600.0, kRate, 4410), 0.02 * first);
    EXPECT_LT(magnitudeAt(out.left, 400.0, kRate, 4410), 0.002 * first);  // odd-symmetric curve
    // The same tone at a low level stays clean.
    const Stereo clean = runMono(*od, sine(int(kRate), 200.0f, kRate, 1e-4f));
    EXPECT_LT(magnitudeAt(clean.left, 600.0, kRate, 4410), 0.002 * magnitudeAt(clean.left, 200.0, kRate, 4410));
}

}  // namespace
