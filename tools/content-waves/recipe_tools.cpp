#include "recipe_tools.h"

#include "wave/harmonics.h"

#include <cmath>
#include <numbers>

namespace content_waves {

constexpr double kPi = std::numbers::pi;

Random::Random(const std::string& seedText)
{
    state_ = 1469598103934665603ull;
    for (unsigned char c : seedText) {
        state_ = (state_ ^ c) * 1099511628211ull;
    }
    if (state_ == 0) {
        state_ = 1;
    }
}

double Random::uniform()
{
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<double>((state_ * 2685821657736338717ull) >> 11) * 0x1.0p-53;
}

double formantGain(const std::vector<Formant>& formants, double frequency)
{
    double g = 0.015;  // the breath between the formants
    for (const Formant& f : formants) {
        double x = (frequency - f.frequency) / (0.5 * f.bandwidth);
        g += f.gain / std::sqrt(1.0 + x * x);
    }
    return g;
}

double band(double frequency, double centre, double octaves)
{
    double x = std::log2(frequency / centre) / octaves;
    return std::exp(-0.5 * x * x);
}

double vocalTract(const std::vector<Resonance>& formants, double frequency)
{
    double gain = 1.0;
    for (const Resonance& r : formants) {
        const double halfWidth = 0.5 * r.bandwidth;
        const double below = frequency - r.frequency, above = frequency + r.frequency;
        gain *= (r.frequency * r.frequency + halfWidth * halfWidth) /
                std::sqrt((below * below + halfWidth * halfWidth) * (above * above + halfWidth * halfWidth));
    }
    return gain;
}

double sungLevel(const std::vector<Resonance>& formants, long h, double frequency)
{
    return (vocalTract(formants, frequency) + 0.3) / static_cast<double>(h);
}

WaveRecipe motionRecipe(const std::string& name)
{
    WaveRecipe recipe;
    recipe.name = name;
    recipe.loopLength = kMotionLength;
    recipe.rootFrequency = kBinsPerNote * 44100.0 / kMotionLength;
    recipe.zoneTopKeys = zonesFrom(35, 12);
    return recipe;
}

std::vector<Partial> modulatedHarmonics(int harmonics, const std::function<std::complex<double>(int, double)>& envelope)
{
    constexpr std::size_t kSteps = 512;
    std::vector<Partial> partials;
    for (int h = 1; h <= harmonics; ++h) {
        std::vector<std::complex<double>> series(kSteps);
        for (std::size_t k = 0; k < kSteps; ++k) {
            series[k] = envelope(h, static_cast<double>(k) / kSteps);
        }
        pelko::fourierTransform(series, false);
        for (std::size_t k = 0; k < kSteps; ++k) {
            long m = k < kSteps / 2 ? static_cast<long>(k) : static_cast<long>(k) - static_cast<long>(kSteps);
            std::complex<double> c = series[k] / static_cast<double>(kSteps);
            if (std::abs(c) > 1e-6) {
                partials.push_back({h * kBinsPerNote + m, std::abs(c), std::arg(c) / (2.0 * kPi)});
            }
        }
    }
    return partials;
}

std::complex<double> shapeHarmonic(const std::vector<Jump>& jumps, const std::vector<Corner>& corners, long h)
{
    // With x = Σ C_h·e^{2πiht}, a jump J at t adds J·e^{−2πiht}/(2πih) to C_h and a slope change K
    // adds K·e^{−2πiht}/(2πih)²; the component 2|C_h|·cos(2πht + arg C_h) is the sine-convention
    // amplitude 2i·C_h.
    const double w = 2.0 * kPi * static_cast<double>(h);
    std::complex<double> c = 0.0;
    for (const Jump& j : jumps) {
        c += j.size * std::polar(1.0, -w * j.time) / std::complex<double>(0.0, w);
    }
    for (const Corner& k : corners) {
        c += k.slopeChange * std::polar(1.0, -w * k.time) / (-w * w);
    }
    return std::complex<double>(0.0, 2.0) * c;
}

std::vector<Partial> shapeSeries(const std::vector<Jump>& jumps, const std::vector<Corner>& corners, long count)
{
    std::vector<Partial> partials;
    for (long h = 1; h <= count; ++h) {
        std::complex<double> c = shapeHarmonic(jumps, corners, h);
        if (std::abs(c) > 1e-9) {
            partials.push_back({h, std::abs(c), std::arg(c) / (2.0 * kPi)});
        }
    }
    return partials;
}

std::vector<Jump> heldSteps(const std::vector<double>& values)
{
    std::vector<Jump> jumps;
    const std::size_t n = values.size();
    for (std::size_t k = 0; k < n; ++k) {
        double step = values[k] - values[(k + n - 1) % n];
        if (step != 0.0) {
            jumps.push_back({static_cast<double>(k) / static_cast<double>(n), step});
        }
    }
    return jumps;
}

std::vector<Partial> partialsOfPeriod(const std::vector<double>& period)
{
    const std::size_t n = period.size();
    std::vector<std::complex<double>> spectrum(period.begin(), period.end());
    pelko::fourierTransform(spectrum, false);
    // x[t] = (1/n)·Σ X_b·e^{2πibt/n}: bin b is the component (2|X_b|/n)·cos(2πbt/n + arg X_b).
    std::vector<Partial> partials;
    for (std::size_t b = 1; b < n / 2; ++b) {
        partials.push_back({static_cast<long>(b), 2.0 * std::abs(spectrum[b]) / static_cast<double>(n),
                            std::arg(spectrum[b]) / (2.0 * kPi) + 0.25});
    }
    return partials;
}

}  // namespace content_waves
