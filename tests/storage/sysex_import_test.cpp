#include "fake_program_host.h"
#include "program_fixtures.h"

#include "params/segment_curve.h"
#include "platform/file_system.h"
#include "storage/sysex_import.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <set>

using namespace pelko;
using namespace fixtures;
using side_test::FakeProgramHost;
using side_test::ShownMessages;

namespace {

// The routing of each algorithm as the instrument's manual draws it, written out independently
// of the converter: modulations (source → target), the feedback path, the carriers.
constexpr const char* kAlgorithms[32] = {
    "21435465+66-13",  "21435465+22-13",  "21325465+66-14",   "21325465+46-14",  "214365+66-135",    "214365+56-135",
    "21435365+66-13",  "21435365+44-13",  "21435365+22-13",   "21325464+33-14",  "21325464+66-14",   "21435363+22-13",
    "21435363+66-13",  "21435464+66-13",  "21435464+22-13",   "2131514365+66-1", "2131514365+22-1",  "2131415465+33-1",
    "21326465+66-145", "31325464+33-124", "31326465+33-1245", "21636465+66-1345", "326465+66-1245",  "636465+66-12345",
    "6465+66-12345",   "325464+66-124",   "325464+33-124",    "215443+55-136",   "4365+66-1235",     "4354+55-1236",
    "65+66-12345",     "+66-123456"};

struct Expected {
    std::vector<std::pair<int, int>> modulations;
    std::pair<int, int> feedback;
    std::set<int> carriers;
};

Expected expectedRouting(int algorithm)
{
    const std::string text = kAlgorithms[algorithm];
    Expected e;
    const std::size_t plus = text.find('+');
    const std::size_t minus = text.find('-');
    for (std::size_t i = 0; i + 1 < plus; i += 2) e.modulations.emplace_back(text[i] - '0', text[i + 1] - '0');
    e.feedback = {text[plus + 1] - '0', text[plus + 2] - '0'};
    for (std::size_t i = minus + 1; i < text.size(); ++i) e.carriers.insert(text[i] - '0');
    return e;
}

int fmRow(int source, int target) { return 26 + 6 * (source - 1) + (target - 1); }

FmOperator plainOperator(int outputLevel)
{
    FmOperator op;
    op.rates = {99, 60, 40, 70};
    op.levels = {99, 90, 80, 0};
    op.outputLevel = outputLevel;
    op.coarse = 1;
    return op;
}

FmVoice voiceNumber(int v)
{
    FmVoice voice;
    for (int a = 0; a < 6; ++a) voice.operators[static_cast<std::size_t>(a)] = plainOperator(99 - a);
    voice.pitchRates = {99, 99, 99, 99};
    voice.pitchLevels = {50, 50, 50, 50};
    voice.algorithm = v;
    voice.feedback = v % 8;
    voice.lfoWave = v % 6;
    char name[16];
    std::snprintf(name, sizeof name, "VOICE %02d  ", v);
    voice.name = name;
    return voice;
}

std::vector<std::uint8_t> bulkDump(const std::vector<FmVoice>& voices)
{
    std::vector<std::uint8_t> dump{0xF0, 0x43, 0x00, 0x09, 0x20, 0x00};
    for (const FmVoice& voice : voices) {
        std::uint8_t packed[kPackedVoiceSize];
        packVoice(voice, packed);
        dump.insert(dump.end(), packed, packed + kPackedVoiceSize);
    }
    unsigned sum = 0;
    for (std::size_t i = 6; i < dump.size(); ++i) sum += dump[i];
    dump.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
    dump.push_back(0xF7);
    return dump;
}

std::vector<FmVoice> numberedVoices()
{
    std::vector<FmVoice> voices;
    for (int v = 0; v < 32; ++v) voices.push_back(voiceNumber(v));
    return voices;
}

class SysexImport : public ::testing::Test {
protected:
    void SetUp() override { host.folder = std::string(PELKO_BUILD_INSTALL_FOLDER); }

    // Imports one voice (in all 32 places) and returns the program of slot 0.
    const Program& importOne(const FmVoice& voice)
    {
        const std::vector<std::uint8_t> dump = bulkDump(std::vector<FmVoice>(32, voice));
        EXPECT_TRUE(importSysexBytes(host, dump.data(), dump.size(), "one.syx"));
        return host.bank().program(0);
    }

