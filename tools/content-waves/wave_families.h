// The factory waves, family by family, and the example of an external wave. Everything random is
// drawn from generators seeded by the wave's name, so every build writes the same samples.
#pragma once

#include "band_limited_wave.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content_waves {

struct ArchiveRecipe {
    std::string fileName;  // e.g. "Single Cycle.vfs"
    std::vector<WaveRecipe> waves;
};

std::vector<ArchiveRecipe> factoryArchives();

struct ExternalExample {
    std::string descriptionFile;  // in "waves/External"
    std::string description;      // group line, then the zone lines
    std::string wavFile;
    int bits = 24;
    std::vector<std::int32_t> left, right;  // samples at that bit depth
};

ExternalExample externalExample();

}  // namespace content_waves
