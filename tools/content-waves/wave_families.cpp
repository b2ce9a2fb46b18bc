#include "wave_families.h"

#include "more_families.h"
#include "recipe_tools.h"

#include "wave/harmonics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <numbers>

namespace content_waves {
namespace {

constexpr double kPi = std::numbers::pi;

WaveRecipe singleCycle(const std::string& name, std::function<double(int)> amplitude, double phase = 0.0)
{
    WaveRecipe recipe;
    recipe.name = "Single Cycle\\" + name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 44100.0 / 2048.0;
    recipe.zoneTopKeys = halfOctaveZones();
    recipe.partials = [amplitude, phase](double) {
        std::vector<Partial> partials;
        for (long h = 1; h < 1024; ++h) {
            double a = amplitude(static_cast<int>(h));
            if (a != 0.0) {
                partials.push_back({h, a, phase});
            }
        }
        return partials;
    };
    return recipe;
}

// A pulse high for the fraction width of each cycle: harmonic h is (2/πh)·sin(πhw)·cos(h(θ − πw)).
WaveRecipe pulse(const std::string& name, double width)
{
    WaveRecipe recipe = singleCycle(name, [](int) { return 0.0; });
    recipe.partials = [width](double) {
        std::vector<Partial> partials;
        for (long h = 1; h < 1024; ++h) {
            double hd = static_cast<double>(h);
            partials.push_back({h, 2.0 / (kPi * hd) * std::sin(kPi * hd * width), 0.25 - hd * width / 2.0});
        }
        return partials;
    };
    return recipe;
}

ArchiveRecipe singleCycles()
{
    ArchiveRecipe archive{"Single Cycle.vfs", {}};
    auto odd = [](int h) { return h % 2 == 1; };
    archive.waves.push_back(singleCycle("Sine", [](int h) { return h == 1 ? 1.0 : 0.0; }));
    archive.waves.push_back(singleCycle("Saw", [](int h) { return 1.0 / h; }));
    archive.waves.push_back(singleCycle("Square", [odd](int h) { return odd(h) ? 1.0 / h : 0.0; }));
    archive.waves.push_back(singleCycle("Triangle", [odd](int h) {
        return odd(h) ? ((h / 2) % 2 == 0 ? 1.0 : -1.0) / (double(h) * h) : 0.0;
    }));
    archive.waves.push_back(pulse("Pulse 5", 0.05));
    archive.waves.push_back(pulse("Pulse 10", 0.10));
    archive.waves.push_back(pulse("Pulse 25", 0.25));
    archive.waves.push_back(pulse("Pulse 33", 1.0 / 3.0));
    archive.waves.push_back(pulse("Pulse 40", 0.40));
    archive.waves.push_back(singleCycle("Soft Saw", [](int h) { return std::pow(double(h), -1.6); }));
    archive.waves.push_back(singleCycle("Sine Octaves", [](int h) {
        return (h & (h - 1)) == 0 && h <= 8 ? 1.0 / h : 0.0;
    }));
    return archive;
}

// Drawbar registrations: nine footages from 16' to 1', written as levels 0–8 (3 dB a step). The
// loop holds the 16' cycle, so the played note (8') is harmonic 2 of it.
WaveRecipe organ(const std::string& name, const std::string& drawbars)
{
    static constexpr long kBins[9] = {1, 3, 2, 4, 6, 8, 10, 12, 16};
    WaveRecipe recipe;
    recipe.name = "Organ\\" + name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 2.0 * 44100.0 / 2048.0;
    recipe.zoneTopKeys = halfOctaveZones();
    std::vector<Partial> partials;
    for (int i = 0; i < 9; ++i) {
        int level = drawbars[static_cast<std::size_t>(i)] - '0';
        if (level > 0) {
            partials.push_back({kBins[i], std::pow(10.0, -3.0 * (8 - level) / 20.0), 0.0});
        }
    }
    recipe.partials = [partials](double) { return partials; };
    return recipe;
}

ArchiveRecipe organs()
{
    return {"Organ.vfs",
            {organ("Full", "888888888"), organ("Jazz", "888000000"), organ("Ballad", "838000000"),
             organ("Blues", "888800000"), organ("Gospel", "868000008"), organ("Flute 8+4", "008800000"),
             organ("Reed", "008080808"), organ("Sub", "850000000")}};
}

// A voiced source (harmonics falling 6 dB an octave) shaped by formants that stay at the same
// frequencies over the whole keyboard: each zone evaluates them at its own pitch.
WaveRecipe vowel(const std::string& name, std::vector<Formant> formants)
{
    WaveRecipe recipe;
    recipe.name = "Vocal\\" + name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 44100.0 / 2048.0;
    recipe.zoneTopKeys = halfOctaveZones();
    recipe.partials = [formants, seed = recipe.name](double zoneFrequency) {
        Random random(seed);
        std::vector<Partial> partials;
        for (long h = 1; h < 1024; ++h) {
            double a = formantGain(formants, h * zoneFrequency) / static_cast<double>(h);
            partials.push_back({h, a, random.uniform()});
        }
        return partials;
    };
    return recipe;
}

// Copies of a spectrum detuned by whole bins (13.5 cents each).
WaveRecipe detuned(const std::string& name, std::vector<int> detunes, std::function<double(int)> amplitude)
{
    WaveRecipe recipe = motionRecipe("Motion\\" + name);
    recipe.partials = [detunes, amplitude, seed = recipe.name](double) {
        Random random(seed);
        std::vector<Partial> partials;
        for (int d : detunes) {
            const double weight = d == 0 ? 1.0 : 0.8;
            for (long h = 1; h * (kBinsPerNote + d) < static_cast<long>(kMotionLength / 2); ++h) {
                double a = amplitude(static_cast<int>(h));
                if (a != 0.0) {
                    partials.push_back({h * (kBinsPerNote + d), weight * a, random.uniform()});
                }
            }
        }
        return partials;
    };
    return recipe;
}

ArchiveRecipe motion()
{
    ArchiveRecipe archive{"Motion.vfs", {}};
    auto saw = [](int h) { return 1.0 / h; };
    auto square = [](int h) { return h % 2 == 1 ? 1.0 / h : 0.0; };
    archive.waves.push_back(detuned("Detuned Saw", {-1, 0, 1}, saw));
    archive.waves.push_back(detuned("Super Saw", {-3, -2, -1, 0, 1, 2, 3}, saw));
    archive.waves.push_back(detuned("Detuned Square", {-1, 1}, square));
    archive.waves.push_back(detuned("Chorus Sine", {-1, 0, 1}, [](int h) { return h == 1 ? 1.0 : (h == 2 ? 0.1 : 0.0); }));

    WaveRecipe shimmer = motionRecipe("Motion\\Shimmer");
    shimmer.partials = [](double) {
        // Every harmonic swells and fades at its own rate (1 to 5 times per loop).
        return modulatedHarmonics(48, [](int h, double phi) {
            double rate = 1 + h % 5;
            double swell = 0.5 + 0.5 * std::cos(2.0 * kPi * (rate * phi + 0.13 * h));
            return std::complex<double>(swell / h, 0.0);
        });
    };
    archive.waves.push_back(shimmer);

    WaveRecipe pwm = motionRecipe("Motion\\PWM");
    pwm.partials = [](double) {
        // A pulse whose width swings between 10 % and 90 % once per loop; harmonic h of a pulse
        // of width w is i·(2/πh)·sin(πhw)·e^{−iπhw} in this spectrum's sine convention.
        return modulatedHarmonics(40, [](int h, double phi) {
            double w = 0.5 + 0.4 * std::sin(2.0 * kPi * phi);
            return std::complex<double>(0.0, 1.0) * (2.0 / (kPi * h) * std::sin(kPi * h * w)) *
                   std::polar(1.0, -kPi * h * w);
        });
    };
    archive.waves.push_back(pwm);
    return archive;
}

// Inharmonic spectra as partial ratios of the played note, in a loop of 16 cycles (ratios fall
// on sixteenths of the note).
constexpr std::size_t kBellLength = 4096;
constexpr double kBellBinsPerNote = 16;

WaveRecipe bell(const std::string& name, std::vector<std::pair<double, double>> ratios)
{
    WaveRecipe recipe;
    recipe.name = "Bell\\" + name;
    recipe.loopLength = kBellLength;
    recipe.rootFrequency = kBellBinsPerNote * 44100.0 / kBellLength;
    recipe.zoneTopKeys = halfOctaveZones();
    recipe.partials = [ratios, seed = recipe.name](double) {
        Random random(seed);
        std::vector<Partial> partials;
        for (auto [ratio, amplitude] : ratios) {
            partials.push_back({std::lround(ratio * kBellBinsPerNote), amplitude, random.uniform()});
        }
        return partials;
    };
    return recipe;
}

std::vector<std::pair<double, double>> randomRatios(const std::string& seed, int count, double low, double high,
                                                   double falloff)
{
    Random random(seed);
    std::vector<std::pair<double, double>> ratios{{1.0, 1.0}};
    for (int i = 0; i < count; ++i) {
        double ratio = low * std::pow(high / low, random.uniform());
        ratios.push_back({ratio, std::pow(ratio, -falloff) * (0.4 + 0.6 * random.uniform())});
    }
    return ratios;
}

ArchiveRecipe bells()
{
    ArchiveRecipe archive{"Bell.vfs", {}};
    archive.waves.push_back(bell("Church", {{0.5, 0.6}, {1, 1}, {1.2, 0.7}, {1.5, 0.45}, {2, 0.8}, {2.5, 0.35},
                                            {2.67, 0.3}, {3, 0.25}, {4, 0.2}, {5.33, 0.12}, {6.5, 0.08}}));
    archive.waves.push_back(bell("Tubular", {{1, 1}, {2.756, 0.7}, {5.404, 0.45}, {8.933, 0.3}, {13.34, 0.18},
                                             {18.64, 0.1}}));
    archive.waves.push_back(bell("Glass", {{1, 1}, {2.32, 0.5}, {4.25, 0.4}, {6.63, 0.25}, {9.38, 0.15}}));
    archive.waves.push_back(bell("Marimba", {{1, 1}, {3.93, 0.35}, {9.2, 0.12}}));
    archive.waves.push_back(bell("Steel Drum", {{1, 1}, {1.5, 0.2}, {2, 0.6}, {3.01, 0.3}, {4.2, 0.1}}));
    archive.waves.push_back(bell("Metal Plate", randomRatios("Bell\\Metal Plate", 24, 1.1, 14.0, 0.7)));
    archive.waves.push_back(bell("Gong", randomRatios("Bell\\Gong", 40, 0.5, 6.0, 0.5)));
    // Ring modulation of a note by an irrational ratio: sums and differences of their harmonics.
    std::vector<std::pair<double, double>> clang;
    for (int k = 1; k <= 4; ++k) {
        for (int j = 1; j <= 3; ++j) {
            double a = 1.0 / (k * j);
            clang.push_back({k + j * std::numbers::sqrt2, a});
            clang.push_back({std::abs(k - j * std::numbers::sqrt2), a});
        }
    }
    archive.waves.push_back(bell("Clang", clang));
    return archive;
}

// Vowels of a voice: formant frequencies, bandwidths and levels.
ArchiveRecipe vocals()
{
    ArchiveRecipe archive{"Vocal.vfs", {}};
    archive.waves.push_back(vowel("Ah", {{730, 90, 1.0}, {1090, 110, 0.5}, {2440, 170, 0.25}}));
    archive.waves.push_back(vowel("Eh", {{530, 60, 1.0}, {1840, 100, 0.45}, {2480, 120, 0.3}}));
    archive.waves.push_back(vowel("Ee", {{270, 60, 1.0}, {2290, 90, 0.35}, {3010, 100, 0.3}}));
    archive.waves.push_back(vowel("Oh", {{570, 80, 1.0}, {840, 90, 0.6}, {2410, 120, 0.1}}));
    archive.waves.push_back(vowel("Oo", {{300, 60, 1.0}, {870, 90, 0.3}, {2240, 100, 0.05}}));
    archive.waves.push_back(vowel("Soprano Ah", {{850, 100, 1.0}, {1220, 120, 0.55}, {2810, 160, 0.3}}));
    archive.waves.push_back(vowel("Hum", {{250, 80, 1.0}, {1000, 150, 0.05}, {2200, 200, 0.05}}));

    // Three slightly detuned voices singing "ah".
    WaveRecipe choir = motionRecipe("Vocal\\Choir Ah");
    choir.partials = [seed = choir.name](double zoneFrequency) {
        const std::vector<Formant> ah{{730, 90, 1.0}, {1090, 110, 0.5}, {2440, 170, 0.25}};
        Random random(seed);
        std::vector<Partial> partials;
        for (int d : {-1, 0, 1}) {
            for (long h = 1; h * (kBinsPerNote + d) < static_cast<long>(kMotionLength / 2); ++h) {
                double a = formantGain(ah, h * zoneFrequency) / static_cast<double>(h);
                partials.push_back({h * (kBinsPerNote + d), a, random.uniform()});
            }
        }
        return partials;
    };
    archive.waves.push_back(choir);
    return archive;
}

// Noise loops, read at their recorded rate at A5 (440 Hz). Up to that key nothing can pass the
// Nyquist frequency, so one zone covers the low keys and higher zones lose their top octaves.
WaveRecipe noise(const std::string& name, std::function<double(double)> spectrum)
{
    constexpr std::size_t kLength = 32768;
    WaveRecipe recipe;
    recipe.name = "Noise\\" + name;
    recipe.loopLength = kLength;
    recipe.rootFrequency = 440.0;
    recipe.zoneTopKeys = zonesFrom(69, 12);
    recipe.partials = [spectrum, seed = recipe.name](double) {
        Random random(seed);
        std::vector<Partial> partials;
        for (long b = 1; b < static_cast<long>(kLength / 2); ++b) {
            double frequency = b * 44100.0 / kLength;
            // Rayleigh-distributed magnitudes with uniform phases: Gaussian noise.
            double magnitude = std::sqrt(-2.0 * std::log(1.0 - random.uniform()));
            partials.push_back({b, spectrum(frequency) * magnitude, random.uniform()});
        }
        return partials;
    };
    return recipe;
}

ArchiveRecipe noises()
{
    return {"Noise.vfs",
            {noise("White", [](double) { return 1.0; }),
             noise("Pink", [](double f) { return 1.0 / std::sqrt(f); }),
             noise("Breath", [](double f) { return band(f, 1500, 0.6) + 0.5 * band(f, 3500, 0.4) + 0.03; }),
             noise("Whistle", [](double f) { return band(f, 600, 0.06) + 0.01; }),
             noise("Rumble", [](double f) { return 1.0 / std::sqrt(1.0 + std::pow(f / 200.0, 4.0)); })}};
}

}  // namespace

std::vector<ArchiveRecipe> factoryArchives()
{
    return {singleCycles(),   organs(),         vocals(),         bells(),         motion(),     noises(),
            analogueShapes(), digitalShapes(),  formantVoices(),  breathsAndBursts(), keyZonedWaves()};
}

ExternalExample externalExample()
{
    // A soft pad: six harmonics, the left channel detuned down and the right one up by 13.5 cents
    // against a centre voice, 24-bit stereo.
    ExternalExample example;
    example.descriptionFile = "Example Pad.txt";
    example.wavFile = "Example Pad.wav";
    std::vector<std::complex<double>> left(kMotionLength), right(kMotionLength);
    Random random("Examples\\Example Pad");
    for (long h = 1; h <= 6; ++h) {
        double a = 1.0 / static_cast<double>(h);
        left[static_cast<std::size_t>(h * (kBinsPerNote - 1))] += std::polar(a, 2 * kPi * random.uniform());
        std::complex<double> centre = std::polar(a, 2 * kPi * random.uniform());
        left[static_cast<std::size_t>(h * kBinsPerNote)] += centre;
        right[static_cast<std::size_t>(h * kBinsPerNote)] += centre;
        right[static_cast<std::size_t>(h * (kBinsPerNote + 1))] += std::polar(a, 2 * kPi * random.uniform());
    }
    std::vector<double> l = pelko::periodFromSpectrum(left);
    std::vector<double> r = pelko::periodFromSpectrum(right);
    double peak = 0;
    for (std::size_t i = 0; i < kMotionLength; ++i) {
        peak = std::max({peak, std::abs(l[i]), std::abs(r[i])});
    }
    const double gain = 0.8 * 8388607.0 / peak;
    for (std::size_t i = 0; i < kMotionLength; ++i) {
        example.left.push_back(static_cast<std::int32_t>(std::lround(l[i] * gain)));
        example.right.push_back(static_cast<std::int32_t>(std::lround(r[i] * gain)));
    }
    char root[64];
    auto end = std::to_chars(root, root + sizeof root, kBinsPerNote * 44100.0 / kMotionLength).ptr;
    example.description = "Examples\n"
                          "; An external wave: this file's first line names the group the wave is listed in\n"
                          "; (the wave is \"Examples\\Example Pad\"); each further line is one zone:\n"
                          "; keys|WAV file in this folder|root pitch|fine tune in cents|loop start\n"
                          "C0-G10|Example Pad.wav|" +
                          std::string(root, end) + "Hz|0|0\n";
    return example;
}

}  // namespace content_waves
