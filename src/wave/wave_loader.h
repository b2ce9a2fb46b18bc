// Builds a wave from its description: the description names one sample source per zone, and a
// WaveSource supplies the description text and the samples. Two sources exist: the entries of an
// archive, and the files of the external waves folder (WAV files). Runs off the audio thread.
#pragma once

#include "wave/wave.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

class WaveArchive;

class WaveSource {
public:
    virtual ~WaveSource() = default;
    // The description text. Returns an ArchiveError code.
    virtual int readText(std::string_view name, std::string& text) = 0;
    // A zone's samples as signed 16-bit mono, without guard samples (capacity for them is
    // welcome). Returns an ArchiveError code.
    virtual int readSamples(std::string_view name, std::vector<std::int16_t>& samples) = 0;
};

// Descriptions and samples are entries of one archive; sample entries hold 16-bit little-endian
// samples.
class ArchiveWaveSource final : public WaveSource {
public:
    explicit ArchiveWaveSource(WaveArchive& archive) : archive_(archive) {}
    int readText(std::string_view name, std::string& text) override;
    int readSamples(std::string_view name, std::vector<std::int16_t>& samples) override;

private:
    WaveArchive& archive_;
};

// Descriptions are files in "waves\External" of the install folder; their first line is the
// name of the group the wave is listed in, the zone lines follow. Sample names are WAV files
// relative to that folder, or absolute paths.
class ExternalWaveSource final : public WaveSource {
public:
    explicit ExternalWaveSource(std::string installFolder) : installFolder_(std::move(installFolder)) {}
    // The description without its group line.
    int readText(std::string_view name, std::string& text) override;
    int readSamples(std::string_view name, std::vector<std::int16_t>& samples) override;

    // The group line of a description file: its first line, at most 255 characters.
    static std::string groupName(std::string_view descriptionText);

private:
    std::string installFolder_;
};

// Reads the description through the source and builds the wave. A description the parser rejects
// gives 9 (after the parser's own message box, when it has one); a loop start outside its
// zone shows "Loop point is out of range." titled with the sample name and gives 9; a source
// error ends the build with its code. result is set only on success.
int loadWaveFromSource(WaveSource& source, std::string_view descriptionName, std::shared_ptr<const Wave>& result);

}  // namespace pelko
