// Tempo sync of effect times and rates. A synced parameter snaps to one of 26 note lengths
// (in beats). A synced delay lasts that many beats at the host tempo; a synced LFO runs at
// 30 · beats / bpm Hz, so longer steps give faster rates.
#pragma once

namespace pelko {

constexpr int kSyncSteps = 26;

// The step a parameter value 0…1 selects: trunc(v · 25 + 0.01), clamped to 0…25.
int syncStepIndex(float value);
// Length of step k in beats (step 2, labelled "1/16", is 0.06625 beats).
float syncStepBeats(int step);
// Display name of step k, padded to four characters with leading blanks (" 1/8", "   2").
const char* syncStepName(int step);
// The value a synced parameter reports back: k · 0.04.
float syncStepValue(int step);

// Host tempo in beats per minute. A reported tempo is used only when it is finite and within
// [kMinTempo, kMaxTempo]; anything else (0, negative, NaN, absurdly large) keeps the last usable
// tempo. The lower bound also bounds the memory of synced delay lines (8 beats at 20 bpm = 24 s).
constexpr float kDefaultTempo = 120.0f;
constexpr float kMinTempo = 20.0f;
constexpr float kMaxTempo = 1000.0f;
bool isUsableTempo(double bpm);

// Sample rate in Hz. Finite positive rates are clamped into [kMinSampleRate, kMaxSampleRate];
// zero, negative and non-finite rates keep the current one.
constexpr float kDefaultSampleRate = 44100.0f;
constexpr float kMinSampleRate = 8000.0f;
constexpr float kMaxSampleRate = 384000.0f;
float usableSampleRate(double requested, float current);

}  // namespace pelko
