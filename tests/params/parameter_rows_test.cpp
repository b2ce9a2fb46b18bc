// Every row of the parameter table, checked through the module as a host sees it: identifier,
// label, stored value and display text at the default and at 0, 0.5 and 1.
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Expected {
    float stored;
    std::string display;  // empty: not checked (text comes from the effect in the slot)
};

std::string format(const char* f, int n)
{
    char text[32];
    std::snprintf(text, sizeof text, f, n);
    return text;
}

int t(double x) { return static_cast<int>(x); }
std::string percent(float v) { return format("%03d", t(100.0f * v)); }
std::string percentOr(float v, const char* zero) { return t(100.0f * v) == 0 ? zero : percent(v); }
std::string onOff(float v) { return v < 0.5f ? "OFF" : "ON"; }

std::string identifier(int i)
{
    auto n = [](const char* f, int k) { return format(f, k); };
    if (i == 0) return "Voices";
    if (i == 1) return "MainLevel";
    if (i < 8) return n("Coarse%d", i - 1);
    if (i < 14) return n("Fine%d", i - 7);
    if (i < 20) return n("Lfo%d", i - 13);
    if (i < 26) return n("PhaseEnvMod%d", i - 19);
    if (i < 62) return "FM" + std::to_string((i - 26) / 6 + 1) + "/" + std::to_string((i - 26) % 6 + 1);
    if (i < 74) return "FM Ring" + std::to_string((i - 62) / 6 + 1) + "/" + std::to_string((i - 62) % 6 + 1);
    if (i < 80) return n("PitchMod%d", i - 73);
    if (i < 86) return n("Out%d->F1", i - 79);
    if (i < 92) return n("Out%d->F2", i - 85);
    if (i < 98) return n("Out%d->Raw", i - 91);
    if (i < 104) return n("GlideTime%d", i - 97);
    if (i == 104) return "Glide Toggle";
    if (i < 111) {
        static const char* const bus[] = {"AM1->F1", "AM2->F1", "AM1->F2", "AM2->F2", "AM1->Raw", "AM2->Raw"};
        return bus[i - 105];
    }
    if (i < 113) return n("Cutoff%d", i - 110);
    if (i < 115) return n("Rez%d", i - 112);
    if (i < 117) return n("EnvMod%d", i - 114);
    if (i < 133) return n("SeqNote%d", i - 116);
    if (i < 149) return n("SeqVel%d", i - 132);
    if (i < 165) return n("SeqLength%d", i - 148);
    if (i == 165) return "Nsteps";
    if (i == 166) return "Speed";
    if (i < 173) return n("FX1-Param%d", i - 166);
    if (i < 179) return n("FX2-Param%d", i - 172);
    if (i < 181) return n("FX%d-DryWetMix", i - 178);
    static const char* const rest[] = {"FxSerialMode", "FxBypassMode", "SeqRandomMode", "Unused1", "Unused2",
                                       "Unused3", "Unused4", "RezMod1", "RezMod2", "DCRemove", "FX1-TempoSync",
                                       "FX2-TempoSync", "FMScaling", "PitchBendRange", "VibratoDepth"};
    if (i < 196) return rest[i - 181];
    if (i < 202) return n("RndPitchDepth%d", i - 195);
    return n("UserSlider%d", i - 201);
}

float defaultValue(int i)
{
    if (i == 0) return 0.5f;
    if (i == 1) return 0.25f;
    if (i < 14) return 0.5f;
    if (i < 20) return 0.1f;
    if (i < 26) return 0.5f;
    if (i == 92) return 0.25f;
    if (i >= 117 && i < 165) return 0.5f;
    if (i == 179 || i == 180 || i == 181) return i == 181 ? 1.0f : 0.5f;
    if ((i >= 184 && i <= 193) || i == 195 || i >= 202) return 1.0f;
    if (i == 194) return 0.02f;
    return 0.0f;
}

