// The checksum an archive stores for every entry, over the entry's unpacked bytes: a running byte
// sum, folded into the result by exclusive or after every byte (32-bit, wrapping).
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelko {

inline std::uint32_t archiveChecksum(const std::uint8_t* bytes, std::size_t size)
{
    std::uint32_t sum = 0;
    std::uint32_t check = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum += bytes[i];
        check ^= sum;
    }
    return check;
}

}  // namespace pelko
