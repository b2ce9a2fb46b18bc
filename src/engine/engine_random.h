// The engine's one random generator: a 16-bit state shared by every voice of every plug-in
// instance in the process, advanced as seed = (seed·15625 + 1) mod 65536. Random detune, random
// start phase and the sequencer's random step order all draw from it, so the same events from
// the same seed give the same samples.
#pragma once

#include <cstdint>

namespace pelko {

// Advances the generator and returns the new state (0–65535).
std::uint16_t nextEngineRandom();
// A value in [−1, 1): (seed − 32768)/32768 of the next state.
float nextBipolarRandom();
// Sets the state (tests and tools that need a known sequence).
void seedEngineRandom(std::uint16_t seed);

}  // namespace pelko
