#include "params/patch_object_table.h"

#include <cstdio>

namespace pelko {
namespace {

struct Builder {
    std::array<PatchObjectInfo, kPatchObjects> rows{};

    void name(int index, const char* text) { std::snprintf(rows[static_cast<std::size_t>(index)].name, sizeof rows[0].name, "%s", text); }

    // OSC1_<suffix> … OSC6_<suffix>
    void perOscillator(int first, const char* suffix)
    {
        for (int i = 0; i < 6; ++i) {
            char text[32];
            std::snprintf(text, sizeof text, "OSC%d_%s", i + 1, suffix);
            name(first + i, text);
        }
    }
    // Display name and group; "%d" in either is the unit number (1-based).
    void label(int first, int units, const char* display, const char* group)
    {
        for (int u = 0; u < units; ++u) {
            PatchObjectInfo& row = rows[static_cast<std::size_t>(first + u)];
            std::snprintf(row.displayName, sizeof row.displayName, display, u + 1);
            std::snprintf(row.groupName, sizeof row.groupName, group, u + 1);
        }
    }
    void perFilter(int first, const char* suffix)
    {
        for (int j = 0; j < 2; ++j) {
            char text[32];
            std::snprintf(text, sizeof text, "FLT%d_%s", j + 1, suffix);
            name(first + j, text);
        }
    }
};

std::array<PatchObjectInfo, kPatchObjects> buildTable()
{
    using namespace object;
    Builder b;
    static const char* const oscFamilies[] = {"ENV", "WSENV", "PITCHENV", "KS", "KT", "KS_WS", "KT_WS",
                                              "VS_PITCHENV", "VT_PITCHENV", "KS_PITCHENV", "KT_PITCHENV",
                                              "VS_PHASE", "KS_PHASE", "KPITCH", "VS", "VT", "VS_WS", "VT_WS"};
    int index = 0;
    for (const char* family : oscFamilies) {
        b.perOscillator(index, family);
        index += 6;
    }
    b.perFilter(kFilterEnv, "ENV");
    static const char* const filterCurves[] = {"KS", "KT", "KR", "VS", "VT", "VR"};
    for (int c = 0; c < 6; ++c) {
        b.perFilter(kFilterKeyCutoff + 2 * c, filterCurves[c]);
    }
    b.perOscillator(kOscWaveshape, "WAVESHAPE");
    b.perOscillator(kOscShapeId, "SHAPE_ID");
    b.perFilter(kFilterMode, "MODE");
    b.name(kFilterKeyPan, "FLT1_PAN_KT");
    b.name(kFilterKeyPan + 1, "FLT2_PAN_KT");
    b.name(kFilterVelocityPan, "FLT1_PAN_VS");
    b.name(kFilterVelocityPan + 1, "FLT2_PAN_VS");
    b.name(kFxType, "FX1_TYPE");
    b.name(kFxType + 1, "FX2_TYPE");
    b.name(kAmSettings, "AM1_SETTINGS");
    b.name(kAmSettings + 1, "AM2_SETTINGS");
    b.name(kUserControlsAssignment, "USER_CONTROLS_ASSIGNMENT");
    b.name(kMicrotuningScale, "MICROTUNING_SCALE");
    b.name(kAftertouchFilterCutoff, "AFTERTOUCH_FLT1_CUTOFF");
    b.name(kAftertouchFilterCutoff + 1, "AFTERTOUCH_FLT2_CUTOFF");
    b.name(kAftertouchFilterResonance, "AFTERTOUCH_FLT1_REZ");
    b.name(kAftertouchFilterResonance + 1, "AFTERTOUCH_FLT2_REZ");
    for (int i = 0; i < 6; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "AFTERTOUCH_OSC%d_WS", i + 1);
        b.name(kAftertouchOscWaveshaper + i, text);
        std::snprintf(text, sizeof text, "USER_CONTROL_TEXT%d", i + 1);
        b.name(kUserControlText + i, text);
        std::snprintf(text, sizeof text, "ADDITIVE_SETTINGS%d", i + 1);
        b.name(kAdditiveSettings + i, text);
    }
    b.name(kPatchAuthor, "PATCH_AUTHOR");
    for (int c = 0; c < 4; ++c) {
        char text[32];
        std::snprintf(text, sizeof text, "PATCH_COMMENT%d", c + 1);
        b.name(kPatchComment + c, text);
    }
    b.name(kGlobalPitchEnv, "GLOBAL_PITCH_ENV");
    b.name(kEnvelopesMaster, "ENVELOPES_MASTER");
    b.name(kVibratoAmountKey, "VIBRATO_AMOUNT_KS");
    b.name(kVibratoAmountAftertouch, "VIBRATO_AMOUNT_AFT");
    b.perOscillator(kOscFmVelocity, "FM_VS");
    b.perOscillator(kOscFmAftertouch, "FM_AT");
    b.name(kVibratoAmountVelocity, "VIBRATO_AMOUNT_VEL");
    b.name(kFixedPitchValues, "FIXED_PITCH_VALUES");
    b.name(kDisabledFm, "MATRIX_DISABLED_FM_SETTINGS");
    b.name(kDisabledOscOut, "MATRIX_DISABLED_OSC_OUT_SETTINGS");
    b.name(kDisabledFltOut, "MATRIX_DISABLED_FLT_OUT_SETTINGS");
    b.perOscillator(kOscFmKey, "FM_KS");
    b.perOscillator(kOscPhaseEnv, "PHASE_ENV");
    b.perOscillator(kOscKeyFine, "KS_FINE");
    b.name(kPresetCategory, "PRESET_CATEGORY");
    b.name(kFilterResonanceEnv, "FLT1_REZENV");
    b.name(kFilterResonanceEnv + 1, "FLT2_REZENV");
    b.name(kFilterKeyResonanceTime, "FLT1_KRT");
    b.name(kFilterKeyResonanceTime + 1, "FLT2_KRT");
    b.name(kFilterVelocityResonanceTime, "FLT1_VRT");
    b.name(kFilterVelocityResonanceTime + 1, "FLT2_VRT");
    b.perOscillator(kOscKeyDetune, "KB_DETUNE");

