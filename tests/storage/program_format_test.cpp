#include "program_fixtures.h"

#include "platform/user_interface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace pelko;
using namespace fixtures;

namespace {

class WithScriptedUi : public ::testing::Test {
protected:
    void SetUp() override { previous_ = setUserInterface(ui_); }
    void TearDown() override { setUserInterface(previous_); }
    std::vector<std::string> messageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : ui_->messages()) texts.push_back(m.text);
        return texts;
    }
    std::shared_ptr<ScriptedUserInterface> ui_ = std::make_shared<ScriptedUserInterface>();
    std::shared_ptr<UserInterface> previous_;
};

void putEnvelopeHeader(ByteWriter& out, int count, int capacity)
{
    out.putInt32(count);
    out.putInt32(capacity);
    out.putInt32(0);
}

TEST(ProgramFormat, DefaultProgramRoundTripsByteForByte)
{
    Program original;
    std::vector<std::uint8_t> bytes = bytesOf(original);
    std::size_t objects = 0;
    for (int k = 0; k < kPatchObjectCount; ++k) objects += original.object(k).storedSize(kFormatVersion);
    EXPECT_EQ(bytes.size(), 1761 + objects);
    EXPECT_EQ(bytes.size(), storedProgramSize(original));

    Program changed;
    changeEverything(changed);
    ByteReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(readProgram(in, kFormatVersion, changed));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(bytesOf(changed), bytes);
    EXPECT_EQ(changed.name(), "Default                 ");
}

TEST(ProgramFormat, EveryObjectChangedRoundTripsByteForByte)
{
    Program defaults;
    Program changed;
    changeEverything(changed, 3);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        if (k == object::kEnvelopesMaster) continue;  // holds nothing
        EXPECT_NE(bytesOf(changed.object(k)), bytesOf(defaults.object(k))) << "object " << k << " kept its default";
        EXPECT_EQ(bytesOf(changed.object(k)).size(), changed.object(k).storedSize(kFormatVersion)) << k;
    }
    std::vector<std::uint8_t> bytes = bytesOf(changed);
    Program copy;
    ByteReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(readProgram(in, kFormatVersion, copy));
    EXPECT_EQ(bytesOf(copy), bytes);
    // The text form of every object reads back to the same object.
    Program fromText;
    for (int k = 0; k < kPatchObjectCount; ++k) {
        const PatchObject& o = changed.object(k);
        ASSERT_TRUE(fromText.object(k).fromText(o.toText(), o.storedSize(kFormatVersion), kFormatVersion)) << k;
        EXPECT_EQ(bytesOf(fromText.object(k)), bytesOf(o)) << k;
    }
}

TEST(ProgramFormat, NewProgramHasTheDocumentedObjects)
{
    Program p;
    EXPECT_STREQ(p.object(0).displayName(), "Osc1 Level");
    EXPECT_STREQ(p.object(0).groupName(), "Osc Level");
    EXPECT_STREQ(p.object(117).displayName(), "Flt2 VS Cutoff");
    EXPECT_STREQ(p.object(141).displayName(), "FX2 Type");
    EXPECT_STREQ(p.object(224).displayName(), "Osc6 Detuning");
    EXPECT_EQ(p.objectAs<EnvelopeObject>(object::kOscEnv).shape().segmentCount(), 5);
    EXPECT_EQ(p.objectAs<EnvelopeObject>(object::kOscPitchEnv + 5).shape().segment(2).endLevel, 0.5f);
    EXPECT_EQ(p.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape().segmentCount(), 4);
    EXPECT_EQ(p.objectAs<CurveObject>(object::kOscKeyDetune).curve().at(60), 0.5f);
    EXPECT_EQ(p.objectAs<CurveObject>(object::kFilterKeyPan + 3).curve().at(0), 0.5f);
    EXPECT_EQ(p.objectAs<CurveObject>(object::kOscVelocityLevel).curve().at(127), 1.0f);
    EXPECT_EQ(p.objectAs<TuningScaleObject>(object::kMicrotuningScale).scale().name(), "Equal Temperament");
    EXPECT_EQ(p.objectAs<IntegerObject>(object::kPresetCategory).value(), -1);
    EXPECT_TRUE(p.objectAs<ProductBusObject>(object::kAmSettings + 1).empty());
    EXPECT_TRUE(p.objectAs<WaveNameObject>(object::kOscShapeId).selectsWave());
    EXPECT_FALSE(p.objectAs<WaveNameObject>(object::kOscShapeId + 1).selectsWave());
    EXPECT_EQ(p.objectAs<TextObject>(object::kDisabledOscOut).text(), std::string(18, '1'));
    EXPECT_EQ(p.object(object::kEnvelopesMaster).storedSize(kFormatVersion), 0u);
}

