// Banks that read the same stored bytes share their programs; a change to one bank's slot stays in
// that bank.
#include "program_fixtures.h"

#include "storage/text_program.h"
#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace pelko;
using namespace fixtures;

namespace {

// A bank with every ninth slot changed, in its stored form.
std::vector<std::uint8_t> storedBank(int seed)
{
    ProgramBank bank;
    for (int slot = 0; slot < kProgramCount; slot += 9) {
        changeEverything(bank.editProgram(slot), seed + slot);
    }
    bank.setName("Shared");
    ByteWriter out;
    writeBank(out, bank);
    return out.take();
}

bool read(const std::vector<std::uint8_t>& bytes, ProgramBank& bank)
{
    ByteReader in(bytes.data(), bytes.size());
    return readBank(in, kFormatVersion, bank) && in.atEnd();
}

std::vector<std::uint8_t> bytesOf(const ProgramBank& bank)
{
    ByteWriter out;
    writeBank(out, bank);
    return out.take();
}

TEST(SharedBank, BanksReadingTheSameBytesShareEveryProgramAndKeepTheirEditsApart)
{
    const std::vector<std::uint8_t> bytes = storedBank(1);
    ProgramBank a, b;
    ASSERT_TRUE(read(bytes, a));
    ASSERT_TRUE(read(bytes, b));
    for (int slot = 0; slot < kProgramCount; ++slot) {
        EXPECT_EQ(&a.program(slot), &b.program(slot)) << slot;
        EXPECT_NE(a.sharedIdentity(slot), 0u);
    }
    EXPECT_EQ(bytesOf(a), bytes);

    // An edit gives the slot a program of its own; the other bank, and a bank that reads the
    // bytes later, still have what was stored.
    const std::vector<std::uint8_t> before = fixtures::bytesOf(b.program(9));
    Program& edited = a.editProgram(9);
    EXPECT_EQ(a.sharedIdentity(9), 0u);
    edited.setName("Edited");
    edited.values[3] = 0.125f;
    changeObject(edited, 40, 7);
    EXPECT_EQ(fixtures::bytesOf(b.program(9)), before);
    ProgramBank c;
    ASSERT_TRUE(read(bytes, c));
    EXPECT_EQ(fixtures::bytesOf(c.program(9)), before);
    EXPECT_EQ(&c.program(9), &b.program(9));
    EXPECT_EQ(a.program(9).name(), "Edited");

    // Copies of a bank are independent too.
    ProgramBank copy = a;
    copy.editProgram(9).setName("Copy");
    copy.editProgram(18).setName("Copy too");
    EXPECT_EQ(a.program(9).name(), "Edited");
    EXPECT_EQ(fixtures::bytesOf(a.program(18)), fixtures::bytesOf(b.program(18)));
}

TEST(SharedBank, ProgramsLastAsLongAsABankHoldsThemAndOtherBytesGiveOtherPrograms)
{
    const std::vector<std::uint8_t> first = storedBank(2);
    const std::vector<std::uint8_t> second = storedBank(3);
    auto a = std::make_unique<ProgramBank>();
    ASSERT_TRUE(read(first, *a));
    ProgramBank b;
    ASSERT_TRUE(read(second, b));
    EXPECT_NE(&a->program(0), &b.program(0));
    EXPECT_EQ(bytesOf(b), second);
    // Slot 1 is a default program in both banks: one program serves both.
    EXPECT_EQ(&a->program(1), &b.program(1));

    // The reader that held them is gone: the next one builds them again, equal to the stored ones.
    a.reset();
    ProgramBank c;
    ASSERT_TRUE(read(first, c));
    EXPECT_EQ(bytesOf(c), first);
}

TEST(SharedBank, AProgramStreamThatLeavesObjectsOutReadsOntoWhatTheSlotHeld)
{
    // Name, values, object 30 and the end marker: every other object keeps what the slot held.
    Program source;
    changeObject(source, 30, 4);
    ByteWriter out;
    std::array<char, kStoredProgramNameSize> name{};
    std::copy_n("Partial", 7, name.begin());
    out.putBytes(name.data(), name.size());
    for (float v : source.values) out.putFloat(v);
    out.putInt32(30);
    source.object(30).write(out);
    out.putInt32(-1);
    std::vector<std::uint8_t> bytes;
    for (int slot = 0; slot < kProgramCount; ++slot) {
        bytes.insert(bytes.end(), out.bytes().begin(), out.bytes().end());
    }
    bytes.resize(bytes.size() + kStoredBankNameSize, 0);

    ProgramBank fresh;
    ASSERT_TRUE(read(bytes, fresh));
    ProgramBank changed;
    changeObject(changed.editProgram(5), 31, 9);
    const std::vector<std::uint8_t> kept = fixtures::bytesOf(changed.program(5).object(31));
    ProgramBank alsoChanged = changed;
    ASSERT_TRUE(read(bytes, changed));
    ASSERT_TRUE(read(bytes, alsoChanged));

    const Program defaults;
    EXPECT_EQ(fixtures::bytesOf(fresh.program(5).object(31)), fixtures::bytesOf(defaults.object(31)));
    EXPECT_EQ(fixtures::bytesOf(changed.program(5).object(31)), kept);
    EXPECT_EQ(fixtures::bytesOf(alsoChanged.program(5).object(31)), kept);
    for (const ProgramBank* bank : {&fresh, &changed}) {
        EXPECT_EQ(bank->program(5).name(), "Partial");
        EXPECT_EQ(fixtures::bytesOf(bank->program(5).object(30)), fixtures::bytesOf(source.object(30)));
    }
    // Every slot that started from its default shares one program, whatever its position.
    EXPECT_EQ(&fresh.program(0), &fresh.program(63));
}

TEST(SharedBank, AFailedReadKeepsWhatWasReadAndSharesNothingHalfRead)
{
    const std::vector<std::uint8_t> whole = storedBank(5);
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    ProgramBank partial;
    ByteReader in(cut.data(), cut.size());
    EXPECT_FALSE(readBank(in, kFormatVersion, partial));
    ProgramBank complete;
    ASSERT_TRUE(read(whole, complete));
    EXPECT_EQ(bytesOf(complete), whole);
    EXPECT_EQ(fixtures::bytesOf(partial.program(0)), fixtures::bytesOf(complete.program(0)));
    // Slots after the cut are still their defaults.
    EXPECT_EQ(partial.program(63).name(), "program 63");
    EXPECT_EQ(fixtures::bytesOf(partial.editProgram(62)), fixtures::bytesOf(ProgramBank().program(62)));
}

TEST(SharedBank, BanksOnSeveralThreadsReadTheSameBytesAtOnce)
{
    const std::vector<std::uint8_t> bytes = storedBank(6);
    std::vector<std::unique_ptr<ProgramBank>> banks(4);
    std::vector<std::thread> threads;
    for (auto& bank : banks) {
        threads.emplace_back([&bank, &bytes] {
            bank = std::make_unique<ProgramBank>();
            for (int again = 0; again < 3; ++again) {
                // An edit between the reads: the next read replaces it.
                bank->editProgram(again).setName("mine");
                ByteReader in(bytes.data(), bytes.size());
                readBank(in, kFormatVersion, *bank);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (const auto& bank : banks) {
        EXPECT_EQ(bytesOf(*bank), bytes);
    }
    banks[0]->editProgram(9).setName("mine");
    EXPECT_EQ(bytesOf(*banks[1]), bytes);
}

// A bank slot's own copy is made by copying the shared program: the copy must be the same program
// in every form, the text form (which names every object) included.
TEST(SharedBank, ACopiedProgramKeepsEveryObjectsNames)
{
    Program original;
    changeEverything(original, 2);
    const Program copy(original);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        EXPECT_STREQ(copy.object(k).displayName(), original.object(k).displayName()) << k;
        EXPECT_STREQ(copy.object(k).groupName(), original.object(k).groupName()) << k;
    }
    EXPECT_EQ(programText(copy), programText(original));
}

// Shared programs keep room for the segments they use only. They must read, write and copy as
// before, a copy of one must still take every change, and copying one into a program with room
// (the edit buffer at a program change on the audio thread) must not allocate.
TEST(SharedBank, CompactedProgramsAreTheSameProgramsAndCopyIntoTheEditBufferWithoutAllocating)
{
    Program changed;
    changeEverything(changed, 4);
    // An envelope with no segment in use still has its start level (an empty envelope plays it).
    EnvelopeShape& empty = changed.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape();
    empty.setBreakpointLevel(0, 0.375f);
    ASSERT_TRUE(empty.assign(0, nullptr));
    const std::vector<std::uint8_t> bytes = fixtures::bytesOf(changed);
    const std::string text = programText(changed);

    Program compacted(changed);
    compacted.compact();
    EXPECT_EQ(fixtures::bytesOf(compacted), bytes);
    EXPECT_EQ(programText(compacted), text);
    const EnvelopeShape& shape = compacted.objectAs<EnvelopeObject>(object::kOscEnv).shape();
    EXPECT_EQ(shape.capacity(), EnvelopeShape::kCapacity);
    EXPECT_EQ(compacted.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape().segment(0).startLevel, 0.375f);

    Program editBuffer;
    {
        testing_support::AllocationCounter counter;
        editBuffer = compacted;
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_EQ(fixtures::bytesOf(editBuffer), bytes);
    EXPECT_EQ(editBuffer.objectAs<EnvelopeObject>(object::kGlobalPitchEnv).shape().segment(0).startLevel, 0.375f);

    // A copy grows again: every change a full program takes, and an envelope filled to capacity.
    Program copy(compacted);
    Program full(changed);
    changeEverything(copy, 8);
    changeEverything(full, 8);
    EXPECT_EQ(fixtures::bytesOf(copy), fixtures::bytesOf(full));
    EnvelopeShape& grown = copy.objectAs<EnvelopeObject>(object::kOscEnv + 1).shape();
    while (grown.insertPoint(grown.segment(grown.segmentCount() - 1).startTime + 0.5f * grown.segment(grown.segmentCount() - 1).duration, 0.5f) >= 0) {
    }
    EXPECT_EQ(grown.segmentCount(), EnvelopeShape::kCapacity);
    grown.setVelocityTimeSensitivity(EnvelopeShape::kCapacity - 1, 0.5f);
    EXPECT_EQ(grown.velocityTimeSensitivity(EnvelopeShape::kCapacity - 1), 0.5f);
    EnvelopeShape looped(copy.objectAs<EnvelopeObject>(object::kOscEnv + 2).shape());
    looped.compact();
    looped.setLoop(1, 2);
    EnvelopeShape reference(full.objectAs<EnvelopeObject>(object::kOscEnv + 2).shape());
    reference.setLoop(1, 2);
    ASSERT_TRUE(looped.duplicateLoop());
    ASSERT_TRUE(reference.duplicateLoop());
    ASSERT_EQ(looped.segmentCount(), reference.segmentCount());
    for (int i = 0; i < looped.segmentCount(); ++i) {
        EXPECT_EQ(looped.segment(i).endLevel, reference.segment(i).endLevel) << i;
        EXPECT_EQ(looped.velocityTimeSensitivity(i), reference.velocityTimeSensitivity(i)) << i;
    }
}

}  // namespace
