#include "dsp/filters/filter_types.h"

#include "platform/debug_output.h"

#include <array>
#include <string>

namespace pelko {

namespace {

struct FilterTypeRow {
    int id;
    const char* name;
};

// Menu order; the empty row ends the table.
constexpr std::array<FilterTypeRow, kFilterMenuSize + 1> kRows = {{
    {filter_id::kOff, "Off"},
    {filter_id::kLowpass12, "Lowpass -12dB/Oct"},
    {filter_id::kLowpass24, "Lowpass -24dB/Oct"},
    {filter_id::kLowpass36, "Lowpass -36dB/Oct"},
    {filter_id::kAnalogLowpass1, "Analog Lowpass 1"},
    {filter_id::kAnalogLowpass2, "Analog Lowpass 2"},
    {filter_id::kAnalogLowpass3, "Analog Lowpass 3"},
    {filter_id::kHighpass12, "Hipass -12dB/Oct"},
    {filter_id::kHighpass24, "Hipass -24dB/Oct"},
    {filter_id::kHighpass36, "Hipass -36dB/Oct"},
    {filter_id::kAnalogHighpass1, "Analog Highpass 1"},
    {filter_id::kAnalogHighpass2, "Analog Highpass 2"},
    {filter_id::kAnalogHighpass3, "Analog Highpass 3"},
    {filter_id::kBandpass12, "Bandpass -12dB/Oct"},
    {filter_id::kBandpass24, "Bandpass -24dB/Oct"},
    {filter_id::kBandpass36, "Bandpass -36dB/Oct"},
    {filter_id::kNotch12, "Notch -12dB/Oct"},
    {filter_id::kNotch24, "Notch -24dB/Oct"},
    {filter_id::kNotch36, "Notch -36dB/Oct"},
    {filter_id::kComb, "Comb Filter"},
    {filter_id::kAllpass, "Allpass Filter"},
    {-1, ""},
}};

}  // namespace

int filterMenuIndex(int typeId)
{
    for (int i = 0; i < kFilterMenuSize; ++i) {
        if (kRows[static_cast<std::size_t>(i)].id == typeId) {
            return i;
        }
    }
    return -1;
}

int filterTypeAtMenuIndex(int menuIndex)
{
    if (menuIndex < 0 || menuIndex >= kFilterMenuSize) {
        return -1;
    }
    return kRows[static_cast<std::size_t>(menuIndex)].id;
}

const char* filterTypeName(int typeId)
{
    const int index = filterMenuIndex(typeId);
    return index < 0 ? "" : kRows[static_cast<std::size_t>(index)].name;
}

bool isFilterType(int typeId) { return typeId != filter_id::kOff && filterMenuIndex(typeId) >= 0; }

int playableFilterType(int storedTypeId, std::string_view slotName)
{
    if (filterMenuIndex(storedTypeId) >= 0) {
        return storedTypeId;
    }
    debugOutput(std::string(slotName) + ": unknown filter type " + std::to_string(storedTypeId) +
                ", filter off\n");
    return filter_id::kOff;
}

}  // namespace pelko
