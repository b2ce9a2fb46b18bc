#include "storage/program_format.h"

#include "params/parameter_ids.h"

#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "platform/messages.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/setting_objects.h"
#include "params/text_object.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace pelko {

std::size_t storedProgramSize(const Program& program, int version)
{
    std::size_t size = kStoredProgramNameSize + 4 * kParameterCount + 4;
    for (int k = 0; k < kPatchObjectCount; ++k) {
        size += 4 + program.object(k).storedSize(version);
    }
    return size;
}

std::size_t storedBankSize(const ProgramBank& bank, int version)
{
    std::size_t size = version >= 18 ? kStoredBankNameSize : 0;
    for (int slot = 0; slot < kProgramCount; ++slot) {
        size += storedProgramSize(bank.program(slot), version);
    }
    return size;
}

void writeProgram(ByteWriter& out, const Program& program)
{
    std::array<char, kStoredProgramNameSize> name{};
    std::copy_n(program.nameBytes(), kProgramNameLength, name.begin());
    out.putBytes(name.data(), name.size());
    for (float v : program.values) {
        out.putFloat(v);
    }
    for (int k = 0; k < kPatchObjectCount; ++k) {
        out.putInt32(k);
        program.object(k).write(out);
    }
    out.putInt32(-1);
}

bool readProgram(ByteReader& in, int version, Program& program)
{
    std::array<char, kStoredProgramNameSize> name{};
    if (!in.bytes(name.data(), name.size())) {
        return false;
    }
    program.setName(std::string_view(name.data(), kProgramNameLength));
    const auto& table = parameterTable();
    for (int i = 0; i < kParameterCount; ++i) {
        const float v = in.float32();
        if (in.failed()) {
            return false;
        }
        program.values[static_cast<std::size_t>(i)] =
            std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : table[static_cast<std::size_t>(i)].defaultValue;
    }
    for (int read = 0; read < kPatchObjectCount; ++read) {
        const std::int32_t k = in.int32();
        if (in.failed()) {
            return false;
        }
        if (k < 0 || k >= kPatchObjectCount) {
            return true;  // the end marker (or anything else outside the table) ends the list
        }
        if (!program.object(k).read(in, version) || in.failed()) {
            return false;
        }
    }
    in.int32();  // the end marker
    return !in.failed();
}

void writeBank(ByteWriter& out, const ProgramBank& bank)
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        writeProgram(out, bank.program(slot));
    }
    std::array<char, kStoredBankNameSize> name{};
    const std::string_view text = bank.name();
    std::copy_n(text.data(), std::min(text.size(), name.size()), name.begin());
    out.putBytes(name.data(), name.size());
}

namespace {

// Programs that banks of the process have read, kept so that another bank reading the same bytes
// onto the same starting program shares the result instead of building its own copy. Reading is
// deterministic: the same starting program, format version and bytes give the same program, and
// the object readers only ever check that the bytes they are about to read are there, so the same
// bytes read the same wherever they stand in a stream.
// Entries hold their programs weakly; those no bank holds any more are swept out as others arrive.
class ReadProgramCache {
public:
    struct Found {
        std::shared_ptr<const Program> program;
        std::uint64_t identity = 0;
        std::size_t size = 0;  // bytes read
    };

    Found find(std::uint64_t base, int version, const ByteReader& in)
    {
        const std::size_t key = keyOf(base, version, in);
        std::lock_guard<std::mutex> lock(mutex_);
        auto [first, last] = entries_.equal_range(key);
        for (auto it = first; it != last; ++it) {
            const Entry& e = it->second;
            if (e.base != base || e.version != version || in.remaining() < e.bytes.size() ||
                std::memcmp(in.cursor(), e.bytes.data(), e.bytes.size()) != 0) {
                continue;
            }
            if (std::shared_ptr<const Program> program = e.program.lock()) {
                return {std::move(program), e.identity, e.bytes.size()};
            }
        }
        return {};
    }

