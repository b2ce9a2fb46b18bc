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
