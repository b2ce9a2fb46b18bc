#include "program_recipe.h"

#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/fm_depth_curve.h"
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"
#include "params/additive_settings_object.h"
#include "params/user_controls_assignment.h"
#include "params/wave_name_object.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace pelko::factory {
namespace {

// Parameter rows used by the recipes.
constexpr int kVoices = 0;
constexpr int kMainLevel = 1;
constexpr int kCoarse = 2;
constexpr int kFine = 8;
constexpr int kPhaseMod = 20;
constexpr int kFmFirst = 26;  // + 6·source + target
constexpr int kOutToFilter1 = 80;
constexpr int kOutToFilter2 = 86;
constexpr int kOutRaw = 92;
constexpr int kGlideTime = 98;
constexpr int kGlide = 104;
constexpr int kCutoff = 111;
constexpr int kResonance = 113;
constexpr int kEnvMod = 115;
constexpr int kSeqNote = 117;
constexpr int kSeqVelocity = 133;
constexpr int kSeqLength = 149;
constexpr int kSeqSteps = 165;
constexpr int kSeqSpeed = 166;
constexpr int kFx1Param = 167;
constexpr int kFx2Param = 173;
constexpr int kDryWet = 179;
constexpr int kFxSerial = 181;
constexpr int kFmScaling = 193;
constexpr int kAmToFilter1 = 105;
constexpr int kAmToFilter2 = 107;
constexpr int kAmRaw = 109;
constexpr int kUserSliderFirst = 202;
constexpr int kCommentLines = 4;
constexpr int kSequencerSteps = 16;

// Attack, decay, a held sustain segment that loops while the key is down, release.
void setAdsr(EnvelopeShape& shape, const Adsr& e)
{
    std::array<EnvelopeSegment, 4> segments{};
    segments[0].duration = e.attack;
    segments[0].startLevel = 0.0f;
    segments[0].endLevel = 1.0f;
    segments[1].duration = e.decay;
    segments[1].startLevel = 1.0f;
    segments[1].endLevel = e.sustain;
    segments[2].duration = 0.1f;
    segments[2].startLevel = e.sustain;
    segments[2].endLevel = e.sustain;
    segments[3].duration = e.release;
    segments[3].startLevel = e.sustain;
    segments[3].endLevel = 0.0f;
    shape.assign(static_cast<int>(segments.size()), segments.data());
    shape.setLoop(2, 1);
}

// The factory waves are normalised to 90 % of full scale, and an oscillator reads full scale as
// ±0.5. The target's phase input is 22050/root samples per unit, half a cycle of its wave, so a
// modulator output of amplitude a through a cell of gain 2·g shifts the phase by 2π·g·a radians.
constexpr float kFactoryWavePeak = 0.9f;

// A velocity curve: 1 at velocity 127, falling evenly in dB so that velocity 30 is `levelDb`
// lower; drawn as eight straight pieces of 16 table points, each ending exactly on the slope.
void setVelocitySlope(Curve& curve, float levelDb)
{
    const auto gainAt = [levelDb](float velocity) {
        return std::pow(10.0f, -levelDb / 20.0f * (127.0f - velocity) / 97.0f);
    };
    constexpr int kPieces = 8;
    std::array<EnvelopeSegment, kPieces> segments{};
    float start = gainAt(-1.0f);
    for (int i = 0; i < kPieces; ++i) {
        // A piece of n points ends on its end level at its last point, table entry 16·i + 15.
        const float end = gainAt(static_cast<float>(16 * i + 15));
        segments[static_cast<std::size_t>(i)].duration = 1.0f / kPieces;
        segments[static_cast<std::size_t>(i)].startLevel = start;
        segments[static_cast<std::size_t>(i)].endLevel = end;
        start = end;
    }
    curve.assign(kPieces, segments.data());
}

// A straight velocity curve from `atZero` (velocity 0) to 1 (velocity 127).
void setVelocityLine(Curve& curve, float atZero)
{
    EnvelopeSegment segment;
    segment.duration = 1.0f;
    segment.startLevel = std::clamp(atZero, 0.0f, 1.0f);
    segment.endLevel = 1.0f;
    curve.assign(1, &segment);
}

}  // namespace

