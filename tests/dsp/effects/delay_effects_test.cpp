// The delay line and the two delays, by their impulse responses: a line of n samples delays by
// n − 1, echoes repeat with the feedback gain, the cross delay bounces between the channels.
#include "dsp/effects/delay_line.h"
#include "dsp/effects/stereo_delay.h"
#include "dsp/effects/tempo_sync.h"
#include "effect_test_signals.h"
#include "platform/threads.h"
#include "support/allocation_counter.h"

#include <gtest/gtest.h>

using namespace effect_tests;
using pelko::DelayLine;
using pelko::StereoDelay;

namespace {

// Indices of samples above a threshold.
std::vector<int> peaks(const std::vector<float>& x, float threshold = 1e-6f)
{
    std::vector<int> at;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            at.push_back(static_cast<int>(i));
        }
    }
    return at;
}

TEST(DelayLine, ReadingBeforeWritingDelaysByLengthMinusOne)
{
    DelayLine line;
    line.resize(5);
    std::vector<float> out;
    for (int i = 0; i < 12; ++i) {
        out.push_back(line.read());
        line.write(i == 0 ? 1.0f : 0.0f);
    }
    EXPECT_EQ(peaks(out), (std::vector<int>{4}));
}

TEST(DelayLine, ResizingClearsOnlyWhenTheLengthChanges)
{
    DelayLine line;
    line.setCapacity(16);
    line.resize(8);
    line.write(1.0f);
    line.resize(8);  // same length: the sample stays
    EXPECT_FLOAT_EQ(line.tap(1), 1.0f);
    line.resize(9);  // new length: cleared, indices restarted
    EXPECT_FLOAT_EQ(line.tap(1), 0.0f);
    EXPECT_EQ(line.length(), 9);
    line.resize(0);  // never empty
    EXPECT_EQ(line.length(), 1);
    line.resize(40);  // beyond the capacity: grows
    EXPECT_EQ(line.length(), 40);
    EXPECT_GE(line.capacity(), 40);
    line.reserve(10);  // never shrinks by reserving
    EXPECT_GE(line.capacity(), 40);
}

TEST(DelayLine, FractionalReadsInterpolateAndStayInside)
{
    DelayLine line;
    line.resize(4);
    for (float v : {1.0f, 2.0f, 3.0f, 4.0f, 5.0f}) {
        line.write(v);  // the line now holds 5, 2, 3, 4 with the write index at 1
    }
    EXPECT_FLOAT_EQ(line.readFractional(1.0f), 5.0f);
    EXPECT_FLOAT_EQ(line.readFractional(1.5f), 4.5f);
    EXPECT_FLOAT_EQ(line.readFractional(2.25f), 3.75f);
    // Offsets beyond the line, negative or NaN are clamped instead of reading outside it.
    for (float offset : {-3.0f, 4.0f, 1e9f, std::nanf("")}) {
        const float v = line.readFractional(offset);
        EXPECT_TRUE(v >= 2.0f && v <= 5.0f) << offset;
    }
    EXPECT_FLOAT_EQ(line.tap(-2), line.tap(0));
    EXPECT_FLOAT_EQ(line.tap(99), line.tap(4));
}

TEST(StereoDelay, FreeTimesRunFromOneToFiveHundredMilliseconds)
{
    StereoDelay echo(pelko::kStereoDelayKind, 44100.0f);
    echo.setParam(0, 0.0f);
    echo.setParam(1, 1.0f);
    EXPECT_EQ(echo.lineLength(0), 44);
    EXPECT_EQ(echo.lineLength(1), 22050);
    echo.setTempoSync(true, 120.0f);
    echo.setParam(0, 1.0f);
    EXPECT_EQ(echo.lineLength(0), 176400);  // 8 beats at 120 bpm
    echo.setParam(1, 0.28f);
    EXPECT_EQ(echo.lineLength(1), 5512);  // 1/4 beat
}

TEST(StereoDelay, EchoesRepeatWithTheFeedbackGain)
{
    auto echo = make(1);
    configure(*echo, {0.0f, 0.1f, 0.75f, 0.0f}, 1.0f);  // 44 and 2244 samples, fb 0.49, no damping
    const Stereo out = runMono(*echo, impulse(8000));
    const float fb = (2.0f * 0.75f - 1.0f) * 0.98f;
    for (int k = 1; k <= 5; ++k) {
        EXPECT_NEAR(out.left[43 * k], std::pow(fb, k - 1), 1e-5f) << k;
    }
    EXPECT_EQ(peaks(out.left, 1e-4f).front(), 43);
    EXPECT_EQ(peaks(out.right), (std::vector<int>{2243, 4486, 6729}));
    EXPECT_NEAR(out.right[4486], fb, 1e-5f);
}

TEST(StereoDelay, HalfFeedbackGivesOneEchoAndMixBlendsTheDry)
{
    auto echo = make(1);
    configure(*echo, {0.0f, 0.0f, 0.5f, 0.0f}, 0.25f);
    const Stereo out = runMono(*echo, impulse(500));
    EXPECT_EQ(peaks(out.left), (std::vector<int>{0, 43}));
    EXPECT_FLOAT_EQ(out.left[0], 0.75f);
    EXPECT_FLOAT_EQ(out.left[43], 0.25f);
}

