// The byte form of programs and banks, the upgrade of programs stored by older format versions,
// program copies and preset-library records.
//
// Program (current version 21): the name in 25 bytes (24 characters and a terminator), the 208
// parameter values (float), then for k = 0 … 224 the int32 k followed by object k's stored form,
// and the end marker −1. A reader takes an index outside 0–224 as the end of the object list, so
// objects absent from the stream keep their contents. Bank: the 64 programs in slot order and, from
// version 18, the bank name in 24 bytes.
#pragma once

#include "params/program.h"

#include <cstdint>
#include <vector>

namespace pelko {

constexpr int kOldestFormatVersion = 1;
constexpr std::size_t kStoredProgramNameSize = 25;
constexpr std::size_t kStoredBankNameSize = 24;

std::size_t storedProgramSize(const Program& program, int version = kFormatVersion);
std::size_t storedBankSize(const ProgramBank& bank, int version = kFormatVersion);

void writeProgram(ByteWriter& out, const Program& program);
// Reads a program as stored by `version`. False when the stream is short or an object refuses
// its data; the program then keeps what was read up to that point. Non-finite parameter values
// read as the parameter's default, others are clamped to 0–1.
bool readProgram(ByteReader& in, int version, Program& program);

void writeBank(ByteWriter& out, const ProgramBank& bank);
// Reads the 64 programs (and the name from version 18; older banks get an empty name), upgrading
// each program once it has been read completely. On failure the programs before the failing one
// are read and upgraded.
bool readBank(ByteReader& in, int version, ProgramBank& bank);

// Brings a program read with `version` up to the current format (nothing for 21 or any version
// outside 1–20).
void upgradeProgram(Program& program, int version);

// Copies a program through its stored form; copying a program onto itself does nothing.
void copyProgram(const Program& source, Program& destination);

// Preset-library record: the format version as a little-endian int32, then the stored program.
// The program's category becomes `category` first unless it is −1.
std::vector<std::uint8_t> presetRecord(Program& program, int category);
// Reads a record of `size` bytes (size −1 or no data: message 16, false), upgrading the program.
// A short or malformed record also gives message 16.
bool readPresetRecord(const void* data, long long size, Program& program);
// The same without the message, for callers that walk many records.
bool parsePresetRecord(const void* data, long long size, Program& program);

}  // namespace pelko
