// Sequencer settings files.
#include "storage/side_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::array<float, pelko::kSequencerFileValues> values{};
    if (pelko::parseSequencerFile(data, size, values) == pelko::SideFileStatus::ok) {
        for (float v : values) {
            if (!(v >= 0.0f && v <= 1.0f)) std::abort();
        }
    }
    return 0;
}
