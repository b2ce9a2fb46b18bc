// A short description of what a rendered phrase sounds like, for telling programs apart: the
// spectrum's shape in third-octave bands (averaged over the phrase) and the loudness contour over
// time, both in dB relative to their own mean, so two programs that differ only in level have the
// same fingerprint.
#pragma once

#include <span>
#include <vector>

namespace pelko::content {

struct SpectralFingerprint {
    std::vector<double> bands;    // dB per third-octave band, 40 Hz … 16 kHz, mean removed
    std::vector<double> contour;  // dB per slice of the phrase, mean removed
};

// Of a mono signal.
SpectralFingerprint spectralFingerprint(std::span<const float> mono, double sampleRate);

// The RMS difference in dB over both parts (bands and contour count as one list each, weighted
// equally). Identical sounds give 0; a brighter or darker version of a sound gives a few dB.
double fingerprintDistance(const SpectralFingerprint& a, const SpectralFingerprint& b);

}  // namespace pelko::content
