// What is dragged between the editor's lists. A list that starts a drag names the dragged thing
// in one item string and, on release, hands it to the view under the pointer through
// View::drop, the same door files dropped from other programs come through (as absolute paths).
// The prefix "pelko-drag:" cannot begin a path, so a view tells the two apart by it alone.
//
//   "pelko-drag:program:<slot>"  a bank slot (0–63) of the bank list
//   "pelko-drag:preset:<id>"     a preset of the preset library
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko::drag_item {

constexpr std::string_view kProgram = "pelko-drag:program:";
constexpr std::string_view kPreset = "pelko-drag:preset:";

inline std::string program(int slot) { return std::string(kProgram) + std::to_string(slot); }
inline std::string preset(int id) { return std::string(kPreset) + std::to_string(id); }

// The number after the prefix when the drop is exactly one item of that kind.
inline std::optional<int> parse(const std::vector<std::string>& items, std::string_view prefix)
{
    if (items.size() != 1 || !items.front().starts_with(prefix)) {
        return std::nullopt;
    }
    const std::string_view digits = std::string_view(items.front()).substr(prefix.size());
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace pelko::drag_item
