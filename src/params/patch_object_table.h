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
constexpr int kOscEnv = 0;            // + oscillator
constexpr int kOscWaveshaperEnv = 6;
constexpr int kOscPitchEnv = 12;
constexpr int kOscKeyLevel = 18;      // curves by key and velocity of each oscillator, + oscillator
constexpr int kOscKeyTime = 24;
constexpr int kOscKeyWaveshaperLevel = 30;
constexpr int kOscKeyWaveshaperTime = 36;
constexpr int kOscVelocityPitchEnvLevel = 42;
constexpr int kOscVelocityPitchEnvTime = 48;
constexpr int kOscKeyPitchEnvLevel = 54;
constexpr int kOscKeyPitchEnvTime = 60;
constexpr int kOscVelocityPhase = 66;
constexpr int kOscKeyPhase = 72;
constexpr int kOscKeyPitch = 78;
constexpr int kOscVelocityLevel = 84;
constexpr int kOscVelocityTime = 90;
constexpr int kOscVelocityWaveshaperLevel = 96;
constexpr int kOscVelocityWaveshaperTime = 102;
constexpr int kFilterEnv = 108;       // + filter
constexpr int kFilterKeyCutoff = 110;  // + filter
constexpr int kFilterKeyTime = 112;
constexpr int kFilterKeyResonance = 114;
constexpr int kFilterVelocityCutoff = 116;
constexpr int kFilterVelocityTime = 118;
constexpr int kFilterVelocityResonance = 120;
constexpr int kOscWaveshape = 122;
constexpr int kOscShapeId = 128;
constexpr int kFilterMode = 134;      // + filter
constexpr int kFilterKeyPan = 136;    // + filter
constexpr int kFilterVelocityPan = 138;
constexpr int kFxType = 140;          // + slot
constexpr int kAmSettings = 142;      // + bus
constexpr int kUserControlsAssignment = 144;
constexpr int kMicrotuningScale = 145;
constexpr int kAftertouchFilterCutoff = 146;  // + filter
constexpr int kAftertouchFilterResonance = 148;
constexpr int kAftertouchOscWaveshaper = 150;  // + oscillator
constexpr int kUserControlText = 156;  // + slider
constexpr int kPatchAuthor = 162;
constexpr int kPatchComment = 163;     // + 0…3
constexpr int kGlobalPitchEnv = 167;
constexpr int kEnvelopesMaster = 168;  // unused: holds nothing
constexpr int kVibratoAmountKey = 169;
constexpr int kVibratoAmountAftertouch = 170;
constexpr int kOscFmVelocity = 171;     // + oscillator
constexpr int kOscFmAftertouch = 177;   // + oscillator
constexpr int kVibratoAmountVelocity = 183;
constexpr int kAdditiveSettings = 184;  // + oscillator
constexpr int kFixedPitchValues = 190;
constexpr int kDisabledFm = 191;
constexpr int kDisabledOscOut = 192;
constexpr int kDisabledFltOut = 193;
constexpr int kOscFmKey = 194;          // + oscillator
constexpr int kOscPhaseEnv = 200;
constexpr int kOscKeyFine = 206;        // + oscillator
constexpr int kPresetCategory = 212;
constexpr int kFilterResonanceEnv = 213;  // + filter
constexpr int kFilterKeyResonanceTime = 215;       // + filter
constexpr int kFilterVelocityResonanceTime = 217;  // + filter
constexpr int kOscKeyDetune = 219;      // + oscillator
}  // namespace object

}  // namespace pelko
