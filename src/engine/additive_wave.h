// Builds an oscillator's "User-Defined" wave from additive settings (64 harmonic levels and
// phases). One zone is made after each harmonic present, holding every harmonic up to it, so zone
// z is richer than zone z − 1; each key plays the richest zone whose harmonics stay below
// 22050 Hz at that key, and keys below the first harmonic's limit play the first zone.
// Zones: 4096 samples, loop from 0, root 44100/4096 Hz, each normalised to full scale.
//
// Allocates: build off the audio thread.
#pragma once

#include "wave/wave.h"

#include <memory>
#include <string_view>

namespace pelko {

class AdditiveSettingsObject;

constexpr int kAdditiveWaveLength = 4096;
constexpr std::string_view kAdditiveWavePrefix = "User-Defined\\User";

// Null when every level is 0 (the oscillator then stays silent) or memory runs out.
std::shared_ptr<const Wave> buildAdditiveWave(const AdditiveSettingsObject& settings);

// The highest harmonic that key k (0–127) may play below 22050 Hz: min(64, floor(22050/f(k))).
int additiveHarmonicLimit(int key);

// For a wave name "User-Defined\User<n>" the additive settings number n − 1 (0–5); −1 otherwise.
int additiveSettingsOfWaveName(std::string_view name);

}  // namespace pelko
