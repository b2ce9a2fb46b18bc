#include "params/fm_depth_curve.h"

#include <cmath>

namespace pelko {
namespace {
constexpr float kDepthCurve[101] = {
    0.0f, 6.4e-05f, 9.6e-05f, 0.00016f, 0.000222f, 0.000318f, 0.000382f, 0.00051f, 0.000604f, 0.000732f,
    0.00086f, 0.001018f, 0.00121f, 0.001432f, 0.001718f, 0.002038f, 0.00242f, 0.002642f, 0.002896f,
    0.003438f, 0.003756f, 0.004456f, 0.004838f, 0.005284f, 0.005762f, 0.006302f, 0.006876f, 0.00748f,
    0.008148f, 0.008912f, 0.009708f, 0.010568f, 0.011522f, 0.012574f, 0.01372f, 0.01496f, 0.01633f,
    0.017794f, 0.019416f, 0.021168f, 0.023078f, 0.025178f, 0.027438f, 0.029922f, 0.032626f, 0.035588f,
    0.038802f, 0.042336f, 0.046154f, 0.050324f, 0.054876f, 0.059842f, 0.065254f, 0.071174f, 0.077604f,
    0.084638f, 0.09231f, 0.10065f, 0.109754f, 0.119684f, 0.130538f, 0.142348f, 0.15524f, 0.169278f,
    0.184588f, 0.2013f, 0.219538f, 0.2394f, 0.261078f, 0.284696f, 0.31048f, 0.338554f, 0.369208f,
    0.40263f, 0.439076f, 0.478802f, 0.522124f, 0.569392f, 0.620928f, 0.67714f, 0.738416f, 0.80526f,
    0.878122f, 0.957604f, 1.04428f, 1.13879f, 1.24185f, 1.35425f, 1.47683f, 1.61049f, 1.75624f, 1.91521f,
    2.08856f, 2.27757f, 2.48371f, 2.7085f, 2.95366f, 3.22098f, 3.51252f, 3.83041f, 4.17708f};
}  // namespace

float fmDepthCurve(float v)
{
    if (!(v > 0.0f)) {
        return 0.0f;
    }
    if (v >= 1.0f) {
        return kDepthCurve[100];
    }
    float x = 100.0f * v;
    int i = static_cast<int>(std::floor(x));
    if (i >= 100) {
        return kDepthCurve[100];
    }
    return kDepthCurve[i] + (kDepthCurve[i + 1] - kDepthCurve[i]) * (x - static_cast<float>(i));
}

float fmDepthCurveInverse(float g)
{
    if (!(g > 0.0f)) {
        return 0.0f;
    }
    if (g >= kDepthCurve[100]) {
        return 1.0f;
    }
    // The table rises strictly, so the piece holding g is the first whose end reaches it.
    int i = 0;
    while (kDepthCurve[i + 1] < g) {
        ++i;
    }
    const float fraction = (g - kDepthCurve[i]) / (kDepthCurve[i + 1] - kDepthCurve[i]);
    return (static_cast<float>(i) + fraction) / 100.0f;
}

float fmCellGain(float v, bool depthCurve) { return 2.0f * (depthCurve ? fmDepthCurve(v) : v); }

}  // namespace pelko
