#include "params/program.h"

#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "params/additive_settings_object.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/placeholder_object.h"
#include "params/setting_objects.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"
#include "params/user_controls_assignment.h"
#include "params/wave_name_object.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace pelko {

namespace {

std::unique_ptr<PatchObject> createObjectOfKind(int index)
{
    using namespace object;
    auto envelope = [](int segments, int preset) { return std::make_unique<EnvelopeObject>(segments, preset); };
    auto within = [index](int first, int count) { return index >= first && index < first + count; };

    if (within(kOscEnv, 6) || within(kFilterEnv, 2)) return envelope(5, 0);
    if (within(kOscWaveshaperEnv, 6) || within(kOscPhaseEnv, 6) || within(kFilterResonanceEnv, 2)) {
        return envelope(4, 3);
    }
    if (within(kOscPitchEnv, 6) || index == kGlobalPitchEnv) return envelope(4, 1);
    if (within(kOscWaveshape, 6)) return std::make_unique<WaveshaperObject>();
    if (within(kOscShapeId, 6)) {
        // A new program sounds with oscillator 1 alone.
        return std::make_unique<WaveNameObject>(index == kOscShapeId ? "Single Cycle\\Sine" : "Off");
    }
    if (within(kFilterMode, 2) || within(kFxType, 2)) return std::make_unique<IntegerObject>(0);
    if (index == kPresetCategory) return std::make_unique<IntegerObject>(-1);
    if (within(kAmSettings, 2)) return std::make_unique<ProductBusObject>();
    if (index == kUserControlsAssignment) return std::make_unique<UserControlsAssignment>();
    if (index == kMicrotuningScale) return std::make_unique<TuningScaleObject>();
    if (within(kUserControlText, 6)) return std::make_unique<TextObject>(24, std::string_view(), 12);
    if (within(kPatchAuthor, 5)) return std::make_unique<TextObject>(32);
    if (index == kEnvelopesMaster) return std::make_unique<PlaceholderObject>();
    if (within(kAdditiveSettings, 6)) return std::make_unique<AdditiveSettingsObject>();
    if (index == kFixedPitchValues) return std::make_unique<FixedPitchObject>();
    if (index == kDisabledFm) return std::make_unique<TextObject>(49, std::string(48, '1'));
    if (index == kDisabledOscOut) return std::make_unique<TextObject>(19, std::string(18, '1'));
    if (index == kDisabledFltOut) return std::make_unique<TextObject>(7, std::string(6, '1'));
    // Pitch tracking follows the keyboard: a ramp from 0 at key 0 to 1 at key 127, so that every
    // key plays its own pitch.
    if (within(kOscKeyPitch, 6)) {
        auto tracking = std::make_unique<CurveObject>(0.0f);
        tracking->curve().setEndLevel(0, 1.0f);
        return tracking;
    }
    // Pans and detuning are centred; every other curve is a flat 1.0.
    if (within(kFilterKeyPan, 4) || within(kOscKeyDetune, 6)) return std::make_unique<CurveObject>(0.5f);
    return std::make_unique<CurveObject>(1.0f);
}

}  // namespace

std::unique_ptr<PatchObject> createPatchObject(int index)
{
    if (index < 0 || index >= kPatchObjectCount) {
        return std::make_unique<PlaceholderObject>();
    }
    std::unique_ptr<PatchObject> created = createObjectOfKind(index);
    const PatchObjectInfo& info = patchObjectTable()[static_cast<std::size_t>(index)];
    created->setNames(info.displayName, info.groupName);
    return created;
}

Program::Program()
{
    const auto& table = parameterTable();
    for (int i = 0; i < kParameterCount; ++i) {
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;
    }
    setName("Default                 ");
    for (int k = 0; k < kPatchObjectCount; ++k) {
        objects_[static_cast<std::size_t>(k)] = createPatchObject(k);
    }
}

Program::Program(const Program& other) : values(other.values)
{
    std::memcpy(name_, other.name_, sizeof name_);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        objects_[static_cast<std::size_t>(k)] = other.objects_[static_cast<std::size_t>(k)]->clone();
    }
}

Program& Program::operator=(const Program& other)
{
    if (this != &other) {
        values = other.values;
        std::memcpy(name_, other.name_, sizeof name_);
        for (int k = 0; k < kPatchObjectCount; ++k) {
            objects_[static_cast<std::size_t>(k)]->copyFrom(*other.objects_[static_cast<std::size_t>(k)]);
        }
    }
    return *this;
}

void Program::swap(Program& other) noexcept
{
    std::swap(values, other.values);
    std::swap(name_, other.name_);
    std::swap(objects_, other.objects_);
}

