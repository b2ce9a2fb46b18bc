// Diagnostics that are not for the user: one line each, to stderr, text unchanged.
#pragma once

#include <string_view>

namespace pelko {

void debugOutput(std::string_view text);

}  // namespace pelko
