// The state-variable types: lowpass, highpass, bandpass and notch with 1, 2 or 3 cascaded stages
// (12, 24, 36 dB/octave).
//
// One stage is a two-integrator state-variable loop run twice per sample (2× oversampling), with a
// cubic soft limit on the band state. With states low L, band B, high H, notch N and input u,
// one half-step is
//     N = u − q·B,   L = L + f·B,   H = N − L,   B = B + f·H − s·B³  (B then held within ±4)
// and the stage output is the mean of its two half-step outputs (L, H, B or N). The first stage's
// first half-step sees the input interpolated halfway from the previous sample; later stages see
// the previous stage's output in both half-steps. All stages share f, q and s.
//
// Coefficients (coefficient words r, f, q, s):
//     f = min(2·sin((0.999·fc + 0.001)·π/8·44100/sampleRate), 0.5)   (cutoff ≈ fc · 11 kHz)
//     q = min(2·(1 − r^¼), 2/f − f/2, 2)                             (damping; 0 at r = 1)
//     s = (r + 2)·0.1                                                 (soft-limit strength)
#pragma once

#include "dsp/filters/filter.h"

namespace pelko {

enum class SvfOutput { lowpass, highpass, bandpass, notch };

template <SvfOutput Output, int Stages>
class StateVariableFilter final : public Filter {
    static_assert(Stages >= 1 && Stages <= 3);

public:
    explicit StateVariableFilter(const FilterTables& tables);

    void setResonance(float r) override;
    void setCutoff(float fc) override;
    void setCutoffAndResonance(float fc, float r) override;
    float process(float x) override;

private:
    void updateFrequency(float fc);
    void updateDamping();
};

}  // namespace pelko
