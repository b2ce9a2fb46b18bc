#include "dsp/effects/filter_sections.h"

#include <cmath>

namespace pelko {

void OnePoleLowpass::setCutoff(float hz, float invSampleRate)
{
    float normalised = hz * invSampleRate;
    if (!(normalised > 1e-7f)) {
        normalised = 1e-7f;
    }
    g_ = 0.15915494f / normalised;
    norm_ = 1.0f / (g_ + 1.0f);
}

float dampingPole(float hz, float invSampleRate)
{
    float x = 1.0f - 2.0f * hz * invSampleRate;
    if (!(x > 0.0f)) {
        return 0.0f;
    }
    return x * x;
}

float svfFrequency(float v, float invSampleRate)
{
    constexpr float kPi = 3.14159265f;
    float x = kPi * (8100.0f * v * v + 50.0f) * invSampleRate;
    if (x > 0.5f * kPi) {
        x = 0.5f * kPi;
    }
    return 2.0f * std::sin(x);
}

float svfDamping(float v) { return 1.0f - 0.99f * v * v * v * v; }

float stableSvfFrequency(float f, float q)
{
    const float limit = 0.98f * (std::sqrt(q * q + 4.0f) - q);
    if (!(f > 0.0f)) {
        return 0.0f;
    }
    return f < limit ? f : limit;
}

}  // namespace pelko