    ShownMessages shown;
    FakeProgramHost host;
};

TEST_F(SysexImport, EveryAlgorithmBecomesItsFmRoutingAndSliders)
{
    const std::vector<std::uint8_t> dump = bulkDump(numberedVoices());
    ASSERT_EQ(dump.size(), 4104u);
    ASSERT_TRUE(importSysexBytes(host, dump.data(), dump.size(), "bank.syx"));
    EXPECT_TRUE(shown.texts().empty());
    for (int v = 0; v < 32; ++v) {
        SCOPED_TRACE("algorithm " + std::to_string(v + 1));
        const Program& p = host.bank().program(v);
        const Expected e = expectedRouting(v);
        const float feedback = static_cast<float>(v % 8) / 7.0f;
        char name[16];
        std::snprintf(name, sizeof name, "VOICE %02d  ", v);
        EXPECT_EQ(p.name(), name);
        for (int source = 1; source <= 6; ++source) {
            for (int target = 1; target <= 6; ++target) {
                float want = 0.0f;
                for (const auto& m : e.modulations) {
                    if (m == std::make_pair(source, target)) want = 0.9f;
                }
                if (e.feedback == std::make_pair(source, target)) want = feedback;
                EXPECT_FLOAT_EQ(p.values[static_cast<std::size_t>(fmRow(source, target))], want) << source << "→" << target;
            }
        }
        for (int row = 62; row <= 73; ++row) EXPECT_EQ(p.values[static_cast<std::size_t>(row)], 0.0f);
        for (int osc = 1; osc <= 6; ++osc) {
            EXPECT_EQ(p.values[static_cast<std::size_t>(91 + osc)], e.carriers.count(osc) ? 1.0f : 0.0f) << "Raw " << osc;
        }
        const auto& sliders = p.objectAs<UserControlsAssignment>(object::kUserControlsAssignment);
        ASSERT_EQ(sliders.count(0), static_cast<int>(e.modulations.size()));
        for (std::size_t k = 0; k < e.modulations.size(); ++k) {
            const auto entry = sliders.entry(0, static_cast<int>(k));
            EXPECT_EQ(entry.parameter, fmRow(e.modulations[k].first, e.modulations[k].second));
            EXPECT_EQ(entry.low, 0.0f);
            EXPECT_EQ(entry.high, 1.0f);
        }
        ASSERT_EQ(sliders.count(1), 1);
        EXPECT_EQ(sliders.entry(1, 0).parameter, fmRow(e.feedback.first, e.feedback.second));
        EXPECT_FLOAT_EQ(p.values[202], 0.9f);
        EXPECT_FLOAT_EQ(p.values[203], feedback);
        EXPECT_EQ(p.objectAs<TextObject>(object::kUserControlText).text(), "FM amount");
        EXPECT_EQ(p.objectAs<TextObject>(object::kUserControlText + 1).text(), "Feedback");
        EXPECT_EQ(p.values[193], 0.0f);  // FM Scaling LIN
        for (int osc = 0; osc < 6; ++osc) {
            EXPECT_EQ(p.objectAs<WaveNameObject>(object::kOscShapeId + osc).text(), "Single Cycle\\Sine");
            EXPECT_TRUE(p.objectAs<WaveNameObject>(object::kOscShapeId + osc).selectsWave());
        }
        // Three or more carriers share the level.
        EXPECT_FLOAT_EQ(p.values[1], e.carriers.size() >= 3 ? 0.5f / static_cast<float>(e.carriers.size()) : 0.25f);
    }
    // Hand-checked corners: the first, the fourth (feedback across three operators), the last.
    EXPECT_EQ(expectedRouting(0).carriers, (std::set<int>{1, 3}));
    EXPECT_EQ(expectedRouting(3).feedback, std::make_pair(4, 6));
    EXPECT_EQ(expectedRouting(31).carriers.size(), 6u);
    EXPECT_TRUE(expectedRouting(31).modulations.empty());
}

TEST_F(SysexImport, TheDumpFillsTheHalfOfTheBankThatHoldsTheCurrentProgram)
{
    const std::vector<std::uint8_t> dump = bulkDump(numberedVoices());
    host.current = 40;
    ASSERT_TRUE(importSysexBytes(host, dump.data(), dump.size(), "bank.syx"));
    EXPECT_EQ(host.bank().program(31).name(), "program 31");
    EXPECT_EQ(host.bank().program(32).name(), "VOICE 00  ");
    EXPECT_EQ(host.bank().program(63).name(), "VOICE 31  ");
    EXPECT_EQ(host.steps.size(), 33u);
    EXPECT_EQ(host.steps.front(), "program 32");
    EXPECT_EQ(host.steps.back(), "select 40");
    EXPECT_EQ(host.editBuffer().name(), "VOICE 08  ");

    FakeProgramHost low;
    low.current = 3;
    ASSERT_TRUE(importSysexBytes(low, dump.data(), dump.size(), "bank.syx"));
    EXPECT_EQ(low.bank().program(0).name(), "VOICE 00  ");
    EXPECT_EQ(low.bank().program(32).name(), "program 32");
    EXPECT_EQ(low.steps.back(), "select 3");
}

TEST_F(SysexImport, FilesThatAreNoBulkDumpAreRefused)
{
    testing_support::TempFolder folder;
    std::vector<std::uint8_t> dump = bulkDump(numberedVoices());
    std::vector<std::uint8_t> longer = dump;
    longer.push_back(0);
    std::vector<std::uint8_t> oneVoice = dump;
    oneVoice[3] = 0x00;  // the single-voice format
    std::vector<std::uint8_t> otherMaker = dump;
    otherMaker[1] = 0x41;
    for (const auto& bytes : {std::vector<std::uint8_t>(dump.begin(), dump.end() - 1), longer, oneVoice, otherMaker,
                              std::vector<std::uint8_t>{}}) {
        EXPECT_FALSE(importSysexBytes(host, bytes.data(), bytes.size(), "bad.syx"));
    }
    EXPECT_EQ(shown.texts(), std::vector<std::string>(5, "Invalid patch/bank format\nbad.syx"));
    EXPECT_FALSE(importSysexFile(host, folder.file("missing.syx")));
    EXPECT_EQ(shown.texts().back(), "Error opening file\n" + folder.file("missing.syx"));
    EXPECT_TRUE(host.steps.empty());

    // A dump sent on another MIDI channel is the same dump.
    dump[2] = 0x05;
    const std::string path = folder.file("channel6.syx");
    ASSERT_TRUE(writeFileAtomically(path, dump));
    EXPECT_TRUE(importSysexFile(host, path));
}

TEST_F(SysexImport, DamagedVoicesStayWithinTheirRanges)
{
    std::uint8_t junk[kPackedVoiceSize];
    std::fill(junk, junk + kPackedVoiceSize, 0xFF);
    const FmVoice voice = unpackVoice(junk);
    EXPECT_EQ(voice.algorithm, 31);
    EXPECT_EQ(voice.lfoWave, 5);
    EXPECT_EQ(voice.transpose, 48);
    EXPECT_EQ(voice.name, std::string(10, ' '));
    for (const FmOperator& op : voice.operators) {
        EXPECT_EQ(op.rates[0], 99);
        EXPECT_EQ(op.detune, 14);
        EXPECT_EQ(op.velocitySensitivity, 7);
        EXPECT_EQ(op.coarse, 31);
    }
    const Program& p = importOne(voice);
    for (float v : p.values) EXPECT_TRUE(v >= 0.0f && v <= 1.0f);

    // Packing and unpacking keep every field.
    FmVoice rich = voiceNumber(21);
    rich.operators[2].fixedFrequency = true;
    rich.operators[4].leftCurve = 2;
    rich.operators[4].rightCurve = 1;
    rich.lfoPitchDepth = 33;
    rich.pitchModSensitivity = 5;
    rich.keySync = false;
    std::uint8_t packed[kPackedVoiceSize];
    packVoice(rich, packed);
    const FmVoice back = unpackVoice(packed);
    std::uint8_t again[kPackedVoiceSize];
    packVoice(back, again);
    EXPECT_TRUE(std::equal(packed, packed + kPackedVoiceSize, again));
    EXPECT_TRUE(back.operators[2].fixedFrequency);
    EXPECT_EQ(back.operators[4].rightCurve, 1);
    EXPECT_EQ(back.pitchModSensitivity, 5);
}

TEST_F(SysexImport, OperatorFrequenciesBecomeCoarseFineOrFixedPitch)
{
    FmVoice voice = voiceNumber(31);
    voice.operators[0].coarse = 3;  // ratio 3: 19.02 semitones
    voice.operators[1].coarse = 0;  // ratio 0.5: an octave down
    voice.operators[2].coarse = 1;
    voice.operators[2].fine = 50;  // ratio 1.5
    voice.operators[3].fixedFrequency = true;
    voice.operators[3].coarse = 2;  // 100 Hz
    voice.operators[4].coarse = 31;
    voice.operators[4].fine = 99;  // beyond four octaves: as high as it goes
    voice.transpose = 36;           // an octave up for every ratio
    const Program& p = importOne(voice);
    auto coarse = [&](int osc) { return static_cast<int>(std::trunc((p.values[static_cast<std::size_t>(2 + osc)] - 0.5f) * 96.0f)); };
    auto fine = [&](int osc) { return std::pow(1.0594631f, 2.0f * p.values[static_cast<std::size_t>(8 + osc)] - 1.0f); };
    auto ratio = [&](int osc) { return std::exp2(static_cast<float>(coarse(osc)) / 12.0f) * fine(osc); };
    EXPECT_EQ(coarse(0), 31);
    EXPECT_NEAR(ratio(0), 6.0f, 0.01f);
    EXPECT_EQ(coarse(1), 0);
    EXPECT_NEAR(ratio(1), 1.0f, 1e-3f);
    EXPECT_NEAR(ratio(2), 3.0f, 0.005f);
    EXPECT_EQ(coarse(4), 48);
    EXPECT_EQ(p.values[6], 1.0f);  // stored values stay within 0–1
    EXPECT_NEAR(fine(4), 1.0594631f, 1e-5f);
    const auto& fixed = p.objectAs<FixedPitchObject>(object::kFixedPitchValues);
    EXPECT_TRUE(fixed.setting(3).on);
    EXPECT_NEAR(fixed.setting(3).frequency, 100.0f, 0.01f);
    EXPECT_EQ(fixed.setting(3).key, 43);
    EXPECT_FALSE(fixed.setting(0).on);

    voice.transpose = 0;
    importOne(voice);  // ratio 0.5 two octaves down: as low as the voice goes
    EXPECT_EQ(coarse(1), -36);
}

TEST_F(SysexImport, EnvelopesAndScalingCurves)
{
    FmVoice voice = voiceNumber(31);
    FmOperator& a = voice.operators[0];
    a.levels = {99, 91, 83, 0};
    a.outputLevel = 91;
    FmOperator& b = voice.operators[1];
    b.levels = {99, 90, 80, 40};  // a level after release: six segments
    b.rates = {50, 50, 50, 20};
    FmOperator& c = voice.operators[2];
    c.breakPoint = 39;  // key 60
    c.leftDepth = 99;
    c.leftCurve = 0;  // −LIN
    c.rateScaling = 7;
    c.velocitySensitivity = 7;
    c.detune = 14;
    FmOperator& d = voice.operators[3];
    d.breakPoint = 39;
    d.rightDepth = 99;
    d.rightCurve = 3;  // +LIN: the curve's peak is at the top, the depth makes up for it
    d.outputLevel = 75;
    voice.keySync = true;
    const Program& p = importOne(voice);

    const EnvelopeShape& ea = p.objectAs<EnvelopeObject>(object::kOscEnv).shape();
    ASSERT_EQ(ea.segmentCount(), 4);
    EXPECT_EQ(ea.loopStart(), 2);
    EXPECT_EQ(ea.loopLength(), 1);
    EXPECT_FLOAT_EQ(ea.segment(0).startLevel, 0.0f);
    EXPECT_FLOAT_EQ(ea.segment(0).endLevel, 1.0f);
    EXPECT_FLOAT_EQ(ea.segment(1).endLevel, 0.5f);  // 8 steps: 6 dB
    EXPECT_FLOAT_EQ(ea.segment(2).endLevel, 0.25f);
    EXPECT_FLOAT_EQ(ea.segment(3).endLevel, 0.0f);
    EXPECT_FLOAT_EQ(ea.depth(), 0.5f);  // output level 91
    EXPECT_EQ(ea.velocityTimeSensitivity(0), 0.0f);

    const EnvelopeShape& eb = p.objectAs<EnvelopeObject>(object::kOscEnv + 1).shape();
    ASSERT_EQ(eb.segmentCount(), 6);
    EXPECT_EQ(eb.loopStart(), 3);
    EXPECT_FLOAT_EQ(eb.segment(0).endLevel, std::exp2(-59.0f / 8.0f));
    EXPECT_FLOAT_EQ(eb.segment(4).endLevel, std::exp2(-59.0f / 8.0f));
    EXPECT_FLOAT_EQ(eb.segment(5).endLevel, 0.0f);
    // Lower rates and longer moves take longer.
    EXPECT_GT(eb.segment(1).duration, ea.segment(0).duration * 50.0f);
    EXPECT_GT(eb.segment(1).duration, eb.segment(2).duration);

    const Curve& keyLevel = p.objectAs<CurveObject>(object::kOscKeyLevel + 2).curve();
    EXPECT_NEAR(keyLevel.at(60), 1.0f, 0.02f);
    EXPECT_NEAR(keyLevel.at(48), std::pow(10.0f, -24.0f / 20.0f), 0.01f);
    EXPECT_NEAR(keyLevel.at(54), std::pow(10.0f, -12.0f / 20.0f), 0.02f);
    EXPECT_NEAR(keyLevel.at(100), 1.0f, 1e-6f);
    EXPECT_LT(keyLevel.at(20), 0.01f);
    EXPECT_FLOAT_EQ(p.objectAs<CurveObject>(object::kOscKeyLevel).curve().at(30), 1.0f);  // no scaling
    const Curve& keyTime = p.objectAs<CurveObject>(object::kOscKeyTime + 2).curve();
    EXPECT_NEAR(keyTime.at(0), 1.0f, 0.01f);
    EXPECT_NEAR(keyTime.at(127), 0.05f, 0.01f);
    const Curve& velocity = p.objectAs<CurveObject>(object::kOscVelocityLevel + 2).curve();
    EXPECT_NEAR(velocity.at(0), 0.0f, 0.01f);
    EXPECT_NEAR(velocity.at(127), 1.0f, 0.01f);
    EXPECT_NEAR(p.objectAs<CurveObject>(object::kOscKeyDetune + 2).curve().at(64), 1.0f, 1e-6f);
    EXPECT_NEAR(p.objectAs<CurveObject>(object::kOscKeyDetune).curve().at(64), 0.5f, 1e-6f);

    // A rising curve: normalised to its peak at the top, with the output level raised to match.
    const Curve& rising = p.objectAs<CurveObject>(object::kOscKeyLevel + 3).curve();
    EXPECT_NEAR(rising.at(127), 1.0f, 0.02f);
    const float boost = std::pow(10.0f, 96.0f / 20.0f);  // the boost is capped at 96 dB
    EXPECT_NEAR(rising.at(60) * boost, 1.0f, 0.05f);
    EXPECT_FLOAT_EQ(p.objectAs<EnvelopeObject>(object::kOscEnv + 3).shape().depth(), 1.0f);

    EXPECT_EQ(p.values[20], 0.0f);  // key sync: every note starts at phase 0
    EXPECT_EQ(p.values[74], 0.0f);  // a flat pitch envelope leaves the pitch alone
    EXPECT_EQ(bytesOf(p.object(object::kOscPitchEnv)), bytesOf(Program().object(object::kOscPitchEnv)));
}

TEST_F(SysexImport, PitchEnvelopeLfoAndEffectsComeFromTheVoiceAndTheContent)
{
    FmVoice voice = voiceNumber(0);
    voice.pitchLevels = {99, 50, 50, 1};
    voice.pitchRates = {80, 80, 80, 80};
    voice.keySync = false;
    voice.lfoWave = 4;  // sine
    voice.lfoSpeed = 35;
    voice.lfoDelay = 79;
    voice.lfoPitchDepth = 99;
    voice.pitchModSensitivity = 7;
    const Program& p = importOne(voice);

    for (int osc = 0; osc < 6; ++osc) {
        EXPECT_EQ(p.values[static_cast<std::size_t>(20 + osc)], 1.0f);  // random start phase
        EXPECT_EQ(p.values[static_cast<std::size_t>(74 + osc)], 0.5f);  // ±4 octaves
        const EnvelopeShape& pitch = p.objectAs<EnvelopeObject>(object::kOscPitchEnv + osc).shape();
        ASSERT_EQ(pitch.segmentCount(), 4);
        EXPECT_FLOAT_EQ(pitch.segment(0).startLevel, 0.0f);
        EXPECT_FLOAT_EQ(pitch.segment(0).endLevel, 1.0f);
        EXPECT_FLOAT_EQ(pitch.segment(1).endLevel, 0.5f);
        EXPECT_EQ(pitch.loopStart(), 2);
    }

    const EnvelopeShape& lfo = p.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape();
    ASSERT_EQ(lfo.segmentCount(), 6);  // delay, four quarter periods, release
    EXPECT_EQ(lfo.loopStart(), 1);
    EXPECT_EQ(lfo.loopLength(), 4);
    EXPECT_NEAR(lfo.segment(0).duration, 1.5f, 1e-4f);  // 3·2^(−1)
    float period = 0.0f;
    for (int s = 1; s <= 4; ++s) period += lfo.segment(s).duration;
    EXPECT_NEAR(period, 1.0f / (0.155f * 35.0f), 1e-4f);
    EXPECT_FLOAT_EQ(lfo.depth(), 1.0f);

    EXPECT_EQ(p.objectAs<IntegerObject>(object::kFxType).value(), 20);
    EXPECT_EQ(p.objectAs<IntegerObject>(object::kFxType + 1).value(), 40);
    EXPECT_FLOAT_EQ(p.values[179], 0.35f);
    EXPECT_FLOAT_EQ(p.values[180], 0.18f);

    // Without the content the programs keep the defaults for those parts.
    host.folder.reset();
    const Program& bare = importOne(voice);
    EXPECT_EQ(bytesOf(bare.object(object::kGlobalPitchEnv)), bytesOf(Program().object(object::kGlobalPitchEnv)));
    EXPECT_EQ(bare.objectAs<IntegerObject>(object::kFxType).value(), 0);
}

TEST_F(SysexImport, TheGeneratedLfoEnvelopesHaveTheirWaveShapes)
{
    const std::string folder = std::string(PELKO_BUILD_INSTALL_FOLDER);
    const FmImportContent content = loadFmImportContent(folder);
    for (int wave = 0; wave < 6; ++wave) ASSERT_TRUE(content.lfoEnvelopes[static_cast<std::size_t>(wave)]) << wave;
    ASSERT_TRUE(content.effects[0] && content.effects[1]);

    // The loop of each wave, sampled over one period (1 s), against the wave itself.
    auto levelAt = [](const EnvelopeShape& shape, float t) {
        float start = 0.0f;
        for (int s = shape.loopStart(); s < shape.loopStart() + shape.loopLength(); ++s) {
            const EnvelopeSegment& seg = shape.segment(s);
            if (t <= start + seg.duration) return segmentLevelAt(seg, seg.duration > 0 ? (t - start) / seg.duration : 1.0f);
            start += seg.duration;
        }
        return shape.segment(shape.loopStart() + shape.loopLength() - 1).endLevel;
    };
    const double pi = std::numbers::pi;
    const std::array<std::function<double(double)>, 5> waves = {
        [](double t) { return t < 0.25 ? 0.5 + 2 * t : t < 0.75 ? 1.0 - 2 * (t - 0.25) : 2 * (t - 0.75); },
        [](double t) { return 1.0 - t; },
        [](double t) { return t; },
        [](double t) { return t < 0.5 ? 1.0 : 0.0; },
        [pi](double t) { return 0.5 + 0.5 * std::sin(2 * pi * t); }};
    for (int wave = 0; wave < 5; ++wave) {
        const EnvelopeShape& shape = content.lfoEnvelopes[static_cast<std::size_t>(wave)]->shape();
        EXPECT_NEAR(shape.segment(0).startLevel, 0.5f, 1e-6f);
        EXPECT_NEAR(shape.segment(shape.segmentCount() - 1).endLevel, 0.5f, 1e-6f);  // release to no change
        for (double t = 0.01; t < 1.0; t += 0.0625) {
            EXPECT_NEAR(levelAt(shape, static_cast<float>(t)), waves[static_cast<std::size_t>(wave)](t), 0.035)
                << "wave " << wave << " at " << t;
        }
    }
    const EnvelopeShape& hold = content.lfoEnvelopes[5]->shape();
    EXPECT_EQ(hold.loopLength(), 16);
}

}  // namespace