TEST(ProgramFormat, ObjectListEndingEarlyLeavesTheRestUnchanged)
{
    Program source;
    changeEverything(source, 1);
    ByteWriter out;
    std::vector<std::uint8_t> full = bytesOf(source);
    out.putBytes(full.data(), kStoredProgramNameSize + 4 * kParameterCount);
    for (int k = 0; k <= 10; ++k) {
        out.putInt32(k);
        source.object(k).write(out);
    }
    // The list ends with the end marker, or with any index outside the table.
    for (std::int32_t end : {-1, 300}) {
        ByteWriter ending;
        ending.putBytes(out.bytes().data(), out.size());
        ending.putInt32(end);
        const std::vector<std::uint8_t> bytes = ending.take();
        Program target;
        changeEverything(target, 2);
        Program before = target;
        ByteReader in(bytes.data(), bytes.size());
        ASSERT_TRUE(readProgram(in, kFormatVersion, target));
        for (int k = 0; k <= 10; ++k) EXPECT_EQ(bytesOf(target.object(k)), bytesOf(source.object(k))) << k;
        for (int k = 11; k < kPatchObjectCount; ++k) EXPECT_EQ(bytesOf(target.object(k)), bytesOf(before.object(k))) << k;
    }
}

TEST(ProgramFormat, StreamCutShortAnywhereFails)
{
    Program source;
    changeEverything(source, 4);
    std::vector<std::uint8_t> bytes = bytesOf(source);
    for (std::size_t size = 0; size < bytes.size(); size += (size < 2000 ? 1 : 37)) {
        Program target;
        ByteReader in(bytes.data(), size);
        ASSERT_FALSE(readProgram(in, kFormatVersion, target)) << size;
    }
}

TEST(ProgramFormat, SegmentListsThatCannotBeHeldAreRefused)
{
    struct Case {
        int count;
        int capacity;
    };
    for (Case c : {Case{129, 128}, Case{5, 64}, Case{-1, 128}, Case{0x7fffffff, 128}, Case{3, 8}}) {
        ByteWriter out;
        putEnvelopeHeader(out, c.count, c.capacity);
        out.putZeros(28 * 130 + 64);
        EnvelopeObject envelope(5, 0);
        const std::vector<std::uint8_t> before = bytesOf(envelope);
        ByteReader in(out.bytes().data(), out.size());
        EXPECT_FALSE(envelope.read(in, kFormatVersion)) << c.count << "/" << c.capacity;
        EXPECT_EQ(bytesOf(envelope), before);
    }
    ByteWriter curve;
    putEnvelopeHeader(curve, 9, 8);
    curve.putZeros(28 * 9);
    CurveObject c;
    ByteReader in(curve.bytes().data(), curve.size());
    EXPECT_FALSE(c.read(in, kFormatVersion));
}

TEST(ProgramFormat, NonFiniteNumbersGetSaneReplacements)
{
    const float nan = std::nanf("");
    const float inf = INFINITY;
    ByteWriter out;
    putEnvelopeHeader(out, 2, 128);
    for (float v : {nan, nan, nan, inf, nan, nan, nan}) out.putFloat(v);
    for (float v : {0.0f, -inf, 0.5f, 0.5f, 1.0f, 1.0f, 0.5f}) out.putFloat(v);
    out.putInt32(1);
    out.putInt32(1);
    out.putInt32(0);
    out.putFloat(inf);   // reference tempo
    out.putFloat(nan);   // sensitivities
    out.putFloat(3.0f);
    out.putFloat(nan);   // depth
    EnvelopeObject envelope(5, 0);
    ByteReader in(out.bytes().data(), out.size());
    ASSERT_TRUE(envelope.read(in, kFormatVersion));
    const EnvelopeShape& s = envelope.shape();
    EXPECT_EQ(s.segmentCount(), 2);
    EXPECT_EQ(s.segment(0).duration, 0.0f);
    EXPECT_EQ(s.segment(0).startLevel, 0.0f);
    EXPECT_EQ(s.segment(0).endLevel, 1.0f);
    EXPECT_EQ(s.segment(0).curve, 0.5f);
    EXPECT_TRUE(std::isfinite(s.segment(0).curveExponent));
    EXPECT_EQ(s.segment(1).duration, 0.0f);
    EXPECT_EQ(s.referenceTempo(), 120.0f);
    EXPECT_EQ(s.velocityTimeSensitivity(0), 0.0f);
    EXPECT_EQ(s.velocityTimeSensitivity(1), 0.0f);
    EXPECT_EQ(s.depth(), 1.0f);

    Program p;
    std::vector<std::uint8_t> bytes = bytesOf(p);
    const std::uint8_t nanBytes[4] = {0x7f, 0xc0, 0, 0};
    std::memcpy(bytes.data() + kStoredProgramNameSize + 4 * 1, nanBytes, 4);  // Main Level
    std::memcpy(bytes.data() + kStoredProgramNameSize + 4 * 2, nanBytes, 4);
    p.values[1] = 0.9f;
    ByteReader programIn(bytes.data(), bytes.size());
    ASSERT_TRUE(readProgram(programIn, kFormatVersion, p));
    EXPECT_EQ(p.values[1], 0.25f);  // the default
}