TEST(StereoDelay, DampingSmoothsTheRepeats)
{
    auto echo = make(1);
    configure(*echo, {0.1f, 0.1f, 0.75f, 1.0f}, 1.0f);  // damping at 100 Hz
    const Stereo out = runMono(*echo, impulse(8000));
    const int n = 2243;
    EXPECT_NEAR(out.left[n], 1.0f, 1e-6f);  // the first echo is not filtered
    // The second echo is the feedback through a one-pole lowpass: spread out, same area.
    double area = 0.0;
    float peak = 0.0f;
    for (int i = 2 * n - 10; i < 3 * n - 10; ++i) {
        area += out.left[i];
        peak = std::max(peak, out.left[i]);
    }
    const float fb = 0.49f;
    EXPECT_NEAR(area, fb, 0.05);
    EXPECT_LT(peak, 0.1f * fb);
}

TEST(CrossDelay, EchoesBounceBetweenTheChannels)
{
    auto echo = make(2);
    configure(*echo, {0.0f, 0.1f, 0.75f, 0.0f}, 1.0f);
    std::vector<float> left = impulse(5000);
    std::vector<float> right(5000, 0.0f);
    const Stereo out = run(*echo, left, right);
    const float fb = 0.49f;
    EXPECT_EQ(peaks(out.left), (std::vector<int>{43, 43 + 2243 + 43, 2 * (43 + 2243) + 43}));
    EXPECT_EQ(peaks(out.right), (std::vector<int>{43 + 2243, 2 * (43 + 2243)}));
    EXPECT_NEAR(out.right[43 + 2243], fb, 1e-5f);
    EXPECT_NEAR(out.left[43 + 2243 + 43], fb * fb, 1e-5f);
}

TEST(StereoDelay, TempoChangesResizeOnlySyncedLines)
{
    // Not synced: a tempo change leaves the pending echo alone.
    auto echo = make(1);
    configure(*echo, {0.1f, 0.1f, 0.5f, 0.0f}, 1.0f);
    std::vector<float> in = impulse(3000);
    Stereo first = runMono(*echo, std::vector<float>(in.begin(), in.begin() + 1000));
    echo->setTempo(97.0f);
    Stereo second = runMono(*echo, std::vector<float>(in.begin() + 1000, in.end()));
    EXPECT_NEAR(second.left[2243 - 1000], 1.0f, 1e-6f);

    // Synced: the line follows the tempo (clearing what it held); a tempo that gives the same
    // length keeps it.
    pelko::StereoDelay synced(pelko::kStereoDelayKind, 44100.0f);
    synced.setTempoSync(true, 120.0f);
    synced.setParam(0, 0.28f);  // 1/4 beat
    EXPECT_EQ(synced.lineLength(0), 5512);
    synced.setTempo(60.0f);
    EXPECT_EQ(synced.lineLength(0), 11025);
    synced.setMix(1.0f);
    std::vector<float> pulse = impulse(200);
    std::vector<float> outL(200), outR(200);
    synced.process(pulse.data(), pulse.data(), outL.data(), outR.data(), 200);
    synced.setTempo(59.9999f);  // 11025.02 samples
    EXPECT_EQ(synced.lineLength(0), 11025);
    std::vector<float> silence(11000, 0.0f), tailL(11000), tailR(11000);
    synced.process(silence.data(), silence.data(), tailL.data(), tailR.data(), 11000);
    EXPECT_NEAR(tailL[11024 - 200], 1.0f, 1e-6f);
}

TEST(StereoDelay, ResetSilencesTheLines)
{
    auto echo = make(1);
    configure(*echo, {0.0f, 0.0f, 0.95f, 0.0f}, 1.0f);
    runMono(*echo, Noise(3).block(2000));
    echo->reset();
    const Stereo out = runMono(*echo, std::vector<float>(2000, 0.0f));
    EXPECT_LT(rms(out.left) + rms(out.right), 1e-20);
}

// Room reserved for a synced step holds it at every usable tempo and survives a sample-rate
// change; on the audio thread a longer step never allocates: it plays as long as fits and is
// marked shortened until the line is grown elsewhere.
TEST(StereoDelay, ReservedSyncedTimesNeverAllocateOnTheAudioThread)
{
    StereoDelay echo(pelko::kStereoDelayKind, 44100.0f);
    echo.setTempoSync(true, 120.0f);
    echo.setParam(0, 0.0f);
    echo.setParam(1, 0.0f);
    std::array<float, pelko::kEffectParameters> bank{};
    bank[0] = 12 * 0.04f;  // one beat
    bank[1] = 22 * 0.04f;  // four beats
    echo.reserveSyncedTimes(bank);
    echo.setSampleRate(48000.0f);
    const int oneBeatAtSlowest = static_cast<int>(3.0f * 48000.0f);
    {
        pelko::AudioThreadScope audio;
        testing_support::AllocationCounter counter;
        echo.setParam(0, bank[0]);
        echo.setParam(1, bank[1]);
        echo.setTempo(pelko::kMinTempo);
        EXPECT_EQ(echo.lineLength(0), oneBeatAtSlowest);
        EXPECT_EQ(echo.lineLength(1), 4 * oneBeatAtSlowest);
        EXPECT_FALSE(echo.linesShortened());
        echo.setParam(0, 1.0f);  // eight beats: more than reserved
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_TRUE(echo.linesShortened());
    EXPECT_LE(echo.lineLength(0), echo.lineCapacity(0));
    EXPECT_LT(echo.lineLength(0), 8 * oneBeatAtSlowest);
    echo.growShortenedLines();
    EXPECT_FALSE(echo.linesShortened());
    EXPECT_EQ(echo.lineLength(0), 8 * oneBeatAtSlowest);
}

}  // namespace
