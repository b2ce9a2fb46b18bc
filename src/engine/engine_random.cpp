#include "engine/engine_random.h"

#include <atomic>

namespace pelko {
namespace {

// Each plug-in instance advances the state under its own processing lock; instances on different
// audio threads may interleave, so the word is atomic (a lost update only changes which random
// number a note gets, never the range).
std::atomic<std::uint16_t> engineSeed{0};

}  // namespace

std::uint16_t nextEngineRandom()
{
    const auto seed = static_cast<std::uint16_t>(engineSeed.load(std::memory_order_relaxed) * 15625u + 1u);
    engineSeed.store(seed, std::memory_order_relaxed);
    return seed;
}

float nextBipolarRandom() { return (static_cast<float>(nextEngineRandom()) - 32768.0f) / 32768.0f; }

void seedEngineRandom(std::uint16_t seed) { engineSeed.store(seed, std::memory_order_relaxed); }

}  // namespace pelko
