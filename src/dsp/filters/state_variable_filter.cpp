#include "dsp/filters/state_variable_filter.h"

#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelko {

namespace {

enum Word { kResonance = 0, kFrequency = 1, kDamping = 2, kSaturation = 3 };
enum StateWord { kLow = 0, kBand = 1, kHigh = 2, kNotch = 3 };

constexpr int typeIdOf(SvfOutput output, int stages)
{
    constexpr int ids[4][3] = {
        {filter_id::kLowpass12, filter_id::kLowpass24, filter_id::kLowpass36},
        {filter_id::kHighpass12, filter_id::kHighpass24, filter_id::kHighpass36},
        {filter_id::kBandpass12, filter_id::kBandpass24, filter_id::kBandpass36},
        {filter_id::kNotch12, filter_id::kNotch24, filter_id::kNotch36},
    };
    return ids[static_cast<int>(output)][stages - 1];
}

// The explicit cubic soft limit over-corrects once s·B² exceeds 2 (|B| above about 2.6 to 3.2):
// each half-step then throws the band state further out until it overflows, which loud inputs
// (amplitude 4 and more at high cutoffs) reach. Across every cutoff, resonance and input level
// where the loop stays stable the band state stays below 3.4, so holding it within ±4 leaves all
// of those untouched and only keeps a runaway loop bounded.
constexpr float kBandLimit = 4.0f;

// One half-step of one stage; returns the output the type listens to.
template <SvfOutput Output>
inline float halfStep(float* st, float u, float f, float q, float s)
{
    const float band = st[kBand];
    const float notch = u - q * band;
    const float low = st[kLow] + f * band;
    const float high = notch - low;
    const float newBand = std::clamp(band + f * high - s * band * band * band, -kBandLimit, kBandLimit);
    st[kLow] = low;
    st[kBand] = newBand;
    st[kHigh] = high;
    st[kNotch] = notch;
    if constexpr (Output == SvfOutput::lowpass) {
        return low;
    } else if constexpr (Output == SvfOutput::highpass) {
        return high;
    } else if constexpr (Output == SvfOutput::bandpass) {
        return newBand;
    } else {
        return notch;
    }
}

}  // namespace

template <SvfOutput Output, int Stages>
StateVariableFilter<Output, Stages>::StateVariableFilter(const FilterTables& tables)
    : Filter(typeIdOf(Output, Stages), tables, true)
{
}

template <SvfOutput Output, int Stages>
void StateVariableFilter<Output, Stages>::updateFrequency(float fc)
{
    // The sine's argument is held at π/2: above it (sample rates below about 11 kHz) the sine would
    // fall again and turn negative, making the loop unstable. Where the argument is below π/2 the
    // limit of 0.5 is all that applies.
    constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2.0f;
    const float angle = std::min((0.999f * clampUnit(fc) + 0.001f) * tables().svfScale(), kQuarterTurn);
    coef_[kFrequency] = std::min(2.0f * std::sin(angle), 0.5f);
}

template <SvfOutput Output, int Stages>
void StateVariableFilter<Output, Stages>::updateDamping()
{
    const float f = coef_[kFrequency];
    const float r = coef_[kResonance];
    const float fromResonance = 2.0f * (1.0f - std::pow(r, 0.25f));
    coef_[kDamping] = std::min({fromResonance, 2.0f / f - f / 2.0f, 2.0f});
}

template <SvfOutput Output, int Stages>
void StateVariableFilter<Output, Stages>::setResonance(float r)
{
    coef_[kResonance] = clampUnit(r);
    updateDamping();
    coef_[kSaturation] = (coef_[kResonance] + 2.0f) * 0.1f;
}

template <SvfOutput Output, int Stages>
void StateVariableFilter<Output, Stages>::setCutoff(float fc)
{
    updateFrequency(fc);
    updateDamping();
}

template <SvfOutput Output, int Stages>
void StateVariableFilter<Output, Stages>::setCutoffAndResonance(float fc, float r)
{
    updateFrequency(fc);
    setResonance(r);
}

template <SvfOutput Output, int Stages>
float StateVariableFilter<Output, Stages>::process(float x)
{
    const float f = coef_[kFrequency];
    const float q = coef_[kDamping];
    const float s = coef_[kSaturation];
    float first = (x + prevInput_) / 2.0f;
    float second = x;
    prevInput_ = x;
    float y = 0.0f;
    for (int stage = 0; stage < Stages; ++stage) {
        float* st = state_ + 4 * stage;
        const float a = halfStep<Output>(st, first, f, q, s);
        const float b = halfStep<Output>(st, second, f, q, s);
        y = 0.5f * a + 0.5f * b;
        first = y;
        second = y;
    }
    return guardOutput(x, y);
}

template class StateVariableFilter<SvfOutput::lowpass, 1>;
template class StateVariableFilter<SvfOutput::lowpass, 2>;
template class StateVariableFilter<SvfOutput::lowpass, 3>;
template class StateVariableFilter<SvfOutput::highpass, 1>;
template class StateVariableFilter<SvfOutput::highpass, 2>;
template class StateVariableFilter<SvfOutput::highpass, 3>;
template class StateVariableFilter<SvfOutput::bandpass, 1>;
template class StateVariableFilter<SvfOutput::bandpass, 2>;
template class StateVariableFilter<SvfOutput::bandpass, 3>;
template class StateVariableFilter<SvfOutput::notch, 1>;
template class StateVariableFilter<SvfOutput::notch, 2>;
template class StateVariableFilter<SvfOutput::notch, 3>;

}  // namespace pelko
