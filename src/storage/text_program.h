// A whole program as editable text (".txt"), one item per line:
//
//   Synth Id/Version: 1347114548/21        the id 'PKV4' as a signed number, the format version
//   <program name>
//   for each parameter i = 0 … 207:  its identifier ("MainLevel"), then "i:value" with six
//                                    decimals ("1:0.250000")
//   for each object k = 0 … 224:     its display name ("Osc1 Level"), then "Mk:n" with its stored
//                                    size n, then its text form: text objects their text on one
//                                    line (the wave name with a leading "*" while muted), all
//                                    others their stored bytes as " %02X", 32 to a line
//
// Numbers are written and read the same way under every locale.
//
// Reading is forgiving: a line that does not parse is skipped, an "M" line for an unknown object
// is skipped without reading data for it, an object whose data is malformed or of the wrong
// byte count keeps its contents. The first line's number after the last "/" is the version the
// objects are read for (21 when there is none); the program is upgraded from that version.
#pragma once

#include "storage/program_host.h"

#include <string>
#include <string_view>

namespace pelko {

// 'PKV4' as the first line writes it.
constexpr int kTextProgramId = 0x504B5634;

std::string programText(const Program& program);
// Reads a program text into `target` and upgrades it; returns the version the text declared.
int readProgramText(std::string_view text, Program& target);

// The edit buffer is first copied into its bank slot, then the slot is written. A file that
// cannot be created is not reported (false).
bool exportProgramText(ProgramHost& host, std::string_view path);
// Reads a text file into bank slot `slot` (0–63); when the slot is the current program it is
// selected again. A file that cannot be opened changes nothing and is not reported (false).
bool importProgramText(ProgramHost& host, int slot, std::string_view path);

}  // namespace pelko
