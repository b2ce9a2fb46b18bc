#include "storage/sysex_import.h"

#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "params/segment_curve.h"
#include "params/curve_objects.h"
#include "params/text_object.h"
#include "params/user_controls_assignment.h"
#include "params/wave_name_object.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace pelko {
namespace {

constexpr std::array<std::string_view, 6> kLfoEnvelopeFiles = {
    "DX7\\triangle.env", "DX7\\sawdown.env", "DX7\\sawup.env", "DX7\\square.env", "DX7\\sine.env", "DX7\\s&h.env"};
constexpr std::array<std::string_view, 2> kEffectFiles = {"dx7-a.rfx", "dx7-b.rfx"};

constexpr const char* kOperatorWave = "Single Cycle\\Sine";
constexpr int kFmAmountSlider = 0;
constexpr int kFeedbackSlider = 1;
constexpr float kFmAmount = 0.9f;

// Curve segments that sound: rises slightly concave, falls close to a decay in decibels.
constexpr float kRisingCurve = 0.6f;
constexpr float kFallingCurve = 0.3f;
constexpr float kStraight = 0.5f;

// ---- derived quantities ---------------------------------------------------------------------

// A level 0–99 as an amplitude: 0.75 dB per step below 99; 0 is silence.
float levelGain(int level) { return level <= 0 ? 0.0f : std::exp2(static_cast<float>(level - 99) / 8.0f); }

// Seconds that a move of `steps` level steps takes at a rate 0–99.
float moveSeconds(int rate, int steps)
{
    const float fullRange = 38.0f * std::exp2(-static_cast<float>(rate) / 6.4f);
    return fullRange * static_cast<float>(std::abs(steps)) / 99.0f;
}

// Pitch envelope level: 50 is no change, 1 and 99 the ends of the range.
float pitchLevel(int level) { return std::clamp(0.5f + static_cast<float>(level - 50) / 98.0f, 0.0f, 1.0f); }

float lfoDelaySeconds(int delay) { return 3.0f * std::exp2(static_cast<float>(delay - 99) * 0.05f); }

// LFO speed 0–99 in Hz: about 0.06 Hz at 0, 5.4 Hz at 35, 47 Hz at 99.
float lfoFrequency(int speed)
{
    if (speed <= 64) {
        return std::max(0.0625f, 0.155f * static_cast<float>(speed));
    }
    const float at64 = 0.155f * 64.0f;
    return at64 * std::pow(47.0f / at64, static_cast<float>(speed - 64) / 35.0f);
}

float ratioOf(const FmOperator& op)
{
    const float coarse = op.coarse == 0 ? 0.5f : static_cast<float>(op.coarse);
    return coarse * (1.0f + static_cast<float>(op.fine) / 100.0f);
}

float fixedFrequencyOf(const FmOperator& op)
{
    return std::pow(10.0f, static_cast<float>(op.coarse & 3) + static_cast<float>(op.fine) / 100.0f);
}

// Coarse value for n semitones (±48): trunc((v − 0.5)·96) = n with a margin against rounding
// (none needed at the ends, 0 and 1).
float coarseValue(int n)
{
    const float margin = n > 0 ? 0.25f : n < 0 ? -0.25f : 0.0f;
    return std::clamp(0.5f + (static_cast<float>(n) + margin) / 96.0f, 0.0f, 1.0f);
}

// Fine value for a detuning of `semitones` (±1): 1.0594631^(2v − 1) = 2^(semitones/12).
float fineValue(float semitones)
{
    const float perStep = std::log(2.0f) / 12.0f / std::log(1.0594631f);
    return std::clamp(0.5f + 0.5f * semitones * perStep, 0.0f, 1.0f);
}

// Level change in dB at `octaves` from the break point for a scaling curve and depth.
float scalingDecibels(int curve, int depth, float octaves)
{
    const float share = static_cast<float>(depth) / 99.0f;
    const bool exponential = curve == 1 || curve == 2;
    const float magnitude = exponential ? 6.0f * (std::pow(4.0f, octaves) - 1.0f) : 24.0f * octaves;
    const float db = std::min(magnitude * share, 96.0f);
    return curve >= 2 ? db : -db;
}

int fmRow(int source, int target) { return param::kFmMatrix + 6 * (source - 1) + (target - 1); }

// ---- building objects ---------------------------------------------------------------------

EnvelopeSegment segment(float seconds, float from, float to)
{
    EnvelopeSegment s;
    s.duration = std::max(seconds, 0.0f);
    s.startLevel = from;
    s.endLevel = to;
    s.curve = to > from ? kRisingCurve : to < from ? kFallingCurve : kStraight;
    return s;
}

void setEnvelope(EnvelopeShape& shape, std::vector<EnvelopeSegment> segments, int loopStart, bool straight)
{
    if (straight) {
        for (EnvelopeSegment& s : segments) s.curve = kStraight;
    }
    shape.assign(static_cast<int>(segments.size()), segments.data());
    shape.setLoop(loopStart, 1);
    shape.setTimeMode(0);
    shape.setReferenceTempo(EnvelopeShape::kDefaultReferenceTempo);
    // The whole of every segment follows the key-dependent time factor (rate scaling).
    for (int i = 0; i < shape.segmentCount(); ++i) shape.setVelocityTimeSensitivity(i, 0.0f);
}

// 0 → L1 → L2 → L3, held, → L4; with a non-zero L4 a rise to it first and a fade after.
void buildAmplitudeEnvelope(const FmOperator& op, EnvelopeShape& shape)
{
    const auto& r = op.rates;
    const auto& l = op.levels;
    std::vector<EnvelopeSegment> s;
    const bool leading = l[3] != 0;
    if (leading) s.push_back(segment(0.001f, 0.0f, levelGain(l[3])));
    s.push_back(segment(moveSeconds(r[0], l[0] - l[3]), levelGain(l[3]), levelGain(l[0])));
    s.push_back(segment(moveSeconds(r[1], l[1] - l[0]), levelGain(l[0]), levelGain(l[1])));
    s.push_back(segment(moveSeconds(r[2], l[2] - l[1]), levelGain(l[1]), levelGain(l[2])));
    const int sustain = static_cast<int>(s.size()) - 1;
    s.push_back(segment(moveSeconds(r[3], l[3] - l[2]), levelGain(l[2]), levelGain(l[3])));
    if (leading) s.push_back(segment(moveSeconds(r[3], l[3]), levelGain(l[3]), 0.0f));
    setEnvelope(shape, std::move(s), sustain, false);
}

// PL4 → PL1 → PL2 → PL3, held, → PL4.
void buildPitchEnvelope(const FmVoice& v, EnvelopeShape& shape)
{
    const auto& r = v.pitchRates;
    const auto& l = v.pitchLevels;
    std::vector<EnvelopeSegment> s;
    s.push_back(segment(moveSeconds(r[0], l[0] - l[3]), pitchLevel(l[3]), pitchLevel(l[0])));
    s.push_back(segment(moveSeconds(r[1], l[1] - l[0]), pitchLevel(l[0]), pitchLevel(l[1])));
    s.push_back(segment(moveSeconds(r[2], l[2] - l[1]), pitchLevel(l[1]), pitchLevel(l[2])));
    s.push_back(segment(moveSeconds(r[3], l[3] - l[2]), pitchLevel(l[2]), pitchLevel(l[3])));
    setEnvelope(shape, std::move(s), 2, true);
}

// The curve value u that makes a segment from `from` to `to` pass `mid` halfway.
float curveThrough(float from, float to, float mid)
{
    if (std::fabs(to - from) < 1e-6f) {
        return kStraight;
    }
    const float wanted = std::clamp((mid - from) / (to - from), 0.001f, 0.999f);
    auto progress = [&](float u) {
        EnvelopeSegment s;
        s.startLevel = from;
        s.endLevel = to;
        setSegmentCurve(s, u);
        return (segmentLevelAt(s, 0.5f) - from) / (to - from) - wanted;
    };
    float lo = 0.0001f;
    float hi = 0.9999f;
    const bool rises = progress(lo) < progress(hi);
    for (int i = 0; i < 40; ++i) {
        const float u = 0.5f * (lo + hi);
        ((progress(u) < 0.0f) == rises ? lo : hi) = u;
    }
    return 0.5f * (lo + hi);
}

// A curve by key (or velocity) through `level`, with segments between the given keys (0 … 128),
// each bent to pass the level halfway along it. A rendered table's entry e is the level its
// segment reaches one key later, so every level is taken one key early.
template <class Level>
void setCurve(Curve& curve, const std::vector<float>& keys, Level level)
{
    auto at = [&](float key) { return level(std::clamp(key - 1.0f, 0.0f, 127.0f)); };
    std::vector<EnvelopeSegment> s;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        const float from = at(keys[i]);
        const float to = at(keys[i + 1]);
        EnvelopeSegment seg = segment((keys[i + 1] - keys[i]) / 128.0f, from, to);
        seg.curve = curveThrough(from, to, at(0.5f * (keys[i] + keys[i + 1])));
        s.push_back(seg);
    }
    curve.assign(static_cast<int>(s.size()), s.data());
}

