// Side files: single parts of a program in files of their own. Each is one block of 32-bit
// big-endian numbers, starting with a four-character magic and the format version (21 when
// written):
//
//   ".seq" 'PLKs'  51 floats: Random (183), then Note 1–16, Vel 1–16, Length 1–16, Steps, Speed
//                  (117–166); 212 bytes in all
//   ".rfx" 'PLKf'  the slot's stored effect-type object, then 8 floats: its six effect parameters
//                  (167–172 or 173–178), its Dry/Wet (179 or 180) and its Sync (191 or 192)
//   ".env" 'PLKe'  one stored envelope; files with the older magic 'PLKE' have no version field
//                  and hold a version-10 envelope
//   ".add" 'PLKa'  one oscillator's stored additive settings; 'PLKA' likewise without a version
//
// Loading reads the whole file and changes nothing unless all of it is good: a foreign magic or
// a file cut short gives message 8 ("Error reading file") with the path, a version newer than
// this program's message 5, a file that cannot be read message 7 ("Error opening file"). Effect
// settings can be loaded quietly (the editor's own preset lists): then nothing is shown. Saving
// replaces the file atomically; a file that cannot be created gives message 7 with the path.
//
// User-interface thread only.
#pragma once

#include "storage/chunk_storage.h"
#include "storage/program_host.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pelko {

constexpr std::uint32_t kSequencerFileMagic = fourCharacters("PLKs");
constexpr std::uint32_t kEffectFileMagic = fourCharacters("PLKf");
constexpr std::uint32_t kEnvelopeFileMagic = fourCharacters("PLKe");
constexpr std::uint32_t kOldEnvelopeFileMagic = fourCharacters("PLKE");
constexpr std::uint32_t kAdditiveFileMagic = fourCharacters("PLKa");
constexpr std::uint32_t kOldAdditiveFileMagic = fourCharacters("PLKA");
// The version of files with an older magic, which carry none.
constexpr int kOldMagicVersion = 10;

constexpr int kSequencerFileValues = 51;
constexpr int kEffectFileValues = 8;

// The parameter index of value i of a sequencer file (183, then 117 … 166).
int sequencerFileParameter(int i);
// The parameter index of value i of an effect file of slot 0 or 1.
int effectFileParameter(int slot, int i);

enum class SideFileStatus {
    ok,
    foreignMagic,   // not a file of this kind
    damaged,        // cut short, or holding what the object cannot take
    newerVersion,   // written by a newer version of the program
};

// ---- byte forms -------------------------------------------------------------------------

std::vector<std::uint8_t> sequencerFileBytes(const Program& program);
SideFileStatus parseSequencerFile(const std::uint8_t* data, std::size_t size,
                                  std::array<float, kSequencerFileValues>& values);

std::vector<std::uint8_t> effectFileBytes(const PatchObject& typeObject,
                                          const std::array<float, kEffectFileValues>& values);
std::vector<std::uint8_t> effectFileBytes(const Program& program, int slot);
// Reads into typeObject (a scratch object of the effect-type class) and values; on failure
// either may hold part of the file.
SideFileStatus parseEffectFile(const std::uint8_t* data, std::size_t size, PatchObject& typeObject,
                               std::array<float, kEffectFileValues>& values);

// Envelope and additive files: magic, version 21, the object's stored form.
std::vector<std::uint8_t> objectFileBytes(std::uint32_t magic, const PatchObject& object);
// Reads the object stored after `magic` (with its version) or `oldMagic` (version 10). The object
// reads itself all or nothing; objects that may keep part of a failed read are given a scratch.
SideFileStatus parseObjectFile(const std::uint8_t* data, std::size_t size, std::uint32_t magic,
                               std::uint32_t oldMagic, PatchObject& object);

// ---- the commands -----------------------------------------------------------------------

// Sets Random and then the 50 step parameters through setParameter.
bool loadSequencerSettings(ProgramHost& host, std::string_view path);
bool saveSequencerSettings(const Program& editBuffer, std::string_view path);

// Effect slot 0 or 1: the type object reads itself, the eight parameters are set through
// setParameter, then the type object's apply step builds the effect. `quiet`: no message.
bool loadEffectSettings(ProgramHost& host, int slot, std::string_view path, bool quiet = false);
bool saveEffectSettings(const Program& editBuffer, int slot, std::string_view path);

// Envelope object k (any of the program's envelopes); the object's apply step runs afterwards.
bool loadEnvelope(ProgramHost& host, int object, std::string_view path);
bool saveEnvelope(const Program& editBuffer, int object, std::string_view path);

// Additive settings object k (184–189); the object's apply step runs afterwards.
bool loadAdditiveSettings(ProgramHost& host, int object, std::string_view path);
bool saveAdditiveSettings(const Program& editBuffer, int object, std::string_view path);

// Analyses a WAV file into the 64 harmonic levels and phases of additive settings object k
// (184–189), then runs its apply step. A file that cannot be opened gives message 7, one that is
// no readable WAV file or holds only silence message 8; the object then keeps its settings.
bool loadWavIntoAdditiveSettings(ProgramHost& host, int object, std::string_view path);

}  // namespace pelko