Expected expected(int i, float v)
{
    if (i == 0) {
        int n = t(31.0f * v + 0.1f) + 1;
        return {static_cast<float>(n - 1) / 31.0f, format("%02d", n)};
    }
    if (i >= 2 && i < 8) return {v, format("%+02d", t((v - 0.5f) * 96.0f))};
    if (i >= 8 && i < 14) return {v, format("%+02d", t(198.0f * v) - 99)};
    if (i >= 14 && i < 20) {
        float k = static_cast<float>(t(2.0f * v)) / 2.0f;
        return {k, onOff(k)};
    }
    if (i >= 20 && i < 26) return {v, v > 0.99f ? "RND" : percent(v * 1.010101f)};
    if (i >= 26 && i < 74) return {v, percentOr(v, "  ")};
    if (i >= 74 && i < 80) return {v, t(96.0f * v) == 0 ? "OFF" : format("%03d", t(96.0f * v))};
    if ((i >= 80 && i < 98) || (i >= 105 && i < 111)) return {v, percentOr(v, "  ")};
    if (i == 104 || i == 182 || i == 183 || i == 190 || i == 191 || i == 192) return {v, onOff(v)};
    if (i >= 117 && i < 133) {
        static const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
        int note = 48 + t((2.0f * v - 1.0f) * 48.0f);
        return {v, std::string(names[note % 12]) + std::to_string(note / 12)};
    }
    if (i >= 133 && i < 149) return {v, percentOr(v, "OFF")};
    if (i == 165) return {v, format("%02d", t(16.0f * v))};
    if (i >= 167 && i < 179) return {v, ""};
    if (i == 181) return {v != 0.0f ? 1.0f : 0.0f, onOff(v != 0.0f ? 1.0f : 0.0f)};
    if (i == 193) return {v == 1.0f ? 1.0f : 0.0f, v == 1.0f ? "DX7" : "LIN"};
    if (i == 194) {
        int s = std::min(t(100.0f * v + 0.1f), 12);
        float stored = static_cast<float>(s) / 100.0f;
        return {stored, format("%02d", t(100.0f * stored + 0.1f))};
    }
    if (i >= 196 && i < 202) return {v, percentOr(v, "OFF")};
    return {v, percent(v)};
}

class ParameterRows : public ::testing::Test {
protected:
    testing_support::PluginEnvironment environment;
    testing_support::LoadedModule module;
    host::HostModule& host = module.host();
};

TEST_F(ParameterRows, IdentifiersAndLabels)
{
    for (int i = 0; i < 208; ++i) {
        EXPECT_EQ(host.paramName(i), identifier(i)) << "row " << i;
        bool noLabel = (i >= 2 && i <= 7) || (i >= 167 && i <= 178);
        EXPECT_EQ(host.paramLabel(i), noLabel ? "" : " ") << "row " << i;
    }
}

TEST_F(ParameterRows, DefaultsOfANewProgram)
{
    for (int i = 0; i < 208; ++i) {
        Expected e = expected(i, defaultValue(i));
        EXPECT_FLOAT_EQ(host.getParameter(i), e.stored) << "row " << i;
        if (!e.display.empty()) {
            EXPECT_EQ(host.paramDisplay(i), e.display) << "row " << i;
        }
    }
}

TEST_F(ParameterRows, StoredValueAndDisplayAtZeroHalfAndOne)
{
    for (float v : {0.0f, 0.5f, 1.0f}) {
        for (int i = 0; i < 208; ++i) {
            if (i >= 202) {
                continue;  // user sliders are checked below: they move their assigned parameters
            }
            host.setParameter(i, v);
            Expected e = expected(i, v);
            EXPECT_FLOAT_EQ(host.getParameter(i), e.stored) << "row " << i << " at " << v;
            if (!e.display.empty()) {
                EXPECT_EQ(host.paramDisplay(i), e.display) << "row " << i << " at " << v;
            }
        }
    }
}

TEST_F(ParameterRows, EdgeValuesOfTheRowMappings)
{
    host.setParameter(0, 1.0f);
    EXPECT_EQ(host.getParameter(0), 1.0f);
    EXPECT_EQ(host.paramDisplay(0), "32");
    host.setParameter(0, 0.0f);
    EXPECT_EQ(host.paramDisplay(0), "01");
    host.setParameter(194, 1.0f);
    EXPECT_FLOAT_EQ(host.getParameter(194), 0.12f);
    EXPECT_EQ(host.paramDisplay(194), "12");
    host.setParameter(14, 0.7f);
    EXPECT_EQ(host.getParameter(14), 0.5f);
    host.setParameter(20, 1.0f);
    EXPECT_EQ(host.paramDisplay(20), "RND");
    host.setParameter(20, 0.0f);
    EXPECT_EQ(host.paramDisplay(20), "000");
    host.setParameter(8, 0.0f);
    EXPECT_EQ(host.paramDisplay(8), "-99");
    host.setParameter(8, 1.0f);
    EXPECT_EQ(host.paramDisplay(8), "+99");
    host.setParameter(2, 0.0f);
    EXPECT_EQ(host.paramDisplay(2), "-48");
    host.setParameter(117, 0.5f);
    EXPECT_EQ(host.paramDisplay(117), "C4");
    host.setParameter(117, 0.5f + 1.0f / 96.0f);  // one semitone up
    EXPECT_EQ(host.paramDisplay(117), "C#4");
}

TEST_F(ParameterRows, UserSliderWithoutAssignmentsMovesNothing)
{
    std::vector<float> before(208);
    for (int i = 0; i < 208; ++i) before[static_cast<std::size_t>(i)] = host.getParameter(i);
    host.setParameter(202, 0.3f);
    for (int i = 0; i < 202; ++i) {
        EXPECT_EQ(host.getParameter(i), before[static_cast<std::size_t>(i)]) << "row " << i;
    }
    EXPECT_FLOAT_EQ(host.getParameter(202), 0.3f);
    EXPECT_EQ(host.paramDisplay(202), "030");
}

}  // namespace
