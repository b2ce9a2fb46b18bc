// What keyword searches of the preset library cover for a program: its name and its four comment
// lines. The preset browser stores both with every preset it files; the one-time keyword upgrade
// fills in the comments for presets stored before searches existed.
#pragma once

#include "library/preset_rewrite.h"
#include "params/program.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelko {

// The program's name without the blanks that pad it.
std::string_view presetName(const Program& program);

// The comment lines that hold text, trailing blanks removed, joined by line breaks.
std::string presetCommentText(const Program& program);

// For rewriteAllPresets / runKeywordUpgrade: reads the record into a scratch program and returns
// its comment text and the program written back in the current format, its category field
// naming the category the preset is filed in. A record that does not read as a program is left
// as it is (no message: a library can hold many, and the browser reports each one when it is
// opened).
PresetRewrite keywordsFromRecord(const LibraryRow& preset, std::span<const std::uint8_t> record);

}  // namespace pelko
