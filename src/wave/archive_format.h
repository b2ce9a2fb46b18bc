// The layout of a wavetable archive (".vfs"), all integers little-endian:
//   magic "sfv_" + int32 major + int32 minor   (an old archive has only the magic "SFV_": 0.0)
//   entries until the end of the file, each:
//     name, NUL-terminated
//     uint8  flags: low 4 bits = storage method, high 4 bits ignored
//     uint32 unpacked size, uint32 packed size, uint32 checksum of the unpacked bytes
//     packed size bytes of data
// This file also builds archive images in memory, for the archive writer and the tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pelko {

constexpr char kArchiveMagic[4] = {'s', 'f', 'v', '_'};
constexpr char kOldArchiveMagic[4] = {'S', 'F', 'V', '_'};
constexpr int kArchiveMajorVersion = 1;
constexpr int kArchiveMinorVersion = 0;
constexpr std::size_t kArchiveHeaderSize = 12;
constexpr std::size_t kEntryHeaderSize = 13;
// Longest entry name accepted when reading or writing (names are short paths such as
// "Single Cycle\Saw 3.pcm"); a longer run of bytes without a NUL is damage.
constexpr std::size_t kLongestEntryName = 1024;

enum StorageMethod : int {
    kMethodStored = 0,
    kMethodSampleCodec = 1,
};

inline std::uint32_t readLittleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void appendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// The 12-byte header of a new archive ("sfv_", 1, 0).
std::vector<std::uint8_t> newArchiveHeader();

// Appends one entry (name, header, data packed by the method) to an archive image. Fails with
// kArchiveBadFileFormat for an empty or overlong name, a name holding a NUL, an unknown method,
// or codec data of odd size; with kArchiveOutOfMemory when the data is too large to describe.
int appendArchiveEntry(std::vector<std::uint8_t>& image, std::string_view name, const std::uint8_t* data,
                       std::size_t size, int method);

}  // namespace pelko
