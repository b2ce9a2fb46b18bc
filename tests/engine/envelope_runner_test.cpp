#include "params/curve.h"
#include "engine/envelope_runner.h"
#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using pelko::EnvelopeRunner;
using pelko::EnvelopeShape;

namespace {

// A shape of `levels.size() − 1` segments with the given breakpoint levels and durations, no loop
// and no velocity-time sensitivity.
EnvelopeShape makeShape(const std::vector<float>& levels, const std::vector<float>& durations)
{
    EnvelopeShape shape(static_cast<int>(durations.size()), 3);
    for (std::size_t b = 0; b < levels.size(); ++b) {
        shape.setBreakpointLevel(static_cast<int>(b), levels[b]);
    }
    for (std::size_t i = 0; i < durations.size(); ++i) {
        shape.setDuration(static_cast<int>(i), durations[i]);
        shape.setVelocityTimeSensitivity(static_cast<int>(i), 0.0f);
    }
    shape.setLoop(0, 0);
    return shape;
}

std::vector<float> run(EnvelopeRunner& runner, int ticks)
{
    std::vector<float> out;
    for (int i = 0; i < ticks; ++i) {
        runner.step();
        out.push_back(runner.output());
    }
    return out;
}

// The recurrence is a first-order scheme: its error grows with k²/T, so strongly bent curves
// need long segments to stay this close. Exponents here run from about −2.8 to 1.1.
TEST(EnvelopeRunner, SegmentFollowsThePowerCurveAndReachesItsTarget)
{
    const float from = 0.2f;
    const float to = 0.9f;
    // A falling segment mirrors its curve value, so u and 1 − u bend the same way.
    for (float u : {0.5f, 0.45f, 0.55f, 0.6f, 0.7f}) {
        for (bool rising : {true, false}) {
            if (!rising) {
                u = 1.0f - u;
            }
            const float a = rising ? from : to;
            const float b = rising ? to : from;
            EnvelopeShape shape = makeShape({a, b, b}, {1.0f, 1.0f});
            shape.setCurve(0, u);
            const int ticks = 20000;
            EnvelopeRunner runner;
            ASSERT_TRUE(runner.start(1.0f, static_cast<float>(ticks), 1.0f, shape));
            const float k = shape.segment(0).curveExponent;
            const float delta = (b - a) * shape.segment(0).curveNorm;
            const float offset = a - delta;
            double worst = 0.0;
            for (int n = 1; n <= ticks; ++n) {
                runner.step();
                const double expected = offset + delta * std::pow(1.0 + double(n) / ticks, double(k));
                worst = std::max(worst, std::fabs(runner.output() - expected));
            }
            EXPECT_LT(worst, 1e-4 * std::fabs(b - a)) << "u " << u << (rising ? " rising" : " falling");
            EXPECT_NEAR(runner.output(), b, 1e-4);
        }
    }
}

TEST(EnvelopeRunner, StraightSegmentPassesHalfwayAtHalfTime)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f}, {1.0f});
    EnvelopeRunner runner;
    runner.start(1.0f, 100.0f, 1.0f, shape);
    std::vector<float> out = run(runner, 100);
    EXPECT_NEAR(out[49], 0.5f, 0.01f);
    EXPECT_NEAR(out[98], 1.0f, 0.02f);
    EXPECT_FALSE(runner.running());  // a single segment ends the envelope
}

TEST(EnvelopeRunner, ShortSegmentsAreStretchedAndTheNextPaysForIt)
{
    // 1 ms at 44.1 kHz is 44.1 samples: it lasts 50 and the next 0.1 s segment is 6 samples shorter.
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.0f, 0.0f}, {0.001f, 0.1f, 1.0f});
    EnvelopeRunner runner;
    runner.start(1.0f, 44100.0f, 1.0f, shape);
    int first = 0;
    while (runner.currentSegment() == 0) {
        runner.step();
        ++first;
    }
    int second = 0;
    while (runner.currentSegment() == 1) {
        runner.step();
        ++second;
    }
    EXPECT_EQ(first, 50);
    EXPECT_EQ(second, 4410 - 6);
}

TEST(EnvelopeRunner, TimeFactorScalesOnlyTheSensitivePart)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 1.0f}, {1.0f, 1.0f});
    shape.setVelocityTimeSensitivity(0, 0.25f);
    EnvelopeRunner runner;
    runner.start(1.0f, 1000.0f, 2.0f, shape);  // (0.25 + 0.75·2)·1000 ticks
    int ticks = 0;
    while (runner.currentSegment() == 0) {
        runner.step();
        ++ticks;
    }
    EXPECT_EQ(ticks, 1750);
}

