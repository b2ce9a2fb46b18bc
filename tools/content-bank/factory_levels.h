// The measured levels of the factory programs: the Main Level the levelling tool found for each
// program, with the loudness and peaks it measured there, kept in a small text file between the
// levelling tool and the bank and database builders.
#pragma once

#include "factory_programs.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelko::factory {

// What every factory program is levelled to on the reference phrase.
constexpr double kTargetLoudness = -18.0;  // LUFS
constexpr double kLoudnessWindow = 1.5;    // LU either side
constexpr double kPeakCeilingDb = -1.0;    // dBFS, on the phrase and on the loud chord

struct ProgramLevel {
    std::string name;
    float level = 0.0f;  // the Main Level value
    double loudness = 0.0, phrasePeak = 0.0, chordPeak = 0.0;
};

// One tab-separated line per program; written atomically.
bool saveProgramLevels(std::string_view path, const std::vector<ProgramLevel>& levels);

// Reads the file back; false (with the reason in `error`) for a missing file or a bad line.
bool loadProgramLevels(std::string_view path, std::vector<ProgramLevel>& levels, std::string& error);

// Sets each program's Main Level from the list; false (naming it in `error`) when a program has no
// measured level, so a stale file never ships an unlevelled program.
bool applyProgramLevels(std::vector<FactoryProgram>& programs, const std::vector<ProgramLevel>& levels,
                        std::string& error);

}  // namespace pelko::factory
