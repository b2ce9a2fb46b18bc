// Registers every control type of the editor's parameter controls under its skin name in the
// process-wide registry (control_registry.h). Called once at start, before any editor exists;
// calling it again replaces the same creators.
#pragma once

#include <string>
#include <vector>

namespace pelko {

void registerParameterControls();

// The names registered above.
const std::vector<std::string>& parameterControlTypes();

}  // namespace pelko
