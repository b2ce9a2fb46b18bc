// System-exclusive files: the bulk-dump check and import into a bank, and every voice layout the
// bytes can hold converted into a program.
#include "fuzz_support.h"

#include "storage/sysex_import.h"

#include <algorithm>
#include <cstdlib>

namespace {

class BankHost final : public pelko::ProgramHost {
public:
    const pelko::Program& editBuffer() const override { return fuzzing::owner().editBuffer; }
    const pelko::ProgramBank& bank() const override { return fuzzing::owner().bank; }
    int currentProgram() const override { return 40; }
    std::optional<std::string> installFolder() const override { return std::nullopt; }
    void setParameter(int, float) override {}
    void storePatchObject(int, const pelko::PatchObject&) override {}
    void applyPatchObject(int) override {}
    void storeProgram(int slot, const pelko::Program& program) override { fuzzing::owner().bank.programs[static_cast<std::size_t>(slot)] = program; }
    void selectProgram(int slot) override { fuzzing::owner().editBuffer = fuzzing::owner().bank.programs[static_cast<std::size_t>(slot)]; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    BankHost host;
    pelko::importSysexBytes(host, data, size, "fuzz.syx");

    std::uint8_t packed[pelko::kPackedVoiceSize] = {};
    std::copy_n(data, std::min(size, sizeof packed), packed);
    const pelko::FmVoice voice = pelko::unpackVoice(packed);
    // The conversion starts from the default program; one is built once and copied per input.
    static const pelko::Program defaults;
    static const pelko::FmImportContent noContent;
    static pelko::Program program;
    program = defaults;
    pelko::convertFmVoice(voice, noContent, program);
    for (float v : program.values) {
        if (!(v >= 0.0f && v <= 1.0f)) std::abort();
    }
    return 0;
}
