#include "tone_fingerprint.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace pelko::content {
namespace {

constexpr std::size_t kFrame = 2048;
constexpr std::size_t kHop = 1024;
constexpr double kLowestBand = 40.0;
constexpr int kBands = 27;  // third octaves from 40 Hz up to about 16 kHz
constexpr int kSlices = 16;
constexpr double kFloorDb = -60.0;  // bands and slices this far below the loudest count as this

// In-place radix-2 transform; the size is a power of two.
void fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(length));
        for (std::size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
                w *= step;
            }
        }
    }
}

// dB values, limited below to kFloorDb under the largest, minus their mean.
std::vector<double> relativeDb(const std::vector<double>& power)
{
    const double largest = *std::max_element(power.begin(), power.end());
    std::vector<double> db(power.size(), 0.0);
    if (largest <= 0.0) {
        return db;
    }
    double mean = 0.0;
    for (std::size_t i = 0; i < power.size(); ++i) {
        db[i] = std::max(10.0 * std::log10(std::max(power[i], 1e-30) / largest), kFloorDb);
        mean += db[i];
    }
    mean /= static_cast<double>(db.size());
    for (double& v : db) {
        v -= mean;
    }
    return db;
}

double rmsDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    }
    return n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

}  // namespace

SpectralFingerprint spectralFingerprint(std::span<const float> mono, double sampleRate)
{
    std::vector<double> bandPower(kBands, 0.0);
    std::vector<double> window(kFrame);
    for (std::size_t i = 0; i < kFrame; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kFrame);
    }
    // Which band each transform bin falls in (−1 outside 40 Hz … 16 kHz).
    std::vector<int> bandOfBin(kFrame / 2, -1);
    for (std::size_t bin = 1; bin < kFrame / 2; ++bin) {
        const double f = static_cast<double>(bin) * sampleRate / kFrame;
        const int band = static_cast<int>(std::floor(3.0 * std::log2(f / kLowestBand)));
        if (band >= 0 && band < kBands) {
            bandOfBin[bin] = band;
        }
    }
    std::vector<std::complex<double>> buffer(kFrame);
    for (std::size_t start = 0; start + kFrame <= mono.size(); start += kHop) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            buffer[i] = window[i] * mono[start + i];
        }
        fft(buffer);
        for (std::size_t bin = 1; bin < kFrame / 2; ++bin) {
            if (bandOfBin[bin] >= 0) {
                bandPower[static_cast<std::size_t>(bandOfBin[bin])] += std::norm(buffer[bin]);
            }
        }
    }
    std::vector<double> slicePower(kSlices, 0.0);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        slicePower[i * kSlices / mono.size()] += static_cast<double>(mono[i]) * mono[i];
    }
    return {relativeDb(bandPower), relativeDb(slicePower)};
}

double fingerprintDistance(const SpectralFingerprint& a, const SpectralFingerprint& b)
{
    const double bands = rmsDifference(a.bands, b.bands);
    const double contour = rmsDifference(a.contour, b.contour);
    return std::sqrt(0.5 * (bands * bands + contour * contour));
}

}  // namespace pelko::content
