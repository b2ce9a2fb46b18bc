// Tuning files: the text of a ".tun" file.
#include "engine/tuning_scale.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::TuningScale scale;
    scale.parseTun(std::string_view(reinterpret_cast<const char*>(data), size));
    pelko::FrequencyTable table;
    scale.computeFrequencies(table);
    for (float hz : table) {
        if (std::isnan(hz)) {
            std::abort();
        }
    }
    return 0;
}
