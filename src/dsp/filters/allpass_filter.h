// First-order allpass: y = a·(x − y1) + x1 with a = fc − 1 (−1..0), plus 1e-24 against denormals
// (the second coefficient word holds a). Unit gain at every frequency; the phase turns from 0 at DC to
// −180° at Nyquist, through −90° at a frequency set by the cutoff. Resonance has no effect.
#pragma once

#include "dsp/filters/filter.h"

namespace pelko {

class AllpassFilter final : public Filter {
public:
    explicit AllpassFilter(const FilterTables& tables);

    void setResonance(float r) override;
    void setCutoff(float fc) override;
    float process(float x) override;
};

}  // namespace pelko
