// Measurements of rendered sound for the engine and plug-in tests: frequency by interpolated
// zero crossings, amplitude at one frequency (a Hann-windowed single-frequency DFT), RMS and peak.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace testing_support {

// Mean frequency in Hz from the first to the last upward zero crossing, each located by linear
// interpolation between the samples around it. 0 when fewer than two crossings are found.
inline double zeroCrossingFrequency(const std::vector<float>& x, double sampleRate, std::size_t from = 0)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t n = std::max<std::size_t>(from, 1); n < x.size(); ++n) {
        const double a = x[n - 1];
        const double b = x[n];
        if (a < 0.0 && b >= 0.0) {
            const double t = static_cast<double>(n - 1) + a / (a - b);
            if (first < 0.0) {
                first = t;
            }
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) {
        return 0.0;
    }
    return (crossings - 1) * sampleRate / (last - first);
}

// Difference of two frequencies in cents.
inline double cents(double measured, double expected) { return 1200.0 * std::log2(measured / expected); }

// Amplitude of the component at `hz` over x[from, from + length): a sine of amplitude A at hz
// measures A; components a few window bins away contribute almost nothing.
inline double amplitudeAt(const std::vector<float>& x, double hz, double sampleRate, std::size_t from = 0,
                          std::size_t length = 0)
{
    if (length == 0 || from + length > x.size()) {
        length = x.size() - from;
    }
    const double w = 2.0 * std::numbers::pi * hz / sampleRate;
    std::complex<double> sum = 0.0;
    double windowSum = 0.0;
    for (std::size_t n = 0; n < length; ++n) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(length));
        sum += hann * static_cast<double>(x[from + n]) * std::polar(1.0, -w * static_cast<double>(n));
        windowSum += hann;
    }
    return 2.0 * std::abs(sum) / windowSum;
}

inline double rms(const std::vector<float>& x, std::size_t from = 0, std::size_t to = 0)
{
    if (to == 0 || to > x.size()) {
        to = x.size();
    }
    double sum = 0.0;
    for (std::size_t n = from; n < to; ++n) {
        sum += static_cast<double>(x[n]) * x[n];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

inline double peak(const std::vector<float>& x, std::size_t from = 0, std::size_t to = 0)
{
    if (to == 0 || to > x.size()) {
        to = x.size();
    }
    double p = 0.0;
    for (std::size_t n = from; n < to; ++n) {
        p = std::max(p, static_cast<double>(std::fabs(x[n])));
    }
    return p;
}

// Power spectrum of x[from, from + 2^k) with a Hann window: |X[b]|² for bins 0 … n/2, bin b at
// b·sampleRate/n Hz. `length` is rounded down to a power of two (at least 2).
inline std::vector<double> powerSpectrum(const std::vector<float>& x, std::size_t from, std::size_t length)
{
    std::size_t n = 2;
    while (n * 2 <= length) {
        n *= 2;
    }
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        a[i] = from + i < x.size() ? hann * static_cast<double>(x[from + i]) : 0.0;
    }
    // Iterative radix-2 transform: bit-reversed order, then butterflies.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j |= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (std::size_t size = 2; size <= n; size *= 2) {
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(size));
        for (std::size_t start = 0; start < n; start += size) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < size / 2; ++k) {
                const std::complex<double> u = a[start + k];
                const std::complex<double> v = a[start + k + size / 2] * w;
                a[start + k] = u + v;
                a[start + k + size / 2] = u - v;
                w *= step;
            }
        }
    }
    std::vector<double> power(n / 2 + 1);
    for (std::size_t b = 0; b <= n / 2; ++b) {
        power[b] = std::norm(a[b]);
    }
    return power;
}

// Sum of a power spectrum's bins from `lowHz` (inclusive) to `highHz` (exclusive).
inline double bandPower(const std::vector<double>& power, double sampleRate, double lowHz, double highHz)
{
    const double binHz = sampleRate / (2.0 * static_cast<double>(power.size() - 1));
    double sum = 0.0;
    for (std::size_t b = 0; b < power.size(); ++b) {
        const double hz = static_cast<double>(b) * binHz;
        if (hz >= lowHz && hz < highHz) {
            sum += power[b];
        }
    }
    return sum;
}

inline double decibels(double ratio) { return ratio > 0.0 ? 20.0 * std::log10(ratio) : -300.0; }

}  // namespace testing_support
