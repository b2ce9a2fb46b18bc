#include "dsp/filters/analog_filter.h"

#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"

namespace pelko {

namespace {

enum Word { kInverseA0 = 0, kA1 = 1, kA2 = 2 };
enum StateWord { kX1 = 0, kX2 = 1, kY1 = 2, kY2 = 3 };

constexpr int typeIdOf(bool highpass, int sections)
{
    return (highpass ? filter_id::kAnalogHighpass1 : filter_id::kAnalogLowpass1) + sections - 1;
}

// Alternating signs keep denormals away without a net offset.
constexpr float kAntiDenormal[3] = {1e-24f, -1e-24f, 1e-24f};

}  // namespace

template <bool Highpass, int Sections>
AnalogFilter<Highpass, Sections>::AnalogFilter(const FilterTables& tables)
    : Filter(typeIdOf(Highpass, Sections), tables, false)
{
}

template <bool Highpass, int Sections>
void AnalogFilter<Highpass, Sections>::updateFrequencyTerm(float fc)
{
    const float cutoff = clampUnit(fc);
    k_ = Highpass ? FilterTables::lookup(tables().tanTable(), cutoff)
                  : FilterTables::lookup(tables().invTanTable(), cutoff);
    kSquared_ = k_ * k_;
}

template <bool Highpass, int Sections>
void AnalogFilter<Highpass, Sections>::updateCoefficients()
{
    const float dk = damping_ * k_;
    const float kk1 = kSquared_ + 1.0f;
    coef_[kInverseA0] = 1.0f / (kSquared_ + dk + 1.0f);
    coef_[kA1] = (4.0f - kk1) - kk1;
    coef_[kA2] = kSquared_ - dk + 1.0f;
}

template <bool Highpass, int Sections>
void AnalogFilter<Highpass, Sections>::setResonance(float r)
{
    damping_ = 1.01f - 0.93f * clampUnit(r);
    updateCoefficients();
}

template <bool Highpass, int Sections>
void AnalogFilter<Highpass, Sections>::setCutoff(float fc)
{
    updateFrequencyTerm(fc);
    updateCoefficients();
}

template <bool Highpass, int Sections>
void AnalogFilter<Highpass, Sections>::setCutoffAndResonance(float fc, float r)
{
    updateFrequencyTerm(fc);
    damping_ = 1.01f - 0.93f * clampUnit(r);
    updateCoefficients();
}

template <bool Highpass, int Sections>
float AnalogFilter<Highpass, Sections>::process(float x)
{
    const float inverseA0 = coef_[kInverseA0];
    const float a1 = coef_[kA1];
    const float a2 = coef_[kA2];
    float in = x;
    for (int section = 0; section < Sections; ++section) {
        float* st = state_ + 4 * section;
        float y;
        if constexpr (Highpass) {
            y = (in - 2.0f * st[kX1] + st[kX2] + (a1 * st[kY1] - a2 * st[kY2])) * inverseA0;
        } else {
            y = (in + 2.0f * st[kX1] + st[kX2] - (a1 * st[kY1] + a2 * st[kY2])) * inverseA0;
        }
        y += kAntiDenormal[section];
        st[kX2] = st[kX1];
        st[kX1] = in;
        st[kY2] = st[kY1];
        st[kY1] = y;
        in = y;
    }
    return guardOutput(x, in);
}

template class AnalogFilter<false, 1>;
template class AnalogFilter<false, 2>;
template class AnalogFilter<false, 3>;
template class AnalogFilter<true, 1>;
template class AnalogFilter<true, 2>;
template class AnalogFilter<true, 3>;

}  // namespace pelko
