// Sung vowels through a vocal tract of five formants, and noise loops shaped in time (breaths,
// bursts, wind).
#include "more_families.h"
#include "recipe_tools.h"

#include "wave/harmonics.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace content_waves {
namespace {

constexpr double kPi = std::numbers::pi;

struct Vowel {
    const char* name;
    std::vector<Resonance> formants;
};

// Formant frequencies and bandwidths (Hz) of a low and a high voice.
const std::vector<Vowel>& vowels()
{
    static const std::vector<Vowel> table{
        {"Male A", {{730, 80}, {1090, 90}, {2440, 120}, {3300, 150}, {3750, 200}}},
        {"Male E", {{530, 60}, {1840, 100}, {2480, 120}, {3300, 150}, {3750, 200}}},
        {"Male I", {{270, 50}, {2290, 100}, {3010, 120}, {3500, 150}, {4000, 200}}},
        {"Male O", {{570, 70}, {840, 80}, {2410, 120}, {3300, 150}, {3750, 200}}},
        {"Male U", {{300, 50}, {870, 80}, {2240, 100}, {3300, 150}, {3750, 200}}},
        {"Female A", {{850, 90}, {1220, 100}, {2810, 140}, {3900, 180}, {4500, 220}}},
        {"Female E", {{610, 70}, {2330, 110}, {2990, 130}, {3900, 180}, {4500, 220}}},
        {"Female I", {{310, 60}, {2790, 120}, {3310, 140}, {3900, 180}, {4500, 220}}},
    };
    return table;
}

}  // namespace

const std::vector<Resonance>& vowelFormants(const std::string& name)
{
    for (const Vowel& v : vowels()) {
        if (name == v.name) {
            return v.formants;
        }
    }
    return vowels().front().formants;
}

namespace {

// Every harmonic of the zone's pitch through the tract; the formants stay at their frequencies
// over the whole keyboard because each zone evaluates them at its own pitch.
WaveRecipe sungVowel(const std::string& name, std::vector<Resonance> formants)
{
    WaveRecipe recipe;
    recipe.name = name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 44100.0 / 2048.0;
    recipe.zoneTopKeys = halfOctaveZones();
    recipe.partials = [formants = std::move(formants), seed = recipe.name](double zoneFrequency) {
        Random random(seed);
        std::vector<Partial> partials;
        for (long h = 1; h < 1024; ++h) {
            const double f = static_cast<double>(h) * zoneFrequency;
            partials.push_back({h, sungLevel(formants, h, f), random.uniform()});
        }
        return partials;
    };
    return recipe;
}

// Formants moving smoothly from vowel to vowel over the loop: A, E, I, O, U and back to A.
std::vector<Resonance> sweptFormants(double phi)
{
    static const char* const kPath[] = {"Male A", "Male E", "Male I", "Male O", "Male U"};
    const double position = phi * 5.0;
    const int from = static_cast<int>(position) % 5;
    const double t = 0.5 - 0.5 * std::cos(kPi * (position - std::floor(position)));
    const std::vector<Resonance>& a = vowelFormants(kPath[from]);
    const std::vector<Resonance>& b = vowelFormants(kPath[(from + 1) % 5]);
    std::vector<Resonance> mixed;
    for (std::size_t k = 0; k < a.size(); ++k) {
        mixed.push_back({a[k].frequency * std::pow(b[k].frequency / a[k].frequency, t),
                         a[k].bandwidth + (b[k].bandwidth - a[k].bandwidth) * t});
    }
    return mixed;
}

// A noise loop read at its recorded rate at A5 (440 Hz), like the plain noises: one zone up to
// that key, then a zone an octave.
constexpr std::size_t kNoiseLength = 32768;

struct NoiseLayer {
    std::function<double(double)> spectrum;  // magnitude by frequency (Hz)
    std::function<double(double)> envelope;  // level over the loop, t in [0, 1)
};

// Gaussian noise of each layer's spectrum, shaped in time by its envelope, summed; the zones then
// keep the partials of the shaped sum that stay below the Nyquist frequency.
WaveRecipe shapedNoise(const std::string& name, const std::vector<NoiseLayer>& layers)
{
    WaveRecipe recipe;
    recipe.name = "Breath\\" + name;
    recipe.loopLength = kNoiseLength;
    recipe.rootFrequency = 440.0;
    recipe.zoneTopKeys = zonesFrom(69, 12);
    Random random(recipe.name);
    std::vector<double> sum(kNoiseLength, 0.0);
    for (const NoiseLayer& layer : layers) {
        std::vector<std::complex<double>> bins(kNoiseLength);
        for (std::size_t b = 1; b < kNoiseLength / 2; ++b) {
            const double frequency = static_cast<double>(b) * 44100.0 / kNoiseLength;
            const double magnitude = std::sqrt(-2.0 * std::log(1.0 - random.uniform()));
            bins[b] = std::polar(layer.spectrum(frequency) * magnitude, 2.0 * kPi * random.uniform());
        }
        std::vector<double> period = pelko::periodFromSpectrum(std::move(bins));
        for (std::size_t n = 0; n < kNoiseLength; ++n) {
            sum[n] += period[n] * layer.envelope(static_cast<double>(n) / kNoiseLength);
        }
    }
    recipe.partials = [partials = partialsOfPeriod(sum)](double) { return partials; };
    return recipe;
}

double steady(double) { return 1.0; }
// Air through the mouth: most of it around 1.5 kHz, a hiss above, a little body below.
double breathBand(double f) { return band(f, 1500, 0.6) + 0.5 * band(f, 3500, 0.4) + 0.3 * band(f, 400, 0.8) + 0.02; }
// count bursts per loop, each starting at once and dying away exponentially at rate decay.
std::function<double(double)> bursts(int count, double decay)
{
    return [count, decay](double t) {
        const double local = t * count - std::floor(t * count);
        return std::exp(-decay * local);
    };
}

}  // namespace

