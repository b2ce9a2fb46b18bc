// content-level MODULE LEVELS: plays the reference phrase of every factory program through the
// built module, measures its integrated loudness and its peaks (on the phrase and on a loud
// six-note chord) and finds the Main Level that brings it to the factory loudness without a peak
// above the factory ceiling. Writes one line per program, "name<TAB>level<TAB>loudness<TAB>phrase
// peak<TAB>chord peak", which the bank and database builders read. The module runs with a private
// configuration folder, and the state it saves beside itself is put back as it was.
#include "factory_levels.h"
#include "factory_programs.h"
#include "host_module.h"
#include "loudness.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "reference_phrase.h"
#include "storage/chunk_storage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace pelko;
using namespace pelko::content;

constexpr int kMainLevelParameter = 1;
constexpr int kAttempts = 10;
// The aims sit inside the limits the content tests check, so rounding never decides a pass.
constexpr double kLoudnessTolerance = 0.3;
constexpr double kPeakAim = factory::kPeakCeilingDb - 0.3;

struct Measurement {
    double loudness, phrasePeak, chordPeak;
};

bool measure(host::HostModule& host, const factory::FactoryProgram& entry, float level, Measurement& m)
{
    Program program = entry.program;
    program.values[kMainLevelParameter] = level;
    if (!startProgram(host, program)) {
        return false;
    }
    const StereoRender phrase = renderReferencePhrase(host, entry.category);
    settle(host);
    const StereoRender chord = renderLoudChord(host, entry.category);
    m = {integratedLoudness(phrase.left, phrase.right, kReferenceRate), samplePeakDb(phrase.left, phrase.right),
         samplePeakDb(chord.left, chord.right)};
    return true;
}

// Finds the level of one program; false when the module refuses it.
bool levelOne(host::HostModule& host, const factory::FactoryProgram& entry, factory::ProgramLevel& result)
{
    float level = entry.program.values[kMainLevelParameter];
    Measurement m{};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!measure(host, entry, level, m)) {
            return false;
        }
        const double peak = std::max(m.phrasePeak, m.chordPeak);
        if (std::abs(m.loudness - factory::kTargetLoudness) <= kLoudnessTolerance && peak <= kPeakAim) {
            break;
        }
        if (!std::isfinite(m.loudness) || attempt + 1 == kAttempts) {
            break;  // silent (nothing to scale), or out of attempts: report what was measured
        }
        // Main Level scales the voices linearly; the effects after it may not, hence the repeats.
        const double gainDb = std::min(factory::kTargetLoudness - m.loudness, kPeakAim - peak);
        level = std::clamp(static_cast<float>(level * std::pow(10.0, gainDb / 20.0)), 0.0f, 1.0f);
    }
    result = {std::string(entry.program.name()), level, m.loudness, m.phrasePeak, m.chordPeak};
    return true;
}

// A private configuration folder for the module, removed when this goes away.
class PrivateConfig {
public:
    PrivateConfig()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelko-level-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
        }
    }
    ~PrivateConfig()
    {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    bool ok() const { return !path_.empty(); }

private:
    std::string path_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: content-level MODULE LEVELS\n");
        return 2;
    }
    setUserInterface(std::make_shared<HeadlessUserInterface>());
    const std::string modulePath = argv[1];
    PrivateConfig config;
    if (!config.ok()) {
        std::perror("content-level: temporary folder");
        return 1;
    }
    // The module keeps its state beside itself in its install folder; a build must not leave one
    // there (a first start would then skip the factory bank) nor change one a user left.
    const std::string statePath =
        stateFilePath((std::filesystem::path(modulePath).parent_path() / "pelko2").string() + "/");
    const std::optional<std::vector<std::uint8_t>> savedState =
        fileExists(statePath) ? readWholeFile(statePath, 64u << 20) : std::nullopt;

    std::vector<factory::ProgramLevel> levels;
    bool ok = true;
    {
        host::HostModule host;
        if (!host.load(modulePath) || host.instantiate() == nullptr) {
            std::fprintf(stderr, "%s: %s\n", modulePath.c_str(), host.error().c_str());
            return 1;
        }
        for (const factory::FactoryProgram& entry : factory::factoryPrograms()) {
            factory::ProgramLevel l;
            if (!levelOne(host, entry, l)) {
                std::fprintf(stderr, "content-level: the module refused %s\n", l.name.c_str());
                ok = false;
                break;
            }
            std::printf("%-24s %-22s level %.3f  %6.1f LUFS  peak %5.1f / chord %5.1f dBFS\n", l.name.c_str(),
                        entry.category.c_str(), l.level, l.loudness, l.phrasePeak, l.chordPeak);
            levels.push_back(std::move(l));
        }
        host.suspend();
        host.closeInstance();
    }
    if (savedState) {
        writeFileAtomically(statePath, *savedState);
    } else {
        std::remove(statePath.c_str());
    }
    if (!ok || !factory::saveProgramLevels(argv[2], levels)) {
        std::fprintf(stderr, "%s: the program levels could not be written\n", argv[2]);
        return 1;
    }
    return 0;
}