float fmIndexValue(float radians, bool depthCurve)
{
    const float g = radians / (2.0f * std::numbers::pi_v<float> * 0.5f * kFactoryWavePeak);
    return depthCurve ? fmDepthCurveInverse(g) : std::clamp(g, 0.0f, 1.0f);
}

float centredStepValue(int n, float scale)
{
    if (n == 0) {
        return 0.5f;
    }
    float nudged = static_cast<float>(n) + (n > 0 ? 0.5f : -0.5f);
    return std::clamp(0.5f + nudged / scale, 0.0f, 1.0f);
}

Recipe& Recipe::name(std::string_view name)
{
    p_.setName(name);
    return *this;
}

Recipe& Recipe::author(std::string_view author)
{
    p_.objectAs<TextObject>(object::kPatchAuthor).setText(author);
    return *this;
}

Recipe& Recipe::comment(int line, std::string_view text)
{
    p_.objectAs<TextObject>(object::kPatchComment + line).setText(text);
    return *this;
}

Recipe& Recipe::describe(std::string_view text)
{
    const std::size_t width = p_.objectAs<TextObject>(object::kPatchComment).capacity() - 1;
    std::string lines[kCommentLines];
    int line = 0;
    std::size_t at = 0;
    while (at < text.size() && line < kCommentLines) {
        std::size_t end = text.find(' ', at);
        const std::string_view word = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        if (word.empty()) {
            continue;
        }
        std::string& current = lines[line];
        if (!current.empty() && current.size() + 1 + word.size() > width) {
            if (++line == kCommentLines) {
                break;
            }
        }
        std::string& target = lines[line];
        if (!target.empty()) {
            target += ' ';
        }
        target += word;
    }
    for (int i = 0; i < kCommentLines; ++i) {
        comment(i, lines[i]);
    }
    return *this;
}

Recipe& Recipe::category(int number)
{
    p_.objectAs<IntegerObject>(object::kPresetCategory).setValue(number);
    return *this;
}

Recipe& Recipe::voices(int count)
{
    p_.values[kVoices] = static_cast<float>(std::clamp(count, 1, 32) - 1) / 31.0f;
    return *this;
}

Recipe& Recipe::level(float mainLevel)
{
    p_.values[kMainLevel] = mainLevel;
    return *this;
}

Recipe& Recipe::gain(float factor)
{
    for (int row = kOutToFilter1; row < kOutRaw + 6; ++row) {
        p_.values[row] = std::min(1.0f, p_.values[row] * factor);
    }
    for (int row = kAmToFilter1; row < kAmRaw + 2; ++row) {
        p_.values[row] = std::min(1.0f, p_.values[row] * factor);
    }
    return *this;
}

Recipe& Recipe::glide(float time)
{
    p_.values[kGlide] = 1.0f;
    for (int osc = 0; osc < 6; ++osc) {
        p_.values[kGlideTime + osc] = time;
    }
    return *this;
}

Recipe& Recipe::wave(int osc, std::string_view waveName)
{
    p_.objectAs<WaveNameObject>(object::kOscShapeId + osc).setText(waveName);
    return *this;
}

Recipe& Recipe::transpose(int osc, int semitones)
{
    p_.values[kCoarse + osc] = centredStepValue(semitones, 96.0f);
    return *this;
}

Recipe& Recipe::detune(int osc, float cents)
{
    // The fine control spans one semitone either side of the centre.
    p_.values[kFine + osc] = std::clamp(0.5f + cents / 200.0f, 0.0f, 1.0f);
    return *this;
}

Recipe& Recipe::raw(int osc, float send)
{
    p_.values[kOutRaw + osc] = send;
    return *this;
}

Recipe& Recipe::toFilter(int osc, int filter, float send)
{
    p_.values[(filter == 0 ? kOutToFilter1 : kOutToFilter2) + osc] = send;
    return *this;
}

Recipe& Recipe::amp(int osc, const Adsr& envelope)
{
    setAdsr(p_.objectAs<EnvelopeObject>(object::kOscEnv + osc).shape(), envelope);
    return *this;
}

Recipe& Recipe::fm(int source, int target, float amount)
{
    p_.values[kFmFirst + 6 * source + target] = amount;
    return *this;
}

Recipe& Recipe::fmIndex(int source, int target, float radians)
{
    return fm(source, target, fmIndexValue(radians, p_.values[kFmScaling] == 1.0f));
}

