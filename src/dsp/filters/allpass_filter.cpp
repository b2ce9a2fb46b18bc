#include "dsp/filters/allpass_filter.h"

#include "dsp/filters/filter_types.h"

namespace pelko {

namespace {
constexpr int kCoefficient = 1;
constexpr int kPreviousOutput = 0;
}  // namespace

AllpassFilter::AllpassFilter(const FilterTables& tables) : Filter(filter_id::kAllpass, tables, true) {}

void AllpassFilter::setResonance(float) {}

void AllpassFilter::setCutoff(float fc) { coef_[kCoefficient] = clampUnit(fc) - 1.0f; }

float AllpassFilter::process(float x)
{
    const float y = (x - state_[kPreviousOutput]) * coef_[kCoefficient] + prevInput_ + 1e-24f;
    prevInput_ = x;
    state_[kPreviousOutput] = y;
    return guardOutput(x, y);
}

}  // namespace pelko
