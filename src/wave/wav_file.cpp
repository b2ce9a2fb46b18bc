#include "wave/wav_file.h"

#include "platform/file_system.h"
#include "wave/archive_errors.h"
#include "wave/archive_format.h"

#include <algorithm>
#include <cstring>

namespace pelko {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The tail shared by the standard format GUIDs; the first two bytes hold the format tag.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Larger files are not waves an oscillator should hold in memory.
constexpr std::size_t kLargestFile = std::size_t(256) << 20;

std::uint16_t read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

bool isChunkId(const std::uint8_t* p)
{
    return std::all_of(p, p + 4, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

int sampleTo16(const std::uint8_t* p, int bytesPerSample)
{
    switch (bytesPerSample) {
    case 1: return (int(p[0]) - 128) * 256;
    case 2: return static_cast<std::int16_t>(read16(p));
    case 3: {
        auto v = static_cast<std::int32_t>((std::uint32_t(p[0]) << 8) | (std::uint32_t(p[1]) << 16) |
                                           (std::uint32_t(p[2]) << 24));
        return v >> 16;
    }
    default: return static_cast<std::int32_t>(readLittleEndian32(p)) >> 16;
    }
}

}  // namespace

bool WavFile::fail(int code, std::string problem)
{
    errorCode_ = code;
    problem_ = std::move(problem);
    bytes_.clear();
    channels_ = bitsPerSample_ = 0;
    dataSize_ = 0;
    dataOffset_ = available_ = 0;
    return false;
}

bool WavFile::open(std::string_view path)
{
    if (!fileExists(path)) {
        return fail(kArchiveFileNotFound, "cannot find the file");
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestFile);
    if (!bytes) {
        return fail(kArchiveReadError, "cannot read the file (or it is larger than 256 MB)");
    }
    return parse(std::move(*bytes));
}

bool WavFile::parse(std::vector<std::uint8_t> bytes)
{
    bytes_ = std::move(bytes);
    errorCode_ = kArchiveOk;
    problem_.clear();
    const std::uint8_t* b = bytes_.data();
    const std::size_t size = bytes_.size();
    if (size < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) {
        return fail(kArchiveBadFileFormat, "not a RIFF WAVE file");
    }
    bool haveFormat = false;
    std::size_t position = 12;
    while (size - position >= 8) {
        const std::uint8_t* chunk = b + position;
        const std::uint32_t chunkSize = readLittleEndian32(chunk + 4);
        const std::size_t body = position + 8;
        const std::size_t bodyAvailable = size - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16 || bodyAvailable < 16) {
                return fail(kArchiveBadFileFormat, "the format chunk is too short");
            }
            const std::uint8_t* f = b + body;
            std::uint16_t tag = read16(f);
            channels_ = read16(f + 2);
            sampleRate_ = readLittleEndian32(f + 4);
            bitsPerSample_ = read16(f + 14);
            if (tag == kFormatExtensible) {
                if (chunkSize < 40 || bodyAvailable < 40) {
                    return fail(kArchiveBadFileFormat, "the extensible format chunk is too short");
                }
                const int validBits = read16(f + 18);
                tag = read16(f + 24);
                if (std::memcmp(f + 26, kGuidTail, sizeof kGuidTail) != 0) {
                    return fail(kArchiveBadFileFormat, "unknown extensible sample format");
                }
                if (validBits > bitsPerSample_) {
                    return fail(kArchiveBadFileFormat, "more valid bits than the sample container holds");
                }
            }
            if (tag != kFormatPcm) {
                return fail(kArchiveBadFileFormat, "only integer PCM samples are supported");
            }
            if (channels_ < 1 || channels_ > 2) {
                return fail(kArchiveBadFileFormat, "only mono and stereo files are supported");
            }
            if (bitsPerSample_ != 8 && bitsPerSample_ != 16 && bitsPerSample_ != 24 && bitsPerSample_ != 32) {
                return fail(kArchiveBadFileFormat, "only 8, 16, 24 and 32 bits per sample are supported");
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                return fail(kArchiveBadFileFormat, "the data chunk comes before the format chunk");
            }
            dataSize_ = chunkSize;
            dataOffset_ = body;
            available_ = std::min<std::size_t>(chunkSize, bodyAvailable);
            return true;
        }
        if (chunkSize > bodyAvailable) {
            break;
        }
        std::size_t next = body + chunkSize;
        if ((chunkSize & 1u) != 0) {
            const bool paddedIsChunk = size - next >= 9 && isChunkId(b + next + 1);
            const bool unpaddedIsChunk = size - next >= 8 && isChunkId(b + next);
            if (paddedIsChunk || !unpaddedIsChunk) {
                ++next;
            }
        }
        position = next;
        if (position > size) {
            break;
        }
    }
    return fail(kArchiveBadFileFormat, haveFormat ? "no data chunk" : "no format chunk");
}

int WavFile::frameCount() const
{
    if (channels_ == 0 || bitsPerSample_ == 0) {
        return 0;
    }
    std::uint32_t frames = dataSize_ / static_cast<std::uint32_t>(channels_) / static_cast<std::uint32_t>(bitsPerSample_ / 8);
    return static_cast<int>(std::min<std::uint32_t>(frames, 0x7FFFFFFF));
}

std::size_t WavFile::read(std::int16_t* out) const
{
    if (channels_ == 0 || bitsPerSample_ == 0) {
        return 0;
    }
    const int bytesPerSample = bitsPerSample_ / 8;
    const std::size_t frameBytes = static_cast<std::size_t>(bytesPerSample * channels_);
    const std::size_t frames = std::min(available_ / frameBytes, static_cast<std::size_t>(frameCount()));
    const std::uint8_t* p = bytes_.data() + dataOffset_;
    for (std::size_t i = 0; i < frames; ++i, p += frameBytes) {
        int left = sampleTo16(p, bytesPerSample);
        if (channels_ == 2) {
            int right = sampleTo16(p + bytesPerSample, bytesPerSample);
            out[i] = static_cast<std::int16_t>((left + right) / 2);
        } else {
            out[i] = static_cast<std::int16_t>(left);
        }
    }
    return frames * frameBytes;
}

}  // namespace pelko