Recipe& Recipe::velocity(float levelDb)
{
    for (int osc = 0; osc < 6; ++osc) {
        setVelocitySlope(p_.objectAs<CurveObject>(object::kOscVelocityLevel + osc).curve(), levelDb);
    }
    say("velocity sets the level (" + std::to_string(static_cast<int>(std::lround(levelDb))) + " dB)");
    return *this;
}

Recipe& Recipe::velocityLevel(int osc, float levelDb)
{
    setVelocitySlope(p_.objectAs<CurveObject>(object::kOscVelocityLevel + osc).curve(), levelDb);
    return *this;
}

Recipe& Recipe::velocityCutoff(int f, float fractionAt30)
{
    // The line through (30, fractionAt30) and (127, 1), read back at velocity 0.
    const float atZero = 1.0f - (1.0f - fractionAt30) * 127.0f / 97.0f;
    setVelocityLine(p_.objectAs<CurveObject>(object::kFilterVelocityCutoff + f).curve(), atZero);
    say("harder notes play brighter");
    return *this;
}

Recipe& Recipe::randomPhase(int osc)
{
    p_.values[kPhaseMod + osc] = 1.0f;
    return *this;
}

Recipe& Recipe::filter(int f, int typeId, float cutoff, float resonance, float envMod)
{
    p_.objectAs<IntegerObject>(object::kFilterMode + f).setValue(typeId);
    p_.values[kCutoff + f] = cutoff;
    p_.values[kResonance + f] = resonance;
    p_.values[kEnvMod + f] = envMod;
    return *this;
}

Recipe& Recipe::filterEnv(int f, const Adsr& envelope)
{
    setAdsr(p_.objectAs<EnvelopeObject>(object::kFilterEnv + f).shape(), envelope);
    return *this;
}

Recipe& Recipe::effect(int slot, int typeId, std::initializer_list<float> params, float dryWet)
{
    p_.objectAs<IntegerObject>(object::kFxType + slot).setValue(typeId);
    const int first = slot == 0 ? kFx1Param : kFx2Param;
    int i = 0;
    for (float value : params) {
        if (i < 6) {
            p_.values[first + i++] = value;
        }
    }
    p_.values[kDryWet + slot] = dryWet;
    return *this;
}

Recipe& Recipe::serialEffects(bool serial)
{
    p_.values[kFxSerial] = serial ? 1.0f : 0.0f;
    return *this;
}

Recipe& Recipe::sequence(std::initializer_list<int> notes, std::initializer_list<int> velocities, float length,
                         float speed)
{
    int step = 0;
    for (int note : notes) {
        if (step < kSequencerSteps) {
            p_.values[kSeqNote + step++] = centredStepValue(note, 96.0f);
        }
    }
    p_.values[kSeqSteps] = static_cast<float>(step) / 16.0f;
    step = 0;
    for (int velocity : velocities) {
        if (step < kSequencerSteps) {
            p_.values[kSeqVelocity + step++] = centredStepValue(velocity, 128.0f);
        }
    }
    for (int i = 0; i < kSequencerSteps; ++i) {
        p_.values[kSeqLength + i] = length;
    }
    p_.values[kSeqSpeed] = speed;
    return *this;
}

void Recipe::say(std::string_view phrase)
{
    if (controls_.find(phrase) != std::string::npos) {
        return;
    }
    if (!controls_.empty()) {
        controls_ += "; ";
    }
    controls_ += phrase;
}

Recipe& Recipe::vibrato(float cents, float rateHz, float delay)
{
    // The global pitch envelope's level 0.5 is the note's pitch; level 0.5 ± d bends by
    // ±2·2d semitones at full depth (see the voice's global pitch range).
    const float d = std::clamp(cents / 400.0f, 0.0f, 0.5f);
    const float quarter = 0.25f / rateHz;
    const EnvelopeSegment segments[5] = {
        {0.0f, std::max(delay, 0.001f), 0.5f, 0.5f},
        {0.0f, quarter, 0.5f, 0.5f + d},
        {0.0f, 2.0f * quarter, 0.5f + d, 0.5f - d},
        {0.0f, quarter, 0.5f - d, 0.5f},
        {0.0f, 0.01f, 0.5f, 0.5f},
    };
    EnvelopeShape& shape = p_.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape();
    shape.assign(5, segments);
    shape.setLoop(1, 3);
    return *this;
}

