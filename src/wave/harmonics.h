// Spectra of periodic waves: building one period of a wave from its harmonics, and measuring the
// harmonics of a stored loop. Used to make band-limited waves (each zone keeps only the
// harmonics that stay below the Nyquist frequency at its highest key) and to check them.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelko {

// In-place radix-2 transform; the size must be a power of two. The inverse is not scaled.
void fourierTransform(std::vector<std::complex<double>>& data, bool inverse);

inline bool isPowerOfTwo(std::size_t n) { return n != 0 && (n & (n - 1)) == 0; }

// One period of length samples (a power of two) from a one-sided spectrum: bin h holds
// a·e^{2πiφ} for the component a·sin(2πφ + 2π·h·n/length). Bin 0 and bins at or above length/2
// are ignored.
std::vector<double> periodFromSpectrum(std::vector<std::complex<double>> bins);

// The amplitude of every harmonic h = 0 … length/2 of a loop of length samples (a power of two),
// scaled so that a sine of amplitude A at harmonic h measures A.
std::vector<double> harmonicAmplitudes(const std::int16_t* samples, std::size_t length);

}  // namespace pelko
