#include "params/parameter_table.h"

#include "params/parameter_ids.h"

#include "params/fm_depth_curve.h"
#include "params/user_controls_assignment.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace pelko {
namespace {

constexpr float kSemitone = 1.0594631f;

int trunc(float x) { return static_cast<int>(x); }

void put(char* out, const char* text) { std::snprintf(out, kDisplayTextSize, "%s", text); }

// ---- display functions -------------------------------------------------------------------

void showPercent(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%03d", trunc(100.0f * v));
}

void showPercentOrBlank(const ParameterHost*, int, float v, char* out)
{
    int percent = trunc(100.0f * v);
    if (percent == 0) {
        put(out, "  ");
    } else {
        std::snprintf(out, kDisplayTextSize, "%03d", percent);
    }
}

void showPercentOrOff(const ParameterHost*, int, float v, char* out)
{
    int percent = trunc(100.0f * v);
    if (percent == 0) {
        put(out, "OFF");
    } else {
        std::snprintf(out, kDisplayTextSize, "%03d", percent);
    }
}

void showOnOff(const ParameterHost*, int, float v, char* out) { put(out, v < 0.5f ? "OFF" : "ON"); }

void showVoices(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%02d", trunc(31.0f * v + 0.1f) + 1);
}

void showCoarse(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%+02d", trunc((v - 0.5f) * 96.0f));
}

void showFine(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%+02d", trunc(198.0f * v) - 99);
}

void showPhaseMod(const ParameterHost*, int, float v, char* out)
{
    if (v > 0.99f) {
        put(out, "RND");
    } else {
        std::snprintf(out, kDisplayTextSize, "%03d", trunc(100.0f * (v * 1.010101f)));
    }
}

void showPitchMod(const ParameterHost*, int, float v, char* out)
{
    int steps = trunc(96.0f * v);
    if (steps == 0) {
        put(out, "OFF");
    } else {
        std::snprintf(out, kDisplayTextSize, "%03d", steps);
    }
}

void showNoteName(const ParameterHost*, int, float v, char* out)
{
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    int n = 48 + trunc((2.0f * v - 1.0f) * 48.0f);
    int octave = static_cast<int>(std::floor(static_cast<float>(n) / 12.0f));
    int name = ((n % 12) + 12) % 12;
    std::snprintf(out, kDisplayTextSize, "%s%d", names[name], octave);
}

void showSteps(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%02d", trunc(16.0f * v));
}

void showFmScaling(const ParameterHost*, int, float v, char* out) { put(out, v == 1.0f ? "DX7" : "LIN"); }

void showBendRange(const ParameterHost*, int, float v, char* out)
{
    std::snprintf(out, kDisplayTextSize, "%02d", trunc(100.0f * v + 0.1f));
}

void showEffectParameter(const ParameterHost* host, int instance, float v, char* out)
{
    out[0] = '\0';
    if (host != nullptr) {
        host->effectParameterDisplay(instance / 6, instance % 6, v, out);
        out[kDisplayTextSize - 1] = '\0';
    }
}

// ---- set functions -----------------------------------------------------------------------

OscillatorSettings& osc(ParameterHost& host, int i)
{
    return host.engineSettings().oscillators[static_cast<std::size_t>(i)];
}

float storeOnly(ParameterHost&, int, float v) { return v; }

float setVoices(ParameterHost& host, int, float v)
{
    int n = trunc(31.0f * v + 0.1f) + 1;
    if (n < 1) n = 1;
    if (n > 32) n = 32;
    host.engineSettings().polyphony = n;
    host.polyphonyChanged(n);
    return static_cast<float>(n - 1) / 31.0f;
}

float setMainLevel(ParameterHost& host, int, float v)
{
    host.engineSettings().engineGain = v * host.masterGain() * 4.0f;
    return v;
}

float setCoarse(ParameterHost& host, int i, float v)
{
    osc(host, i).coarse = 48 + trunc((v - 0.5f) * 96.0f);
    return v;
}

float setFine(ParameterHost& host, int i, float v)
{
    osc(host, i).fineFactor = std::pow(kSemitone, 2.0f * v - 1.0f);
    return v;
}

float setLfo(ParameterHost& host, int i, float v)
{
    int k = trunc(2.0f * v);
    if (k < 0) k = 0;
    if (k > 2) k = 2;
    static constexpr float factors[3] = {1.0f, 0.01f, 0.0001f};
    osc(host, i).rateFactor = factors[k];
    return static_cast<float>(k) / 2.0f;
}

float setPhaseMod(ParameterHost& host, int i, float v)
{
    OscillatorSettings& o = osc(host, i);
    o.randomPhase = v > 0.99f;
    o.phaseAmount = o.randomPhase ? 1.0f : v * 1.010101f;
    return v;
}

// instance = 6·source + destination, the cell of the FM matrix and of its routing switches.
float setFm(ParameterHost& host, int cell, float v)
{
    EngineSettings& e = host.engineSettings();
    float gain = host.routingCellOn(kFmSwitches, cell) ? fmCellGain(v, e.fmDepthCurve) : 0.0f;
    e.fmGain[static_cast<std::size_t>(cell % 6)][static_cast<std::size_t>(cell / 6)] = gain;
    return v;
}

float setPitchMod(ParameterHost& host, int i, float v)
{
    // Ratio-table entry trunc(96·v) over entry 0: 2^(steps/12).
    osc(host, i).pitchModDepth = std::exp2(static_cast<float>(trunc(96.0f * v)) / 12.0f);
    return v;
}

// instance = cell of the oscillator output switches (0–17).
float setOscOut(ParameterHost& host, int cell, float v)
{
    bool on = host.routingCellOn(kOscOutSwitches, cell);
    OscillatorSettings& o = osc(host, cell % 6);
    switch (cell / 6) {
    case 0: o.sendFilter1 = on ? 4.0f * v : 0.0f; break;
    case 1: o.sendFilter2 = on ? 4.0f * v : 0.0f; break;
    default: o.direct = on ? v : 0.0f; break;
    }
    return v;
}

float setGlideTime(ParameterHost& host, int i, float v)
{
    OscillatorSettings& o = osc(host, i);
    o.glideSamples = trunc((99.0f * v + 1.0f) * host.sampleRate() * 0.004f);
    o.glideReciprocal = o.glideSamples > 0 ? 1.0f / static_cast<float>(o.glideSamples) : 0.0f;
    return v;
}

float setGlide(ParameterHost& host, int, float v)
{
    host.engineSettings().glideOn = v != 0.0f;
    host.glideSwitched();
    return v;
}

// instance = cell of the bus output switches (0–5): bus = cell % 2, destination = cell / 2.
float setBusOut(ParameterHost& host, int cell, float v)
{
    bool on = host.routingCellOn(kBusOutSwitches, cell);
    host.engineSettings().busSend[static_cast<std::size_t>(cell % 2)][static_cast<std::size_t>(cell / 2)] =
        on ? v : 0.0f;
    return v;
}

float setCutoff(ParameterHost& host, int i, float v)
{
    host.engineSettings().cutoff[static_cast<std::size_t>(i)] = v;
    return v;
}

float setResonance(ParameterHost& host, int i, float v)
{
    host.engineSettings().resonance[static_cast<std::size_t>(i)] = v;
    return v;
}

float setCutoffEnvMod(ParameterHost& host, int i, float v)
{
    host.engineSettings().cutoffEnvMod[static_cast<std::size_t>(i)] = v;
    return v;
}

float setResonanceEnvMod(ParameterHost& host, int i, float v)
{
    host.engineSettings().resonanceEnvMod[static_cast<std::size_t>(i)] = v;
    return v;
}

float setSeqNote(ParameterHost& host, int i, float v)
{
    host.engineSettings().sequencer.transpose[static_cast<std::size_t>(i)] = trunc((2.0f * v - 1.0f) * 48.0f);
    return v;
}

float setSeqVelocity(ParameterHost& host, int i, float v)
{
    host.engineSettings().sequencer.velocityOffset[static_cast<std::size_t>(i)] = trunc((2.0f * v - 1.0f) * 64.0f);
    return v;
}

float setSeqLength(ParameterHost& host, int i, float v)
{
    host.engineSettings().sequencer.gateSamples[static_cast<std::size_t>(i)] =
        trunc((1.99f * v + 0.01f) * host.sampleRate());
    return v;
}

float setSeqSteps(ParameterHost& host, int, float v)
{
    int n = trunc(16.0f * v);
    host.engineSettings().sequencer.steps = n < 0 ? 0 : (n > 16 ? 16 : n);
    return v;
}

float setSeqSpeed(ParameterHost& host, int, float v)
{
    float tempo = host.tempo() > 0.0f ? host.tempo() : 120.0f;
    double samples = host.sampleRate() * 60.0 / (std::pow(4.0, 2.0 * v - 1.0) * tempo);
    host.engineSettings().sequencer.samplesPerStep = samples < 2e9 ? static_cast<int>(samples) : 2000000000;
    return v;
}

float setSeqRandom(ParameterHost& host, int, float v)
{
    host.engineSettings().sequencer.randomOrder = v != 0.0f;
    return v;
}

float setEffectParameter(ParameterHost& host, int instance, float v)
{
    host.effectParameterChanged(instance / 6, instance % 6, v);
    return v;
}

float setDryWet(ParameterHost& host, int slot, float v)
{
    host.effectDryWetChanged(slot, v);
    return v;
}

float setFxMode(ParameterHost& host, int, float v)
{
    bool serial = v != 0.0f;
    host.engineSettings().fxSerial = serial;
    host.effectRoutingChanged(serial);
    return serial ? 1.0f : 0.0f;
}

float setFxBypass(ParameterHost& host, int, float v)
{
    host.engineSettings().fxBypass = v != 0.0f;
    return v;
}

float setDcRemove(ParameterHost& host, int, float v)
{
    host.engineSettings().dcRemove = v != 0.0f;
    return v;
}

float setSync(ParameterHost& host, int slot, float v)
{
    bool on = v != 0.0f;
    host.engineSettings().fxTempoSync[static_cast<std::size_t>(slot)] = on;
    host.effectSyncChanged(slot, on);
    return v;
}

float setFmScaling(ParameterHost& host, int, float v)
{
    EngineSettings& e = host.engineSettings();
    bool depthCurve = v == 1.0f;
    if (depthCurve != e.fmDepthCurve) {
        e.fmDepthCurve = depthCurve;
        for (int cell = 0; cell < 48; ++cell) {
            setFm(host, cell, host.storedValue(param::kFmMatrix + cell));
        }
    }
    return depthCurve ? 1.0f : 0.0f;
}

float setBendRange(ParameterHost& host, int, float v)
{
    int s = trunc(100.0f * v + 0.1f);
    if (s > 12) s = 12;
    if (s < 0) s = 0;
    host.engineSettings().bendRangeSemitones = s;
    host.pitchBendRangeChanged(s);
    return static_cast<float>(s) / 100.0f;
}

float setVibratoDepth(ParameterHost& host, int, float v)
{
    host.engineSettings().vibratoDepth = v;
    return v;
}

float setPitchRandom(ParameterHost& host, int i, float v)
{
    float a = std::pow(kSemitone, v);
    osc(host, i).randomPitchUp = a;
    osc(host, i).randomPitchDown = 1.0f / a;
    return v;
}

// A slider applies its assignments; an assignment may name another slider. A crafted program can
// make such a chain lead back into itself, so a slider already being applied further up the call
// chain is not entered again: chains end after at most six sliders.
thread_local unsigned activeSliders = 0;

float setUserSlider(ParameterHost& host, int slider, float v)
{
    unsigned bit = 1u << slider;
    if ((activeSliders & bit) != 0) {
        return v;
    }
    activeSliders |= bit;
    const UserControlsAssignment& assignments = host.userAssignments();
    for (int k = 0; k < UserControlsAssignment::kAssignmentsPerSlider; ++k) {
        UserControlsAssignment::Entry entry = assignments.entry(slider, k);
        if (entry.parameter == -1) {
            break;
        }
        if (entry.parameter >= 0 && entry.parameter < kParameters) {
            host.setParameter(entry.parameter, entry.low + v * (entry.high - entry.low));
        }
    }
    activeSliders &= ~bit;
    return v;
}

// ---- the table ---------------------------------------------------------------------------

struct Builder {
    std::array<ParameterInfo, kParameters> rows{};

