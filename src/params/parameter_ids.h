// Names for the parameter indices (0–207) that code addresses directly. A row that exists once per
// oscillator, filter, sequencer step or effect slot is named by its first index; add the instance.
#pragma once

namespace pelko::param {

enum ParameterId : int {
    kVoices = 0,
    kMainLevel = 1,
    kOscCoarse = 2,         // + oscillator (0–5)
    kOscFine = 8,           // + oscillator
    kOscLfo = 14,
    kOscPhaseMod = 20,
    kFmMatrix = 26,         // + 6 · source (0–7) + destination oscillator
    kOscPitchMod = 74,
    kOscToFilter1 = 80,     // + oscillator
    kOscToFilter2 = 86,
    kOscDirect = 92,
    kOscGlideTime = 98,
    kGlide = 104,
    kBusOut = 105,          // + cell (0–5): buses A and B to filter 1, to filter 2, direct
    kCutoff = 111,          // + filter (0–1)
    kResonance = 113,
    kCutoffEnvMod = 115,
    kSeqNote = 117,         // + step (0–15)
    kSeqVelocity = 133,
    kSeqLength = 149,
    kSeqSteps = 165,
    kSeqSpeed = 166,
    kFxParameter = 167,     // + 6 · slot + parameter (0–5)
    kFxDryWet = 179,        // + slot
    kFxSerialMode = 181,
    kFxBypass = 182,
    kSeqRandom = 183,
    kUnused = 184,           // + 0…3: rows that hold a value and drive nothing
    kResonanceEnvMod = 188,  // + filter
    kDcRemove = 190,
    kFxTempoSync = 191,      // + slot
    kFmScaling = 193,
    kBendRange = 194,
    kVibratoDepth = 195,
    kOscPitchRandom = 196,   // + oscillator
    kUserSlider = 202,       // + slider (0–5)
};

constexpr int kFxParametersPerSlot = 6;
constexpr int kFxParameterCount = 2 * kFxParametersPerSlot;
constexpr int kTuneRows = 12;  // coarse then fine tune of the six oscillators

}  // namespace pelko::param