TEST(EnvelopeRunner, LoopRepeatsWhileHeldAndReleasesWithoutAJump)
{
    // 0 → 1 → 0.4 → 0.8 (loop over segments 1–2) → 0 release.
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.4f, 0.8f, 0.0f}, {0.1f, 0.1f, 0.1f, 0.1f});
    shape.setLoop(1, 2);
    EnvelopeRunner runner;
    ASSERT_TRUE(runner.start(1.0f, 1000.0f, 1.0f, shape));
    run(runner, 100);               // attack
    std::vector<float> firstPass = run(runner, 200);  // 1 → 0.4 → 0.8
    EXPECT_NEAR(firstPass[99], 0.4f, 0.01f);
    // From then on the loop travels from its last level back to the level segment 1 reached,
    // then on through segment 2: 0.8 → 0.4 → 0.8 every 200 ticks.
    std::vector<float> third = run(runner, 200);
    std::vector<float> fourth = run(runner, 200);
    for (std::size_t i = 0; i < 200; ++i) {
        ASSERT_NEAR(third[i], fourth[i], 1e-4) << i;
    }
    EXPECT_NEAR(third[49], 0.6f, 0.01f);
    EXPECT_NEAR(third[99], 0.4f, 0.01f);
    EXPECT_NEAR(third[199], 0.8f, 0.01f);

    run(runner, 50);  // mid-segment
    const float before = runner.output();
    runner.release();
    runner.step();
    EXPECT_NEAR(runner.output(), before, 0.02f);  // continues from where it was
    std::vector<float> tail = run(runner, 120);
    EXPECT_NEAR(tail[98], 0.0f, 0.01f);
    EXPECT_FALSE(runner.running());
}

TEST(EnvelopeRunner, WithoutLoopNoteOffChangesNothing)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.5f}, {0.1f, 0.1f});
    EnvelopeRunner a;
    EnvelopeRunner b;
    a.start(1.0f, 1000.0f, 1.0f, shape);
    b.start(1.0f, 1000.0f, 1.0f, shape);
    run(a, 30);
    run(b, 30);
    b.release();
    std::vector<float> x = run(a, 200);
    std::vector<float> y = run(b, 200);
    EXPECT_EQ(x, y);
}

TEST(EnvelopeRunner, LoopEndingAtTheLastSegmentFadesOutOnRelease)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.6f}, {0.01f, 0.1f});
    shape.setLoop(1, 1);  // sustain on the last segment
    EnvelopeRunner runner;
    runner.start(1.0f, 1000.0f, 1.0f, shape);
    run(runner, 500);
    const float held = runner.output();
    EXPECT_NEAR(held, 0.6f, 0.01f);
    runner.release();
    std::vector<float> fade = run(runner, 4000);
    for (std::size_t i = 1; i < fade.size(); ++i) {
        ASSERT_LE(fade[i], fade[i - 1] + 1e-6f);
    }
    EXPECT_NEAR(fade[0], held, 0.01f);
    EXPECT_NEAR(fade.back(), 0.0f, 1e-4);
    EXPECT_FALSE(runner.running());
}

TEST(EnvelopeRunner, FastFadeFallsInFourThousandTicksAndSoftRestartRisesInOneHundred)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.7f, 0.0f}, {0.01f, 10.0f, 0.1f});
    EnvelopeRunner runner;
    runner.start(1.0f, 1000.0f, 1.0f, shape);
    run(runner, 2000);  // inside segment 1
    ASSERT_EQ(runner.currentSegment(), 1);
    const float v = runner.output();
    runner.fastFade();
    std::vector<float> fade = run(runner, 4000);
    EXPECT_NEAR(fade[0], v, 0.01f);
    EXPECT_NEAR(fade[1999], v * (16.0f / 15.0f) * (std::pow(1.5f, -4.0f) - 1.0f / 16.0f) * 1.0f, 0.01f);
    EXPECT_NEAR(fade.back(), 0.0f, 1e-4);
    EXPECT_FALSE(runner.running());

    runner.softRestart();
    EXPECT_TRUE(runner.running());
    std::vector<float> rise = run(runner, 100);
    EXPECT_NEAR(rise.front(), 0.0f, 0.05f);
    EXPECT_NEAR(rise[98], 0.7f, 0.03f);  // the interrupted segment's target
    for (std::size_t i = 1; i < rise.size() - 1; ++i) {
        ASSERT_GE(rise[i], rise[i - 1] - 1e-6f);
    }
    EXPECT_EQ(runner.currentSegment(), 2);  // continues after the interrupted segment

    // Without a fade there is nothing to resume: the envelope ends where it is.
    EnvelopeRunner fresh;
    fresh.start(1.0f, 1000.0f, 1.0f, shape);
    run(fresh, 20);
    const float held = fresh.output();
    fresh.softRestart();
    EXPECT_FALSE(fresh.running());
    EXPECT_FLOAT_EQ(run(fresh, 10).back(), held);
}

