// A program is everything that makes one sound: 208 parameter values, a name of up to 24
// characters and 225 patch objects. A bank is a name and 64 programs.
#pragma once

#include "params/patch_object.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pelko {

constexpr int kParameterCount = 208;
constexpr int kPatchObjectCount = 225;
constexpr int kProgramCount = 64;
constexpr int kProgramNameLength = 24;

class Program {
public:
    // Every value at its default, every object in its initial state, named "Default" + 17 spaces.
    Program();
    Program(const Program& other);
    Program& operator=(const Program& other);
    // Exchanges the whole contents without copying or allocating.
    void swap(Program& other) noexcept;
    // Compacts every object (see PatchObject::compact), for a program that will not change again.
    // Its copies grow again as they are changed, which allocates; a program assigned to keeps its
    // own room, so copying into the edit buffer never allocates.
    void compact();

    std::array<float, kParameterCount> values{};

    // Name: at most 24 characters, always terminated.
    std::string_view name() const { return std::string_view(name_); }
    void setName(std::string_view name);
    const char* nameBytes() const { return name_; }

    PatchObject& object(int index) { return *objects_[static_cast<std::size_t>(index)]; }
    const PatchObject& object(int index) const { return *objects_[static_cast<std::size_t>(index)]; }
    // Object k as its class; the class of every index is fixed by createPatchObject (see
    // storage/program_objects.h for the list).
    template <class T>
    T& objectAs(int index) { return static_cast<T&>(object(index)); }
    template <class T>
    const T& objectAs(int index) const { return static_cast<const T&>(object(index)); }

private:
    char name_[28] = {};
    std::array<std::unique_ptr<PatchObject>, kPatchObjectCount> objects_;
};

// The 64 slots of a bank. A slot holds either a program of its own or an immutable program shared
// with other banks of the process: the default program of its slot, or a program that several
// banks read from the same stored bytes (see storage/program_format.h). A shared program is never
// changed: the first change through editProgram gives the slot a copy of its own. Copying a bank
// shares its shared slots and copies the others.
//
// The default programs are not built with the bank: a slot is given its own copy when it is first
// changed (a bank read does that), and the process builds the default program of a slot, once,
// only when a default slot is read.
//
// Threads: program() may be called from any thread that may read the bank (the audio thread
// included); it never allocates. Everything that changes a slot runs off the audio thread.
class ProgramBank {
public:
    // 64 default programs named "program 00" … "program 63", shared by every new bank.
    ProgramBank();
    ProgramBank(const ProgramBank& other);
    ProgramBank& operator=(const ProgramBank& other);
    ProgramBank(ProgramBank&&) noexcept = default;
    ProgramBank& operator=(ProgramBank&&) noexcept = default;

    // Allocates only to build a default program the process has not needed before; a plug-in
    // makes every slot its own or builds the defaults it reads before it processes.
    const Program& program(int slot) const;
    // Slot `slot` for changing; a shared slot is first given a copy of its own (allocates).
    Program& editProgram(int slot);
    // Puts `program` into slot `slot` as the slot's own and returns the program it held, for the
    // caller to let go of (outside any lock it holds). Null programs are refused (returns null).
    std::shared_ptr<const Program> replaceProgram(int slot, std::shared_ptr<Program> program);

    // Identity of the immutable program slot `slot` shares, or 0 when the slot's program is its
    // own. Equal identities mean the same contents; an identity is never reused in the process.
    std::uint64_t sharedIdentity(int slot) const { return slots_[static_cast<std::size_t>(slot)].identity; }
    // The program slot `slot` holds (null while that is its default program).
    std::shared_ptr<const Program> heldProgram(int slot) const { return slots_[static_cast<std::size_t>(slot)].program; }
    // Builds the default programs of the slots that still hold them (see program()).
    void buildDefaults() const;
    // Makes slot `slot` share `program`, which must never change again, under `identity` (not 0).
    void shareProgram(int slot, std::shared_ptr<const Program> program, std::uint64_t identity);
    // Identity of the default programs of new banks, which differ in their names only.
    static std::uint64_t defaultIdentity();
    // A fresh identity for a program about to be shared.
    static std::uint64_t newSharedIdentity();

    std::string_view name() const;
    void setName(std::string_view name);
    const char* nameBytes() const { return name_; }

private:
    struct Slot {
        std::shared_ptr<const Program> program;  // null: the slot's default program
        std::uint64_t identity = 0;
    };
    std::array<Slot, kProgramCount> slots_;
    char name_[25] = {};
};

// Creates patch object k (0–224) in its initial state, with its display name and group. The class
// of each index (see params/patch_object_table.h for the index names):
//   EnvelopeObject       0–17, 108–109, 167, 200–205, 213–214 (amplitude, waveshaper, pitch,
//                        filter, global pitch, phase and resonance envelopes)
//   CurveObject          18–107, 110–121, 136–139, 146–155, 169–183, 194–199, 206–211, 215–224
//   WaveshaperObject     122–127
//   WaveNameObject       128–133
//   IntegerObject        134–135 (filter type id), 140–141 (effect type id), 212 (preset category)
//   ProductBusObject     142–143
//   UserControlsAssignment 144
//   TuningScaleObject    145
//   TextObject           156–166 (captions, author, comments), 191–193 (routing switches)
//   PlaceholderObject    168
//   AdditiveSettingsObject 184–189
//   FixedPitchObject     190
std::unique_ptr<PatchObject> createPatchObject(int index);

}  // namespace pelko
