// The 225 patch objects of a program, by index and stored name ("OSC1_ENV",
// "MATRIX_DISABLED_FM_SETTINGS", …). Editor controls bound to object k carry the tag 208 + k.
#pragma once

#include <array>
#include <string_view>

namespace pelko {

constexpr int kPatchObjects = 225;

struct PatchObjectInfo {
    char name[40] = {};
};

const std::array<PatchObjectInfo, kPatchObjects>& patchObjectTable();

// Exact, case-sensitive match on the name; -1 when there is none.
int patchObjectIndexOfName(std::string_view name);

// Indices of the objects other code refers to by name.
namespace object {
constexpr int kOscEnv = 0;            // + oscillator
constexpr int kOscWaveshaperEnv = 6;
constexpr int kOscPitchEnv = 12;
constexpr int kOscWaveshape = 122;
constexpr int kOscShapeId = 128;
constexpr int kFilterMode = 134;      // + filter
constexpr int kFxType = 140;          // + slot
constexpr int kAmSettings = 142;      // + bus
constexpr int kUserControlsAssignment = 144;
constexpr int kMicrotuningScale = 145;
constexpr int kUserControlText = 156;  // + slider
constexpr int kPatchAuthor = 162;
constexpr int kPatchComment = 163;     // + 0…3
constexpr int kGlobalPitchEnv = 167;
constexpr int kEnvelopesMaster = 168;
constexpr int kAdditiveSettings = 184;  // + oscillator
constexpr int kFixedPitchValues = 190;
constexpr int kDisabledFm = 191;
constexpr int kDisabledOscOut = 192;
constexpr int kDisabledFltOut = 193;
constexpr int kOscPhaseEnv = 200;
constexpr int kPresetCategory = 212;
}  // namespace object

}  // namespace pelko
