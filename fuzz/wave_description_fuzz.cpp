// Parses arbitrary text as a wave description and checks what an accepted one promises.
#include "wave/wave_description.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    pelko::WaveDescription description = pelko::parseWaveDescription(text);
    if (description.valid) {
        if (description.zones.empty() || description.zones.size() > pelko::kMostZones) {
            std::abort();
        }
        for (const pelko::ZoneDescription& zone : description.zones) {
            if (zone.lowKey > 127 || zone.highKey > 127 || !std::isfinite(zone.rootFrequency) || zone.rootFrequency <= 0) {
                std::abort();
            }
        }
    } else if (description.diagnostic.empty()) {
        std::abort();
    }
    pelko::parseNote(text);
    return 0;
}