    // `start` is the reader as it was before the program was read, `end` as it is after.
    void add(std::uint64_t base, int version, const ByteReader& start, const ByteReader& end,
             const std::shared_ptr<const Program>& program, std::uint64_t identity)
    {
        Entry entry;
        entry.base = base;
        entry.version = version;
        entry.bytes.assign(start.cursor(), end.cursor());
        entry.program = program;
        entry.identity = identity;
        const std::size_t key = keyOf(base, version, start);
        std::lock_guard<std::mutex> lock(mutex_);
        if (entries_.size() >= sweepAt_) {
            for (auto it = entries_.begin(); it != entries_.end();) {
                it = it->second.program.expired() ? entries_.erase(it) : std::next(it);
            }
            sweepAt_ = 2 * entries_.size() + kProgramCount;
        }
        entries_.emplace(key, std::move(entry));
    }

private:
    // Every stored program is longer than this, so the key of a program's bytes does not depend
    // on what follows them.
    static constexpr std::size_t kKeyBytes = 256;

    struct Entry {
        std::uint64_t base = 0;
        int version = 0;
        std::vector<std::uint8_t> bytes;
        std::weak_ptr<const Program> program;
        std::uint64_t identity = 0;
    };

    static std::size_t keyOf(std::uint64_t base, int version, const ByteReader& in)
    {
        const std::string_view head(reinterpret_cast<const char*>(in.cursor()), std::min(in.remaining(), kKeyBytes));
        return std::hash<std::string_view>{}(head) ^ (std::hash<std::uint64_t>{}(base) * 31u) ^
               static_cast<std::size_t>(version);
    }

    std::mutex mutex_;
    std::unordered_multimap<std::size_t, Entry> entries_;
    std::size_t sweepAt_ = 4 * kProgramCount;
};

ReadProgramCache& readProgramCache()
{
    static ReadProgramCache cache;
    return cache;
}

// Reads and upgrades the program of one bank slot, sharing it with other banks where it can.
bool readBankSlot(ByteReader& in, int version, ProgramBank& bank, int slot)
{
    // Only a slot that shares its program can share the result: the starting program of one of
    // its own is known to this bank alone.
    const std::uint64_t base = bank.sharedIdentity(slot);
    if (base != 0) {
        ReadProgramCache::Found found = readProgramCache().find(base, version, in);
        if (found.program) {
            in.skip(found.size);
            bank.shareProgram(slot, std::move(found.program), found.identity);
            return true;
        }
    }
    const ByteReader start = in;
    Program& program = bank.editProgram(slot);
    if (!readProgram(in, version, program)) {
        return false;
    }
    upgradeProgram(program, version);
    if (base != 0) {
        // Shared, the program never changes again: it needs no room to grow.
        program.compact();
        const std::uint64_t identity = ProgramBank::newSharedIdentity();
        std::shared_ptr<const Program> shared = bank.heldProgram(slot);
        bank.shareProgram(slot, shared, identity);
        readProgramCache().add(base, version, start, in, shared, identity);
    }
    return true;
}

}  // namespace

bool readBank(ByteReader& in, int version, ProgramBank& bank)
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        if (!readBankSlot(in, version, bank, slot)) {
            return false;
        }
    }
    if (version < 18) {
        bank.setName("");
        return true;
    }
    std::array<char, kStoredBankNameSize> name{};
    if (!in.bytes(name.data(), name.size())) {
        return false;
    }
    bank.setName(std::string_view(name.data(), name.size()));
    return true;
}

namespace {

Curve& curveAt(Program& p, int index) { return p.objectAs<CurveObject>(index).curve(); }
EnvelopeShape& envelopeAt(Program& p, int index) { return p.objectAs<EnvelopeObject>(index).shape(); }

void presetEnvelope(Program& p, int index, int preset)
{
    EnvelopeShape& shape = envelopeAt(p, index);
    shape.applyPreset(preset);
    shape.setDepth(1.0f);
}

void allOn(Program& p, int index)
{
    auto& text = p.objectAs<TextObject>(index);
    text.setText(std::string(text.text().size(), '1'));
}

}  // namespace

