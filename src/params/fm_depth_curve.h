// Gain of one FM matrix cell from its parameter value v (0–1): 2·g(v), where g is either linear or
// the 101-point depth curve, which rises slowly at first and reaches about 4.18 at v = 1.
#pragma once

namespace pelko {

float fmDepthCurve(float v);  // g(v) of the depth curve, read with linear interpolation at 100·v
float fmCellGain(float v, bool depthCurve);
// The value v whose depth curve gives g: the curve's linear pieces inverted (0 for g ≤ 0, 1 for
// g at or above the curve's end). fmDepthCurve(fmDepthCurveInverse(g)) = g within rounding.
float fmDepthCurveInverse(float g);

}  // namespace pelko
