#include "editor/core/editor_scale.h"

#include "config/registry_store.h"
#include "platform/display_resolution.h"

#include <string>

namespace pelko {
namespace {

// The scale a setting fixes (blanks around it allowed, as the file is edited by hand); 0 for auto.
int fixedScale(std::optional<std::string_view> setting)
{
    if (!setting) {
        return 0;
    }
    std::string_view text = *setting;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text == "1" ? 1 : text == "2" ? 2 : 0;
}

}  // namespace

bool editorScaleIsAutomatic(std::optional<std::string_view> setting)
{
    return fixedScale(setting) == 0;
}

int chooseEditorScale(std::optional<std::string_view> setting, std::optional<double> dpi)
{
    if (int fixed = fixedScale(setting); fixed != 0) {
        return fixed;
    }
    return dpi && *dpi >= kHighResolutionDpi ? 2 : 1;
}

int editorScaleFromSettings(const RegistryStore& settings, bool withWindow)
{
    const std::optional<std::string> stored = settings.readText(registry::kEditorScale);
    std::optional<std::string_view> setting;
    if (stored) {
        setting = *stored;
    }
    // The display is asked only when its answer matters.
    std::optional<double> dpi;
    if (withWindow && editorScaleIsAutomatic(setting)) {
        dpi = displayDpi();
    }
    return chooseEditorScale(setting, dpi);
}

}  // namespace pelko
