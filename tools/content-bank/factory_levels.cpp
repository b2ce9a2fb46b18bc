#include "factory_levels.h"

#include "platform/file_system.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace pelko::factory {
namespace {

constexpr int kMainLevelParameter = 1;
constexpr std::size_t kMaxFileBytes = 1u << 20;

}  // namespace

bool saveProgramLevels(std::string_view path, const std::vector<ProgramLevel>& levels)
{
    std::string text;
    char line[256];
    for (const ProgramLevel& l : levels) {
        std::snprintf(line, sizeof line, "\t%.9g\t%.3f\t%.3f\t%.3f\n", static_cast<double>(l.level), l.loudness,
                      l.phrasePeak, l.chordPeak);
        text += l.name + line;
    }
    return writeFileAtomically(path, text);
}

bool loadProgramLevels(std::string_view path, std::vector<ProgramLevel>& levels, std::string& error)
{
    const auto bytes = readWholeFile(path, kMaxFileBytes);
    if (!bytes) {
        error = std::string(path) + ": cannot be read";
        return false;
    }
    std::istringstream in(std::string(bytes->begin(), bytes->end()));
    std::string line;
    int number = 0;
    levels.clear();
    while (std::getline(in, line)) {
        ++number;
        ProgramLevel l;
        const std::size_t tab = line.find('\t');
        std::istringstream fields(tab == std::string::npos ? std::string() : line.substr(tab + 1));
        if (tab == std::string::npos || !(fields >> l.level >> l.loudness >> l.phrasePeak >> l.chordPeak) ||
            !(l.level >= 0.0f && l.level <= 1.0f)) {
            error = std::string(path) + ": line " + std::to_string(number) + " is not a program level";
            return false;
        }
        l.name = line.substr(0, tab);
        levels.push_back(std::move(l));
    }
    return true;
}

bool applyProgramLevels(std::vector<FactoryProgram>& programs, const std::vector<ProgramLevel>& levels,
                        std::string& error)
{
    for (FactoryProgram& entry : programs) {
        const std::string name(entry.program.name());
        const ProgramLevel* found = nullptr;
        for (const ProgramLevel& l : levels) {
            if (l.name == name) {
                found = &l;
            }
        }
        if (found == nullptr) {
            error = name + ": no measured level";
            return false;
        }
        entry.program.values[kMainLevelParameter] = found->level;
    }
    return true;
}

}  // namespace pelko::factory
