// The value types of skin attributes, read from their text: integers as "%d" reads them
// (leading blanks, a sign, digits, anything after ignored; 0 when there are no digits) and
// colours as three two-digit hexadecimal bytes, red first.
#pragma once

#include "editor/toolkit/geometry.h"

#include <optional>
#include <string_view>

namespace pelko {

int parseSkinInteger(std::string_view text);
// None when fewer than three bytes can be read.
std::optional<Colour> parseSkinColour(std::string_view text);

}  // namespace pelko
