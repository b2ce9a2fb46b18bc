// Band-limited looped waves from spectra. A wave is a loop of a power-of-two length whose
// spectrum is a list of partials (bins of the loop); it is split into zones over the keyboard
// and every zone keeps only the partials that stay at or below 22050 Hz when its highest key is
// played (equal temperament, A5 = key 69 = 440 Hz), so nothing folds back at 44.1 kHz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace content_waves {

struct Partial {
    long bin = 0;           // index in the loop's spectrum: bin b completes b cycles per loop
    double amplitude = 0;   // may be negative
    double phase = 0;       // cycles
};

struct WaveRecipe {
    std::string name;             // the wave's name, e.g. "Single Cycle\Saw"
    std::size_t loopLength = 0;   // samples, a power of two
    double rootFrequency = 0;     // Hz the loop sounds at when read at one sample per sample
    std::vector<int> zoneTopKeys; // the highest key of every zone, ascending, the last 127
    // The partials of one zone, given the frequency of the zone's middle key (Hz), so that a
    // spectrum can follow fixed formants across the keyboard.
    std::function<std::vector<Partial>(double zoneFrequency)> partials;
};

struct BuiltZone {
    int lowKey = 0;
    int highKey = 0;
    std::vector<std::int16_t> samples;
};

// Zones ending every six keys from key 23 (key 23 covers the lowest notes), the last at 127.
std::vector<int> halfOctaveZones();
// Zones ending at first, then every step keys, the last at 127.
std::vector<int> zonesFrom(int first, int step);

// The frequency (Hz) at which a bin sounds when the key is played.
double binFrequency(const WaveRecipe& recipe, double bin, int key);

// Synthesizes every zone, all scaled by one gain so that the loudest peak is 90 % of full scale.
std::vector<BuiltZone> synthesize(const WaveRecipe& recipe);

// The sample entry of zone index (from 0): "<wave name> <index + 1>.pcm".
std::string sampleEntryName(const std::string& waveName, std::size_t index);
// "C0", "C#0", … "G10".
std::string noteName(int key);
// The wave description for the built zones.
std::string descriptionText(const WaveRecipe& recipe, const std::vector<BuiltZone>& zones);

}  // namespace content_waves
