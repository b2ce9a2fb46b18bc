// How large the editor draws: at scale 1 one unit of the skin is one screen pixel, at scale 2 it
// is two by two pixels (for screens of high resolution). The settings value "editorScale" chooses
// it: "1" or "2", or "auto" (also when missing or anything else), which takes 2 when the display
// has 144 dpi or more.
#pragma once

#include <optional>
#include <string_view>

namespace pelko {

class RegistryStore;

constexpr double kHighResolutionDpi = 144.0;

// The rule itself: the setting as stored (none when missing) and the display's dpi (none when
// unknown).
int chooseEditorScale(std::optional<std::string_view> setting, std::optional<double> dpi);

// Whether the setting leaves the choice to the display.
bool editorScaleIsAutomatic(std::optional<std::string_view> setting);

// The scale for an editor about to open: the setting, and for "auto" the resolution of the
// default display when the editor gets a window (a headless editor has no display: 1).
int editorScaleFromSettings(const RegistryStore& settings, bool withWindow);

}  // namespace pelko
