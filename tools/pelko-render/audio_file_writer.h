// Writes stereo sound to a WAV or FLAC file through a temporary file beside the target: the
// target appears (or is replaced) only when every sample has been written and flushed to disk, so
// a failed or interrupted render never leaves a partial file.
#pragma once

#include "render_options.h"

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

namespace render {

class AudioFileWriter {
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();  // discards the temporary file unless commit() succeeded
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // expectedFrames chooses the WAV header: RF64 when the data would not fit in 4 GiB.
    bool open(const std::string& path, FileFormat format, SampleDepth depth, std::uint32_t sampleRate,
              std::uint64_t expectedFrames);
    // Appends frames; samples beyond full scale are clipped in integer formats.
    bool write(const float* left, const float* right, int frames);
    // Closes, flushes and renames the temporary file over the target.
    bool commit();
    // Removes the temporary file.
    void discard();

    const std::string& error() const { return error_; }

private:
    sf_private_tag* file_ = nullptr;
    std::string path_, temporary_;
    std::string error_;
    std::vector<float> interleaved_;
};

}  // namespace render
