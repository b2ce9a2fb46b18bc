#include "wave/harmonics.h"

#include <cmath>
#include <numbers>

namespace pelko {

void fourierTransform(std::vector<std::complex<double>>& data, bool inverse)
{
    const std::size_t n = data.size();
    if (!isPowerOfTwo(n)) {
        return;
    }
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = sign * 2.0 * std::numbers::pi / static_cast<double>(length);
        const std::size_t half = length / 2;
        for (std::size_t start = 0; start < n; start += length) {
            for (std::size_t k = 0; k < half; ++k) {
                // Twiddles computed directly rather than by repeated multiplication: no drift.
                const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
                const std::complex<double> a = data[start + k];
                const std::complex<double> b = data[start + k + half] * w;
                data[start + k] = a + b;
                data[start + k + half] = a - b;
            }
        }
    }
}

std::vector<double> periodFromSpectrum(std::vector<std::complex<double>> bins)
{
    const std::size_t length = bins.size();
    std::vector<double> period(length, 0.0);
    if (!isPowerOfTwo(length) || length < 4) {
        return period;
    }
    // a·sin(θ + ωn) = Re(a·e^{i(θ − π/2)}·e^{iωn}): the real part of the inverse transform of the
    // one-sided spectrum turned by a quarter cycle.
    const std::complex<double> quarterTurn(0.0, -1.0);
    bins[0] = 0.0;
    for (std::size_t h = 1; h < length; ++h) {
        bins[h] = h < length / 2 ? bins[h] * quarterTurn : 0.0;
    }
    fourierTransform(bins, true);
    for (std::size_t i = 0; i < length; ++i) {
        period[i] = bins[i].real();
    }
    return period;
}

std::vector<double> harmonicAmplitudes(const std::int16_t* samples, std::size_t length)
{
    if (!isPowerOfTwo(length)) {
        return {};
    }
    std::vector<std::complex<double>> bins(length);
    for (std::size_t i = 0; i < length; ++i) {
        bins[i] = samples[i];
    }
    fourierTransform(bins, false);
    std::vector<double> amplitudes(length / 2 + 1);
    for (std::size_t h = 0; h <= length / 2; ++h) {
        const double scale = (h == 0 || h == length / 2) ? 1.0 : 2.0;
        amplitudes[h] = std::abs(bins[h]) * scale / static_cast<double>(length);
    }
    return amplitudes;
}

}  // namespace pelko
