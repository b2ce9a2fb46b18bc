// The process-wide wave bank: every archive in "waves" of the install folder and every external
// wave description in "waves\External", collected when the first plug-in instance starts and
// released with the last (acquire/release count the instances).
//
// Wave names. A wave in an archive is named by the entry that holds its description; that name
// is the wave's name as programs store it, e.g. "Single Cycle\Sine" (the part before the first
// backslash is the group the editor lists it under). Every entry whose name ends in ".pcm" is
// sample data (16-bit little-endian mono samples); every other entry is a wave description.
// An external wave "waves\External\Pad.txt" whose first line is "My Waves" is named
// "My Waves\Pad". Archives are searched first, in folder order, then the external waves.
//
// Decoded waves are kept in a cache shared by all instances, so that a wave used by several
// oscillators or instances is held once and a program change on the audio thread can take its
// waves from memory (loadCachedWave).
#pragma once

#include "wave/wave.h"
#include "wave/wave_archive.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelko {

struct ArchiveListing {
    std::string archiveName;             // file name, e.g. "Single Cycle.vfs"
    std::vector<std::string> waveNames;  // in archive order
};

struct ExternalWave {
    std::string group;            // the description's first line
    std::string descriptionFile;  // file name in "waves\External"
    std::string waveName;         // group + "\" + file name without ".txt"
};

// Whether an archive entry holds a wave description (rather than sample data).
bool isWaveDescriptionEntry(std::string_view entryName);

class WaveBank {
public:
    // Plug-in construction: the first call builds the bank from the install folder (ending with a
    // separator; empty when unknown), later calls share it. Each acquire needs one release; the
    // last release destroys the bank. User-interface threads only.
    static WaveBank& acquire(std::string_view installFolder);
    static void release();
    // The shared bank, or null when no instance holds it.
    static WaveBank* shared();

    // Builds a bank of its own (tools, tests). Shows message 13 for an outdated archive.
    explicit WaveBank(std::string installFolder);
    WaveBank(const WaveBank&) = delete;
    WaveBank& operator=(const WaveBank&) = delete;

    // Loads a wave into a slot (off the audio thread). On failure shows message 19 with the wave
    // name and the reason, leaves the slot as it was and returns the code (3 when no archive or
    // external description has that name).
    int loadWave(std::string_view name, WaveSlot& slot);
    // The same without any message box; the wave is returned instead of put in a slot.
    int findWave(std::string_view name, std::shared_ptr<const Wave>& wave);
    // Audio-thread safe: puts a wave that is already decoded in the slot, without allocating,
    // waiting or touching files. False (slot unchanged) when it is not in memory or the bank is
    // busy loading. The previous wave is returned through previous, to be dropped off the audio
    // thread.
    bool loadCachedWave(std::string_view name, WaveSlot& slot, std::shared_ptr<const Wave>& previous) noexcept;

    const std::string& installFolder() const { return installFolder_; }
    const std::vector<std::unique_ptr<WaveArchive>>& archives() const { return archives_; }
    // The waves of every archive, for the wave menu and the information page.
    std::vector<ArchiveListing> archiveListings() const;
    // Group name → description file names, as found in the external folder.
    const std::map<std::string, std::vector<std::string>>& externalGroups() const { return externalGroups_; }
    std::vector<ExternalWave> externalWaves() const;
    int externalWaveCount() const;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct CachedWave {
        std::shared_ptr<const Wave> wave;
        bool external = false;  // read again on every load from the user interface
    };

    void build();
    int decode(std::string_view name, std::shared_ptr<const Wave>& wave, bool& external);

    std::string installFolder_;
    std::vector<std::unique_ptr<WaveArchive>> archives_;
    std::map<std::string, std::vector<std::string>> externalGroups_;
    std::mutex mutex_;  // archive reads and the cache
    std::unordered_map<std::string, CachedWave, NameHash, std::equal_to<>> cache_;
};

}  // namespace pelko
