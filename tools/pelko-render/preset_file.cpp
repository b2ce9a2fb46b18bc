#include "preset_file.h"

#include "params/byte_stream.h"

namespace render {
namespace {

constexpr std::int32_t code(char a, char b, char c, char d)
{
    return static_cast<std::int32_t>((std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16) |
                                     (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d)));
}

constexpr std::int32_t kContainer = code('C', 'c', 'n', 'K');
constexpr std::int32_t kBankChunk = code('F', 'B', 'C', 'h');
constexpr std::int32_t kProgramChunk = code('F', 'P', 'C', 'h');
constexpr std::int32_t kBankOfValues = code('F', 'x', 'B', 'k');
constexpr std::int32_t kProgramOfValues = code('F', 'x', 'C', 'k');

}  // namespace

std::string fourCharacterText(std::int32_t value)
{
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (24 - 8 * i));
        if (c >= 32 && c < 127) {
            text[static_cast<std::size_t>(i)] = static_cast<char>(c);
        }
    }
    return text;
}

std::optional<PresetChunk> readPresetChunk(const std::vector<std::uint8_t>& file, bool bank, std::string& error)
{
    const std::size_t headerBytes = bank ? kBankHeaderBytes : kProgramHeaderBytes;
    const char* kind = bank ? "bank" : "program";
    pelko::ByteReader reader(file.data(), file.size());
    if (file.size() < 8 || reader.int32() != kContainer) {
        error = std::string("not a ") + kind + " file (no CcnK header)";
        return std::nullopt;
    }
    reader.int32();  // byte size: writers disagree about it, the chunk size below is what counts
    const std::int32_t form = reader.int32();
    if (form == kBankOfValues || form == kProgramOfValues) {
        error = std::string("holds a ") + (form == kBankOfValues ? "bank" : "program") +
                " as a list of parameter values; this module stores its presets as chunks";
        return std::nullopt;
    }
    if (form == (bank ? kProgramChunk : kBankChunk)) {
        error = std::string("is a ") + (bank ? "program" : "bank") + " file; load it with " +
                (bank ? "--program" : "--bank");
        return std::nullopt;
    }
    if (form != (bank ? kBankChunk : kProgramChunk)) {
        error = "unknown preset form '" + fourCharacterText(form) + "'";
        return std::nullopt;
    }
    if (file.size() < headerBytes) {
        error = "the file ends inside its " + std::to_string(headerBytes) + "-byte header (" +
                std::to_string(file.size()) + " bytes)";
        return std::nullopt;
    }
    PresetChunk result;
    result.bank = bank;
    reader.int32();  // format version
    result.pluginId = reader.int32();
    pelko::ByteReader sizeReader(file.data() + headerBytes - 4, 4);
    const auto chunkSize = static_cast<std::uint32_t>(sizeReader.int32());
    const std::size_t available = file.size() - headerBytes;
    if (chunkSize > available) {
        error = "the chunk size " + std::to_string(chunkSize) + " exceeds the " + std::to_string(available) +
                " bytes after the header";
        return std::nullopt;
    }
    if (chunkSize == 0) {
        error = "the chunk is empty";
        return std::nullopt;
    }
    const auto begin = file.begin() + static_cast<std::ptrdiff_t>(headerBytes);
    result.chunk.assign(begin, begin + static_cast<std::ptrdiff_t>(chunkSize));
    return result;
}

}  // namespace render
