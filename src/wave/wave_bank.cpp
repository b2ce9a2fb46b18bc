#include "wave/wave_bank.h"

#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "wave/archive_errors.h"
#include "wave/wave_loader.h"

namespace pelko {
namespace {

constexpr std::string_view kSampleSuffix = ".pcm";
constexpr std::string_view kDescriptionSuffix = ".txt";
constexpr std::size_t kLargestDescription = 1 << 20;

std::mutex sharedMutex;
std::unique_ptr<WaveBank> sharedBank;
int sharedUsers = 0;

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size()) {
        return false;
    }
    text = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (a != suffix[i]) {
            return false;
        }
    }
    return true;
}

std::string externalWaveName(const std::string& group, std::string_view file)
{
    if (endsWithIgnoringCase(file, kDescriptionSuffix)) {
        file.remove_suffix(kDescriptionSuffix.size());
    }
    return group + "\\" + std::string(file);
}

}  // namespace

bool isWaveDescriptionEntry(std::string_view entryName) { return !endsWithIgnoringCase(entryName, kSampleSuffix); }

WaveBank& WaveBank::acquire(std::string_view installFolder)
{
    std::lock_guard<std::mutex> lock(sharedMutex);
    if (sharedUsers++ == 0 || !sharedBank) {
        sharedBank = std::make_unique<WaveBank>(std::string(installFolder));
    }
    return *sharedBank;
}

void WaveBank::release()
{
    std::lock_guard<std::mutex> lock(sharedMutex);
    if (sharedUsers > 0 && --sharedUsers == 0) {
        sharedBank.reset();
    }
}

WaveBank* WaveBank::shared()
{
    std::lock_guard<std::mutex> lock(sharedMutex);
    return sharedBank.get();
}

WaveBank::WaveBank(std::string installFolder) : installFolder_(std::move(installFolder)) { build(); }

void WaveBank::build()
{
    if (installFolder_.empty()) {
        return;
    }
    for (const std::string& file : listFiles(installFolder_ + "waves\\*.vfs")) {
        auto archive = std::make_unique<WaveArchive>();
        int code = archive->mount(installFolder_ + "waves\\" + file, kMountRead);
        if (code != kArchiveOk) {
            debugOutput("wave archive " + file + ": " + errorText(code));
            continue;
        }
        if (archive->majorVersion() == 0) {
            showMessage(kMsgWavetablesOutdated);
            break;
        }
        if (archive->damagedTail()) {
            debugOutput("wave archive " + file + ": damaged after its last readable entry");
        }
        archives_.push_back(std::move(archive));
    }
    for (const std::string& file : listFiles(installFolder_ + "waves\\External\\*.txt")) {
        std::optional<std::vector<std::uint8_t>> bytes =
            readWholeFile(installFolder_ + "waves\\External\\" + file, kLargestDescription);
        if (!bytes) {
            debugOutput("external wave " + file + ": cannot be read");
            continue;
        }
        std::string group = ExternalWaveSource::groupName(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        externalGroups_[group.empty() ? std::string("External") : group].push_back(file);
    }
}

std::vector<ArchiveListing> WaveBank::archiveListings() const
{
    std::vector<ArchiveListing> listings;
    for (const auto& archive : archives_) {
        ArchiveListing listing;
        listing.archiveName = archive->name();
        for (const ArchiveEntry& entry : archive->entries()) {
            if (isWaveDescriptionEntry(entry.name) && archive->findEntry(entry.name) == &entry) {
                listing.waveNames.push_back(entry.name);
            }
        }
        listings.push_back(std::move(listing));
    }
    return listings;
}

std::vector<ExternalWave> WaveBank::externalWaves() const
{
    std::vector<ExternalWave> waves;
    for (const auto& [group, files] : externalGroups_) {
        for (const std::string& file : files) {
            waves.push_back({group, file, externalWaveName(group, file)});
        }
    }
    return waves;
}

int WaveBank::externalWaveCount() const
{
    int count = 0;
    for (const auto& group : externalGroups_) {
        count += static_cast<int>(group.second.size());
    }
    return count;
}

int WaveBank::decode(std::string_view name, std::shared_ptr<const Wave>& wave, bool& external)
{
    external = false;
    int result = kArchiveFileNotFound;
    if (isWaveDescriptionEntry(name)) {
        for (const auto& archive : archives_) {
            if (archive->findEntry(name) == nullptr) {
                continue;
            }
            ArchiveWaveSource source(*archive);
            int code = loadWaveFromSource(source, name, wave);
            if (code == kArchiveOk) {
                return kArchiveOk;
            }
            if (result == kArchiveFileNotFound) {
                result = code;
            }
        }
    }
    for (const auto& [group, files] : externalGroups_) {
        for (const std::string& file : files) {
            if (externalWaveName(group, file) == name) {
                ExternalWaveSource source(installFolder_);
                int code = loadWaveFromSource(source, file, wave);
                external = code == kArchiveOk;
                // An archive's failure says more than a second failure here.
                return code == kArchiveOk || result == kArchiveFileNotFound ? code : result;
            }
        }
    }
    return result;
}

int WaveBank::findWave(std::string_view name, std::shared_ptr<const Wave>& wave)
{
    if (name.empty()) {
        return kArchiveFileNotFound;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto cached = cache_.find(name);
    if (cached != cache_.end() && !cached->second.external) {
        wave = cached->second.wave;
        return kArchiveOk;
    }
    std::shared_ptr<const Wave> decoded;
    bool external = false;
    int code = decode(name, decoded, external);
    if (code != kArchiveOk) {
        return code;
    }
    try {
        cache_[std::string(name)] = CachedWave{decoded, external};
    } catch (const std::bad_alloc&) {
        // Not cached: the wave still loads.
    }
    wave = std::move(decoded);
    return kArchiveOk;
}

int WaveBank::loadWave(std::string_view name, WaveSlot& slot)
{
    if (name.empty()) {
        return kArchiveFileNotFound;
    }
    std::shared_ptr<const Wave> wave;
    int code = findWave(name, wave);
    if (code != kArchiveOk) {
        showMessage(kMsgWaveformNotLoaded, std::string(name) + ":" + errorText(code));
        return code;
    }
    slot.replace(std::move(wave));
    return kArchiveOk;
}

bool WaveBank::loadCachedWave(std::string_view name, WaveSlot& slot, std::shared_ptr<const Wave>& previous) noexcept
{
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) {
        return false;
    }
    auto cached = cache_.find(name);
    if (cached == cache_.end()) {
        return false;
    }
    previous = slot.replace(cached->second.wave);
    return true;
}

}  // namespace pelko