TEST(EnvelopeRunner, ReleaseDuringAFadeKeepsFading)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.8f, 0.0f}, {0.01f, 0.1f, 0.1f});
    shape.setLoop(1, 1);
    EnvelopeRunner runner;
    runner.start(1.0f, 1000.0f, 1.0f, shape);
    run(runner, 50);
    runner.fastFade();
    run(runner, 10);
    runner.release();
    EXPECT_NEAR(run(runner, 3990).back(), 0.0f, 1e-4);
}

TEST(EnvelopeRunner, LegatoJumpReachesTheSegmentLevelWhenTheSourceWould)
{
    EnvelopeShape shape = makeShape({0.0f, 1.0f, 0.2f, 0.2f}, {0.1f, 0.1f, 1.0f});
    EnvelopeRunner source;
    source.start(1.0f, 1000.0f, 1.0f, shape);
    run(source, 130);  // 30 ticks into segment 1
    ASSERT_EQ(source.currentSegment(), 1);
    EnvelopeRunner target;
    target.start(1.0f, 1000.0f, 1.0f, shape);
    target.jumpTo(source.currentSegment(), source.currentValue(), source.remainingFraction());
    EXPECT_FLOAT_EQ(target.output(), source.currentValue());
    std::vector<float> out = run(target, 70);
    EXPECT_NEAR(out[68], 0.2f, 0.02f);
    EXPECT_EQ(run(target, 1).back() > 0.15f, true);
    // Jumping to the end freezes the output.
    target.jumpTo(target.segmentCount(), 0.0f, 1.0f);
    const float frozen = target.output();
    EXPECT_FALSE(target.running());
    EXPECT_FLOAT_EQ(run(target, 50).back(), frozen);
}

TEST(EnvelopeRunner, ConstantAndEmptyShapesNeedNoStepping)
{
    EnvelopeShape flat(4, 3);
    EnvelopeRunner runner;
    EXPECT_FALSE(runner.start(0.5f, 44100.0f, 1.0f, flat));
    EXPECT_FLOAT_EQ(runner.output(), 0.5f);

    EnvelopeShape empty(0, 3);
    EXPECT_FALSE(runner.start(1.0f, 44100.0f, 1.0f, empty));
    EXPECT_FALSE(runner.running());
    EXPECT_FLOAT_EQ(run(runner, 3000).back(), runner.output());
}

TEST(EnvelopeRunner, LevelConversionsForPitchAndPhase)
{
    EnvelopeShape shape = makeShape({0.5f, 1.0f, 1.0f}, {0.01f, 1.0f});
    EnvelopeRunner pitch;
    pitch.start(1.0f, 1000.0f, 1.0f, shape, 50, EnvelopeRunner::pitchRatio, 2.0f);
    run(pitch, 60);
    EXPECT_NEAR(pitch.output(), 2.0f, 1e-3);  // depth^(2·1 − 1)
    EnvelopeRunner phase;
    phase.start(1.0f, 1000.0f, 1.0f, shape, 50, EnvelopeRunner::phaseOffset, 4096.0f);
    run(phase, 60);
    EXPECT_NEAR(phase.output(), 4096.0f, 0.5f);
}

TEST(EnvelopeRunner, FullShapeWithLoopStillLoops)
{
    EnvelopeShape shape(EnvelopeShape::kCapacity, 3);
    for (int i = 0; i < shape.segmentCount(); ++i) {
        shape.setDuration(i, 0.001f);
        shape.setBreakpointLevel(i + 1, (i % 2) ? 1.0f : 0.0f);
    }
    shape.setLoop(shape.segmentCount() - 2, 2);
    EnvelopeRunner runner;
    runner.start(1.0f, 50000.0f, 1.0f, shape);
    run(runner, 50 * 200);
    EXPECT_TRUE(runner.running());
    runner.release();  // no segment after the loop: fade
    run(runner, 4000);
    EXPECT_FALSE(runner.running());
}

}  // namespace

namespace {

TEST(EnvelopeRunner, VoiceOperationsNeverAllocate)
{
    EnvelopeShape shape(5, 0);
    pelko::Curve curve;
    EnvelopeRunner runner;
    testing_support::AllocationCounter counter;
    float sum = 0.0f;
    runner.start(curve.at(64), 44100.0f, curve.at(100), shape);
    for (int i = 0; i < 20000; ++i) {
        runner.step();
        sum += runner.output();
    }
    runner.release();
    runner.fastFade();
    runner.softRestart();
    runner.jumpTo(2, 0.5f, 0.5f);
    runner.step();
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_GT(sum, 0.0f);
}

}  // namespace