TEST(ProgramFormat, VersionGatedFieldsOnBothSidesOfTheirVersion)
{
    Program p;
    EnvelopeShape& env = p.objectAs<EnvelopeObject>(object::kOscEnv + 2).shape();
    env.setReferenceTempo(90.0f);
    env.setDepth(0.3f);
    p.objectAs<TextObject>(object::kUserControlText + 1).setText("Cutoff Sweep Long");
    for (int version = 1; version <= kFormatVersion; ++version) {
        std::vector<std::uint8_t> bytes = storedAsVersion(p, version);
        ASSERT_EQ(bytes.size(), storedProgramSize(p, version)) << version;
        Program read = readAsVersion(bytes, version, false);
        const EnvelopeShape& e = read.objectAs<EnvelopeObject>(object::kOscEnv + 2).shape();
        EXPECT_EQ(e.referenceTempo(), version >= 14 ? 90.0f : 120.0f) << version;
        EXPECT_EQ(e.depth(), version >= 17 ? 0.3f : 1.0f) << version;
        EXPECT_EQ(read.objectAs<TextObject>(object::kUserControlText + 1).text(),
                  version >= 18 ? "Cutoff Sweep Long" : "Cutoff Swee")
            << version;
    }
}

// One case per upgrade step: the step applies to a program stored by `last` and not to one
// stored by `last + 1`.
TEST(ProgramUpgrade, EachStepAppliesUpToItsVersion)
{
    struct Step {
        int last;
        void (*prepare)(Program&);
        bool (*applied)(const Program&);
    };
    auto curveFlat = [](const Program& p, int index, float level) {
        const Curve& c = p.objectAs<CurveObject>(index).curve();
        for (int i = 0; i <= c.segmentCount(); ++i) {
            float v = i < c.segmentCount() ? c.segment(i).startLevel : c.segment(i - 1).endLevel;
            if (v != level) return false;
        }
        return true;
    };
    (void)curveFlat;
    static const Step steps[] = {
        {2, [](Program& p) { p.values[198] = 0.7f; }, [](const Program& p) { return p.values[198] == 0.0f; }},
        {3, [](Program& p) { p.values[194] = 0.09f; }, [](const Program& p) { return p.values[194] == 0.02f; }},
        {5, [](Program& p) { p.objectAs<TextObject>(object::kDisabledFltOut).setText("010101"); },
         [](const Program& p) { return p.objectAs<TextObject>(object::kDisabledFltOut).text() == "111111"; }},
        {6, [](Program& p) {
             p.values[193] = 0.0f;
             p.objectAs<CurveObject>(object::kFilterVelocityResonance + 1).curve().setEndLevel(0, 0.2f);
         },
         [](const Program& p) {
             return p.values[193] == 1.0f && p.objectAs<CurveObject>(object::kFilterVelocityResonance + 1).curve().at(127) == 1.0f;
         }},
        {7, [](Program& p) { p.values[192] = 1.0f; }, [](const Program& p) { return p.values[192] == 0.0f; }},
        {8, [](Program& p) { p.objectAs<CurveObject>(object::kOscFmKey + 4).curve().setEndLevel(0, 0.1f); },
         [](const Program& p) { return p.objectAs<CurveObject>(object::kOscFmKey + 4).curve().at(127) == 1.0f; }},
        {9, [](Program& p) {
             p.values[21] = 0.25f;
             EnvelopeShape& e = p.objectAs<EnvelopeObject>(object::kOscPhaseEnv + 1).shape();
             e.setBreakpointLevel(2, 0.1f);
             e.setDepth(0.4f);
         },
         [](const Program& p) {
             const EnvelopeShape& e = p.objectAs<EnvelopeObject>(object::kOscPhaseEnv + 1).shape();
             // q = 0.25·1.010101 − 0.5 + 1, times 0.99
             return std::fabs(p.values[21] - (0.25f * 1.010101f + 0.5f) * 0.99f) < 1e-6f && e.segment(1).endLevel == 1.0f &&
                    e.depth() == 1.0f;
         }},
        {11, [](Program& p) {
             EnvelopeShape& e = p.objectAs<EnvelopeObject>(object::kOscWaveshaperEnv + 3).shape();
             e.setBreakpointLevel(1, 0.2f);
             e.setDepth(0.5f);
         },
         [](const Program& p) {
             const EnvelopeShape& e = p.objectAs<EnvelopeObject>(object::kOscWaveshaperEnv + 3).shape();
             return e.segment(0).endLevel == 1.0f && e.depth() == 1.0f;
         }},
        {17, [](Program& p) {
             p.objectAs<CurveObject>(object::kFilterKeyResonanceTime + 3).curve().setEndLevel(0, 0.3f);
             p.objectAs<EnvelopeObject>(object::kFilterResonanceEnv + 1).shape().setBreakpointLevel(2, 0.0f);
         },
         [](const Program& p) {
             return p.objectAs<CurveObject>(object::kFilterKeyResonanceTime + 3).curve().at(127) == 1.0f &&
                    p.objectAs<EnvelopeObject>(object::kFilterResonanceEnv + 1).shape().segment(2).startLevel == 1.0f;
         }},
        {19, [](Program& p) { p.objectAs<CurveObject>(object::kOscKeyDetune + 5).curve().setEndLevel(0, 0.9f); },
         [](const Program& p) { return p.objectAs<CurveObject>(object::kOscKeyDetune + 5).curve().at(127) == 0.5f; }},
        {20, [](Program& p) { p.objectAs<IntegerObject>(object::kPresetCategory).setValue(7); },
         [](const Program& p) { return p.objectAs<IntegerObject>(object::kPresetCategory).value() == -1; }},
    };
    for (const Step& step : steps) {
        Program p;
        step.prepare(p);
        EXPECT_TRUE(step.applied(readAsVersion(storedAsVersion(p, step.last), step.last))) << "version " << step.last;
        EXPECT_FALSE(step.applied(readAsVersion(storedAsVersion(p, step.last + 1), step.last + 1)))
            << "version " << step.last + 1;
    }
}

