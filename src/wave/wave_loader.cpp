#include "wave/wave_loader.h"

#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/threads.h"
#include "wave/archive_errors.h"
#include "wave/wav_file.h"
#include "wave/wave_archive.h"
#include "wave/wave_description.h"

#include <new>

namespace pelko {
namespace {

// Descriptions are a few lines; anything larger is no description.
constexpr std::size_t kLargestDescription = 1 << 20;

// The parser's and the loop check's own boxes. Loading belongs off the audio thread; should it
// happen there anyway, the text goes to the diagnostics rather than into a dialog that would
// stop the audio.
void showLoaderMessage(const std::string& text, const std::string& caption)
{
    if (onAudioThread()) {
        debugOutput(caption + ": " + text);
    } else {
        showPlainMessage(text, caption);
    }
}

bool isAbsolutePath(std::string_view name)
{
    return (!name.empty() && (name.front() == '/' || name.front() == '\\')) || (name.size() > 1 && name[1] == ':');
}

}  // namespace

int ArchiveWaveSource::readText(std::string_view name, std::string& text)
{
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    int code = archive_.readEntry(name, buffer, size);
    if (code == kArchiveOk) {
        text.assign(reinterpret_cast<const char*>(buffer.data()), size);
    }
    return code;
}

int ArchiveWaveSource::readSamples(std::string_view name, std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> buffer;
    std::size_t size = 0;
    int code = archive_.readEntry(name, buffer, size);
    if (code != kArchiveOk) {
        return code;
    }
    try {
        samples.reserve(size / 2 + Wave::kGuardSamples);
        samples.resize(size / 2);
    } catch (const std::bad_alloc&) {
        return kArchiveOutOfMemory;
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
    }
    return kArchiveOk;
}

std::string ExternalWaveSource::groupName(std::string_view descriptionText)
{
    std::string_view line = descriptionText.substr(0, descriptionText.find_first_of(std::string_view("\r\n\0", 3)));
    return std::string(line.substr(0, 255));
}

int ExternalWaveSource::readText(std::string_view name, std::string& text)
{
    if (installFolder_.empty()) {
        return kArchiveOutOfMemory;
    }
    std::string path = installFolder_ + "waves\\External\\" + std::string(name);
    if (!fileExists(path)) {
        return kArchiveFileNotFound;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestDescription);
    if (!bytes) {
        return kArchiveReadError;
    }
    std::string_view all(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    std::size_t lineEnd = all.find_first_of("\r\n");
    text.assign(lineEnd == std::string_view::npos ? std::string_view() : all.substr(lineEnd));
    return kArchiveOk;
}

int ExternalWaveSource::readSamples(std::string_view name, std::vector<std::int16_t>& samples)
{
    std::string path = isAbsolutePath(name) ? std::string(name) : installFolder_ + "waves\\External\\" + std::string(name);
    WavFile wav;
    if (!wav.open(path)) {
        debugOutput("wave file " + std::string(name) + ": " + wav.problem());
        return wav.errorCode();
    }
    // A data chunk that claims more than the file holds is a damaged file: refuse it before
    // allocating what it claims.
    if (wav.availableDataSize() < wav.dataSize()) {
        debugOutput("wave file " + std::string(name) + ": the data chunk runs past the end of the file");
        return kArchiveReadError;
    }
    const auto frames = static_cast<std::size_t>(wav.frameCount());
    try {
        samples.reserve(frames + Wave::kGuardSamples);
        samples.resize(frames);
    } catch (const std::bad_alloc&) {
        return kArchiveOutOfMemory;
    }
    std::size_t frameBytes = static_cast<std::size_t>(wav.channels() * (wav.bitsPerSample() / 8));
    if (wav.read(samples.data()) < frames * frameBytes) {
        return kArchiveReadError;
    }
    return kArchiveOk;
}

int loadWaveFromSource(WaveSource& source, std::string_view descriptionName, std::shared_ptr<const Wave>& result)
{
    std::string text;
    if (int code = source.readText(descriptionName, text); code != kArchiveOk) {
        return code;
    }
    WaveDescription description = parseWaveDescription(text);
    if (!description.valid) {
        debugOutput(std::string(descriptionName) + ": " + description.diagnostic);
        if (!description.messageText.empty()) {
            showLoaderMessage(description.messageText, description.messageCaption);
        }
        return kArchiveBadFileFormat;
    }
    KeyMap keyMap{};  // keys that no zone covers play zone 0
    std::vector<ZoneSamples> zones;
    try {
        zones.resize(description.zones.size());
    } catch (const std::bad_alloc&) {
        return kArchiveOutOfMemory;
    }
    for (std::size_t i = 0; i < description.zones.size(); ++i) {
        const ZoneDescription& zone = description.zones[i];
        for (int key = zone.lowKey; key <= zone.highKey; ++key) {
            keyMap[static_cast<std::size_t>(key)] = static_cast<std::uint8_t>(i);
        }
        if (int code = source.readSamples(zone.sampleName, zones[i].samples); code != kArchiveOk) {
            return code;
        }
        if (zone.loopStart < 0 || static_cast<std::size_t>(zone.loopStart) >= zones[i].samples.size()) {
            showLoaderMessage("Loop point is out of range.", zone.sampleName);
            return kArchiveBadFileFormat;
        }
        zones[i].loopStart = zone.loopStart;
        zones[i].rootFrequency = zone.rootFrequency;
    }
    std::string problem;
    std::shared_ptr<const Wave> wave = Wave::build(std::move(zones), keyMap, &problem);
    if (!wave) {
        debugOutput(std::string(descriptionName) + ": " + problem);
        return problem == Wave::kOutOfMemory ? kArchiveOutOfMemory : kArchiveBadFileFormat;
    }
    result = std::move(wave);
    return kArchiveOk;
}

}  // namespace pelko
