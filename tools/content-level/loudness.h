// Integrated loudness of a stereo signal as the broadcast loudness standard measures it:
// K-weighting (a high shelf near 1.7 kHz and a high pass near 38 Hz), mean squares over 400 ms
// blocks that overlap by 75 %, an absolute gate at −70 LUFS and a relative gate 10 LU below the
// level of the blocks that pass the absolute gate. The content tools level every factory program
// with it and the content tests check the levels with the same code.
#pragma once

#include <span>

namespace pelko::content {

// One second-order section, a0 normalised to 1.
struct Biquad {
    double b0, b1, b2, a1, a2;
};

// The two K-weighting stages for a sample rate (the shelf first, then the high pass).
Biquad kWeightingShelf(double sampleRate);
Biquad kWeightingHighPass(double sampleRate);

// The integrated loudness in LUFS of the two channels (equal lengths); −inf when no block passes
// the gates (silence or a signal shorter than one block). Channels are weighted 1 each.
double integratedLoudness(std::span<const float> left, std::span<const float> right, double sampleRate);

// The largest sample magnitude of both channels, in dBFS (−inf for silence).
double samplePeakDb(std::span<const float> left, std::span<const float> right);

}  // namespace pelko::content
