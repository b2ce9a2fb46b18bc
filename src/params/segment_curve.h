// One segment of a breakpoint function (envelope or curve) and the mathematics of its shape.
//
// A segment travels from startLevel to endLevel along offset + delta·(1 + t)^k for t = 0…1,
// with delta = (endLevel − startLevel)·s and s = 1/(2^k − 1). The exponent k comes from the
// segment's curve value u (0–1, 0.5 = straight line): for a falling or flat segment u is mirrored,
// then d = u − 0.5 and k = 1 − 480·d³ (d > 0) or 1 − 960·d³ (d ≤ 0).
#pragma once

namespace pelko {

struct EnvelopeSegment {
    float startTime = 0.0f;  // seconds (or beats at 120 BPM); sum of the previous durations
    float duration = 0.0f;
    float startLevel = 1.0f;  // 0–1
    float endLevel = 1.0f;    // 0–1
    float curveExponent = 1.0f;  // k, derived from curve and levels
    float curveNorm = 1.0f;      // s = 1/(2^k − 1)
    float curve = 0.5f;          // u, 0–1
};

// Stores u (clamped to 0–1; NaN becomes 0.5) and derives k and s from it and the levels.
void setSegmentCurve(EnvelopeSegment& segment, float u);

// Curve exponent for a curve value u of a rising (true) or falling/flat segment. |k| is kept at
// 0.001 or more so that s stays finite and the offset/delta pair keeps its precision.
float curveExponentOf(float u, bool rising);
float curveNormOf(float exponent);

// The n points of a segment for drawing and table rendering: the runtime recurrence run with
// 10 sub-steps per point, rescaled so that the curve starts from startLevel and its last point is
// endLevel. One point gives the segment's mid level.
void sampleSegment(const EnvelopeSegment& segment, int n, float* out);

// The segment's level at fraction t (0–1) of its duration, from the closed form.
float segmentLevelAt(const EnvelopeSegment& segment, float t);

}  // namespace pelko
