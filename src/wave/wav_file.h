// Reads WAV files of integer PCM (8-bit unsigned, 16-, 24- and 32-bit signed; mono or stereo;
// plain or extensible format chunk) and converts them to the engine's 16-bit mono samples.
//
// Chunks are walked from the start: other chunks before "fmt " or between it and "data" are
// skipped. RIFF pads every chunk to an even length; a writer that forgot the pad byte after an
// odd-sized chunk is recognised (the padded position holds no chunk id, the unpadded one does)
// and followed, so both kinds of file read correctly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

class WavFile {
public:
    // Reads and checks a file. False with errorCode() 3 when it cannot be found or opened, 7 when
    // it cannot be read, 9 when it is no WAV file this reader supports (see problem()).
    bool open(std::string_view path);
    // The same over bytes already in memory.
    bool parse(std::vector<std::uint8_t> bytes);

    int errorCode() const { return errorCode_; }
    const std::string& problem() const { return problem_; }

    int channels() const { return channels_; }
    int bitsPerSample() const { return bitsPerSample_; }  // container width: 8, 16, 24 or 32
    std::uint32_t sampleRate() const { return sampleRate_; }
    // The size the data chunk declares, and how many of those bytes the file really holds.
    std::uint32_t dataSize() const { return dataSize_; }
    std::size_t availableDataSize() const { return available_; }
    // Frames the data chunk declares.
    int frameCount() const;

    // Converts the frames that are present to 16-bit mono (channels averaged, truncating toward
    // zero) into out, which holds at least frameCount() samples. Returns the data bytes read.
    std::size_t read(std::int16_t* out) const;

private:
    bool fail(int code, std::string problem);

    std::vector<std::uint8_t> bytes_;
    int errorCode_ = 0;
    std::string problem_;
    int channels_ = 0;
    int bitsPerSample_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint32_t dataSize_ = 0;
    std::size_t dataOffset_ = 0;
    std::size_t available_ = 0;
};

}  // namespace pelko