void Program::compact()
{
    for (auto& object : objects_) {
        object->compact();
    }
}

void Program::setName(std::string_view name)
{
    std::memset(name_, 0, sizeof name_);
    if (name.empty()) {
        return;
    }
    std::size_t n = std::min<std::size_t>(name.size(), kProgramNameLength);
    // The name ends at an embedded terminator.
    const void* zero = std::memchr(name.data(), 0, n);
    if (zero != nullptr) {
        n = static_cast<std::size_t>(static_cast<const char*>(zero) - name.data());
    }
    std::memcpy(name_, name.data(), n);
}

namespace {

// The identity of the default programs; shared identities count on from it.
constexpr std::uint64_t kDefaultIdentity = 1;
std::atomic<std::uint64_t> lastSharedIdentity{kDefaultIdentity};

void nameDefault(Program& program, int slot)
{
    char text[32];
    std::snprintf(text, sizeof text, "program %02d", slot);
    program.setName(text);
}

// The default program of each slot, built the first time a bank of the process reads it and kept
// for the process's life; read without a lock once built.
class DefaultPrograms {
public:
    const Program& of(int slot)
    {
        const auto s = static_cast<std::size_t>(slot);
        if (const Program* built = ready_[s].load(std::memory_order_acquire)) {
            return *built;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (!programs_[s]) {
            programs_[s] = std::make_unique<Program>();
            nameDefault(*programs_[s], slot);
            ready_[s].store(programs_[s].get(), std::memory_order_release);
        }
        return *programs_[s];
    }

private:
    std::mutex mutex_;
    std::array<std::unique_ptr<Program>, kProgramCount> programs_;
    std::array<std::atomic<const Program*>, kProgramCount> ready_{};
};

DefaultPrograms& defaultPrograms()
{
    static DefaultPrograms programs;
    return programs;
}

}  // namespace

ProgramBank::ProgramBank()
{
    for (Slot& slot : slots_) {
        slot.identity = kDefaultIdentity;
    }
}

ProgramBank::ProgramBank(const ProgramBank& other) : slots_(other.slots_)
{
    std::memcpy(name_, other.name_, sizeof name_);
    for (Slot& slot : slots_) {
        if (slot.identity == 0) {
            slot.program = std::make_shared<Program>(*slot.program);
        }
    }
}

ProgramBank& ProgramBank::operator=(const ProgramBank& other)
{
    if (this != &other) {
        ProgramBank copy(other);
        *this = std::move(copy);
    }
    return *this;
}

const Program& ProgramBank::program(int slot) const
{
    const Slot& s = slots_[static_cast<std::size_t>(slot)];
    return s.program ? *s.program : defaultPrograms().of(slot);
}

void ProgramBank::buildDefaults() const
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        program(slot);
    }
}

Program& ProgramBank::editProgram(int slot)
{
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!s.program) {
        // A new program equals the default one once it has the slot's name.
        auto own = std::make_shared<Program>();
        nameDefault(*own, slot);
        s.program = std::move(own);
    } else if (s.identity != 0) {
        s.program = std::make_shared<Program>(*s.program);
    }
    s.identity = 0;
    // A slot's own program was made non-const by this bank (above, or by the caller of
    // replaceProgram), so changing it through this reference is sound.
    return const_cast<Program&>(*s.program);
}

std::shared_ptr<const Program> ProgramBank::replaceProgram(int slot, std::shared_ptr<Program> program)
{
    if (!program) {
        return nullptr;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    std::shared_ptr<const Program> previous = std::move(s.program);
    s.program = std::move(program);
    s.identity = 0;
    return previous;
}

void ProgramBank::shareProgram(int slot, std::shared_ptr<const Program> program, std::uint64_t identity)
{
    if (program && identity != 0) {
        slots_[static_cast<std::size_t>(slot)] = {std::move(program), identity};
    }
}

std::uint64_t ProgramBank::defaultIdentity() { return kDefaultIdentity; }

std::uint64_t ProgramBank::newSharedIdentity() { return lastSharedIdentity.fetch_add(1) + 1; }

std::string_view ProgramBank::name() const { return std::string_view(name_, std::strlen(name_)); }

void ProgramBank::setName(std::string_view name)
{
    std::memset(name_, 0, sizeof name_);
    if (name.empty()) {
        return;
    }
    std::size_t n = std::min<std::size_t>(name.size(), 24);
    const void* zero = std::memchr(name.data(), 0, n);
    if (zero != nullptr) {
        n = static_cast<std::size_t>(static_cast<const char*>(zero) - name.data());
    }
    std::memcpy(name_, name.data(), n);
}

}  // namespace pelko
