// System-exclusive files: the bulk-dump check and import into a bank, and every voice layout the
// bytes can hold converted into a program.
#include "fuzz_support.h"

#include "storage/sysex_import.h"

#include <algorithm>
#include <cstdlib>

namespace {

void requireValuesInRange(const pelko::Program& program)
{
    for (float v : program.values) {
        if (!(v >= 0.0f && v <= 1.0f)) std::abort();
    }
}

// The import stores 32 converted programs and selects one. Copying each into a bank would cost
// far more than the import itself (a program holds 225 objects) and tells nothing about the
// input: instead every stored program is checked where it is handed over.
class BankHost final : public pelko::ProgramHost {
public:
    const pelko::Program& editBuffer() const override { return fuzzing::owner().editBuffer; }
    const pelko::ProgramBank& bank() const override { return fuzzing::owner().bank; }
    int currentProgram() const override { return 40; }
    std::optional<std::string> installFolder() const override { return std::nullopt; }
    void setParameter(int, float) override {}
    void storePatchObject(int, const pelko::PatchObject&) override {}
    void applyPatchObject(int) override {}
    void storeProgram(int slot, const pelko::Program& program) override
    {
        if (slot < 0 || slot >= pelko::kProgramCount) std::abort();
        requireValuesInRange(program);
    }
    void selectProgram(int slot) override
    {
        if (slot < 0 || slot >= pelko::kProgramCount) std::abort();
    }
};

}  // namespace

// Which of the input's conversions run, chosen by its bytes so that an input always behaves alike.
std::uint32_t inputHash(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    return hash;
}

// Converts one packed voice from the default program and checks the result.
void convertVoice(const std::uint8_t* packed)
{
    // The conversion starts from the default program; one is built once and copied per input.
    static const pelko::Program defaults;
    static const pelko::FmImportContent noContent;
    static pelko::Program program;
    program = defaults;
    pelko::convertFmVoice(pelko::unpackVoice(packed), noContent, program);
    requireValuesInRange(program);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    const std::uint32_t hash = inputHash(data, size);
    // A whole import converts all 32 voices of a dump, some thirty times the work of checking and
    // converting one; the voices are converted alike. So the import runs for every input that is
    // no dump (it is refused at once) and for one dump in 128; every other dump has one of its
    // voices, chosen by its bytes, converted from where the import reads it.
    const bool dump = pelko::isBulkDump(data, size);
    if (!dump || hash % 128 == 0) {
        BankHost host;
        pelko::importSysexBytes(host, data, size, "fuzz.syx");
    } else {
        convertVoice(pelko::packedVoice(data, static_cast<int>((hash >> 7) % pelko::kBulkDumpVoices)));
    }
    if (!dump) {
        // Any other bytes as one packed voice, whatever layout they hold.
        std::uint8_t packed[pelko::kPackedVoiceSize] = {};
        std::copy_n(data, std::min(size, sizeof packed), packed);
        convertVoice(packed);
    }
    return 0;
}
