#include "params/segment_curve.h"

#include <algorithm>
#include <cmath>

namespace pelko {

float curveExponentOf(float u, bool rising)
{
    if (!std::isfinite(u)) {
        u = 0.5f;
    }
    u = std::clamp(u, 0.0f, 1.0f);
    if (!rising) {
        u = 1.0f - u;
    }
    u = std::clamp(u, 0.0001f, 0.9999f);
    const float d = u - 0.5f;
    float k = d > 0.0f ? 1.0f - 480.0f * d * d * d : 1.0f - 960.0f * d * d * d;
    // Near k = 0 the norm grows without bound; keep it where float arithmetic stays exact enough.
    constexpr float kSmallest = 0.001f;
    if (std::fabs(k) < kSmallest) {
        k = k < 0.0f ? -kSmallest : kSmallest;
    }
    return k;
}

float curveNormOf(float exponent) { return 1.0f / (std::exp2(exponent) - 1.0f); }

void setSegmentCurve(EnvelopeSegment& segment, float u)
{
    if (!std::isfinite(u)) {
        u = 0.5f;
    }
    segment.curve = std::clamp(u, 0.0f, 1.0f);
    segment.curveExponent = curveExponentOf(segment.curve, segment.endLevel > segment.startLevel);
    segment.curveNorm = curveNormOf(segment.curveExponent);
}

void sampleSegment(const EnvelopeSegment& segment, int n, float* out)
{
    if (n <= 0) {
        return;
    }
    const float span = segment.endLevel - segment.startLevel;
    if (n == 1) {
        out[0] = segment.startLevel + span * 0.5f;
        return;
    }
    if (span == 0.0f) {
        std::fill(out, out + n, segment.startLevel);
        return;
    }
    // The runner's recurrence, normalised: value starts at 1, x at 1, over 10·n sub-steps with
    // rate 0.1/n, so that the whole segment is covered.
    const float rate = 0.1f / static_cast<float>(n);
    const float k = segment.curveExponent;
    float x = 1.0f;
    float value = 1.0f;
    for (int i = 0; i < n; ++i) {
        for (int sub = 0; sub < 10; ++sub) {
            value = (rate * x * k + 1.0f) * value;
            x = (1.0f - rate * x) * x;
        }
        out[i] = value - 1.0f;
    }
    const float last = out[n - 1];
    const float scale = last != 0.0f ? span / last : 0.0f;
    for (int i = 0; i < n - 1; ++i) {
        out[i] = segment.startLevel + out[i] * scale;
    }
    out[n - 1] = segment.endLevel;
}

float segmentLevelAt(const EnvelopeSegment& segment, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    const float k = segment.curveExponent;
    const float shape = (std::pow(1.0f + t, k) - 1.0f) / (std::exp2(k) - 1.0f);
    return segment.startLevel + (segment.endLevel - segment.startLevel) * shape;
}

}  // namespace pelko