// A straight curve from `first` at 0 to `last` at 127.
void setLine(Curve& curve, float first, float last)
{
    setCurve(curve, {0.0f, 128.0f}, [&](float x) { return first + (last - first) * x / 127.0f; });
}

// The level-by-key curve, normalised to a peak of 1; returns the peak gain it stands for.
float buildKeyScaling(const FmOperator& op, Curve& curve)
{
    if (op.leftDepth == 0 && op.rightDepth == 0) {
        return 1.0f;
    }
    const auto breakKey = static_cast<float>(21 + op.breakPoint);
    auto gainAt = [&](float key) {
        const float octaves = std::fabs(key - breakKey) / 12.0f;
        const float db = key < breakKey ? scalingDecibels(op.leftCurve, op.leftDepth, octaves)
                                        : scalingDecibels(op.rightCurve, op.rightDepth, octaves);
        return std::pow(10.0f, db / 20.0f);
    };
    // Eight segments, on whole keys (a table takes whole points per segment): one for a side
    // without scaling, the rest shared by the sides that have it. The boundary one key above the
    // break point ends a segment on the break point's own entry. The curve is monotonic on each
    // side, so its peak is at an end or at the break point.
    const int split = 22 + op.breakPoint;
    const int leftSegments = op.leftDepth == 0 ? 1 : op.rightDepth == 0 ? 7 : 4;
    const int rightSegments = 8 - leftSegments;
    std::vector<float> keys;
    for (int j = 0; j <= leftSegments; ++j) keys.push_back(static_cast<float>(split * j / leftSegments));
    for (int j = 1; j <= rightSegments; ++j) {
        keys.push_back(static_cast<float>(split + (128 - split) * j / rightSegments));
    }
    const float peak = std::max({gainAt(0.0f), gainAt(breakKey), gainAt(127.0f)});
    setCurve(curve, keys, [&](float key) { return gainAt(key) / peak; });
    return peak;
}

