// The envelope runner against the table-driven reference, and what it does when its shape changes
// or goes away under it.
#include "engine/envelope_runner.h"
#include "table_envelope_reference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

using pelko::EnvelopeRunner;
using pelko::EnvelopeShape;

namespace {

// A shape of random segments: a mix of very short ones (stretched to the minimum, so the chain
// of carried time matters) and longer ones, random curves, levels, sensitivities and loop.
EnvelopeShape randomShape(std::mt19937& random)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int count = std::uniform_int_distribution<int>(1, 24)(random);
    EnvelopeShape shape(count, 0);
    for (int b = 0; b <= count; ++b) {
        shape.setBreakpointLevel(b, unit(random));
    }
    for (int i = 0; i < count; ++i) {
        shape.setDuration(i, unit(random) < 0.4f ? 0.002f * unit(random) : 0.05f * unit(random));
        shape.setCurve(i, unit(random));
        shape.setVelocityTimeSensitivity(i, unit(random));
    }
    const int loopStart = std::uniform_int_distribution<int>(0, count - 1)(random);
    const int loopLength = std::uniform_int_distribution<int>(0, count - loopStart)(random);
    shape.setLoop(loopStart, loopLength);
    return shape;
}

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(EnvelopeRunnerReference, EveryOperationMatchesTheTableDrivenRunnerBitForBit)
{
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int trial = 0; trial < 300; ++trial) {
        const EnvelopeShape shape = randomShape(random);
        const float levelScale = unit(random);
        const float timeScale = trial % 3 == 0 ? 44100.0f / 64.0f : 44100.0f;
        const float timeFactor = 0.25f + 2.0f * unit(random);
        EnvelopeRunner::Convert convert = EnvelopeRunner::identity;
        float argument = 0.0f;
        if (trial % 4 == 1) {
            convert = EnvelopeRunner::pitchRatio;
            argument = 1.0f + unit(random);
        } else if (trial % 4 == 2) {
            convert = EnvelopeRunner::phaseOffset;
            argument = 600.0f * unit(random);
        }
        EnvelopeRunner runner;
        test_reference::TableEnvelopeRunner reference;
        const bool moves = runner.start(levelScale, timeScale, timeFactor, shape, EnvelopeRunner::kMinSegment,
                                        convert, argument);
        ASSERT_EQ(moves, reference.start(levelScale, timeScale, timeFactor, shape, EnvelopeRunner::kMinSegment,
                                         convert, argument));
        // Held, released, stolen and resumed, then a legato jump into a random segment.
        const int jumpTo = std::uniform_int_distribution<int>(0, shape.segmentCount())(random);
        const float jumpFraction = unit(random);
        for (int phase = 0; phase < 5; ++phase) {
            const int ticks = std::uniform_int_distribution<int>(10, 3000)(random);
            for (int t = 0; t < ticks; ++t) {
                runner.step();
                reference.step();
                ASSERT_TRUE(sameFloat(runner.output(), reference.output()))
                    << "trial " << trial << " phase " << phase << " tick " << t << ": " << runner.output()
                    << " vs " << reference.output();
                ASSERT_EQ(runner.currentSegment(), reference.currentSegment()) << "trial " << trial;
                ASSERT_EQ(runner.running(), reference.running()) << "trial " << trial;
            }
            ASSERT_TRUE(sameFloat(runner.remainingFraction(), reference.remainingFraction())) << "trial " << trial;
            switch (phase) {
            case 0: runner.release(); reference.release(); break;
            case 1: runner.fastFade(); reference.fastFade(); break;
            case 2: runner.softRestart(); reference.softRestart(); break;
            case 3:
                runner.jumpTo(jumpTo, reference.currentValue(), jumpFraction);
                reference.jumpTo(jumpTo, reference.currentValue(), jumpFraction);
                break;
            default: break;
            }
        }
    }
}

TEST(EnvelopeRunnerReference, SegmentsRemovedWhileANotePlaysEndTheEnvelope)
{
    // Six segments looping over 2–3; the shape loses its last four segments while the note sits in
    // the loop, so neither the loop nor the release is there any more.
    EnvelopeShape shape(6, 0);
    for (int i = 0; i < 6; ++i) {
        shape.setDuration(i, 0.01f);
    }
    shape.setLoop(2, 2);
    EnvelopeRunner runner;
    runner.start(1.0f, 44100.0f, 1.0f, shape);
    while (runner.currentSegment() != 3) {
        runner.step();
    }
    while (shape.segmentCount() > 2) {
        ASSERT_TRUE(shape.deletePoint(shape.segmentCount() - 2));
    }
    int ticks = 0;
    while (runner.running() && ticks < 10000) {
        runner.step();
        ++ticks;
    }
    EXPECT_FALSE(runner.running());
    EXPECT_TRUE(std::isfinite(runner.output()));
    runner.release();
    runner.jumpTo(3, 0.5f, 0.5f);  // a segment no longer there: holds where it is
    EXPECT_FALSE(runner.running());
}

TEST(EnvelopeRunnerReference, AForgottenRunnerNeverReadsItsShapeAgain)
{
    auto shape = std::make_unique<EnvelopeShape>(5, 0);
    shape->setLoop(1, 2);
    EnvelopeRunner runner;
    runner.start(1.0f, 44100.0f, 1.0f, *shape);
    for (int i = 0; i < 100; ++i) {
        runner.step();
    }
    runner.fastFade();
    runner.forget();
    shape.reset();  // under the address sanitizer any later read of it is reported
    runner.release();
    runner.softRestart();
    runner.jumpTo(1, 0.5f, 0.5f);
    for (int i = 0; i < 10; ++i) {
        runner.step();
    }
    EXPECT_FALSE(runner.running());
}

}  // namespace
