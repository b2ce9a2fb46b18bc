// Effect settings files.
#include "params/setting_objects.h"
#include "storage/side_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::IntegerObject type;
    std::array<float, pelko::kEffectFileValues> values{};
    if (pelko::parseEffectFile(data, size, type, values) == pelko::SideFileStatus::ok) {
        for (float v : values) {
            if (!(v >= 0.0f && v <= 1.0f)) std::abort();
        }
        pelko::effectFileBytes(type, values);
    }
    return 0;
}
