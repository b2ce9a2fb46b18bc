// The wave families added to the first six archives: each function returns one archive.
#pragma once

#include "recipe_tools.h"
#include "wave_families.h"

#include <string>
#include <vector>

namespace content_waves {

ArchiveRecipe analogueShapes();  // "Analog.vfs": pulse widths, hard-sync saws and a sync sweep, softened shapes
ArchiveRecipe digitalShapes();   // "Digital.vfs": bit-reduced and sample-rate-reduced shapes, stepped tables
ArchiveRecipe formantVoices();   // "Formant.vfs": sung vowels through a five-formant vocal tract
ArchiveRecipe breathsAndBursts(); // "Breath.vfs": noise loops shaped in time: breaths, bursts, wind
ArchiveRecipe keyZonedWaves();   // "Multi.vfs": waves whose key zones hold different sounds

// The five formants of a vowel of "Formant.vfs" by its name there ("Male A" … "Female I").
const std::vector<Resonance>& vowelFormants(const std::string& name);

}  // namespace content_waves
