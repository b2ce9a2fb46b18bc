// Building blocks the wave families share: seeded randomness, formant shapes, spectra that move
// over a loop, exact spectra of shapes made of ramps and steps, and the spectrum of a period
// given in samples.
#pragma once

#include "band_limited_wave.h"

#include <complex>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace content_waves {

// xorshift64*, seeded from a text (FNV-1a): the same text always gives the same draws.
class Random {
public:
    explicit Random(const std::string& seedText);
    double uniform();  // [0, 1)

private:
    std::uint64_t state_;
};

struct Formant {
    double frequency;  // Hz
    double bandwidth;  // Hz
    double gain;
};

// The sum of the formants' resonance curves at frequency (Hz), over a small floor of breath.
double formantGain(const std::vector<Formant>& formants, double frequency);

// A bell curve over log frequency: 1 at centre (Hz), falling with the distance in octaves.
double band(double frequency, double centre, double octaves);

// A vocal tract as a cascade of two-pole resonances (1 at 0 Hz): the formants' relative levels
// follow from their frequencies and bandwidths, as in a voice.
struct Resonance {
    double frequency;  // Hz
    double bandwidth;  // Hz
};
double vocalTract(const std::vector<Resonance>& formants, double frequency);
// Harmonic h (at frequency, Hz) of a voice singing through the tract: the source falls 6 dB an
// octave from the sung note, and a floor of breath keeps the highest notes, far above every
// formant, audible.
double sungLevel(const std::vector<Resonance>& formants, long h, double frequency);

// Loops that hold many cycles of the note, so partials can sit between its harmonics: a detuned
// copy, or a slowly changing spectrum. 128 bins per harmonic: a neighbour bin is 13.5 cents.
constexpr std::size_t kMotionLength = 32768;
constexpr long kBinsPerNote = 128;

// A recipe for such a loop (zones every octave from key 35); the caller adds the partials.
WaveRecipe motionRecipe(const std::string& name);

// Harmonic h whose complex amplitude (in the partials' sine convention) follows envelope(h, φ)
// over the loop (φ from 0 to 1): the envelope's Fourier series places sidebands at h·128 ± m.
std::vector<Partial> modulatedHarmonics(int harmonics,
                                        const std::function<std::complex<double>(int, double)>& envelope);

// A periodic shape (period 1) made of straight pieces: it steps by size at every jump and its
// slope changes by slopeChange at every corner; between them it is a straight line.
struct Jump {
    double time;  // [0, 1)
    double size;
};
struct Corner {
    double time;  // [0, 1)
    double slopeChange;
};

// The exact Fourier coefficient of harmonic h ≥ 1 of such a shape, as a partial's complex
// amplitude a·e^{2πiφ} (the component a·sin(2πht + 2πφ)). Nothing is sampled, so nothing aliases.
std::complex<double> shapeHarmonic(const std::vector<Jump>& jumps, const std::vector<Corner>& corners, long h);
// Harmonics 1 … count of the shape as partials.
std::vector<Partial> shapeSeries(const std::vector<Jump>& jumps, const std::vector<Corner>& corners, long count);

// The steps of a staircase holding values[k] over [k/n, (k+1)/n) for n = values.size().
std::vector<Jump> heldSteps(const std::vector<double>& values);

// The partials of one period given in samples (a power-of-two count): every bin 1 … n/2 − 1.
std::vector<Partial> partialsOfPeriod(const std::vector<double>& period);

}  // namespace content_waves