ArchiveRecipe formantVoices()
{
    ArchiveRecipe archive{"Formant.vfs", {}};
    for (const Vowel& v : vowels()) {
        archive.waves.push_back(sungVowel(std::string("Formant\\") + v.name, v.formants));
    }
    WaveRecipe sweep = motionRecipe("Formant\\Vowel Sweep");
    sweep.partials = [seed = sweep.name](double zoneFrequency) {
        Random random(seed);
        std::vector<double> phases;
        for (int h = 0; h < 120; ++h) {
            phases.push_back(random.uniform());
        }
        return modulatedHarmonics(120, [&](int h, double phi) {
            const double f = h * zoneFrequency;
            return std::polar(sungLevel(sweptFormants(phi), h, f),
                              2.0 * kPi * phases[static_cast<std::size_t>(h - 1)]);
        });
    };
    archive.waves.push_back(sweep);
    return archive;
}

ArchiveRecipe breathsAndBursts()
{
    ArchiveRecipe archive{"Breath.vfs", {}};
    const double twoPi = 2.0 * kPi;
    archive.waves.push_back(shapedNoise("Soft Breath", {{breathBand, [](double t) {
                                                             return 0.2 + 0.8 * std::pow(std::sin(kPi * t), 2.0);
                                                         }}}));
    archive.waves.push_back(shapedNoise("Breath Pulses", {{breathBand, [](double t) {
                                                               return 0.1 + 0.9 * std::pow(std::sin(4.0 * kPi * t), 2.0);
                                                           }}}));
    archive.waves.push_back(shapedNoise("Noise Burst", {{[](double f) { return 1.0 / std::sqrt(1.0 + f / 500.0); }, bursts(4, 8.0)}}));
    archive.waves.push_back(shapedNoise(
        "Snare Burst", {{[](double f) { return band(f, 2000, 1.2) + band(f, 200, 0.5) + 0.05; }, bursts(2, 8.0)}}));
    archive.waves.push_back(shapedNoise("Chiff", {{[](double f) { return band(f, 3000, 1.0) + band(f, 500, 0.6) + 0.05; },
                                                   [](double t) { return std::exp(-8.0 * t) + 0.15; }}}));
    // Two bands of wind taking turns, once each over the loop.
    archive.waves.push_back(
        shapedNoise("Wind", {{[](double f) { return band(f, 500, 0.5) + 0.01; },
                              [twoPi](double t) { return 0.55 + 0.45 * std::sin(twoPi * t); }},
                             {[](double f) { return band(f, 1400, 0.4) + 0.01; },
                              [twoPi](double t) { return 0.55 - 0.45 * std::sin(twoPi * t); }}}));
    // A whispered "ah": noise through the vowel's tract, no voice.
    archive.waves.push_back(shapedNoise(
        "Whisper Ah", {{[](double f) { return vocalTract(vowelFormants("Male A"), f) / std::sqrt(1.0 + f / 1000.0); }, steady}}));
    return archive;
}

}  // namespace content_waves
