// The patch objects code names: each name stands for the index that programs store and the
// stored identifier that text programs and skins use. Chunks address objects by index and text
// programs by identifier, so both must stay where they are.
#include "params/patch_object_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace object = pelko::object;

struct NamedObject {
    int id;
    int index;
    const char* identifier;
};

// The indices and identifiers as stored programs have them.
constexpr NamedObject kNamedObjects[] = {
    {object::kOscEnv, 0, "OSC1_ENV"},
    {object::kOscWaveshaperEnv, 6, "OSC1_WSENV"},
    {object::kOscPitchEnv, 12, "OSC1_PITCHENV"},
    {object::kOscKeyLevel, 18, "OSC1_KS"},
    {object::kOscKeyTime, 24, "OSC1_KT"},
    {object::kOscKeyWaveshaperLevel, 30, "OSC1_KS_WS"},
    {object::kOscKeyWaveshaperTime, 36, "OSC1_KT_WS"},
    {object::kOscVelocityPitchEnvLevel, 42, "OSC1_VS_PITCHENV"},
    {object::kOscVelocityPitchEnvTime, 48, "OSC1_VT_PITCHENV"},
    {object::kOscKeyPitchEnvLevel, 54, "OSC1_KS_PITCHENV"},
    {object::kOscKeyPitchEnvTime, 60, "OSC1_KT_PITCHENV"},
    {object::kOscVelocityPhase, 66, "OSC1_VS_PHASE"},
    {object::kOscKeyPhase, 72, "OSC1_KS_PHASE"},
    {object::kOscKeyPitch, 78, "OSC1_KPITCH"},
    {object::kOscVelocityLevel, 84, "OSC1_VS"},
    {object::kOscVelocityTime, 90, "OSC1_VT"},
    {object::kOscVelocityWaveshaperLevel, 96, "OSC1_VS_WS"},
    {object::kOscVelocityWaveshaperTime, 102, "OSC1_VT_WS"},
    {object::kFilterEnv, 108, "FLT1_ENV"},
    {object::kFilterKeyCutoff, 110, "FLT1_KS"},
    {object::kFilterKeyTime, 112, "FLT1_KT"},
    {object::kFilterKeyResonance, 114, "FLT1_KR"},
    {object::kFilterVelocityCutoff, 116, "FLT1_VS"},
    {object::kFilterVelocityTime, 118, "FLT1_VT"},
    {object::kFilterVelocityResonance, 120, "FLT1_VR"},
    {object::kOscWaveshape, 122, "OSC1_WAVESHAPE"},
    {object::kOscShapeId, 128, "OSC1_SHAPE_ID"},
    {object::kFilterMode, 134, "FLT1_MODE"},
    {object::kFilterKeyPan, 136, "FLT1_PAN_KT"},
    {object::kFilterVelocityPan, 138, "FLT1_PAN_VS"},
    {object::kFxType, 140, "FX1_TYPE"},
    {object::kAmSettings, 142, "AM1_SETTINGS"},
    {object::kUserControlsAssignment, 144, "USER_CONTROLS_ASSIGNMENT"},
    {object::kMicrotuningScale, 145, "MICROTUNING_SCALE"},
    {object::kAftertouchFilterCutoff, 146, "AFTERTOUCH_FLT1_CUTOFF"},
    {object::kAftertouchFilterResonance, 148, "AFTERTOUCH_FLT1_REZ"},
    {object::kAftertouchOscWaveshaper, 150, "AFTERTOUCH_OSC1_WS"},
    {object::kUserControlText, 156, "USER_CONTROL_TEXT1"},
    {object::kPatchAuthor, 162, "PATCH_AUTHOR"},
    {object::kPatchComment, 163, "PATCH_COMMENT1"},
    {object::kGlobalPitchEnv, 167, "GLOBAL_PITCH_ENV"},
    {object::kEnvelopesMaster, 168, "ENVELOPES_MASTER"},
    {object::kVibratoAmountKey, 169, "VIBRATO_AMOUNT_KS"},
    {object::kVibratoAmountAftertouch, 170, "VIBRATO_AMOUNT_AFT"},
    {object::kOscFmVelocity, 171, "OSC1_FM_VS"},
    {object::kOscFmAftertouch, 177, "OSC1_FM_AT"},
    {object::kVibratoAmountVelocity, 183, "VIBRATO_AMOUNT_VEL"},
    {object::kAdditiveSettings, 184, "ADDITIVE_SETTINGS1"},
    {object::kFixedPitchValues, 190, "FIXED_PITCH_VALUES"},
    {object::kDisabledFm, 191, "MATRIX_DISABLED_FM_SETTINGS"},
    {object::kDisabledOscOut, 192, "MATRIX_DISABLED_OSC_OUT_SETTINGS"},
    {object::kDisabledFltOut, 193, "MATRIX_DISABLED_FLT_OUT_SETTINGS"},
    {object::kOscFmKey, 194, "OSC1_FM_KS"},
    {object::kOscPhaseEnv, 200, "OSC1_PHASE_ENV"},
    {object::kOscKeyFine, 206, "OSC1_KS_FINE"},
    {object::kPresetCategory, 212, "PRESET_CATEGORY"},
    {object::kFilterResonanceEnv, 213, "FLT1_REZENV"},
    {object::kFilterKeyResonanceTime, 215, "FLT1_KRT"},
    {object::kFilterVelocityResonanceTime, 217, "FLT1_VRT"},
    {object::kOscKeyDetune, 219, "OSC1_KB_DETUNE"},
};

TEST(PatchObjectNames, EachNamedObjectHasItsStoredIndexAndIdentifier)
{
    const auto& table = pelko::patchObjectTable();
    for (const NamedObject& named : kNamedObjects) {
        EXPECT_EQ(named.id, named.index) << named.identifier;
        EXPECT_STREQ(table[static_cast<std::size_t>(named.index)].name, named.identifier);
        EXPECT_EQ(pelko::patchObjectIndexOfName(named.identifier), named.index);
    }
}

TEST(PatchObjectNames, EveryObjectHasOneDistinctIdentifierAndUnknownNamesAreRefused)
{
    const auto& table = pelko::patchObjectTable();
    for (int i = 0; i < pelko::kPatchObjects; ++i) {
        const std::string name = table[static_cast<std::size_t>(i)].name;
        ASSERT_FALSE(name.empty()) << "object " << i;
        EXPECT_EQ(pelko::patchObjectIndexOfName(name), i) << name;  // the first with that name is itself
    }
    EXPECT_EQ(pelko::patchObjectIndexOfName("osc1_env"), -1);  // the match is case-sensitive
    EXPECT_EQ(pelko::patchObjectIndexOfName(""), -1);
    EXPECT_EQ(pelko::patchObjectIndexOfName("OSC7_ENV"), -1);
}

}  // namespace
