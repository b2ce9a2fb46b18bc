// Mounts arbitrary bytes as a wave archive, reads every entry and builds every wave it describes.
#include "platform/user_interface.h"
#include "wave/wave.h"
#include "wave/wave_archive.h"
#include "wave/wave_bank.h"
#include "wave/wave_loader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// The archive and loader diagnostics (one line per damaged input) would flood the log: the
// stdio stream they use is pointed at /dev/null. The fuzzer keeps its own copy of the original
// stream and the sanitizers write to the descriptor directly, so their reports still appear.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (std::FILE* sink = std::fopen("/dev/null", "w")) {
        stderr = sink;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto ui = [] {
        auto scripted = std::make_shared<pelko::ScriptedUserInterface>();
        pelko::setUserInterface(scripted);
        return scripted;
    }();
    pelko::WaveArchive archive;
    if (archive.mountMemory(data, size, "fuzz.vfs") != 0) {
        return 0;
    }
    for (const pelko::ArchiveEntry& entry : archive.entries()) {
        std::vector<std::uint8_t> buffer;
        std::size_t read = 0;
        if (archive.readEntry(entry.name, buffer, read) == 0 && (buffer.size() != read + 1 || buffer[read] != 0)) {
            std::abort();
        }
        if (pelko::isWaveDescriptionEntry(entry.name)) {
            pelko::ArchiveWaveSource source(archive);
            std::shared_ptr<const pelko::Wave> wave;
            if (pelko::loadWaveFromSource(source, entry.name, wave) == 0) {
                for (int key = 0; key < 128; ++key) {
                    const pelko::WaveZone& zone = wave->zoneForKey(key);
                    // Interpolation reads up to the last guard sample.
                    volatile std::int16_t last = zone.samples[zone.length + pelko::Wave::kGuardSamples - 1];
                    (void)last;
                }
            }
        }
    }
    ui->clear();
    return 0;
}
