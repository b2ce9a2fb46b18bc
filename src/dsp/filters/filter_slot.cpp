#include "dsp/filters/filter_slot.h"

#include "dsp/filters/allpass_filter.h"
#include "dsp/filters/analog_filter.h"
#include "dsp/filters/comb_filter.h"
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "dsp/filters/state_variable_filter.h"

#include <new>
#include <span>

namespace pelko {

namespace {

using Builder = Filter* (*)(void* at, const FilterTables& tables, std::span<float> combLine);

template <typename T>
Filter* build(void* at, const FilterTables& tables, std::span<float>)
{
    return new (at) T(tables);
}

template <>
Filter* build<CombFilter>(void* at, const FilterTables& tables, std::span<float> combLine)
{
    // A line of fewer than two samples cannot delay; the slot stays empty then.
    return combLine.size() < 2 ? nullptr : new (at) CombFilter(tables, combLine);
}

struct BuildRow {
    int typeId;
    std::size_t size;
    std::size_t alignment;
    Builder builder;
};

template <typename T>
constexpr BuildRow row(int typeId)
{
    return {typeId, sizeof(T), alignof(T), &build<T>};
}

using namespace filter_id;

constexpr BuildRow kBuilders[] = {
    row<StateVariableFilter<SvfOutput::lowpass, 1>>(kLowpass12),
    row<StateVariableFilter<SvfOutput::lowpass, 2>>(kLowpass24),
    row<StateVariableFilter<SvfOutput::lowpass, 3>>(kLowpass36),
    row<StateVariableFilter<SvfOutput::highpass, 1>>(kHighpass12),
    row<StateVariableFilter<SvfOutput::highpass, 2>>(kHighpass24),
    row<StateVariableFilter<SvfOutput::highpass, 3>>(kHighpass36),
    row<StateVariableFilter<SvfOutput::bandpass, 1>>(kBandpass12),
    row<StateVariableFilter<SvfOutput::bandpass, 2>>(kBandpass24),
    row<StateVariableFilter<SvfOutput::bandpass, 3>>(kBandpass36),
    row<StateVariableFilter<SvfOutput::notch, 1>>(kNotch12),
    row<StateVariableFilter<SvfOutput::notch, 2>>(kNotch24),
    row<StateVariableFilter<SvfOutput::notch, 3>>(kNotch36),
    row<AnalogFilter<false, 1>>(kAnalogLowpass1),
    row<AnalogFilter<false, 2>>(kAnalogLowpass2),
    row<AnalogFilter<false, 3>>(kAnalogLowpass3),
    row<AnalogFilter<true, 1>>(kAnalogHighpass1),
    row<AnalogFilter<true, 2>>(kAnalogHighpass2),
    row<AnalogFilter<true, 3>>(kAnalogHighpass3),
    row<CombFilter>(kComb),
    row<AllpassFilter>(kAllpass),
};

constexpr bool everyTypeFits(std::size_t size, std::size_t alignment)
{
    for (const BuildRow& r : kBuilders) {
        if (r.size > size || r.alignment > alignment) {
            return false;
        }
    }
    return true;
}

}  // namespace

FilterSlot::FilterSlot(const FilterTables& tables) : tables_(&tables)
{
    static_assert(everyTypeFits(kStorageSize, alignof(std::max_align_t)),
                  "a filter type outgrew the slot storage");
    combLine_.assign(static_cast<std::size_t>(CombFilter::lineLengthFor(tables.sampleRate())), 0.0f);
}

FilterSlot::FilterSlot() : FilterSlot(defaultFilterTables()) {}

FilterSlot::~FilterSlot() { clear(); }

void FilterSlot::prepare(const FilterTables& tables)
{
    clear();
    tables_ = &tables;
    const auto length = static_cast<std::size_t>(CombFilter::lineLengthFor(tables.sampleRate()));
    combLine_.assign(length, 0.0f);
    combLine_.shrink_to_fit();
}

void FilterSlot::clear()
{
    if (filter_ != nullptr) {
        filter_->~Filter();
        filter_ = nullptr;
    }
}

Filter* FilterSlot::create(int typeId)
{
    clear();
    for (const BuildRow& r : kBuilders) {
        if (r.typeId == typeId) {
            filter_ = r.builder(storage_, *tables_, std::span<float>(combLine_));
            break;
        }
    }
    return filter_;
}

}  // namespace pelko
