// The three display formats of effect parameters. Each writes at most `size` bytes including
// the terminator.
#pragma once

#include <cstddef>

namespace pelko {

// "000" … "100": "%03d" of trunc(v · 100).
void formatPlainValue(float value, char* text, std::size_t size);
// "-99" … "+0" … "+99": "%+02d" of −99 − trunc(−198 · v).
void formatSignedValue(float value, char* text, std::size_t size);
// The tempo-sync step name of the value (" 1/4", "   8", …).
void formatSyncStep(float value, char* text, std::size_t size);

}  // namespace pelko