void applySlider(Program& program, int slider, float value)
{
    program.values[static_cast<std::size_t>(param::kUserSlider + slider)] = value;
    const auto& assignments = program.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    for (int k = 0; k < UserControlsAssignment::kAssignmentsPerSlider; ++k) {
        const UserControlsAssignment::Entry e = assignments.entry(slider, k);
        if (e.parameter < 0) break;
        program.values[static_cast<std::size_t>(e.parameter)] = e.low + value * (e.high - e.low);
    }
}

void convertOperator(const FmVoice& voice, int i, Program& program)
{
    const FmOperator& op = voice.operators[static_cast<std::size_t>(i)];
    auto& values = program.values;
    auto& wave = program.objectAs<WaveNameObject>(object::kOscShapeId + i);
    wave.setText(kOperatorWave);
    wave.setMuted(false);

    EnvelopeShape& amplitude = program.objectAs<EnvelopeObject>(object::kOscEnv + i).shape();
    buildAmplitudeEnvelope(op, amplitude);
    const float peak = buildKeyScaling(op, program.objectAs<CurveObject>(object::kOscKeyLevel + i).curve());
    amplitude.setDepth(std::min(1.0f, levelGain(op.outputLevel) * peak));

    if (op.rateScaling > 0) {
        const float top = std::max(0.05f, 1.0f - static_cast<float>(op.rateScaling) / 7.0f);
        setLine(program.objectAs<CurveObject>(object::kOscKeyTime + i).curve(), 1.0f, top);
    }
    if (op.velocitySensitivity > 0) {
        const float bottom = 1.0f - static_cast<float>(op.velocitySensitivity) / 7.0f;
        setLine(program.objectAs<CurveObject>(object::kOscVelocityLevel + i).curve(), bottom, 1.0f);
    }
    if (op.detune != 7) {
        const float level = static_cast<float>(op.detune) / 14.0f;
        setLine(program.objectAs<CurveObject>(object::kOscKeyDetune + i).curve(), level, level);
    }

    if (op.fixedFrequency) {
        const float hz = fixedFrequencyOf(op);
        const int key = static_cast<int>(std::lround(69.0f + 12.0f * std::log2(hz / 440.0f)));
        program.objectAs<FixedPitchObject>(object::kFixedPitchValues).set(i, {true, hz, std::clamp(key, 0, 127)});
    } else {
        const float semitones = 12.0f * std::log2(ratioOf(op)) + static_cast<float>(voice.transpose - 24);
        const int coarse = std::clamp(static_cast<int>(std::lround(semitones)), -48, 48);
        values[static_cast<std::size_t>(param::kOscCoarse + i)] = coarseValue(coarse);
        values[static_cast<std::size_t>(param::kOscFine + i)] =
            fineValue(std::clamp(semitones - static_cast<float>(coarse), -1.0f, 1.0f));
    }
    values[static_cast<std::size_t>(param::kOscPhaseMod + i)] = voice.keySync ? 0.0f : 1.0f;

    const bool pitchMoves =
        std::any_of(voice.pitchLevels.begin(), voice.pitchLevels.end(), [](int l) { return l != 50; });
    if (pitchMoves) {
        buildPitchEnvelope(voice, program.objectAs<EnvelopeObject>(object::kOscPitchEnv + i).shape());
        values[static_cast<std::size_t>(param::kOscPitchMod + i)] = 0.5f;  // ratio 16: four octaves either way
    }
}

