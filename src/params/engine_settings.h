// The engine quantities that parameters map to. Set functions of the parameter table write here;
// the voices, oscillators, filters and sequencer read from here.
#pragma once

#include <array>

namespace pelko {

constexpr int kOscillators = 6;
constexpr int kFmSources = 8;  // oscillators 1–6, product bus A, product bus B
constexpr int kSequencerSteps = 16;

struct OscillatorSettings {
    int coarse = 48;             // semitone index 0–96, 48 = untransposed
    float fineFactor = 1.0f;     // within ± one semitone
    float rateFactor = 1.0f;     // frequency range: 1, 0.01 or 0.0001
    bool randomPhase = false;    // random start phase
    float phaseAmount = 0.0f;
    float pitchModDepth = 1.0f;  // ratio
    // Routing gains after the routing switches: to filter 1, to filter 2, straight out.
    float sendFilter1 = 0.0f;
    float sendFilter2 = 0.0f;
    float direct = 0.0f;
    int glideSamples = 0;
    float glideReciprocal = 0.0f;
    float randomPitchUp = 1.0f;    // a = 1.0594631^v
    float randomPitchDown = 1.0f;  // 1/a
};

struct SequencerSettings {
    std::array<int, kSequencerSteps> transpose{};       // semitones, −48…48
    std::array<int, kSequencerSteps> velocityOffset{};  // −64…64
    std::array<int, kSequencerSteps> gateSamples{};
    int steps = 0;            // 0–16
    int samplesPerStep = 0;
    bool randomOrder = false;
};

struct EngineSettings {
    int polyphony = 16;
    float engineGain = 1.0f;  // Main Level × master gain × 4
    std::array<OscillatorSettings, kOscillators> oscillators{};
    // fmGain[destination][source]; the diagonal is each oscillator's feedback.
    std::array<std::array<float, kFmSources>, kOscillators> fmGain{};
    bool fmDepthCurve = true;  // "DX7" scaling; false: "LIN"
    bool glideOn = false;
    // Product buses A and B: to filter 1, to filter 2, straight out.
    std::array<std::array<float, 3>, 2> busSend{};
    std::array<float, 2> cutoff{};
    std::array<float, 2> resonance{};
    std::array<float, 2> cutoffEnvMod{};
    std::array<float, 2> resonanceEnvMod{{1.0f, 1.0f}};
    SequencerSettings sequencer;
    bool fxSerial = true;
    bool fxBypass = false;
    bool dcRemove = true;
    std::array<bool, 2> fxTempoSync{{true, true}};
    int bendRangeSemitones = 2;
    float vibratoDepth = 1.0f;
};

}  // namespace pelko
