// Program records as the presets database hands them over: any text decodes to a length that
// fits the buffer, or to -1, without reading or writing out of bounds. What decodes encodes
// again to a text that decodes to the same bytes, and the input taken as raw bytes survives an
// encode/decode round trip within the encoder's buffer.
#include "library/record_encoding.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

void roundTrip(const std::vector<std::uint8_t>& bytes)
{
    std::vector<char> buffer(pelko::encodedBufferSize(bytes.size()));
    std::size_t length = pelko::encodeRecord(bytes, buffer.data());
    if (length >= buffer.size() || buffer[length] != '\0' || std::memchr(buffer.data(), '\'', length) != nullptr) {
        std::abort();
    }
    std::vector<std::uint8_t> out(pelko::decodedCapacity(length));
    int n = pelko::decodeRecord(std::string_view(buffer.data(), length), out.data(), out.size());
    if (n != static_cast<int>(bytes.size()) || !std::equal(bytes.begin(), bytes.end(), out.begin())) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint8_t> out(pelko::decodedCapacity(size));
    int n = pelko::decodeRecord(text, out.data(), out.size());
    if (n < -1 || n > static_cast<int>(out.size())) {
        std::abort();
    }
    if (n >= 0) {
        out.resize(static_cast<std::size_t>(n));
        roundTrip(out);
    }
    // A buffer one byte short must be refused, never overrun.
    if (n > 0) {
        std::vector<std::uint8_t> small(static_cast<std::size_t>(n - 1));
        if (pelko::decodeRecord(text, small.data(), small.size()) != -1) {
            std::abort();
        }
    }
    roundTrip(std::vector<std::uint8_t>(data, data + size));
    return 0;
}
