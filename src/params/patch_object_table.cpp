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
    Builder b;
    static const char* const oscFamilies[] = {"ENV", "WSENV", "PITCHENV", "KS", "KT", "KS_WS", "KT_WS",
                                              "VS_PITCHENV", "VT_PITCHENV", "KS_PITCHENV", "KT_PITCHENV",
                                              "VS_PHASE", "KS_PHASE", "KPITCH", "VS", "VT", "VS_WS", "VT_WS"};
    int index = 0;
    for (const char* family : oscFamilies) {
        b.perOscillator(index, family);
        index += 6;
    }
    b.perFilter(108, "ENV");
    static const char* const filterCurves[] = {"KS", "KT", "KR", "VS", "VT", "VR"};
    for (int c = 0; c < 6; ++c) {
        b.perFilter(110 + 2 * c, filterCurves[c]);
    }
    b.perOscillator(122, "WAVESHAPE");
    b.perOscillator(128, "SHAPE_ID");
    b.perFilter(134, "MODE");
    b.name(136, "FLT1_PAN_KT");
    b.name(137, "FLT2_PAN_KT");
    b.name(138, "FLT1_PAN_VS");
    b.name(139, "FLT2_PAN_VS");
    b.name(140, "FX1_TYPE");
    b.name(141, "FX2_TYPE");
    b.name(142, "AM1_SETTINGS");
    b.name(143, "AM2_SETTINGS");
    b.name(144, "USER_CONTROLS_ASSIGNMENT");
    b.name(145, "MICROTUNING_SCALE");
    b.name(146, "AFTERTOUCH_FLT1_CUTOFF");
    b.name(147, "AFTERTOUCH_FLT2_CUTOFF");
    b.name(148, "AFTERTOUCH_FLT1_REZ");
    b.name(149, "AFTERTOUCH_FLT2_REZ");
    for (int i = 0; i < 6; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "AFTERTOUCH_OSC%d_WS", i + 1);
        b.name(150 + i, text);
        std::snprintf(text, sizeof text, "USER_CONTROL_TEXT%d", i + 1);
        b.name(156 + i, text);
        std::snprintf(text, sizeof text, "ADDITIVE_SETTINGS%d", i + 1);
        b.name(184 + i, text);
    }
    b.name(162, "PATCH_AUTHOR");
    for (int c = 0; c < 4; ++c) {
        char text[32];
        std::snprintf(text, sizeof text, "PATCH_COMMENT%d", c + 1);
        b.name(163 + c, text);
    }
    b.name(167, "GLOBAL_PITCH_ENV");
    b.name(168, "ENVELOPES_MASTER");
    b.name(169, "VIBRATO_AMOUNT_KS");
    b.name(170, "VIBRATO_AMOUNT_AFT");
    b.perOscillator(171, "FM_VS");
    b.perOscillator(177, "FM_AT");
    b.name(183, "VIBRATO_AMOUNT_VEL");
    b.name(190, "FIXED_PITCH_VALUES");
    b.name(191, "MATRIX_DISABLED_FM_SETTINGS");
    b.name(192, "MATRIX_DISABLED_OSC_OUT_SETTINGS");
    b.name(193, "MATRIX_DISABLED_FLT_OUT_SETTINGS");
    b.perOscillator(194, "FM_KS");
    b.perOscillator(200, "PHASE_ENV");
    b.perOscillator(206, "KS_FINE");
    b.name(212, "PRESET_CATEGORY");
    b.name(213, "FLT1_REZENV");
    b.name(214, "FLT2_REZENV");
    b.name(215, "FLT1_KRT");
    b.name(216, "FLT2_KRT");
    b.name(217, "FLT1_VRT");
    b.name(218, "FLT2_VRT");
    b.perOscillator(219, "KB_DETUNE");

    struct Label {
        int first;
        int units;
        const char* display;
        const char* group;
    };
    static const Label labels[] = {
        {0, 6, "Osc%d Level", "Osc Level"},
        {6, 6, "Osc%d WS Env", "WS Amount"},
        {12, 6, "Osc%d Pitch", "Osc Pitch"},
        {18, 6, "Osc%d KT Level", "Level"},
        {24, 6, "Osc%d KT Time", "Time"},
        {30, 6, "Osc%d KT WS Level", "WS Amount"},
        {36, 6, "Osc%d KT WS Time", "WS Time"},
        {42, 6, "Osc%d VS Pitch Env Level", "Pitch Env. Level"},
        {48, 6, "Osc%d VS Pitch Env Time", "Pitch Env. Time"},
        {54, 6, "Osc%d KT Pitch Env Level", "Pitch Env. Level"},
        {60, 6, "Osc%d KT Pitch Env Time", "Pitch Env. Time"},
        {66, 6, "Osc%d VS Phase", "Phase"},
        {72, 6, "Osc%d KT Phase", "Phase"},
        {78, 6, "Osc%d KT Pitch", "Pitch"},
        {84, 6, "Osc%d VS Level", "Level"},
        {90, 6, "Osc%d VS Time", "Time"},
        {96, 6, "Osc%d VS WS", "WS Amount"},
        {102, 6, "Osc%d VS WT", "WS Time"},
        {108, 2, "Flt%d Env", "Cutoff"},
        {110, 2, "Flt%d KS Cutoff", "Cutoff Level"},
        {112, 2, "Flt%d KS Time", "Cutoff Time"},
        {114, 2, "Flt%d KS Rez", "Rez"},
        {116, 2, "Flt%d VS Cutoff", "Cutoff Level"},
        {118, 2, "Flt%d VS Time", "Cutoff Time"},
        {120, 2, "Flt%d VS Rez", "Rez"},
        {122, 6, "Osc%d WS Curve", "WS"},
        {128, 6, "Osc%d Shape", "Shape"},
        {134, 2, "Filter%d Mode", "Mode"},
        {136, 2, "Flt%d KT Pan", "Pan"},
        {138, 2, "Flt%d VS Pan", "Pan"},
        {140, 2, "FX%d Type", "Type"},
        {142, 2, "AM%d", "AM%d"},
        {144, 1, "User Assign", "User"},
        {145, 1, "Tuning Scale", "Tuning"},
        {146, 2, "Flt%d AT Cutoff", "AT Cutoff"},
        {148, 2, "Flt%d AT Rez", "AT Rez"},
        {150, 6, "Osc%d AT WS", "AT WS"},
        {156, 6, "User Control %d", "User%d"},
        {162, 1, "Patch Author", "Author"},
        {163, 4, "Patch Comment %d", "Comment %d"},
        {167, 1, "Global Pitch Env", "Global Pitch"},
        {168, 1, "unused", "unused"},
        {169, 1, "Global Pitch Amount", "Global Pitch Amount"},
        {170, 1, "Vibrato Aft. Amount", "Vib. Aft."},
        {171, 6, "Osc%d VS FM", "FM/Vel"},
        {177, 6, "Osc%d AT FM", "FM/Aft"},
        {183, 1, "Vibrato Vel. Amount", "Vib. Vel."},
        {184, 6, "Additive %d", "Add%d"},
        {190, 1, "Fixed Pitchs", "Fixed"},
        {191, 1, "Disabled FM", "Disabled FM"},
        {192, 1, "Disabled Osc Out", "Disabled Osc Out"},
        {193, 1, "Disabled Flt Out", "Disabled Flt Out"},
        {194, 6, "Osc%d KS FM", "FM Amount"},
        {200, 6, "Osc%d Phase", "Osc Phase"},
        {206, 6, "Osc%d KS Fine", "Fine Amount"},
        {212, 1, "Preset Category", "Category"},
        {213, 2, "Flt%d RezEnv", "Rez"},
        {215, 2, "Flt%d KS RezTime", "Rez Time"},
        {217, 2, "Flt%d VS RezTime", "Rez Time"},
        {219, 6, "Osc%d Detuning", "Detuning"},
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
