// The loudness measure and the spectral fingerprint the factory programs are levelled and told
// apart with, on signals whose answers are known.
#include "loudness.h"
#include "tone_fingerprint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace pelko::content;

std::vector<float> sine(double hz, double amplitude, double seconds, double rate)
{
    std::vector<float> x(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    }
    return x;
}

std::vector<float> concatenate(std::vector<float> a, const std::vector<float>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// At 48 kHz the two stages are the coefficients the standard tabulates.
TEST(Loudness, KWeightingAt48kHzIsTheStandardsFilter)
{
    const Biquad shelf = kWeightingShelf(48000.0);
    EXPECT_NEAR(shelf.b0, 1.53512485958697, 1e-9);
    EXPECT_NEAR(shelf.b1, -2.69169618940638, 1e-9);
    EXPECT_NEAR(shelf.b2, 1.19839281085285, 1e-9);
    EXPECT_NEAR(shelf.a1, -1.69065929318241, 1e-9);
    EXPECT_NEAR(shelf.a2, 0.73248077421585, 1e-9);
    const Biquad highPass = kWeightingHighPass(48000.0);
    EXPECT_NEAR(highPass.a1, -1.99004745483398, 1e-9);
    EXPECT_NEAR(highPass.a2, 0.99007225036621, 1e-9);
}

// A 997 Hz sine of peak amplitude 0.1 (−20 dBFS) has a mean square of 0.005, −23.0 dB; the
// K-weighting gain near 1 kHz and the standard's −0.691 dB offset cancel. In one channel it reads
// −23.0 LUFS, in both (each channel weighted 1) 3 dB more, at either sample rate.
TEST(Loudness, ASineOf997HzAtMinus20dBFSReadsMinus23LufsPerChannel)
{
    for (double rate : {48000.0, 44100.0}) {
        const std::vector<float> tone = sine(997.0, 0.1, 5.0, rate);
        const std::vector<float> silence(tone.size(), 0.0f);
        EXPECT_NEAR(integratedLoudness(tone, silence, rate), -23.0, 0.05) << rate;
        EXPECT_NEAR(integratedLoudness(tone, tone, rate), -20.0, 0.05) << rate;
    }
}

// Silence is gated out absolutely, a section more than 10 LU quieter than the rest relatively;
// a signal below −70 LUFS, or shorter than one 400 ms block, has no loudness.
TEST(Loudness, GatesLeaveOutSilenceAndQuietPassages)
{
    constexpr double kRate = 48000.0;
    const std::vector<float> loud = sine(997.0, 0.1, 4.0, kRate);
    const std::vector<float> quiet = sine(997.0, 0.01, 4.0, kRate);  // 20 dB down
    const std::vector<float> none(loud.size(), 0.0f);
    const std::vector<float> withSilence = concatenate(loud, none);
    // Only the blocks straddling the change, partly loud, pass the gates besides the loud ones.
    EXPECT_NEAR(integratedLoudness(withSilence, withSilence, kRate), -20.0, 0.3);
    const std::vector<float> withQuiet = concatenate(loud, quiet);
    EXPECT_NEAR(integratedLoudness(withQuiet, withQuiet, kRate), -20.0, 0.3);
    EXPECT_LT(integratedLoudness(withQuiet, withQuiet, kRate), -20.0);
    const std::vector<float> whisper = sine(997.0, 1e-4, 4.0, kRate);  // −80 dBFS
    EXPECT_TRUE(std::isinf(integratedLoudness(whisper, whisper, kRate)));
    const std::vector<float> blip = sine(997.0, 0.1, 0.3, kRate);
    EXPECT_TRUE(std::isinf(integratedLoudness(blip, blip, kRate)));
    EXPECT_NEAR(samplePeakDb(loud, none), -20.0, 0.01);
}

// The fingerprint ignores level and tells a sine from a saw and one pitch from another.
TEST(SpectralFingerprint, IgnoresLevelAndSeparatesDifferentSounds)
{
    constexpr double kRate = 44100.0;
    const std::vector<float> a = sine(220.0, 0.5, 1.0, kRate);
    const std::vector<float> quieter = sine(220.0, 0.05, 1.0, kRate);
    std::vector<float> saw(a.size());
    for (std::size_t i = 0; i < saw.size(); ++i) {
        saw[i] = static_cast<float>(0.3 * (2.0 * std::fmod(220.0 * static_cast<double>(i) / kRate, 1.0) - 1.0));
    }
    const std::vector<float> octave = sine(440.0, 0.5, 1.0, kRate);
    const SpectralFingerprint fa = spectralFingerprint(a, kRate);
    EXPECT_LT(fingerprintDistance(fa, spectralFingerprint(quieter, kRate)), 0.01);
    EXPECT_GT(fingerprintDistance(fa, spectralFingerprint(saw, kRate)), 5.0);
    EXPECT_GT(fingerprintDistance(fa, spectralFingerprint(octave, kRate)), 5.0);
}

}  // namespace
