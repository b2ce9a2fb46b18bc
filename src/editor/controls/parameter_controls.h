// Registers every control type of the editor's parameter controls under its skin name in the
// process-wide registry (control_registry.h). Called once at start, before any editor exists;
// calling it again replaces the same creators.
#pragma once

#include <string>
#include <vector>

namespace pelko {

void registerParameterControls();

// The names registered above, and those among them that are empty placeholders for editors not
// built yet (they take their place from the skin and draw nothing).
const std::vector<std::string>& parameterControlTypes();
const std::vector<std::string>& placeholderControlTypes();

}  // namespace pelko