TEST(ProgramUpgrade, WaveshaperEnvelopeKeptWhenTheWaveshaperFlagsAreSet)
{
    Program p;
    p.objectAs<WaveshaperObject>(object::kOscWaveshape + 3).curve().setFlags(1);
    p.objectAs<EnvelopeObject>(object::kOscWaveshaperEnv + 3).shape().setBreakpointLevel(1, 0.5f);
    Program read = readAsVersion(storedAsVersion(p, 11), 11);
    EXPECT_EQ(read.objectAs<EnvelopeObject>(object::kOscWaveshaperEnv + 3).shape().segment(1).startLevel, 0.5f);
}

TEST(ProgramFormat, BankNameFromVersion18)
{
    ProgramBank bank;
    bank.setName("My Bank");
    ByteWriter out;
    writeBank(out, bank);
    EXPECT_EQ(out.size(), storedBankSize(bank));
    ProgramBank read;
    read.setName("old");
    ByteReader in(out.bytes().data(), out.size());
    ASSERT_TRUE(readBank(in, 18, read));
    EXPECT_EQ(read.name(), "My Bank");
    ByteWriter old;
    for (int bankSlot = 0; bankSlot < kProgramCount; ++bankSlot) {
        const Program& p = bank.program(bankSlot);
        std::vector<std::uint8_t> bytes = storedAsVersion(p, 17);
        old.putBytes(bytes.data(), bytes.size());
    }
    EXPECT_EQ(old.size(), storedBankSize(bank, 17));
    ByteReader oldIn(old.bytes().data(), old.size());
    ASSERT_TRUE(readBank(oldIn, 17, read));
    EXPECT_TRUE(oldIn.atEnd());
    EXPECT_EQ(read.name(), "");
}

TEST(ProgramFormat, CopyingAProgram)
{
    Program source;
    changeEverything(source, 5);
    Program target;
    copyProgram(source, target);
    EXPECT_EQ(bytesOf(target), bytesOf(source));
    copyProgram(target, target);
    EXPECT_EQ(bytesOf(target), bytesOf(source));
}