Recipe& Recipe::aftertouchVibrato(float fractionAtRest)
{
    setVelocityLine(p_.objectAs<CurveObject>(object::kVibratoAmountAftertouch).curve(), fractionAtRest);
    say("aftertouch deepens the vibrato");
    return *this;
}

Recipe& Recipe::aftertouchCutoff(int f, float fractionAtRest)
{
    setVelocityLine(p_.objectAs<CurveObject>(object::kAftertouchFilterCutoff + f).curve(), fractionAtRest);
    p_.values[kCutoff + f] = std::clamp(p_.values[kCutoff + f] / std::max(fractionAtRest, 0.05f), 0.0f, 1.0f);
    say("aftertouch opens the filter");
    return *this;
}

Recipe& Recipe::aftertouchFm(int target, float fractionAtRest)
{
    setVelocityLine(p_.objectAs<CurveObject>(object::kOscFmAftertouch + target).curve(), fractionAtRest);
    say("aftertouch deepens the FM");
    return *this;
}

Recipe& Recipe::userControl(int slider, std::string_view caption, int parameter, float high, std::string_view what)
{
    auto& assignment = p_.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
    // The slider rests at 0, where every assigned parameter keeps the value the recipe gave it.
    assignment.add(slider, parameter, p_.values[parameter], high);
    p_.objectAs<TextObject>(object::kUserControlText + slider).setText(caption);
    p_.values[kUserSliderFirst + slider] = 0.0f;
    if (!what.empty()) {
        say(std::string(caption) + " " + std::string(what));
    }
    return *this;
}

Recipe& Recipe::modWheel(int parameter, float high, std::string_view what)
{
    return userControl(0, "Mod Wheel", parameter, high, what);
}

Recipe& Recipe::ampShape(int osc, std::initializer_list<std::pair<float, float>> segments, int loopStart, int loopLength)
{
    std::array<EnvelopeSegment, 16> list{};
    int n = 0;
    float start = 0.0f;
    for (const auto& [duration, level] : segments) {
        if (n < static_cast<int>(list.size())) {
            list[static_cast<std::size_t>(n)].duration = duration;
            list[static_cast<std::size_t>(n)].startLevel = start;
            list[static_cast<std::size_t>(n)].endLevel = level;
            start = level;
            ++n;
        }
    }
    EnvelopeShape& shape = p_.objectAs<EnvelopeObject>(object::kOscEnv + osc).shape();
    shape.assign(n, list.data());
    shape.setLoop(loopStart, loopLength);
    return *this;
}

Recipe& Recipe::ringBus(int bus, int a, int b, int c, float toFilter1, float toFilter2, float rawSend)
{
    auto& settings = p_.objectAs<ProductBusObject>(object::kAmSettings + bus);
    settings.setOscillator(0, a);
    settings.setOscillator(1, b);
    settings.setOscillator(2, c);
    p_.values[kAmToFilter1 + bus] = toFilter1;
    p_.values[kAmToFilter2 + bus] = toFilter2;
    p_.values[kAmRaw + bus] = rawSend;
    return *this;
}

Recipe& Recipe::additive(int osc, std::initializer_list<float> harmonicLevels)
{
    auto& settings = p_.objectAs<AdditiveSettingsObject>(object::kAdditiveSettings + osc);
    int h = 0;
    for (float level : harmonicLevels) {
        if (h < AdditiveSettingsObject::kHarmonics) {
            settings.setLevel(h++, level);
        }
    }
    return wave(osc, "User-Defined\\User" + std::to_string(osc + 1));
}

Recipe& Recipe::tuning(std::string_view name, float (*centsOfKey)(int key))
{
    TuningScale& scale = p_.objectAs<TuningScaleObject>(object::kMicrotuningScale).scale();
    scale.setName(name);
    for (int key = 0; key < kKeys; ++key) {
        scale.setCents(key, centsOfKey(key));
    }
    return *this;
}

Recipe& Recipe::set(int parameter, float value)
{
    p_.values[static_cast<std::size_t>(parameter)] = value;
    return *this;
}

float Recipe::value(int parameter) const { return p_.values[static_cast<std::size_t>(parameter)]; }

}  // namespace pelko::factory
