#include "dsp/effects/quadrature_lfo.h"

#include <cmath>

namespace pelko {

float lfoCoefficient(float hz, float invSampleRate)
{
    constexpr float kPi = 3.14159265f;
    float x = kPi * hz * invSampleRate;
    if (!(x > 0.0f)) {
        return 0.0f;
    }
    if (x > 0.25f * kPi) {
        x = 0.25f * kPi;
    }
    return 2.0f * std::sin(x);
}

}  // namespace pelko
