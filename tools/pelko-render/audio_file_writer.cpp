#include "audio_file_writer.h"

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace render {

AudioFileWriter::~AudioFileWriter() { discard(); }

bool AudioFileWriter::open(const std::string& path, FileFormat format, SampleDepth depth, std::uint32_t sampleRate,
                           std::uint64_t expectedFrames)
{
    discard();
    path_ = path;
    // Beside the target, so that the final rename stays on one file system.
    temporary_ = path + ".partial-" + std::to_string(::getpid());
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = 2;
    int subtype = depth == SampleDepth::Int16 ? SF_FORMAT_PCM_16
                  : depth == SampleDepth::Int24 ? SF_FORMAT_PCM_24
                                                : SF_FORMAT_FLOAT;
    // A plain WAV header counts at most 4 GiB of data; longer renders are written as RF64.
    const std::uint64_t bytesPerFrame = depth == SampleDepth::Int16 ? 4 : depth == SampleDepth::Int24 ? 6 : 8;
    const bool huge = expectedFrames > (0xFFFFFFFFull - 1024) / bytesPerFrame;
    const int major = format == FileFormat::Flac ? SF_FORMAT_FLAC : huge ? SF_FORMAT_RF64 : SF_FORMAT_WAV;
    info.format = major | subtype;
    if (!sf_format_check(&info)) {
        error_ = "this sample format cannot be stored in the chosen file format";
        return false;
    }
    file_ = sf_open(temporary_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        error_ = "cannot create " + temporary_ + ": " + sf_strerror(nullptr);
        temporary_.clear();
        return false;
    }
    // Out-of-range samples are clipped rather than wrapped around when stored as integers.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // A float file would otherwise get a peak chunk stamped with the time of writing, so the same
    // render would never give the same file twice.
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return true;
}

bool AudioFileWriter::write(const float* left, const float* right, int frames)
{
    if (file_ == nullptr || frames <= 0) {
        return file_ != nullptr;
    }
    interleaved_.resize(static_cast<std::size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        interleaved_[2 * static_cast<std::size_t>(i)] = left[i];
        interleaved_[2 * static_cast<std::size_t>(i) + 1] = right[i];
    }
    if (sf_writef_float(file_, interleaved_.data(), frames) != frames) {
        error_ = "cannot write " + temporary_ + ": " + sf_strerror(file_);
        return false;
    }
    return true;
}

bool AudioFileWriter::commit()
{
    if (file_ == nullptr) {
        error_ = "no file open";
        return false;
    }
    int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) {
        error_ = "cannot finish " + temporary_ + ": " + sf_error_number(closed);
        discard();
        return false;
    }
    int fd = ::open(temporary_.c_str(), O_RDONLY);
    bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!flushed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error_ = "cannot write " + path_ + ": " + std::strerror(errno);
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void AudioFileWriter::discard()
{
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace render
