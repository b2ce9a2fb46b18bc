// The analog types: 1, 2 or 3 cascaded bilinear-transform two-pole sections, lowpass or highpass,
// all sections with the same coefficients.
//
// With k the prewarped frequency term (1/tan for lowpass, tan for highpass, read from the shared
// tables at the cutoff) and d = 1.01 − 0.93·r the damping:
//     a0 = k² + d·k + 1,   a1 = 2 − 2k²,   a2 = k² − d·k + 1
//     lowpass:   y = (x + 2·x1 + x2 − (a1·y1 + a2·y2)) / a0
//     highpass:  y = (x − 2·x1 + x2 + (a1·y1 − a2·y2)) / a0
// (coefficient words 1/a0, a1, a2). Each section adds ±1e-24 (+ for sections 1 and 3, − for 2) to
// keep its state away from denormals without a net offset. Cutoff ≈ fc · 11 kHz.
#pragma once

#include "dsp/filters/filter.h"

namespace pelko {

template <bool Highpass, int Sections>
class AnalogFilter final : public Filter {
    static_assert(Sections >= 1 && Sections <= 3);

public:
    explicit AnalogFilter(const FilterTables& tables);

    void setResonance(float r) override;
    void setCutoff(float fc) override;
    void setCutoffAndResonance(float fc, float r) override;
    float process(float x) override;

private:
    void updateFrequencyTerm(float fc);
    void updateCoefficients();

    float k_ = 0.0f;
    float damping_ = 1.01f;  // the damping of resonance 0 until a resonance arrives
    float kSquared_ = 0.0f;
};

}  // namespace pelko