    struct Label {
        int first;
        int units;
        const char* display;
        const char* group;
    };
    static const Label labels[] = {
        {kOscEnv, 6, "Osc%d Level", "Osc Level"},
        {kOscWaveshaperEnv, 6, "Osc%d WS Env", "WS Amount"},
        {kOscPitchEnv, 6, "Osc%d Pitch", "Osc Pitch"},
        {kOscKeyLevel, 6, "Osc%d KT Level", "Level"},
        {kOscKeyTime, 6, "Osc%d KT Time", "Time"},
        {kOscKeyWaveshaperLevel, 6, "Osc%d KT WS Level", "WS Amount"},
        {kOscKeyWaveshaperTime, 6, "Osc%d KT WS Time", "WS Time"},
        {kOscVelocityPitchEnvLevel, 6, "Osc%d VS Pitch Env Level", "Pitch Env. Level"},
        {kOscVelocityPitchEnvTime, 6, "Osc%d VS Pitch Env Time", "Pitch Env. Time"},
        {kOscKeyPitchEnvLevel, 6, "Osc%d KT Pitch Env Level", "Pitch Env. Level"},
        {kOscKeyPitchEnvTime, 6, "Osc%d KT Pitch Env Time", "Pitch Env. Time"},
        {kOscVelocityPhase, 6, "Osc%d VS Phase", "Phase"},
        {kOscKeyPhase, 6, "Osc%d KT Phase", "Phase"},
        {kOscKeyPitch, 6, "Osc%d KT Pitch", "Pitch"},
        {kOscVelocityLevel, 6, "Osc%d VS Level", "Level"},
        {kOscVelocityTime, 6, "Osc%d VS Time", "Time"},
        {kOscVelocityWaveshaperLevel, 6, "Osc%d VS WS", "WS Amount"},
        {kOscVelocityWaveshaperTime, 6, "Osc%d VS WT", "WS Time"},
        {kFilterEnv, 2, "Flt%d Env", "Cutoff"},
        {kFilterKeyCutoff, 2, "Flt%d KS Cutoff", "Cutoff Level"},
        {kFilterKeyTime, 2, "Flt%d KS Time", "Cutoff Time"},
        {kFilterKeyResonance, 2, "Flt%d KS Rez", "Rez"},
        {kFilterVelocityCutoff, 2, "Flt%d VS Cutoff", "Cutoff Level"},
        {kFilterVelocityTime, 2, "Flt%d VS Time", "Cutoff Time"},
        {kFilterVelocityResonance, 2, "Flt%d VS Rez", "Rez"},
        {kOscWaveshape, 6, "Osc%d WS Curve", "WS"},
        {kOscShapeId, 6, "Osc%d Shape", "Shape"},
        {kFilterMode, 2, "Filter%d Mode", "Mode"},
        {kFilterKeyPan, 2, "Flt%d KT Pan", "Pan"},
        {kFilterVelocityPan, 2, "Flt%d VS Pan", "Pan"},
        {kFxType, 2, "FX%d Type", "Type"},
        {kAmSettings, 2, "AM%d", "AM%d"},
        {kUserControlsAssignment, 1, "User Assign", "User"},
        {kMicrotuningScale, 1, "Tuning Scale", "Tuning"},
        {kAftertouchFilterCutoff, 2, "Flt%d AT Cutoff", "AT Cutoff"},
        {kAftertouchFilterResonance, 2, "Flt%d AT Rez", "AT Rez"},
        {kAftertouchOscWaveshaper, 6, "Osc%d AT WS", "AT WS"},
        {kUserControlText, 6, "User Control %d", "User%d"},
        {kPatchAuthor, 1, "Patch Author", "Author"},
        {kPatchComment, 4, "Patch Comment %d", "Comment %d"},
        {kGlobalPitchEnv, 1, "Global Pitch Env", "Global Pitch"},
        {kEnvelopesMaster, 1, "unused", "unused"},
        {kVibratoAmountKey, 1, "Global Pitch Amount", "Global Pitch Amount"},
        {kVibratoAmountAftertouch, 1, "Vibrato Aft. Amount", "Vib. Aft."},
        {kOscFmVelocity, 6, "Osc%d VS FM", "FM/Vel"},
        {kOscFmAftertouch, 6, "Osc%d AT FM", "FM/Aft"},
        {kVibratoAmountVelocity, 1, "Vibrato Vel. Amount", "Vib. Vel."},
        {kAdditiveSettings, 6, "Additive %d", "Add%d"},
        {kFixedPitchValues, 1, "Fixed Pitchs", "Fixed"},
        {kDisabledFm, 1, "Disabled FM", "Disabled FM"},
        {kDisabledOscOut, 1, "Disabled Osc Out", "Disabled Osc Out"},
        {kDisabledFltOut, 1, "Disabled Flt Out", "Disabled Flt Out"},
        {kOscFmKey, 6, "Osc%d KS FM", "FM Amount"},
        {kOscPhaseEnv, 6, "Osc%d Phase", "Osc Phase"},
        {kOscKeyFine, 6, "Osc%d KS Fine", "Fine Amount"},
        {kPresetCategory, 1, "Preset Category", "Category"},
        {kFilterResonanceEnv, 2, "Flt%d RezEnv", "Rez"},
        {kFilterKeyResonanceTime, 2, "Flt%d KS RezTime", "Rez Time"},
        {kFilterVelocityResonanceTime, 2, "Flt%d VS RezTime", "Rez Time"},
        {kOscKeyDetune, 6, "Osc%d Detuning", "Detuning"},
    };
    for (const Label& l : labels) {
        b.label(l.first, l.units, l.display, l.group);
    }
    return b.rows;
}

}  // namespace

const std::array<PatchObjectInfo, kPatchObjects>& patchObjectTable()
{
    static const std::array<PatchObjectInfo, kPatchObjects> table = buildTable();
    return table;
}

int patchObjectIndexOfName(std::string_view name)
{
    const auto& table = patchObjectTable();
    for (int i = 0; i < kPatchObjects; ++i) {
        if (name == table[static_cast<std::size_t>(i)].name) {
            return i;
        }
    }
    return -1;
}

}  // namespace pelko
