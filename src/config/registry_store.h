// The per-user configuration: named string values, kept in one text file
// ($XDG_CONFIG_HOME, default ~/.config, + "/Vantomo/Pelko2/registry"), one "name=value" line each.
// Unknown or damaged lines are ignored; every write replaces the file atomically, so a crash never
// leaves it half-written. When the folder cannot be created the store is empty: reads give their
// defaults and writes do nothing.
//
// The values live in memory: the file is read when the first store on it opens, and reads never
// touch it again. Every store on the same file in the process shares those values, so a value one
// plug-in instance writes is what the others read. A write goes through to the file at once: it
// reads the file again, changes the one value and replaces the file, so values another program
// wrote in the meantime are kept. Any thread may read or write; writes to one file are serialised.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelko {

class RegistryStore {
public:
    // Opens the store of the current user ("Software\Vantomo\Pelko2").
    RegistryStore();
    // Opens a store on an explicit file (tests, tools).
    explicit RegistryStore(std::string file);

    bool isOpen() const { return !file_.empty(); }
    const std::string& file() const { return file_; }

    std::optional<std::string> readText(std::string_view name) const;
    // The decimal text converted; the default when missing or not a number.
    long readInteger(std::string_view name, long defaultValue) const;
    // The decimal text converted; the default when missing, not a number, or 0.
    float readFloat(std::string_view name, float defaultValue) const;

    // Stores the text; no text deletes the value. False when the file could not be replaced.
    bool writeText(std::string_view name, std::optional<std::string_view> text);
    bool writeInteger(std::string_view name, long value);

    // The file the current user's store lives in.
    static std::string defaultFile();

private:
    struct SharedValues;

    // The file's values; none when it exists but cannot be read (a missing file has none).
    std::optional<std::map<std::string, std::string>> load() const;
    bool save(const std::map<std::string, std::string>& values) const;

    std::string file_;
    std::shared_ptr<SharedValues> shared_;  // null when the store is not open
};

// Parses the stored text: "name=value" lines with escaped values; damaged lines are skipped.
std::map<std::string, std::string> parseRegistryText(std::string_view text);

// The value names.
namespace registry {
constexpr const char* kPath = "path";
constexpr const char* kMidiOut = "MidiOut";
constexpr const char* kDefaultGain = "DefaultGain";
constexpr const char* kMidiConfig = "midicfg";
constexpr const char* kBankPath = "BankPath";
constexpr const char* kPatchPath = "PatchPath";
constexpr const char* kImportPath = "importPath";
constexpr const char* kSequencerPath = "SequencerPath";
constexpr const char* kEffectsPath = "EffectsPath";
constexpr const char* kEnvPath = "EnvPath";
constexpr const char* kAdditivePath = "additivePath";
constexpr const char* kAdditiveWavPath = "additiveWavPath";
constexpr const char* kSyxPath = "syxPath";
constexpr const char* kTuningPath = "TuningPath";
// How large the editor draws: "1", "2" or "auto" (editor/core/editor_scale.h).
constexpr const char* kEditorScale = "editorScale";
}  // namespace registry

}  // namespace pelko
