#include "params/curve.h"
#include "params/envelope_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using pelko::Curve;
using pelko::EnvelopeSegment;
using pelko::EnvelopeShape;
using pelko::WaveshaperCurve;

namespace {

std::vector<float> breakpoints(const EnvelopeShape& shape)
{
    std::vector<float> levels;
    for (int i = 0; i < shape.segmentCount(); ++i) levels.push_back(shape.segment(i).startLevel);
    levels.push_back(shape.segment(shape.segmentCount() - 1).endLevel);
    return levels;
}

TEST(EnvelopeShape, NewShapesCarryTheirPresets)
{
    EnvelopeShape amp(5, 0);
    EXPECT_EQ(breakpoints(amp), (std::vector<float>{0.0f, 1.0f, 0.5f, 0.35f, 0.15f, 0.0f}));
    EXPECT_FLOAT_EQ(amp.segment(3).duration, 0.2f);
    EXPECT_FLOAT_EQ(amp.segment(3).startTime, 0.6f);
    EXPECT_EQ(amp.loopStart(), 1);
    EXPECT_EQ(amp.loopLength(), 2);
    EXPECT_FLOAT_EQ(amp.velocityTimeSensitivity(4), 0.25f);
    EXPECT_FLOAT_EQ(amp.depth(), 1.0f);
    EXPECT_EQ(amp.capacity(), 128);
    EXPECT_EQ(breakpoints(EnvelopeShape(4, 1)), std::vector<float>(5, 0.5f));
    EXPECT_EQ(breakpoints(EnvelopeShape(4, 2)), std::vector<float>(5, 0.0f));
    EXPECT_EQ(breakpoints(EnvelopeShape(4, 3)), std::vector<float>(5, 1.0f));
}

TEST(EnvelopeShape, CurveValueGivesExponentAndNorm)
{
    EnvelopeShape shape(2, 0);  // 0 → 1 → 0
    shape.setCurve(0, 0.5f);
    EXPECT_FLOAT_EQ(shape.segment(0).curveExponent, 1.0f);
    EXPECT_FLOAT_EQ(shape.segment(0).curveNorm, 1.0f);
    shape.setCurve(0, 0.7f);  // rising: d = 0.2
    EXPECT_NEAR(shape.segment(0).curveExponent, 1.0f - 480.0f * 0.008f, 1e-4);
    EXPECT_NEAR(shape.segment(0).curveNorm, 1.0f / (std::exp2(shape.segment(0).curveExponent) - 1.0f), 1e-6);
    shape.setCurve(1, 0.3f);  // falling: mirrored to 0.7
    EXPECT_NEAR(shape.segment(1).curveExponent, 1.0f - 480.0f * 0.008f, 1e-4);
    EXPECT_FLOAT_EQ(shape.segment(1).curve, 0.3f);
    shape.setCurve(1, 5.0f);  // clamped to 1 (then mirrored and kept inside 0.0001–0.9999)
    EXPECT_FLOAT_EQ(shape.segment(1).curve, 1.0f);
    EXPECT_NEAR(shape.segment(1).curveExponent, 1.0f - 960.0f * std::pow(0.0001f - 0.5f, 3.0f), 0.01);
    // Raising the end level above the start turns the falling segment into a rising one.
    shape.setEndLevel(1, 1.0f);
    shape.setBreakpointLevel(1, 0.2f);
    EXPECT_NEAR(shape.segment(1).curveExponent, 1.0f - 480.0f * std::pow(0.4999f, 3.0f), 0.01);
}

TEST(EnvelopeShape, LevelEditsMoveSharedBreakpointsAndAreClamped)
{
    EnvelopeShape shape(4, 3);
    shape.setStartLevel(2, 0.25f);
    EXPECT_FLOAT_EQ(shape.segment(1).endLevel, 0.25f);
    EXPECT_FLOAT_EQ(shape.segment(2).startLevel, 0.25f);
    shape.setEndLevel(3, 7.0f);
    EXPECT_FLOAT_EQ(shape.segment(3).endLevel, 1.0f);
    shape.setEndLevel(0, NAN);
    EXPECT_FLOAT_EQ(shape.segment(0).endLevel, 0.0f);
    shape.setDuration(1, -3.0f);
    EXPECT_FLOAT_EQ(shape.segment(1).duration, 0.0f);
    EXPECT_FLOAT_EQ(shape.segment(2).startTime, shape.segment(0).duration);
    shape.changeDuration(2, 0.5f);
    EXPECT_FLOAT_EQ(shape.segment(3).startTime, 0.25f + 0.75f);
    shape.changeDuration(2, -10.0f);
    EXPECT_FLOAT_EQ(shape.segment(2).duration, 0.0f);
}

TEST(EnvelopeShape, InsertingMovesOrLengthensTheLoop)
{
    EnvelopeShape shape(5, 0);  // loop over segments 1–2, each segment 0.2 long
    EXPECT_EQ(shape.insertPoint(0.1f, 0.7f), 1);  // inside segment 0, before the loop
    EXPECT_EQ(shape.segmentCount(), 6);
    EXPECT_EQ(shape.loopStart(), 2);
    EXPECT_EQ(shape.loopLength(), 2);
    EXPECT_FLOAT_EQ(shape.segment(0).endLevel, 0.7f);
    EXPECT_FLOAT_EQ(shape.segment(1).startLevel, 0.7f);
    EXPECT_FLOAT_EQ(shape.segment(1).endLevel, 1.0f);
    EXPECT_FLOAT_EQ(shape.segment(1).startTime, 0.1f);
    EXPECT_NEAR(shape.segment(1).duration, 0.1f, 1e-6);
    EXPECT_NEAR(shape.totalDuration(), 1.0f, 1e-6);

    EXPECT_EQ(shape.insertPoint(0.5f, 0.6f), 4);  // inside segment 3, in the loop
    EXPECT_EQ(shape.loopStart(), 2);
    EXPECT_EQ(shape.loopLength(), 3);

    EXPECT_EQ(shape.insertPoint(0.95f, 0.1f), 7);  // after the loop
    EXPECT_EQ(shape.loopStart(), 2);
    EXPECT_EQ(shape.loopLength(), 3);

    EXPECT_EQ(shape.insertPoint(5.0f, 0.1f), -1);  // beyond the end
    EXPECT_EQ(shape.insertPoint(0.0f, 0.1f), -1);  // no segment starts strictly before 0
}

TEST(EnvelopeShape, DeletingMergesAndShrinksTheLoop)
{
    EnvelopeShape shape(5, 0);
    shape.setVelocityTimeSensitivity(3, 0.9f);
    ASSERT_TRUE(shape.deletePoint(0));  // breakpoint 1, where the loop starts, goes
    EXPECT_EQ(shape.segmentCount(), 4);
    EXPECT_EQ(shape.loopStart(), 1);
    EXPECT_EQ(shape.loopLength(), 2);
    EXPECT_FLOAT_EQ(shape.segment(0).duration, 0.4f);
    EXPECT_FLOAT_EQ(shape.segment(0).endLevel, 0.5f);
    EXPECT_FLOAT_EQ(shape.velocityTimeSensitivity(2), 0.9f);
    ASSERT_TRUE(shape.deletePoint(1));  // inside the loop
    EXPECT_EQ(shape.loopLength(), 1);
    EnvelopeShape later(5, 0);
    later.setLoop(3, 1);
    ASSERT_TRUE(later.deletePoint(1));  // breakpoint 2, before the loop
    EXPECT_EQ(later.loopStart(), 2);
    EXPECT_FALSE(shape.deletePoint(2));  // the last segment has no successor
    EXPECT_FALSE(shape.deletePoint(-1));
}

TEST(EnvelopeShape, FullShapeRefusesInserts)
{
    EnvelopeShape shape(128, 3);
    EXPECT_EQ(shape.insertPoint(0.001f, 0.5f), -1);
    EXPECT_EQ(shape.segmentCount(), 128);
}

TEST(EnvelopeShape, StretchAndDuplicateLoop)
{
    EnvelopeShape shape(5, 0);
    shape.stretch(0.5f);
    shape.stretch(2.0f);
    EXPECT_FLOAT_EQ(shape.segment(4).duration, 0.2f);
    ASSERT_TRUE(shape.duplicateLoop());
    EXPECT_EQ(shape.segmentCount(), 7);
    EXPECT_FLOAT_EQ(shape.segment(3).endLevel, shape.segment(1).endLevel);
    EXPECT_FLOAT_EQ(shape.segment(4).endLevel, shape.segment(2).endLevel);
    EXPECT_FLOAT_EQ(shape.segment(5).startLevel, shape.segment(4).endLevel);
    EXPECT_FLOAT_EQ(shape.segment(6).endLevel, 0.0f);
}

TEST(EnvelopeShape, SampledSegmentStartsFromItsStartAndEndsOnItsEnd)
{
    EnvelopeShape shape(2, 0);
    shape.setCurve(0, 0.8f);
    std::vector<float> points(40);
    shape.sampleSegment(0, 40, points.data());
    EXPECT_FLOAT_EQ(points.back(), 1.0f);
    EXPECT_GT(points.front(), 0.0f);
    for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GT(points[i], points[i - 1]);
    // A concave curve is above the straight line.
    EXPECT_GT(points[19], 0.5f);
    float one = -1.0f;
    shape.sampleSegment(1, 1, &one);
    EXPECT_FLOAT_EQ(one, 0.5f);  // the mid level of 1 → 0
}

TEST(Curve, NewCurveIsFlatOne)
{
    Curve curve;
    for (float v : curve.table()) ASSERT_FLOAT_EQ(v, 1.0f);
    Curve centred(0.5f);
    EXPECT_FLOAT_EQ(centred.at(64), 0.5f);
    EXPECT_FLOAT_EQ(centred.at(500), 0.5f);
}

TEST(Curve, SegmentsGetPointsByDuration)
{
    Curve curve(0.0f);
    ASSERT_EQ(curve.insertPoint(0.25f, 1.0f), 1);
    curve.setEndLevel(1, 0.0f);
    // 32 points rise to 1, then 96 fall back to 0.
    EXPECT_FLOAT_EQ(curve.at(31), 1.0f);
    EXPECT_LT(curve.at(30), 1.0f);
    EXPECT_LT(curve.at(32), 1.0f);
    EXPECT_FLOAT_EQ(curve.at(127), 0.0f);
    EXPECT_NEAR(curve.at(15), 0.5f, 0.04f);
    EXPECT_NEAR(curve.at(79), 0.5f, 0.02f);
    curve.applyPreset(3);
    EXPECT_FLOAT_EQ(curve.at(90), 1.0f);
}

TEST(Curve, SegmentsLongerThanTheRangeDoNotOverrun)
{
    Curve curve(0.0f);
    curve.insertPoint(0.5f, 1.0f);
    curve.setDuration(0, 4.0f);  // wants 512 points
    EXPECT_FLOAT_EQ(curve.at(127), 1.0f);
    EXPECT_NEAR(curve.at(63), 0.5f, 0.02f);
}

TEST(WaveshaperCurve, NewCurveIsTheIdentity)
{
    WaveshaperCurve shaper;
    EXPECT_FALSE(shaper.on());
    EXPECT_EQ(shaper.activeTable(), nullptr);
    for (int k = 0; k < 256; ++k) ASSERT_NEAR(shaper.table()[static_cast<std::size_t>(k)], k / 255.0f, 1e-6) << k;
    EXPECT_FLOAT_EQ(shaper.table()[256], 1.0f);
    shaper.setOn(true);
    ASSERT_NE(shaper.activeTable(), nullptr);
    shaper.setCurve(0, 0.2f);  // bends the line below the diagonal
    EXPECT_LT(shaper.table()[128], 0.4f);
    EXPECT_FLOAT_EQ(shaper.table()[255], 1.0f);
}

}  // namespace