void convertRouting(const FmVoice& voice, Program& program)
{
    auto& values = program.values;
    auto& assignments = program.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    const FmRouting routing = parseRoutingText(algorithmRoutingText(voice.algorithm));
    for (const auto& [source, target] : routing.modulations) {
        const int row = fmRow(source, target);
        values[static_cast<std::size_t>(row)] = 1.0f;
        assignments.add(kFmAmountSlider, row, 0.0f, 1.0f);
    }
    if (routing.feedback.first != 0) {
        const int row = fmRow(routing.feedback.first, routing.feedback.second);
        const float amount = static_cast<float>(voice.feedback) / 7.0f;
        values[static_cast<std::size_t>(row)] = amount;
        assignments.add(kFeedbackSlider, row, 0.0f, 1.0f);
        applySlider(program, kFeedbackSlider, amount);
    }
    for (int carrier : routing.carriers) {
        values[static_cast<std::size_t>(param::kOscDirect + carrier - 1)] = 1.0f;
    }
    applySlider(program, kFmAmountSlider, kFmAmount);
    const auto carriers = static_cast<float>(routing.carriers.size());
    values[param::kMainLevel] = carriers >= 3.0f ? 0.5f / carriers : 0.25f;
}

void convertLfo(const FmVoice& voice, const FmImportContent& content, Program& program)
{
    const auto& source = content.lfoEnvelopes[static_cast<std::size_t>(voice.lfoWave)];
    if (!source) {
        return;
    }
    auto& target = program.objectAs<EnvelopeObject>(object::kGlobalPitchEnv);
    target.copyFrom(*source);
    EnvelopeShape& shape = target.shape();
    const int loopEnd = std::min(shape.loopStart() + shape.loopLength(), shape.segmentCount());
    if (shape.segmentCount() > 0 && shape.loopStart() > 0) {
        shape.setDuration(0, lfoDelaySeconds(voice.lfoDelay));
    }
    float loopSeconds = 0.0f;
    for (int s = shape.loopStart(); s < loopEnd; ++s) loopSeconds += shape.segment(s).duration;
    if (loopSeconds > 0.0f) {
        const float factor = 1.0f / lfoFrequency(voice.lfoSpeed) / loopSeconds;
        for (int s = shape.loopStart(); s < loopEnd; ++s) shape.setDuration(s, shape.segment(s).duration * factor);
    }
    shape.setDepth(static_cast<float>(voice.lfoPitchDepth) / 99.0f *
                   static_cast<float>(voice.pitchModSensitivity) / 7.0f);
}

std::optional<std::vector<std::uint8_t>> readContent(const std::string& path)
{
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, std::size_t(1) << 20);
    if (!bytes) {
        debugOutput("FM import: cannot read " + path + "\n");
    }
    return bytes;
}

}  // namespace

