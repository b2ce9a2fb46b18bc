// Feedback comb: a 30 ms delay line read with linear interpolation, its output fed back with
// gain g and added to the dry input.
//     D = (1 − fc)·(length − 1)·0.99 + 1 samples   (fc = 1: one sample; fc = 0: the longest)
//     g = 0.995·r
//     y = line(n − D);  line(n) = g·y + x;  output = y + x
// (coefficient words g, D). The line is storage the owning slot provides, so building a comb
// never allocates.
#pragma once

#include "dsp/filters/filter.h"

#include <span>

namespace pelko {

class CombFilter final : public Filter {
public:
    // The line is length = (int)(0.03 · sampleRate) samples, or all of `line` if that is shorter;
    // `line` must hold at least two samples. It is zeroed here.
    CombFilter(const FilterTables& tables, std::span<float> line);

    static int lineLengthFor(float sampleRate) { return static_cast<int>(static_cast<double>(sampleRate) * 0.03); }

    void setResonance(float r) override;
    void setCutoff(float fc) override;
    void reset() override;
    float process(float x) override;

    int length() const { return length_; }

private:
    float* line_;
    int length_;
    int writeIndex_ = 0;
};

}  // namespace pelko
