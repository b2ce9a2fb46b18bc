// content-waves OUTPUT_FOLDER: writes the factory wave archives into OUTPUT_FOLDER and the example
// external wave into OUTPUT_FOLDER/External. Every sample entry is compressed with the sample
// codec; descriptions are stored. Files are replaced atomically; the output is the same on every
// run.
#include "band_limited_wave.h"
#include "wave_families.h"

#include "platform/file_system.h"
#include "wave/archive_errors.h"
#include "wave/archive_format.h"

#include <iostream>

namespace {

void append16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// A plain integer PCM WAV file (format tag 1) of two channels.
std::vector<std::uint8_t> stereoWav(const content_waves::ExternalExample& example)
{
    const unsigned bytesPerSample = static_cast<unsigned>(example.bits / 8);
    const auto dataSize = static_cast<std::uint32_t>(example.left.size() * 2 * bytesPerSample);
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
    pelko::appendLittleEndian32(out, 36 + dataSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    pelko::appendLittleEndian32(out, 16);
    append16(out, 1);
    append16(out, 2);
    pelko::appendLittleEndian32(out, 44100);
    pelko::appendLittleEndian32(out, 44100 * 2 * bytesPerSample);
    append16(out, 2 * bytesPerSample);
    append16(out, static_cast<unsigned>(example.bits));
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    pelko::appendLittleEndian32(out, dataSize);
    for (std::size_t i = 0; i < example.left.size(); ++i) {
        for (std::int32_t sample : {example.left[i], example.right[i]}) {
            auto u = static_cast<std::uint32_t>(sample);
            for (unsigned b = 0; b < bytesPerSample; ++b) {
                out.push_back(static_cast<std::uint8_t>(u >> (8 * b)));
            }
        }
    }
    return out;
}

bool addEntry(std::vector<std::uint8_t>& image, const std::string& name, const void* data, std::size_t size,
              int method)
{
    int code = pelko::appendArchiveEntry(image, name, static_cast<const std::uint8_t*>(data), size, method);
    if (code != pelko::kArchiveOk) {
        std::cerr << "content-waves: entry " << name << ": " << pelko::errorText(code) << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: content-waves OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    if (!pelko::makeFolders(folder + "External")) {
        std::cerr << "content-waves: cannot create " << folder << "External\n";
        return 1;
    }
    int waves = 0;
    for (const content_waves::ArchiveRecipe& archive : content_waves::factoryArchives()) {
        std::vector<std::uint8_t> image = pelko::newArchiveHeader();
        for (const content_waves::WaveRecipe& recipe : archive.waves) {
            std::vector<content_waves::BuiltZone> zones = content_waves::synthesize(recipe);
            std::string description = content_waves::descriptionText(recipe, zones);
            if (!addEntry(image, recipe.name, description.data(), description.size(), pelko::kMethodStored)) {
                return 1;
            }
            for (std::size_t z = 0; z < zones.size(); ++z) {
                // The codec reads little-endian bytes: build them explicitly.
                std::vector<std::uint8_t> bytes;
                bytes.reserve(zones[z].samples.size() * 2);
                for (std::int16_t s : zones[z].samples) {
                    append16(bytes, static_cast<std::uint16_t>(s));
                }
                if (!addEntry(image, content_waves::sampleEntryName(recipe.name, z), bytes.data(), bytes.size(),
                              pelko::kMethodSampleCodec)) {
                    return 1;
                }
            }
            ++waves;
        }
        if (!pelko::writeFileAtomically(folder + archive.fileName, image)) {
            std::cerr << "content-waves: cannot write " << folder << archive.fileName << "\n";
            return 1;
        }
    }
    content_waves::ExternalExample example = content_waves::externalExample();
    if (!pelko::writeFileAtomically(folder + "External/" + example.wavFile, stereoWav(example)) ||
        !pelko::writeFileAtomically(folder + "External/" + example.descriptionFile, example.description)) {
        std::cerr << "content-waves: cannot write the external example in " << folder << "External\n";
        return 1;
    }
    std::cout << "content-waves: " << waves << " waves written to " << folder << "\n";
    return 0;
}
