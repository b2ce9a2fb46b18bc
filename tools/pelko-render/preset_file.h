// Bank (".fxb") and program (".fxp") files of plug-ins that store their state as one opaque chunk:
// a fixed header (160 bytes for a bank, 60 for a program) followed by the chunk the module reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace render {

constexpr std::size_t kBankHeaderBytes = 160;
constexpr std::size_t kProgramHeaderBytes = 60;

struct PresetChunk {
    bool bank = false;
    std::int32_t pluginId = 0;  // the four-character id of the plug-in that saved it
    std::vector<std::uint8_t> chunk;
};

// Takes the chunk out of a file's bytes. On failure returns none and says why in `error`.
std::optional<PresetChunk> readPresetChunk(const std::vector<std::uint8_t>& file, bool bank, std::string& error);

// "ABCD" for a four-character code; unprintable characters become '?'.
std::string fourCharacterText(std::int32_t code);

}  // namespace render
