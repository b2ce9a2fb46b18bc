// The filter types: stored ids, menu order and names. Programs store the type id, never the
// menu index. Menu index 0 is "Off" (id 0, no filter); the menu has 21 rows.
#pragma once

#include <string_view>

namespace pelko {

namespace filter_id {
constexpr int kOff = 0;
constexpr int kLowpass12 = 1;
constexpr int kLowpass24 = 2;
constexpr int kHighpass12 = 3;
constexpr int kHighpass24 = 4;
constexpr int kBandpass12 = 5;
constexpr int kBandpass24 = 6;
constexpr int kNotch12 = 7;
constexpr int kNotch24 = 8;
constexpr int kLowpass36 = 9;
constexpr int kHighpass36 = 10;
constexpr int kBandpass36 = 11;
constexpr int kNotch36 = 12;
constexpr int kAnalogLowpass1 = 13;
constexpr int kAnalogLowpass2 = 14;
constexpr int kAnalogLowpass3 = 15;
constexpr int kAnalogHighpass1 = 16;
constexpr int kAnalogHighpass2 = 17;
constexpr int kAnalogHighpass3 = 18;
constexpr int kComb = 20;
constexpr int kAllpass = 30;
}  // namespace filter_id

constexpr int kFilterMenuSize = 21;

// Index of the menu row with this id (0 for "Off"), or -1 when no row has it.
int filterMenuIndex(int typeId);
// The id at a menu index, or -1 outside 0..20.
int filterTypeAtMenuIndex(int menuIndex);
// The menu name of a type id ("Lowpass -24dB/Oct"), or "" for an id without a row.
const char* filterTypeName(int typeId);

// True for the ids that build a filter object (every row except "Off").
bool isFilterType(int typeId);

// The type a voice should build for an id read from a stored program: the id itself when it has
// a row, otherwise 0 ("Off": the slot stays empty and the voice hears nothing from it), with a
// diagnostic line naming the id. Call it where the stored mode is applied, not on the audio
// thread.
int playableFilterType(int storedTypeId, std::string_view slotName);

}  // namespace pelko