std::string_view lfoEnvelopeFileName(int wave) { return kLfoEnvelopeFiles[static_cast<std::size_t>(std::clamp(wave, 0, 5))]; }

std::string_view fmEffectFileName(int slot) { return kEffectFiles[slot == 1 ? 1 : 0]; }

FmImportContent loadFmImportContent(std::string_view installFolder)
{
    FmImportContent content;
    const std::string folder(installFolder);
    for (int wave = 0; wave < 6; ++wave) {
        const std::string path = folder + "Envelope Settings\\" + std::string(lfoEnvelopeFileName(wave));
        std::optional<std::vector<std::uint8_t>> bytes = readContent(path);
        if (!bytes) continue;
        EnvelopeObject envelope(4, 1);
        if (parseObjectFile(bytes->data(), bytes->size(), kEnvelopeFileMagic, kOldEnvelopeFileMagic, envelope) ==
            SideFileStatus::ok) {
            content.lfoEnvelopes[static_cast<std::size_t>(wave)] = envelope;
        } else {
            debugOutput("FM import: damaged envelope file " + path + "\n");
        }
    }
    for (int slot = 0; slot < 2; ++slot) {
        const std::string path = folder + "Effects Settings\\" + std::string(fmEffectFileName(slot));
        std::optional<std::vector<std::uint8_t>> bytes = readContent(path);
        if (!bytes) continue;
        FmImportContent::EffectSettings effect;
        if (parseEffectFile(bytes->data(), bytes->size(), effect.type, effect.values) == SideFileStatus::ok) {
            content.effects[static_cast<std::size_t>(slot)] = effect;
        } else {
            debugOutput("FM import: damaged effect file " + path + "\n");
        }
    }
    return content;
}

void convertFmVoice(const FmVoice& voice, const FmImportContent& content, Program& program)
{
    program.values[param::kOscDirect] = 0.0f;
    program.values[param::kFmScaling] = 0.0f;
    program.objectAs<TextObject>(object::kUserControlText + kFmAmountSlider).setText("FM amount");
    program.objectAs<TextObject>(object::kUserControlText + kFeedbackSlider).setText("Feedback");
    program.setName(voice.name);
    for (int i = 0; i < kFmOperators; ++i) {
        convertOperator(voice, i, program);
    }
    convertRouting(voice, program);
    convertLfo(voice, content, program);
    for (int slot = 0; slot < 2; ++slot) {
        const auto& effect = content.effects[static_cast<std::size_t>(slot)];
        if (!effect) continue;
        program.object(object::kFxType + slot).copyFrom(effect->type);
        for (int i = 0; i < kEffectFileValues; ++i) {
            program.values[static_cast<std::size_t>(effectFileParameter(slot, i))] = effect->values[static_cast<std::size_t>(i)];
        }
    }
}

int firstSysexSlot(int currentProgram) { return currentProgram >= kBulkDumpVoices ? kBulkDumpVoices : 0; }

bool importSysexBytes(ProgramHost& host, const std::uint8_t* data, std::size_t size, std::string_view path)
{
    if (!isBulkDump(data, size)) {
        showMessage(kMsgInvalidFormat, path);
        return false;
    }
    const std::optional<std::string> folder = host.installFolder();
    if (!folder) {
        debugOutput("FM import: no install folder, LFO and effect settings stay at their defaults\n");
    }
    const FmImportContent content = folder ? loadFmImportContent(*folder) : FmImportContent{};
    const int current = std::clamp(host.currentProgram(), 0, kProgramCount - 1);
    const int first = firstSysexSlot(current);
    // Every voice starts from the default program: one is built, and copied for each voice.
    const Program defaults;
    Program program;
    for (int v = 0; v < kBulkDumpVoices; ++v) {
        if (v > 0) {
            program = defaults;
        }
        convertFmVoice(unpackVoice(packedVoice(data, v)), content, program);
        host.storeProgram(first + v, program);
    }
    host.selectProgram(current);
    return true;
}

bool importSysexFile(ProgramHost& host, std::string_view path)
{
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, std::size_t(1) << 20);
    if (!bytes) {
        showMessage(fileExists(path) ? kMsgInvalidFormat : kMsgErrorOpening, path);
        return false;
    }
    return importSysexBytes(host, bytes->data(), bytes->size(), path);
}

}  // namespace pelko