    ParameterInfo& row(int index, const char* displayName, const char* group, const char* identifier,
                       float defaultValue, SetFunction set, DisplayFunction display, int instance = 0)
    {
        ParameterInfo& r = rows[static_cast<std::size_t>(index)];
        std::snprintf(r.displayName, sizeof r.displayName, "%s", displayName);
        std::snprintf(r.group, sizeof r.group, "%s", group);
        std::snprintf(r.identifier, sizeof r.identifier, "%s", identifier);
        r.defaultValue = defaultValue;
        r.set = set;
        r.display = display;
        r.instance = instance;
        return r;
    }

    // One row per oscillator: group "Osc1"…, identifier prefix + number (+ suffix).
    void perOscillator(int first, const char* displayName, const char* identifierFormat, float defaultValue,
                       SetFunction set, DisplayFunction display, int instanceBase = 0)
    {
        for (int i = 0; i < 6; ++i) {
            char group[16], identifier[24];
            std::snprintf(group, sizeof group, "Osc%d", i + 1);
            std::snprintf(identifier, sizeof identifier, identifierFormat, i + 1);
            row(first + i, displayName, group, identifier, defaultValue, set, display, instanceBase + i);
        }
    }
};

std::array<ParameterInfo, kParameters> buildTable()
{
    Builder b;
    b.row(param::kVoices, "Voices", "General", "Voices", 0.5f, setVoices, showVoices).step = 1.0f / 31.0f;
    b.row(param::kMainLevel, "Main Level", "General", "MainLevel", 0.25f, setMainLevel, showPercent).ccOfParameter = 7;
    b.perOscillator(param::kOscCoarse, "Freq.Coarse", "Coarse%d", 0.5f, setCoarse, showCoarse);
    b.perOscillator(param::kOscFine, "Freq.Fine", "Fine%d", 0.5f, setFine, showFine);
    b.perOscillator(param::kOscLfo, "Lfo", "Lfo%d", 0.1f, setLfo, showOnOff);
    b.perOscillator(param::kOscPhaseMod, "Phase Mod.", "PhaseEnvMod%d", 0.5f, setPhaseMod, showPhaseMod);
    for (int source = 0; source < 8; ++source) {
        char name[24], format[24];
        if (source < 6) {
            std::snprintf(name, sizeof name, "FM%d", source + 1);
            std::snprintf(format, sizeof format, "FM%d/%%d", source + 1);
        } else {
            std::snprintf(name, sizeof name, "FM Ring%d", source - 5);
            std::snprintf(format, sizeof format, "FM Ring%d/%%d", source - 5);
        }
        b.perOscillator(param::kFmMatrix + 6 * source, name, format, 0.0f, setFm, showPercentOrBlank, 6 * source);
    }
    b.perOscillator(param::kOscPitchMod, "Pitch Mod.", "PitchMod%d", 0.0f, setPitchMod, showPitchMod);
    b.perOscillator(param::kOscToFilter1, "Out1", "Out%d->F1", 0.0f, setOscOut, showPercentOrBlank, 0);
    b.perOscillator(param::kOscToFilter2, "Out2", "Out%d->F2", 0.0f, setOscOut, showPercentOrBlank, 6);
    b.perOscillator(param::kOscDirect, "Raw", "Out%d->Raw", 0.0f, setOscOut, showPercentOrBlank, 12);
    b.rows[param::kOscDirect].defaultValue = 0.25f;
    b.perOscillator(param::kOscGlideTime, "Glide Time", "GlideTime%d", 0.0f, setGlideTime, showPercent);
    b.row(param::kGlide, "Glide", "General", "Glide Toggle", 0.0f, setGlide, showOnOff);
    static const char* const busOut[6] = {"AM1->F1", "AM2->F1", "AM1->F2", "AM2->F2", "AM1->Raw", "AM2->Raw"};
    static const char* const busName[3] = {"Out1", "Out2", "Raw"};
    for (int cell = 0; cell < 6; ++cell) {
        b.row(param::kBusOut + cell, busName[cell / 2], cell % 2 == 0 ? "AM1" : "AM2", busOut[cell], 0.0f, setBusOut,
              showPercentOrBlank, cell);
    }
    for (int f = 0; f < 2; ++f) {
        char group[16], id[24];
        std::snprintf(group, sizeof group, "Flt%d", f + 1);
        std::snprintf(id, sizeof id, "Cutoff%d", f + 1);
        b.row(param::kCutoff + f, "Cutoff", group, id, 0.0f, setCutoff, showPercent, f);
        std::snprintf(id, sizeof id, "Rez%d", f + 1);
        b.row(param::kResonance + f, "Rez", group, id, 0.0f, setResonance, showPercent, f);
        std::snprintf(id, sizeof id, "RezMod%d", f + 1);
        b.row(param::kResonanceEnvMod + f, "Rez.EnvMod", group, id, 1.0f, setResonanceEnvMod, showPercent, f);
        std::snprintf(group, sizeof group, "Flt%d EnvMod", f + 1);
        std::snprintf(id, sizeof id, "EnvMod%d", f + 1);
        b.row(param::kCutoffEnvMod + f, "Freq.EnvMod", group, id, 0.0f, setCutoffEnvMod, showPercent, f);
    }
    for (int s = 0; s < 16; ++s) {
        char name[24], id[24];
        std::snprintf(name, sizeof name, "Note %d", s + 1);
        std::snprintf(id, sizeof id, "SeqNote%d", s + 1);
        b.row(param::kSeqNote + s, name, "Seq", id, 0.5f, setSeqNote, showNoteName, s);
        std::snprintf(name, sizeof name, "Vel %d", s + 1);
        std::snprintf(id, sizeof id, "SeqVel%d", s + 1);
        b.row(param::kSeqVelocity + s, name, "Seq", id, 0.5f, setSeqVelocity, showPercentOrOff, s);
        std::snprintf(name, sizeof name, "Length %d", s + 1);
        std::snprintf(id, sizeof id, "SeqLength%d", s + 1);
        b.row(param::kSeqLength + s, name, "Seq", id, 0.5f, setSeqLength, showPercent, s);
    }
    b.row(param::kSeqSteps, "Steps", "Seq", "Nsteps", 0.0f, setSeqSteps, showSteps);
    b.row(param::kSeqSpeed, "Speed", "Seq", "Speed", 0.0f, setSeqSpeed, showPercent);
    for (int slot = 0; slot < 2; ++slot) {
        char group[16], name[24], id[24];
        std::snprintf(group, sizeof group, "FX%d", slot + 1);
        for (int p = 0; p < 6; ++p) {
            std::snprintf(name, sizeof name, "FX%d-%d", slot + 1, p + 1);
            std::snprintf(id, sizeof id, "FX%d-Param%d", slot + 1, p + 1);
            const int cell = param::kFxParametersPerSlot * slot + p;
            b.row(param::kFxParameter + cell, name, group, id, 0.0f, setEffectParameter, showEffectParameter, cell)
                .label = "";
        }
        std::snprintf(id, sizeof id, "FX%d-DryWetMix", slot + 1);
        b.row(param::kFxDryWet + slot, "Dry/Wet", group, id, 0.5f, setDryWet, showPercent, slot);
        std::snprintf(id, sizeof id, "FX%d-TempoSync", slot + 1);
        b.row(param::kFxTempoSync + slot, "Sync", group, id, 1.0f, setSync, showOnOff, slot);
    }
    b.row(param::kFxSerialMode, "Fx Mode", "General", "FxSerialMode", 1.0f, setFxMode, showOnOff);
    b.row(param::kFxBypass, "Fx Bypass", "General", "FxBypassMode", 0.0f, setFxBypass, showOnOff);
    b.row(param::kSeqRandom, "Random", "Seq", "SeqRandomMode", 0.0f, setSeqRandom, showOnOff);
    for (int u = 0; u < 4; ++u) {
        char id[24];
        std::snprintf(id, sizeof id, "Unused%d", u + 1);
        b.row(param::kUnused + u, "Unused", "", id, 1.0f, storeOnly, showPercent, u);
    }
    b.row(param::kDcRemove, "DC Remove", "General", "DCRemove", 1.0f, setDcRemove, showOnOff);
    b.row(param::kFmScaling, "FM Scaling", "General", "FMScaling", 1.0f, setFmScaling, showFmScaling);
    b.row(param::kBendRange, "Bend Range", "General", "PitchBendRange", 0.02f, setBendRange, showBendRange)
        .maximum = 0.12f;
    b.row(param::kVibratoDepth, "Vib. Depth", "General", "VibratoDepth", 1.0f, setVibratoDepth, showPercent);
    b.perOscillator(param::kOscPitchRandom, "Pitch Rnd.", "RndPitchDepth%d", 0.0f, setPitchRandom, showPercentOrOff);
    for (int u = 0; u < 6; ++u) {
        char name[24], id[24];
        std::snprintf(name, sizeof name, "(User %d)", u + 1);
        std::snprintf(id, sizeof id, "UserSlider%d", u + 1);
        b.row(param::kUserSlider + u, name, "General", id, 1.0f, setUserSlider, showPercent, u);
    }
    for (int i = param::kOscCoarse; i < param::kOscCoarse + 6; ++i) {
        b.rows[static_cast<std::size_t>(i)].label = "";
    }
    return b.rows;
}

}  // namespace

const std::array<ParameterInfo, kParameters>& parameterTable()
{
    static const std::array<ParameterInfo, kParameters> table = buildTable();
    return table;
}

int parameterIndexOfIdentifier(std::string_view identifier)
{
    const auto& table = parameterTable();
    for (int i = 0; i < kParameters; ++i) {
        if (identifier == table[static_cast<std::size_t>(i)].identifier) {
            return i;
        }
    }
    return -1;
}

float mapParameter(ParameterHost& host, int index, float value)
{
    if (index < 0 || index >= kParameters) {
        return value;
    }
    const ParameterInfo& row = parameterTable()[static_cast<std::size_t>(index)];
    return row.set(host, row.instance, value);
}

void formatParameter(const ParameterHost* host, int index, float value, char* out)
{
    out[0] = '\0';
    if (index < 0 || index >= kParameters) {
        return;
    }
    const ParameterInfo& row = parameterTable()[static_cast<std::size_t>(index)];
    row.display(host, row.instance, value, out);
}

}  // namespace pelko
