// The 225 patch objects of a program, by index and stored name ("OSC1_ENV",
// "MATRIX_DISABLED_FM_SETTINGS", …). Editor controls bound to object k carry the tag 208 + k.
#pragma once

#include <array>
#include <string_view>

namespace pelko {

constexpr int kPatchObjects = 225;

struct PatchObjectInfo {
    char name[40] = {};         // stored identifier, e.g. "OSC1_ENV"
    char displayName[32] = {};  // e.g. "Osc1 Level"
    char groupName[24] = {};    // e.g. "Osc Level"
};

const std::array<PatchObjectInfo, kPatchObjects>& patchObjectTable();

// Exact, case-sensitive match on the name; -1 when there is none.
int patchObjectIndexOfName(std::string_view name);

// Indices of the objects other code refers to by name.
namespace object {

enum ObjectId : int {
    kOscEnv = 0,            // + oscillator
    kOscWaveshaperEnv = 6,
    kOscPitchEnv = 12,
    kOscKeyLevel = 18,      // curves by key and velocity of each oscillator, + oscillator
    kOscKeyTime = 24,
    kOscKeyWaveshaperLevel = 30,
    kOscKeyWaveshaperTime = 36,
    kOscVelocityPitchEnvLevel = 42,
    kOscVelocityPitchEnvTime = 48,
    kOscKeyPitchEnvLevel = 54,
    kOscKeyPitchEnvTime = 60,
    kOscVelocityPhase = 66,
    kOscKeyPhase = 72,
    kOscKeyPitch = 78,
    kOscVelocityLevel = 84,
    kOscVelocityTime = 90,
    kOscVelocityWaveshaperLevel = 96,
    kOscVelocityWaveshaperTime = 102,
    kFilterEnv = 108,       // + filter
    kFilterKeyCutoff = 110,  // + filter
    kFilterKeyTime = 112,
    kFilterKeyResonance = 114,
    kFilterVelocityCutoff = 116,
    kFilterVelocityTime = 118,
    kFilterVelocityResonance = 120,
    kOscWaveshape = 122,
    kOscShapeId = 128,
    kFilterMode = 134,      // + filter
    kFilterKeyPan = 136,    // + filter
    kFilterVelocityPan = 138,
    kFxType = 140,          // + slot
    kAmSettings = 142,      // + bus
    kUserControlsAssignment = 144,
    kMicrotuningScale = 145,
    kAftertouchFilterCutoff = 146,  // + filter
    kAftertouchFilterResonance = 148,
    kAftertouchOscWaveshaper = 150,  // + oscillator
    kUserControlText = 156,  // + slider
    kPatchAuthor = 162,
    kPatchComment = 163,     // + 0…3
    kGlobalPitchEnv = 167,
    kEnvelopesMaster = 168,  // unused: holds nothing
    kVibratoAmountKey = 169,
    kVibratoAmountAftertouch = 170,
    kOscFmVelocity = 171,     // + oscillator
    kOscFmAftertouch = 177,   // + oscillator
    kVibratoAmountVelocity = 183,
    kAdditiveSettings = 184,  // + oscillator
    kFixedPitchValues = 190,
    kDisabledFm = 191,
    kDisabledOscOut = 192,
    kDisabledFltOut = 193,
    kOscFmKey = 194,          // + oscillator
    kOscPhaseEnv = 200,
    kOscKeyFine = 206,        // + oscillator
    kPresetCategory = 212,
    kFilterResonanceEnv = 213,  // + filter
    kFilterKeyResonanceTime = 215,       // + filter
    kFilterVelocityResonanceTime = 217,  // + filter
    kOscKeyDetune = 219,      // + oscillator
};

}  // namespace object

}  // namespace pelko
