// Decodes arbitrary bytes as codec data; whatever decodes must encode back to the same samples.
#include "wave/archive_format.h"
#include "wave/sample_codec.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= 4) {
        const std::size_t unpacked = std::size_t(pelko::readLittleEndian32(data)) * 2;
        if (pelko::packedSizeConsistent(data, size, unpacked)) {
            std::vector<std::uint8_t> out(unpacked);
            if (pelko::decodeSamples(data, size, out.data(), out.size())) {
                std::vector<std::uint8_t> again = pelko::encodeSampleBytes(out.data(), out.size());
                std::vector<std::uint8_t> back(unpacked);
                if (!pelko::decodeSamples(again.data(), again.size(), back.data(), back.size()) || back != out) {
                    std::abort();
                }
            }
        }
    }
    // Any even run of bytes is samples: the codec must be lossless on it.
    const std::size_t even = size & ~std::size_t(1);
    std::vector<std::uint8_t> packed = pelko::encodeSampleBytes(data, even);
    std::vector<std::uint8_t> decoded(even);
    if (!pelko::decodeSamples(packed.data(), packed.size(), decoded.data(), decoded.size()) ||
        !std::equal(decoded.begin(), decoded.end(), data)) {
        std::abort();
    }
    return 0;
}