void upgradeProgram(Program& p, int version)
{
    using namespace object;
    if (version < kOldestFormatVersion || version >= kFormatVersion) {
        return;
    }
    auto& values = p.values;
    if (version <= 2) {
        for (int osc = 0; osc < 6; ++osc) values[param::kOscPitchRandom + osc] = 0.0f;
    }
    if (version <= 3) {
        values[param::kBendRange] = 0.02f;
    }
    if (version <= 5) {
        allOn(p, kDisabledFm);
        allOn(p, kDisabledOscOut);
        allOn(p, kDisabledFltOut);
    }
    if (version <= 6) {
        values[param::kFmScaling] = 1.0f;
        for (int f = 0; f < 2; ++f) curveAt(p, kFilterVelocityResonance + f).applyPreset(3);
    }
    if (version <= 7) {
        values[param::kFxTempoSync] = 0.0f;
        values[param::kFxTempoSync + 1] = 0.0f;
    }
    if (version <= 8) {
        for (int i = 0; i < 6; ++i) curveAt(p, kOscFmKey + i).applyPreset(3);
    }
    if (version <= 9) {
        // The phase amount changed from a bipolar to a unipolar range; the phase envelope that
        // carries it became a full-scale constant.
        for (int i = 0; i < 6; ++i) {
            float& phase = values[static_cast<std::size_t>(param::kOscPhaseMod + i)];
            if (phase < 0.99f) {
                float q = phase * 1.010101f - 0.5f;
                if (q < 0.0f) q += 1.0f;
                phase = q * 0.99f;
                EnvelopeShape& shape = envelopeAt(p, kOscPhaseEnv + i);
                for (int s = 0; s <= shape.segmentCount(); ++s) shape.setBreakpointLevel(s, 1.0f);
                shape.setDepth(1.0f);
            }
        }
    }
    if (version <= 11) {
        for (int i = 0; i < 6; ++i) {
            if (p.objectAs<WaveshaperObject>(kOscWaveshape + i).curve().flags() == 0) {
                presetEnvelope(p, kOscWaveshaperEnv + i, 3);
            }
        }
    }
    if (version <= 17) {
        for (int c = 0; c < 4; ++c) curveAt(p, kFilterKeyResonanceTime + c).applyPreset(3);
        for (int f = 0; f < 2; ++f) presetEnvelope(p, kFilterResonanceEnv + f, 3);
    }
    if (version <= 19) {
        for (int i = 0; i < 6; ++i) curveAt(p, kOscKeyDetune + i).applyPreset(1);
    }
    if (version <= 20) {
        p.objectAs<IntegerObject>(kPresetCategory).setValue(-1);
    }
}

void copyProgram(const Program& source, Program& destination)
{
    if (&source == &destination) {
        return;
    }
    ByteWriter out;
    writeProgram(out, source);
    ByteReader in(out.bytes().data(), out.size());
    readProgram(in, kFormatVersion, destination);
}

std::vector<std::uint8_t> presetRecord(Program& program, int category)
{
    if (category != -1) {
        program.objectAs<IntegerObject>(object::kPresetCategory).setValue(category);
    }
    ByteWriter out;
    out.putInt32LittleEndian(kFormatVersion);
    writeProgram(out, program);
    return out.take();
}

bool parsePresetRecord(const void* data, long long size, Program& program)
{
    if (data == nullptr || size < 0) {
        return false;
    }
    ByteReader in(data, static_cast<std::size_t>(size));
    const int version = in.int32LittleEndian() & 0xFFFF;
    if (in.failed() || version < kOldestFormatVersion || version > kFormatVersion || !readProgram(in, version, program)) {
        return false;
    }
    upgradeProgram(program, version);
    return true;
}

bool readPresetRecord(const void* data, long long size, Program& program)
{
    if (!parsePresetRecord(data, size, program)) {
        showMessage(kMsgPresetCorrupted);
        return false;
    }
    return true;
}

}  // namespace pelko