TEST_F(WithScriptedUi, PresetRecordsCarryVersionAndCategory)
{
    Program p;
    changeEverything(p, 6);
    std::vector<std::uint8_t> record = presetRecord(p, 42);
    EXPECT_EQ(record[0], 21);
    EXPECT_EQ(record[3], 0);
    Program read;
    ASSERT_TRUE(readPresetRecord(record.data(), static_cast<long long>(record.size()), read));
    EXPECT_EQ(read.objectAs<IntegerObject>(object::kPresetCategory).value(), 42);
    EXPECT_EQ(bytesOf(read), bytesOf(p));
    presetRecord(p, -1);
    EXPECT_EQ(p.objectAs<IntegerObject>(object::kPresetCategory).value(), 42);

    EXPECT_FALSE(readPresetRecord(record.data(), -1, read));
    EXPECT_FALSE(readPresetRecord(nullptr, 10, read));
    EXPECT_FALSE(readPresetRecord(record.data(), 100, read));
    EXPECT_EQ(messageTexts(), std::vector<std::string>(3, "This preset seems to be corrupted."));
}

TEST(PatchObjects, WaveNameMuteFlagInBytesAndText)
{
    WaveNameObject wave("Single Cycle\\Sine");
    wave.setMuted(true);
    std::vector<std::uint8_t> bytes = bytesOf(wave);
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes[0], '*');
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 18), "Single Cycle\\Sine");
    EXPECT_EQ(wave.toText(), "*Single Cycle\\Sine\n");
    WaveNameObject read;
    ByteReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(read.read(in, kFormatVersion));
    EXPECT_TRUE(read.muted());
    EXPECT_EQ(read.text(), "Single Cycle\\Sine");
    EXPECT_FALSE(read.selectsWave());
    // A 63-character name survives the flag in both forms.
    const std::string longName(63, 'w');
    WaveNameObject full(longName);
    full.setMuted(true);
    WaveNameObject back;
    std::vector<std::uint8_t> fullBytes = bytesOf(full);
    ByteReader fullIn(fullBytes.data(), fullBytes.size());
    ASSERT_TRUE(back.read(fullIn, kFormatVersion));
    EXPECT_EQ(back.text(), longName);
    WaveNameObject fromText;
    fromText.fromText(full.toText(), 64, kFormatVersion);
    EXPECT_EQ(fromText.text(), longName);
    EXPECT_TRUE(fromText.muted());
}

TEST(PatchObjects, SettingsReadBackSanitised)
{
    ByteWriter out;
    out.putInt32(4);
    out.putInt32(9);
    out.putInt32(-7);
    ProductBusObject bus;
    ByteReader in(out.bytes().data(), out.size());
    ASSERT_TRUE(bus.read(in, kFormatVersion));
    EXPECT_EQ(bus.oscillator(0), 4);
    EXPECT_EQ(bus.oscillator(1), -1);
    EXPECT_EQ(bus.oscillator(2), -1);

    ByteWriter tuning;
    tuning.putBytes(std::string(60, 'n').data(), 60);  // no terminator
    tuning.putFloat(0.0f);
    for (int k = 0; k < 128; ++k) tuning.putFloat(k == 5 ? std::nanf("") : 100.0f * k + 1.0f);
    TuningScaleObject scale;
    ByteReader tuningIn(tuning.bytes().data(), tuning.size());
    ASSERT_TRUE(scale.read(tuningIn, kFormatVersion));
    EXPECT_EQ(scale.scale().name(), std::string(60, 'n'));
    EXPECT_EQ(scale.scale().baseFrequency(), TuningScale::kDefaultBaseFrequency);
    EXPECT_EQ(scale.scale().cents(5), 500.0f);
    EXPECT_EQ(scale.scale().cents(6), 601.0f);
    EXPECT_EQ(bytesOf(scale).size(), TuningScaleObject::kStoredSize);

    ByteWriter fixed;
    for (int i = 0; i < 6; ++i) {
        fixed.putInt32(i % 2);
        fixed.putFloat(i == 2 ? INFINITY : 220.0f);
        fixed.putInt32(i == 3 ? 500 : 60);
    }
    FixedPitchObject pitch;
    ByteReader fixedIn(fixed.bytes().data(), fixed.size());
    ASSERT_TRUE(pitch.read(fixedIn, kFormatVersion));
    EXPECT_TRUE(pitch.setting(1).on);
    EXPECT_EQ(pitch.setting(2).frequency, 440.0f);
    EXPECT_EQ(pitch.setting(3).key, 127);

    AdditiveSettingsObject additive;
    EXPECT_FALSE(additive.silent());
    std::vector<float> wave(64);
    additive.renderWaveform(64, wave.data());
    EXPECT_NEAR(wave[16], 1.0f, 1e-6);  // a sine, peak at a quarter cycle
    EXPECT_NEAR(wave[48], -1.0f, 1e-6);
}

}  // namespace
