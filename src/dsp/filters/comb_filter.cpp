#include "dsp/filters/comb_filter.h"

#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"

#include <algorithm>
#include <cmath>

namespace pelko {

namespace {
enum Word { kFeedback = 0, kDelay = 1 };
}

CombFilter::CombFilter(const FilterTables& tables, std::span<float> line)
    : Filter(filter_id::kComb, tables, false),
      line_(line.data()),
      length_(static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(lineLengthFor(tables.sampleRate())),
                                                     line.size())))
{
    std::fill(line_, line_ + length_, 0.0f);
}

void CombFilter::setResonance(float r) { coef_[kFeedback] = clampUnit(r) * 0.995f; }

void CombFilter::setCutoff(float fc)
{
    // Within 0..1 the delay stays between 1 and length − 1 samples, so one wrap of the read
    // position always lands inside the line.
    coef_[kDelay] = (1.0f - clampUnit(fc)) * static_cast<float>(length_ - 1) * 0.99f + 1.0f;
}

void CombFilter::reset()
{
    Filter::reset();
    std::fill(line_, line_ + length_, 0.0f);
}

float CombFilter::process(float x)
{
    const float position = static_cast<float>(writeIndex_) - coef_[kDelay];
    const float whole = std::floor(position);
    const float fraction = position - whole;
    int i = static_cast<int>(whole);
    if (i < 0) {
        i += length_;
    } else if (i >= length_) {
        i -= length_;
    }
    int j = i + 1;
    if (j >= length_) {
        j -= length_;
    }
    const float y = line_[i] + fraction * (line_[j] - line_[i]);
    line_[writeIndex_] = y * coef_[kFeedback] + x;
    if (++writeIndex_ >= length_) {
        writeIndex_ = 0;
    }
    return guardOutput(x, y + x);
}

}  // namespace pelko
