// Analysis of a recorded wave into the 64 harmonic levels and phases of an additive wave.
//
// 1. The period is found with a cumulative-mean-normalised difference function over the first
//    frames of the sound (the first clear dip, refined to a fraction of a sample). A sound with
//    no repetition in it (typically a file that holds exactly one cycle) is taken as one cycle.
// 2. A power of two of whole cycles (1, 2, 4 or 8, as many as the file holds) is taken from the
//    start of the sound (leading silence skipped) and resampled with windowed-sinc interpolation
//    to a power of two of points, at least 128 per cycle, so that the cycles fill the buffer
//    exactly.
// 3. A Fourier transform gives harmonic h in bin h·cycles: its level is the magnitude, its phase
//    the offset of the component level·sin(2π·phase + 2π·h·t/period), in cycles (0–1).
// Levels are normalised so that the strongest harmonic is 1; harmonics more than 100 dB below it
// are 0 (with phase 0), so that a pure tone comes back as one harmonic.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pelko {

struct HarmonicAnalysis {
    static constexpr int kHarmonics = 64;
    std::array<float, kHarmonics> levels{};  // harmonic 1 at index 0; 0–1
    std::array<float, kHarmonics> phases{};  // cycles, 0–1
    double periodSamples = 0.0;              // the period found (the sound's length for one cycle)
    int cycles = 0;                          // cycles analysed
};

// None when the samples are fewer than 4 or silent.
std::optional<HarmonicAnalysis> analyseHarmonics(const float* samples, std::size_t count);
std::optional<HarmonicAnalysis> analyseHarmonics(const std::int16_t* samples, std::size_t count);

// The period of a sound in samples (fractional), or none when no repetition is clear.
std::optional<double> detectPeriod(const float* samples, std::size_t count);

}  // namespace pelko
