#include "wave/archive_format.h"

#include "wave/archive_checksum.h"
#include "wave/archive_errors.h"
#include "wave/sample_codec.h"

namespace pelko {

std::vector<std::uint8_t> newArchiveHeader()
{
    std::vector<std::uint8_t> header(kArchiveMagic, kArchiveMagic + 4);
    appendLittleEndian32(header, kArchiveMajorVersion);
    appendLittleEndian32(header, kArchiveMinorVersion);
    return header;
}

int appendArchiveEntry(std::vector<std::uint8_t>& image, std::string_view name, const std::uint8_t* data,
                       std::size_t size, int method)
{
    if (name.empty() || name.size() > kLongestEntryName || name.find('\0') != std::string_view::npos) {
        return kArchiveBadFileFormat;
    }
    if (size > 0xFFFFFFFFu) {
        return kArchiveOutOfMemory;
    }
    std::vector<std::uint8_t> packed;
    if (method == kMethodStored) {
        packed.assign(data, data + size);
    } else if (method == kMethodSampleCodec) {
        if (size % 2 != 0) {
            return kArchiveBadFileFormat;
        }
        packed = encodeSampleBytes(data, size);
    } else {
        return kArchiveBadFileFormat;
    }
    if (packed.size() > 0xFFFFFFFFu) {
        return kArchiveOutOfMemory;
    }
    image.insert(image.end(), name.begin(), name.end());
    image.push_back(0);
    image.push_back(static_cast<std::uint8_t>(method));
    appendLittleEndian32(image, static_cast<std::uint32_t>(size));
    appendLittleEndian32(image, static_cast<std::uint32_t>(packed.size()));
    appendLittleEndian32(image, archiveChecksum(data, size));
    image.insert(image.end(), packed.begin(), packed.end());
    return kArchiveOk;
}

}  // namespace pelko
