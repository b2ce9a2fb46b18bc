// skin.ini: the text of the attribute sets, then every value read as each type.
#include "editor/skin/attribute_values.h"
#include "editor/skin/skin_definitions.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::SkinDefinitions definitions;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    definitions.parse(text);
    definitions.parse(text);  // replacing every item a second time
    // The values of the first item of each line name, read as integer and colour.
    std::size_t colon = text.find(':');
    std::string name(text.substr(0, colon == std::string_view::npos ? 0 : colon));
    if (const pelko::AttributeSet* set = definitions.find(name)) {
        for (const auto& [key, value] : *set) {
            (void)pelko::parseSkinInteger(value);
            (void)pelko::parseSkinColour(value);
        }
    }
    return 0;
}
