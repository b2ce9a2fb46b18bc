// Program and bank chunks, ".fxp" and ".fxb" files and the state file, independent of the plug-in
// object: every operation works on a StorageState, a bundle of references to what the plug-in
// owns. The plug-in calls these from effGetChunk/effSetChunk, at construction (restoring the
// state file) and at destruction (saving it); what must happen to the engine afterwards (giving
// the editor its view block, selecting a program) is returned to the caller, never done here.
//
// Chunk layout (all numbers 32-bit big-endian):
//   header: magic 'PKV4' (readers also take 'PKV3'), format version, current program index
//   the stored program or bank (program_format.h)
//   global block, from version 16: global-tuning switch (int32), global tuning scale (576 bytes),
//     bank info text (32 bytes)
//   editor view block: per oscillator a float and four int32, then the editor page (int32)
// A chunk handed to the host reserves twice the global block after the program or bank; the view
// block is written into the second reservation and the bytes after it are zero.
//
// Failures are reported with the system's messages: a chunk whose magic is unknown, that is cut
// short or holds what no object can take gives message 4; a chunk of a newer version message 5;
// neither changes anything before the header has been checked, and a chunk that fails later leaves
// its target as far as it was read.
#pragma once

#include "storage/program_format.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

constexpr std::uint32_t fourCharacters(const char (&c)[5])
{
    return (std::uint32_t(std::uint8_t(c[0])) << 24) | (std::uint32_t(std::uint8_t(c[1])) << 16) |
           (std::uint32_t(std::uint8_t(c[2])) << 8) | std::uint32_t(std::uint8_t(c[3]));
}
constexpr std::uint32_t kChunkMagic = fourCharacters("PKV4");
constexpr std::uint32_t kOldChunkMagic = fourCharacters("PKV3");
constexpr std::size_t kChunkHeaderSize = 12;
constexpr std::size_t kProgramFileHeaderSize = 60;
constexpr std::size_t kBankFileHeaderSize = 160;
constexpr std::size_t kBankInfoCapacity = 32;

// What the editor remembers per oscillator view and which page it shows; stored with chunks.
struct EditorViewBlock {
    static constexpr int kOscillators = 6;
    static constexpr int kPages = 13;
    static constexpr std::size_t kStoredSize = (kOscillators * 5 + 1) * 4;
    struct OscillatorView {
        float zoom = 1.0f;
        std::array<std::int32_t, 4> values{};
        bool operator==(const OscillatorView&) const = default;
    };
    std::array<OscillatorView, kOscillators> oscillators{};
    std::int32_t page = 0;  // 0–12
    bool operator==(const EditorViewBlock&) const = default;
};

// The settings stored with banks besides the programs.
struct GlobalSettings {
    bool& globalTuningOn;
    TuningScaleObject& globalTuning;  // "Global Tuning Scale"
    TextObject& bankInfo;             // "Bank Info", capacity 32
};

struct StorageState {
    ProgramBank& bank;
    Program& editBuffer;
    int& currentProgram;  // 0–63
    GlobalSettings global;
    // The editor's current view block; null while there is no editor (defaults are written).
    const EditorViewBlock* editorView = nullptr;
};

// The global objects as the plug-in creates them (names and capacities).
TuningScaleObject makeGlobalTuning();
TextObject makeBankInfo();

std::size_t globalBlockSize(int version = kFormatVersion);

// ---- chunks --------------------------------------------------------------------------------

// effGetChunk: copies the edit buffer into the current bank slot, then builds the program chunk
// (preset) or the bank chunk. Empty after message 1 when memory runs out.
std::vector<std::uint8_t> getChunk(StorageState& state, bool preset);

struct ChunkReadResult {
    bool ok = false;
    int version = 0;       // format version read (non-zero on success)
    int programIndex = 0;  // header's current program, low 8 bits
    std::optional<EditorViewBlock> view;  // when the chunk holds one
};

// Reads a program chunk of `size` bytes into `target`, upgrading it; the global block is stepped
// over.
ChunkReadResult readProgramChunk(const void* data, std::size_t size, Program& target);
// Reads a bank chunk into `target`, upgrading every program. With `global` (the plug-in's own
// bank) the global block is read into it; without, it is stepped over.
ChunkReadResult readBankChunk(const void* data, std::size_t size, ProgramBank& target, GlobalSettings* global);

struct SetChunkResult {
    bool ok = false;
    // The program the caller selects next (0–63), or −1 for none.
    int selectProgram = -1;
    // For the editor, when the chunk held one.
    std::optional<EditorViewBlock> view;
};

// effSetChunk. Program chunk: read into the edit buffer; if the current index is below 64 the
// edit buffer is copied into that slot and the caller selects that program again. Bank chunk:
// read into the bank with the global settings; the caller selects the header's program (unless
// it is 64 or more) and refreshes the editor's bank list.
SetChunkResult setChunk(StorageState& state, const void* data, std::size_t size, bool preset);

// ---- files ---------------------------------------------------------------------------------

// ".fxp": 'CcnK', 0, 'FPCh', 1, 'PKV4', 21, 208, the slot's name in 28 bytes, chunk size, chunk.
std::vector<std::uint8_t> buildProgramFile(StorageState& state);
// ".fxb": 'CcnK', 0, 'FBCh', 1, 'PKV4', 21, 64, 128 zero bytes, chunk size, chunk.
std::vector<std::uint8_t> buildBankFile(StorageState& state);

// Writes a program file, replacing it atomically. A file that cannot be written is not reported.
bool saveProgramFile(StorageState& state, std::string_view path);
// Writes a bank file (and the state file), replacing it atomically: message 7 with the path when
// it cannot be created, message 6 when writing fails, message 0 for an empty chunk.
bool saveBankFile(StorageState& state, std::string_view path);

struct FileLoadResult {
    bool ok = false;
    int selectProgram = -1;  // as in SetChunkResult
    std::optional<EditorViewBlock> view;
};

// The contents of a program or bank file already in memory (header included).
FileLoadResult readProgramFileBytes(const std::uint8_t* data, std::size_t size, Program& target);
// fileName: the name an unnamed bank takes.
FileLoadResult readBankFileBytes(StorageState& state, const std::uint8_t* data, std::size_t size,
                                 std::string_view fileName);

// Reads a program file into `target` (a bank slot or the edit buffer); the header is skipped.
// A file that cannot be read: message 7 with the path.
FileLoadResult loadProgramFile(std::string_view path, Program& target);
// Reads a bank file into the plug-in's bank; an empty or unreadable file changes nothing and is
// not reported. On success an empty bank name becomes the file's name, and selectProgram is the
// program stored in it (the caller also refreshes the editor's bank list).
FileLoadResult loadBankFile(StorageState& state, std::string_view path);
// Reads a bank file into a bank other than the plug-in's (no global settings).
bool loadForeignBankFile(std::string_view path, ProgramBank& target);

// The state file in the install folder (folder ends with a separator).
std::string stateFilePath(std::string_view installFolder);

}  // namespace pelko
