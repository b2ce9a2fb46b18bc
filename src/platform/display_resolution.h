// The resolution of an X display, for choosing how large the editor draws: the "Xft.dpi"
// resource of the server's resource database when it is set (desktops set it to their scaling),
// else the default screen's width in pixels over its width in millimetres.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelko {

// Dots per inch of the display (empty name: the DISPLAY of the environment); none when it cannot
// be reached or tells nothing usable. Opens and closes a connection of its own.
std::optional<double> displayDpi(const std::string& display = {});

// The dpi a resource database text ("name:\tvalue" lines, as the server keeps them) sets through
// "Xft.dpi" (or the patterns "Xft*dpi" and "*dpi"); none when unset or not a sane number.
std::optional<double> dpiFromResources(std::string_view resources);
// pixels per inch of a screen side; none when the size in millimetres is unknown (0) or absurd.
std::optional<double> dpiFromScreenSize(int pixels, int millimetres);

}  // namespace pelko
