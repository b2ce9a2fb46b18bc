// Additive settings files, with the current and the older magic.
#include "params/additive_settings_object.h"
#include "storage/side_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::AdditiveSettingsObject settings;
    if (pelko::parseObjectFile(data, size, pelko::kAdditiveFileMagic, pelko::kOldAdditiveFileMagic, settings) ==
        pelko::SideFileStatus::ok) {
        for (int h = 0; h < pelko::AdditiveSettingsObject::kHarmonics; ++h) {
            if (!(settings.level(h) >= 0.0f && settings.level(h) <= 1.0f)) std::abort();
            if (!(settings.phase(h) >= 0.0f && settings.phase(h) <= 1.0f)) std::abort();
        }
    }
    return 0;
}
