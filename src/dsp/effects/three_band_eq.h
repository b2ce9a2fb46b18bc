// "3-bands EQ" (type 90): one state-variable section per channel; the low, band and high
// outputs are mixed with their own gains. With low = high = 1 and mid equal to the damping q,
// the sum is the input itself.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/filter_sections.h"

namespace pelko {

extern const EffectKind kThreeBandEqKind;

class ThreeBandEq final : public Effect {
public:
    explicit ThreeBandEq(float sampleRate);

    void process(const float* inL, const float* inR, float* outL, float* outR, int frames) override;
    void reset() override;
    void visitState(EffectStateVisitor& visitor) const override;

private:
    void applyParam(int index, float value) override;
    void updateFrequency();

    StateVariableSection sections_[2];
    float requestedF_ = 0.0f;
    float f_ = 0.0f;
    float q_ = 1.0f;
    float low_ = 0.0f;
    float mid_ = 0.0f;
    float high_ = 0.0f;
};

}  // namespace pelko
