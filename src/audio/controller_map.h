// Which MIDI controller drives which parameter. Process-wide and shared by every instance: the
// controller of each parameter and, inverse, the parameter of each controller; the two always
// agree, so a controller drives at most one parameter. Starts from the parameter table's defaults.
// Stored under the registry value "midicfg" as 416 upper-case hexadecimal digits, two per
// parameter in index order ("FF" = none).
//
// Threads: any thread may read and assign (a MIDI learn assigns on the audio thread). Reads are
// lock-free; assignments are serialised among themselves without ever making a reader wait.
#pragma once

#include <cstdint>
#include <string>

namespace pelko {

class RegistryStore;

constexpr std::uint8_t kNoController = 255;

// Parameter driven by a controller number (0–127), 255 = none.
std::uint8_t parameterOfController(int controller);
std::uint8_t controllerOfParameter(int parameter);

// Controller 255 removes the parameter's assignment; any other controller is first taken away
// from every parameter that has it.
void assignController(int parameter, int controller);

// "%02d" of the controller, or "---" without one. (The learn state's "???" is the caller's.)
std::string controllerAssignmentText(int parameter);

// Reads "midicfg" (when present) into the table and rebuilds the inverse map; malformed digit
// pairs leave that parameter unassigned.
void loadControllerAssignments(const RegistryStore& settings);
void saveControllerAssignments(RegistryStore& settings);
// The stored text of the current assignments.
std::string controllerAssignmentsText();

}  // namespace pelko
