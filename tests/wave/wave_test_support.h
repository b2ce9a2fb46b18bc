// Shared pieces of the wave storage tests: recorded message boxes, files in temporary folders,
// and WAV files built chunk by chunk (so that broken ones can be made too).
#pragma once

#include "platform/user_interface.h"
#include "wave/archive_format.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace wave_test {

// Installs a scripted user interface for the lifetime of the scope.
class RecordedMessages {
public:
    RecordedMessages() : ui_(std::make_shared<pelko::ScriptedUserInterface>()), previous_(pelko::setUserInterface(ui_)) {}
    ~RecordedMessages() { pelko::setUserInterface(previous_); }
    std::vector<pelko::ScriptedUserInterface::Message> messages() const { return ui_->messages(); }
    std::size_t count() const { return ui_->messages().size(); }

private:
    std::shared_ptr<pelko::ScriptedUserInterface> ui_;
    std::shared_ptr<pelko::UserInterface> previous_;
};

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::uint8_t> sampleBytes(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (std::int16_t s : samples) {
        bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
    }
    return bytes;
}

// Builds a RIFF WAVE file chunk by chunk. Chunks are padded to even length unless told not to.
class WavBuilder {
public:
    WavBuilder& chunk(const char id[4], const std::vector<std::uint8_t>& body, bool pad = true)
    {
        chunks_.insert(chunks_.end(), id, id + 4);
        pelko::appendLittleEndian32(chunks_, static_cast<std::uint32_t>(body.size()));
        chunks_.insert(chunks_.end(), body.begin(), body.end());
        if (pad && body.size() % 2 != 0) {
            chunks_.push_back(0);
        }
        return *this;
    }
    WavBuilder& format(int tag, int channels, int bits, int extraBytes = 0)
    {
        std::vector<std::uint8_t> body;
        put16(body, tag);
        put16(body, channels);
        pelko::appendLittleEndian32(body, 44100);
        pelko::appendLittleEndian32(body, static_cast<std::uint32_t>(44100 * channels * bits / 8));
        put16(body, channels * bits / 8);
        put16(body, bits);
        if (extraBytes > 0) {
            put16(body, extraBytes);
            body.resize(body.size() + static_cast<std::size_t>(extraBytes), 0);
        }
        return chunk("fmt ", body);
    }
    // WAVE_FORMAT_EXTENSIBLE with the given sub-format tag.
    WavBuilder& extensible(int channels, int bits, int validBits, int subFormat = 1)
    {
        std::vector<std::uint8_t> body;
        put16(body, 0xFFFE);
        put16(body, channels);
        pelko::appendLittleEndian32(body, 44100);
        pelko::appendLittleEndian32(body, static_cast<std::uint32_t>(44100 * channels * bits / 8));
        put16(body, channels * bits / 8);
        put16(body, bits);
        put16(body, 22);
        put16(body, validBits);
        pelko::appendLittleEndian32(body, channels == 1 ? 4u : 3u);
        put16(body, subFormat);
        const std::uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        body.insert(body.end(), tail, tail + 14);
        return chunk("fmt ", body);
    }
    WavBuilder& data(const std::vector<std::uint8_t>& body, bool pad = true) { return chunk("data", body, pad); }

    std::vector<std::uint8_t> bytes() const
    {
        std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
        pelko::appendLittleEndian32(out, static_cast<std::uint32_t>(4 + chunks_.size()));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), chunks_.begin(), chunks_.end());
        return out;
    }

    static void put16(std::vector<std::uint8_t>& out, int value)
    {
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }

private:
    std::vector<std::uint8_t> chunks_;
};

}  // namespace wave_test
