#include "band_limited_wave.h"

#include "wave/harmonics.h"
#include "wave/wave_description.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <numbers>

namespace content_waves {

std::vector<int> halfOctaveZones() { return zonesFrom(23, 6); }

std::vector<int> zonesFrom(int first, int step)
{
    std::vector<int> keys;
    for (int key = first; key < 127; key += step) {
        keys.push_back(key);
    }
    keys.push_back(127);
    return keys;
}

double binFrequency(const WaveRecipe& recipe, double bin, int key)
{
    const double loopRate = 44100.0 / static_cast<double>(recipe.loopLength);
    return bin * loopRate * pelko::keyFrequency(key) / recipe.rootFrequency;
}

std::vector<BuiltZone> synthesize(const WaveRecipe& recipe)
{
    const std::size_t length = recipe.loopLength;
    std::vector<std::vector<double>> periods;
    std::vector<BuiltZone> zones;
    int low = 0;
    double peak = 0;
    for (int top : recipe.zoneTopKeys) {
        std::vector<std::complex<double>> bins(length);
        for (const Partial& partial : recipe.partials(pelko::keyFrequency(0.5 * (low + top)))) {
            if (partial.bin < 1 || static_cast<std::size_t>(partial.bin) >= length / 2 ||
                binFrequency(recipe, static_cast<double>(partial.bin), top) > 22050.0) {
                continue;
            }
            bins[static_cast<std::size_t>(partial.bin)] +=
                partial.amplitude * std::polar(1.0, 2.0 * std::numbers::pi * partial.phase);
        }
        std::vector<double> period = pelko::periodFromSpectrum(std::move(bins));
        for (double x : period) {
            peak = std::max(peak, std::abs(x));
        }
        periods.push_back(std::move(period));
        BuiltZone zone;
        zone.lowKey = low;
        zone.highKey = top;
        zones.push_back(std::move(zone));
        low = top + 1;
    }
    const double gain = peak > 0 ? 0.9 * 32767.0 / peak : 0.0;
    for (std::size_t z = 0; z < zones.size(); ++z) {
        zones[z].samples.resize(length);
        for (std::size_t i = 0; i < length; ++i) {
            // Rounded rather than truncated: it halves the quantisation error of the content.
            zones[z].samples[i] = static_cast<std::int16_t>(std::lround(periods[z][i] * gain));
        }
    }
    return zones;
}

std::string sampleEntryName(const std::string& waveName, std::size_t index)
{
    return waveName + " " + std::to_string(index + 1) + ".pcm";
}

std::string noteName(int key)
{
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return std::string(kNames[key % 12]) + std::to_string(key / 12);
}

std::string descriptionText(const WaveRecipe& recipe, const std::vector<BuiltZone>& zones)
{
    char root[64];
    auto end = std::to_chars(root, root + sizeof root, recipe.rootFrequency).ptr;
    std::string rootText(root, end);
    std::string text = "; " + recipe.name + ": " + std::to_string(zones.size()) +
                       " zones, band-limited for a sample rate of 44.1 kHz\n";
    for (std::size_t z = 0; z < zones.size(); ++z) {
        text += noteName(zones[z].lowKey) + "-" + noteName(zones[z].highKey) + "|" +
                sampleEntryName(recipe.name, z) + "|" + rootText + "Hz|0|0\n";
    }
    return text;
}

}  // namespace content_waves
