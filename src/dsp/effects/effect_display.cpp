#include "dsp/effects/effect_display.h"

#include "dsp/effects/tempo_sync.h"

#include <cstdio>

namespace pelko {
namespace {

// Parameter values are kept within 0…1; clamping here keeps a stray value from printing
// something absurd.
float unit(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

}  // namespace

void formatPlainValue(float value, char* text, std::size_t size)
{
    if (text != nullptr && size > 0) {
        std::snprintf(text, size, "%03d", static_cast<int>(unit(value) * 100.0f));
    }
}

void formatSignedValue(float value, char* text, std::size_t size)
{
    if (text != nullptr && size > 0) {
        std::snprintf(text, size, "%+02d", -99 - static_cast<int>(-198.0f * unit(value)));
    }
}

void formatSyncStep(float value, char* text, std::size_t size)
{
    if (text != nullptr && size > 0) {
        std::snprintf(text, size, "%s", syncStepName(syncStepIndex(value)));
    }
}

}  // namespace pelko
