// Analogue and digital shapes, all computed as exact Fourier series of shapes made of ramps and
// steps (see shapeHarmonic), so that even a staircase or a hard-sync reset is band-limited.
#include "more_families.h"
#include "recipe_tools.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <string>

namespace content_waves {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr long kCycleHarmonics = 1023;  // every harmonic a 2048-sample cycle holds

// A single cycle of 2048 samples, zoned every half octave, with a spectrum that does not depend
// on the key.
WaveRecipe cycle(const std::string& name, std::vector<Partial> partials)
{
    WaveRecipe recipe;
    recipe.name = name;
    recipe.loopLength = 2048;
    recipe.rootFrequency = 44100.0 / 2048.0;
    recipe.zoneTopKeys = halfOctaveZones();
    recipe.partials = [partials = std::move(partials)](double) { return partials; };
    return recipe;
}

// A pulse from −1 to +1, high for the fraction width of the cycle.
std::vector<Jump> pulseSteps(double width) { return {{0.0, 2.0}, {width, -2.0}}; }

// A saw (−1 rising to +1) running ratio times as fast as the cycle and restarted at every cycle:
// a step of −2 wherever it wraps within the cycle, and at the restart a step back to −1 from
// wherever the last ramp had reached.
std::vector<Jump> syncedSaw(double ratio)
{
    std::vector<Jump> jumps;
    for (int k = 1; k < ratio; ++k) {
        jumps.push_back({k / ratio, -2.0});
    }
    double reached = ratio - std::floor(ratio);
    if (reached == 0.0) {
        reached = 1.0;
    }
    jumps.push_back({0.0, -2.0 * reached});
    return jumps;
}

// The shape's harmonics through a one-pole low-pass whose corner is at harmonic corner: the
// rounded edges of a shape from a slow analogue circuit.
std::vector<Partial> softened(const std::vector<Jump>& jumps, const std::vector<Corner>& corners, double corner)
{
    std::vector<Partial> partials;
    for (long h = 1; h <= kCycleHarmonics; ++h) {
        std::complex<double> c = shapeHarmonic(jumps, corners, h) / std::complex<double>(1.0, h / corner);
        partials.push_back({h, std::abs(c), std::arg(c) / (2.0 * kPi)});
    }
    return partials;
}

// Quantises x in [−1, 1] to 2^bits levels placed symmetrically about zero.
double quantised(double x, int bits)
{
    const double levels = std::ldexp(1.0, bits - 1);
    const double step = std::clamp(std::floor(x * levels), -levels, levels - 1.0);
    return (step + 0.5) / levels;
}

// shape(t) for t in [0, 1) held over steps equal parts of the cycle (each sampled at its middle),
// quantised to bits when bits > 0.
std::vector<Jump> heldShape(const std::function<double(double)>& shape, int steps, int bits)
{
    std::vector<double> values;
    for (int k = 0; k < steps; ++k) {
        double x = shape((k + 0.5) / steps);
        values.push_back(bits > 0 ? quantised(x, bits) : x);
    }
    return heldSteps(values);
}

double sine(double t) { return std::sin(2.0 * kPi * t); }
double saw(double t) { return 2.0 * t - 1.0; }
double triangle(double t) { return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t; }

// Bit reduction alone: the shape is held over steps fine enough that only the quantiser's
// levels are heard as steps.
constexpr int kFineSteps = 4096;

}  // namespace

ArchiveRecipe analogueShapes()
{
    ArchiveRecipe archive{"Analog.vfs", {}};
    for (int width : {15, 20, 30, 45}) {
        archive.waves.push_back(cycle("Analog\\Pulse " + std::to_string(width),
                                      shapeSeries(pulseSteps(width / 100.0), {}, kCycleHarmonics)));
    }
    for (const char* ratio : {"1.5", "2.5", "3.7", "5.3"}) {
        archive.waves.push_back(cycle(std::string("Analog\\Sync ") + ratio,
                                      shapeSeries(syncedSaw(std::stod(ratio)), {}, kCycleHarmonics)));
    }
    // The synced saw's ratio sweeps from 1 up to 6 and back once over the loop.
    WaveRecipe sweep = motionRecipe("Analog\\Sync Sweep");
    std::vector<Partial> sweepPartials = modulatedHarmonics(64, [](int h, double phi) {
        return shapeHarmonic(syncedSaw(1.0 + 2.5 * (1.0 - std::cos(2.0 * kPi * phi))), {}, h);
    });
    sweep.partials = [sweepPartials](double) { return sweepPartials; };
    archive.waves.push_back(sweep);

    archive.waves.push_back(cycle("Analog\\Warm Saw", softened({{0.0, -2.0}}, {}, 12.0)));
    archive.waves.push_back(cycle("Analog\\Soft Square", softened(pulseSteps(0.5), {}, 6.0)));
    // Rising over a fifth of the cycle, falling over the rest.
    const double slopes = 2.0 / 0.2 + 2.0 / 0.8;
    archive.waves.push_back(
        cycle("Analog\\Skewed Triangle", shapeSeries({}, {{0.0, slopes}, {0.2, -slopes}}, kCycleHarmonics)));
    return archive;
}

ArchiveRecipe digitalShapes()
{
    ArchiveRecipe archive{"Digital.vfs", {}};
    auto add = [&archive](const std::string& name, const std::vector<Jump>& steps) {
        archive.waves.push_back(cycle("Digital\\" + name, shapeSeries(steps, {}, kCycleHarmonics)));
    };
    add("Sine 3 Bit", heldShape(sine, kFineSteps, 3));
    add("Sine 4 Bit", heldShape(sine, kFineSteps, 4));
    add("Saw 4 Bit", heldShape(saw, kFineSteps, 4));
    add("Triangle 4 Bit", heldShape(triangle, kFineSteps, 4));
    add("Sine 8 Steps", heldShape(sine, 8, 0));
    add("Saw 12 Steps", heldShape(saw, 12, 0));
    add("Saw 24 Steps 6 Bit", heldShape(saw, 24, 6));
    add("Organ 3 Bit", heldShape([](double t) { return (sine(t) + sine(2 * t) + sine(3 * t)) / 2.6; }, kFineSteps, 3));
    // A table of 32 random levels, the same on every build.
    Random random("Digital\\Random 32 Steps");
    std::vector<double> levels;
    for (int k = 0; k < 32; ++k) {
        levels.push_back(2.0 * random.uniform() - 1.0);
    }
    add("Random 32 Steps", heldSteps(levels));
    add("Pulse 12.5", pulseSteps(0.125));
    return archive;
}

}  // namespace content_waves
