// The three reverbs, by their impulse responses: silent until the shortest path, then a dense
// tail that decays to nothing; longer times decay more slowly, damping darkens the tail, and
// the Oktaverb's tail rises by octaves.
#include "dsp/effects/stereo_reverb.h"
#include "dsp/effects/tap_reverb.h"
#include "effect_test_signals.h"

#include <gtest/gtest.h>

using namespace effect_tests;

namespace {

constexpr float kRate = 44100.0f;

// Seconds until the response's energy, in 50 ms windows, falls 40 dB below its loudest window.
double decayTime(const std::vector<float>& x)
{
    const std::size_t window = 2205;
    double loudest = 0.0;
    double time = 0.0;
    for (std::size_t i = 0; i + window <= x.size(); i += window) {
        const double level = rms(x, i, i + window);
        loudest = std::max(loudest, level);
        if (level > loudest * 0.01) {
            time = static_cast<double>(i + window) / kRate;
        }
    }
    return time;
}

std::size_t firstNonZero(const std::vector<float>& x, float threshold = 1e-12f)
{
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            return i;
        }
    }
    return x.size();
}

class ReverbResponse : public testing::TestWithParam<int> {};

TEST_P(ReverbResponse, IsFiniteDenseAndDecays)
{
    auto reverb = make(GetParam());
    reverb->setMix(1.0f);
    const Stereo out = runMono(*reverb, impulse(int(8 * kRate)));
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        for (float v : *channel) {
            ASSERT_TRUE(std::isfinite(v));
        }
        const double early = rms(*channel, 0, std::size_t(kRate));
        EXPECT_GT(early, 1e-4);
        EXPECT_GT(rms(*channel, std::size_t(0.5 * kRate), std::size_t(1.5 * kRate)), 0.01 * early);  // a tail
        EXPECT_LT(rms(*channel, std::size_t(7 * kRate)), 1e-3 * early);                          // that ends
        // Dense: most 10 ms windows of the first second carry sound.
        int busy = 0;
        for (std::size_t i = std::size_t(0.2 * kRate); i < std::size_t(1.2 * kRate); i += 441) {
            busy += rms(*channel, i, i + 441) > 1e-3 * early ? 1 : 0;
        }
        EXPECT_GT(busy, 75);
    }
}

TEST_P(ReverbResponse, ResetLeavesSilence)
{
    auto reverb = make(GetParam());
    runMono(*reverb, Noise(9).block(int(kRate)));
    reverb->reset();
    const Stereo out = runMono(*reverb, std::vector<float>(int(kRate), 0.0f));
    EXPECT_LT(rms(out.left) + rms(out.right), 1e-20);
}

INSTANTIATE_TEST_SUITE_P(Reverbs, ReverbResponse, testing::Values(40, 41, 45));

TEST(StereoReverb, FirstSoundArrivesThroughTheShortestLine)
{
    pelko::StereoReverb reverb(pelko::kStereoReverbKind, kRate);
    reverb.setMix(1.0f);
    const int a = static_cast<int>(0.061f * (2.8f * 0.614f + 0.2f) * kRate);
    EXPECT_EQ(reverb.lineLength(0, 0), a + 1);
    std::vector<float> left = impulse(20000);
    std::vector<float> right(20000, 0.0f);
    std::vector<float> outL(20000), outR(20000);
    reverb.process(left.data(), right.data(), outL.data(), outR.data(), 20000);
    EXPECT_EQ(firstNonZero(outL), static_cast<std::size_t>(a));  // a line of n samples delays by n − 1
}

TEST(StereoReverb, LongerTimeDecaysLaterAndDampingDarkens)
{
    auto response = [](float time, float damp) {
        auto reverb = make(40);
        configure(*reverb, {time, 1.0f, damp, 0.95f}, 1.0f);
        return runMono(*reverb, impulse(int(10 * kRate))).left;
    };
    EXPECT_GT(decayTime(response(0.9f, 0.0f)), 1.3 * decayTime(response(0.2f, 0.0f)));
    const std::vector<float> bright = response(0.614f, 0.0f);
    const std::vector<float> dark = response(0.614f, 0.5f);
    auto highShare = [](const std::vector<float>& x) {
        return magnitudeAt(x, 2000.0, kRate, 4410) / magnitudeAt(x, 100.0, kRate, 4410);
    };
    EXPECT_LT(highShare(dark), 0.5 * highShare(bright));
}

TEST(StereoOktaverb, TailRisesByAnOctave)
{
    // A 300 Hz burst: the plain reverb's tail keeps 300 Hz, the Oktaverb's moves up to 600 Hz.
    auto octaveShare = [](int type) {
        auto reverb = make(type);
        configure(*reverb, {0.614f, 0.5f, 0.3f, 0.5f}, 1.0f);
        std::vector<float> burst = sine(int(0.3 * kRate), 300.0f, kRate, 0.5f);
        burst.resize(int(2 * kRate), 0.0f);
        const std::vector<float> out = runMono(*reverb, burst).left;
        const std::vector<float> tail(out.begin() + int(0.6 * kRate), out.end());
        return magnitudeAt(tail, 600.0, kRate) / magnitudeAt(tail, 300.0, kRate);
    };
    EXPECT_GT(octaveShare(45), 5.0 * octaveShare(40));
}

TEST(TapReverb, TapsSitAtTheirFractionOfTheSecondLine)
{
    pelko::TapReverb reverb(kRate);
    reverb.setParam(0, 1.0f);  // taps over the whole second
    EXPECT_EQ(reverb.tapOffset(0, 0), static_cast<int>(44100.0f * 0.0607f));
    EXPECT_EQ(reverb.tapOffset(1, 7), static_cast<int>(44100.0f * 0.9718f));
    reverb.setParam(0, 0.0f);  // 20 % of it
    EXPECT_EQ(reverb.tapOffset(0, 7), static_cast<int>(0.2f * 44100.0f * 0.999f));
    reverb.setMix(1.0f);
    std::vector<float> in = impulse(10000);
    std::vector<float> outL(10000), outR(10000);
    reverb.process(in.data(), in.data(), outL.data(), outR.data(), 10000);
    // Tap offsets count from the write position after writing: offset d delays by d − 1.
    EXPECT_EQ(firstNonZero(outL), static_cast<std::size_t>(reverb.tapOffset(0, 0) - 1));
    EXPECT_EQ(firstNonZero(outR), static_cast<std::size_t>(reverb.tapOffset(1, 0) - 1));
}

}  // namespace
