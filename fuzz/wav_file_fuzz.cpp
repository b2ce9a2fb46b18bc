// Reads arbitrary bytes as a WAV file and converts what it accepts.
#include "wave/wav_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::WavFile wav;
    if (!wav.parse(std::vector<std::uint8_t>(data, data + size))) {
        if (wav.problem().empty()) {
            std::abort();
        }
        return 0;
    }
    if (wav.channels() < 1 || wav.channels() > 2 || wav.availableDataSize() > size) {
        std::abort();
    }
    const std::size_t frameBytes = static_cast<std::size_t>(wav.channels() * (wav.bitsPerSample() / 8));
    // Only what is present is read: allocate that, not what the header claims.
    const std::size_t frames = std::min(wav.availableDataSize() / frameBytes, static_cast<std::size_t>(wav.frameCount()));
    std::vector<std::int16_t> out(frames);
    if (wav.read(out.data()) != frames * frameBytes) {
        std::abort();
    }
    return 0;
}
