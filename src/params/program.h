// A program is everything that makes one sound: 208 parameter values, a name of up to 24
// characters and 225 patch objects. A bank is a name and 64 programs.
#pragma once

#include "params/patch_object.h"

#include <array>
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

class ProgramBank {
public:
    // 64 default programs named "program 00" … "program 63".
    ProgramBank();

    std::array<Program, kProgramCount> programs;

    std::string_view name() const;
    void setName(std::string_view name);
    const char* nameBytes() const { return name_; }

private:
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
