#include "vfs_commands.h"

#include "platform/file_system.h"
#include "wave/archive_errors.h"
#include "wave/wav_file.h"
#include "wave/wave_archive.h"
#include "wave/wave_bank.h"
#include "wave/wave_description.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iomanip>
#include <set>

namespace vfs_tool {
namespace {

using pelko::ArchiveEntry;
using pelko::WaveArchive;

bool endsWith(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) {
            return false;
        }
    }
    return true;
}

std::string methodName(int method)
{
    switch (method) {
    case pelko::kMethodStored: return "stored";
    case pelko::kMethodSampleCodec: return "codec";
    default: return "method " + std::to_string(method);
    }
}

// Mounts an archive or reports why it cannot be mounted.
bool mountOrReport(WaveArchive& archive, const std::string& path, int mode, std::ostream& err)
{
    if (mode == pelko::kMountRead && !pelko::fileExists(path)) {
        err << "pelko-vfs: " << path << ": no such file\n";
        return false;
    }
    int code = archive.mount(path, mode);
    if (code != pelko::kArchiveOk) {
        err << "pelko-vfs: " << path << ": "
            << (code == pelko::kArchiveBadFormat ? "not a wave archive (unknown magic)" : pelko::errorText(code))
            << "\n";
        return false;
    }
    return true;
}

// Reads a WAV file into the samples an archive stores: 16-bit little-endian mono.
bool wavToSamples(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err)
{
    pelko::WavFile wav;
    if (!wav.open(path)) {
        err << "pelko-vfs: " << path << ": " << wav.problem() << "\n";
        return false;
    }
    if (wav.availableDataSize() < wav.dataSize()) {
        err << "pelko-vfs: " << path << ": the data chunk runs past the end of the file\n";
        return false;
    }
    std::vector<std::int16_t> samples(static_cast<std::size_t>(wav.frameCount()));
    wav.read(samples.data());
    bytes.clear();
    for (std::int16_t s : samples) {
        bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((static_cast<std::uint16_t>(s) >> 8) & 0xFF));
    }
    return true;
}

// An entry name that is safe to turn into a path below the output folder.
bool safeRelativePath(const std::string& name)
{
    if (name.empty() || name.front() == '\\' || name.front() == '/' || (name.size() > 1 && name[1] == ':')) {
        return false;
    }
    std::string native = pelko::nativePath(name);
    std::size_t start = 0;
    while (start <= native.size()) {
        std::size_t end = native.find('/', start);
        std::string part = native.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string entryNameForPath(const std::string& path)
{
    std::string name = path;
    while (name.rfind("./", 0) == 0) {
        name.erase(0, 2);
    }
    bool climbs = name.find("..") != std::string::npos;
    if (name.empty() || name.front() == '/' || climbs) {
        name = pelko::fileNamePart(path);
    }
    for (char& c : name) {
        if (c == '/') {
            c = '\\';
        }
    }
    return name;
}

int createArchive(const std::string& archive, bool replace, std::ostream& out, std::ostream& err)
{
    if (pelko::fileExists(archive) && !replace) {
        err << "pelko-vfs: " << archive << ": exists already (use --force to replace it)\n";
        return 1;
    }
    WaveArchive created;
    if (created.mount(archive, pelko::kMountCreate) != pelko::kArchiveOk) {
        err << "pelko-vfs: " << archive << ": cannot be written: " << std::strerror(errno) << "\n";
        return 1;
    }
    out << archive << ": created (version " << created.majorVersion() << "." << created.minorVersion() << ")\n";
    return 0;
}

int addFiles(const std::string& archive, const std::vector<std::string>& files, const AddOptions& options,
             std::ostream& out, std::ostream& err)
{
    WaveArchive target;
    if (!pelko::fileExists(archive)) {
        err << "pelko-vfs: " << archive << ": no such file (create it first)\n";
        return 1;
    }
    if (!mountOrReport(target, archive, pelko::kMountAppend, err)) {
        return 1;
    }
    std::vector<pelko::NewArchiveEntry> entries;
    for (const std::string& file : files) {
        pelko::NewArchiveEntry entry;
        entry.name = options.entryName.empty() ? entryNameForPath(file) : options.entryName;
        AddMode mode = options.mode;
        if (mode == AddMode::ByExtension && endsWith(file, ".wav")) {
            if (!wavToSamples(file, entry.data, err)) {
                return 1;
            }
            if (options.entryName.empty()) {
                entry.name = entry.name.substr(0, entry.name.size() - 4) + ".pcm";
            }
            entry.method = pelko::kMethodSampleCodec;
        } else {
            std::optional<std::vector<std::uint8_t>> bytes = pelko::readWholeFile(file, WaveArchive::kLargestEntry);
            if (!bytes) {
                err << "pelko-vfs: " << file << ": cannot be read"
                    << (pelko::fileExists(file) ? " (or it is larger than 256 MB)" : " (no such file)") << "\n";
                return 1;
            }
            entry.data = std::move(*bytes);
            bool compress = mode == AddMode::Compressed || (mode == AddMode::ByExtension && endsWith(file, ".pcm"));
            entry.method = compress ? pelko::kMethodSampleCodec : pelko::kMethodStored;
            if (mode == AddMode::ByExtension && endsWith(file, ".txt") && options.entryName.empty()) {
                entry.name.resize(entry.name.size() - 4);
            }
            if (compress && entry.data.size() % 2 != 0) {
                err << "pelko-vfs: " << file << ": cannot be compressed: the sample codec needs 16-bit samples "
                    << "(an even size), this file has " << entry.data.size() << " bytes\n";
                return 1;
            }
        }
        if (entry.name.empty() || entry.name.size() > pelko::kLongestEntryName) {
            err << "pelko-vfs: " << file << ": unusable entry name \"" << entry.name << "\"\n";
            return 1;
        }
        entries.push_back(std::move(entry));
    }
    std::set<std::string> names;
    for (const pelko::NewArchiveEntry& entry : entries) {
        if (target.findEntry(entry.name) != nullptr || !names.insert(entry.name).second) {
            err << "pelko-vfs: " << archive << ": an entry \"" << entry.name << "\" is already present\n";
            return 1;
        }
    }
    int code = target.addEntries(entries);
    if (code != pelko::kArchiveOk) {
        err << "pelko-vfs: " << archive << ": ";
        if (code == pelko::kArchiveReadError) {
            err << "cannot be written\n";
        } else if (code == pelko::kArchiveBadOffset) {
            err << "is damaged after its last readable entry; nothing was added (see verify)\n";
        } else {
            err << pelko::errorText(code) << "\n";
        }
        return 1;
    }
    for (const pelko::NewArchiveEntry& entry : entries) {
        const ArchiveEntry* added = target.findEntry(entry.name);
        out << "added " << entry.name << " (" << methodName(entry.method) << ", " << entry.data.size() << " -> "
            << (added != nullptr ? added->packedSize : 0) << " bytes)\n";
    }
    return 0;
}

int listArchive(const std::string& archive, std::ostream& out, std::ostream& err)
{
    WaveArchive source;
    if (!mountOrReport(source, archive, pelko::kMountRead, err)) {
        return 1;
    }
    out << archive << ": version " << source.majorVersion() << "." << source.minorVersion() << ", "
        << source.entries().size() << " entries\n";
    out << std::left << std::setw(8) << "method" << std::right << std::setw(11) << "unpacked" << std::setw(11)
        << "packed" << "  " << std::left << std::setw(10) << "checksum" << "name\n";
    int failures = 0;
    for (const ArchiveEntry& entry : source.entries()) {
        std::vector<std::uint8_t> data;
        std::size_t size = 0;
        std::string state;
        if (source.findEntry(entry.name) != &entry) {
            state = "duplicate";
            ++failures;
        } else {
            int code = source.readEntry(entry.name, data, size);
            state = code == pelko::kArchiveOk ? "ok" : code == pelko::kArchiveBadCrc ? "BAD" : "unreadable";
            failures += code != pelko::kArchiveOk;
        }
        out << std::left << std::setw(8) << methodName(entry.method()) << std::right << std::setw(11)
            << entry.unpackedSize << std::setw(11) << entry.packedSize << "  " << std::left << std::setw(10) << state
            << entry.name << "\n";
    }
    if (source.damagedTail()) {
        out << "(the archive is damaged after its last entry)\n";
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}

int extractEntries(const std::string& archive, const std::string& folder, const std::vector<std::string>& entries,
                   std::ostream& out, std::ostream& err)
{
    WaveArchive source;
    if (!mountOrReport(source, archive, pelko::kMountRead, err)) {
        return 1;
    }
    std::vector<std::string> names = entries;
    if (names.empty()) {
        for (const ArchiveEntry& entry : source.entries()) {
            if (source.findEntry(entry.name) == &entry) {
                names.push_back(entry.name);
            }
        }
    }
    std::string base = folder.empty() ? std::string(".") : folder;
    if (base.back() != '/') {
        base += '/';
    }
    int status = 0;
    for (const std::string& name : names) {
        if (!safeRelativePath(name)) {
            err << "pelko-vfs: " << archive << ": entry \"" << name << "\" has no safe file name; skipped\n";
            status = 1;
            continue;
        }
        std::vector<std::uint8_t> data;
        std::size_t size = 0;
        int code = source.readEntry(name, data, size);
        if (code != pelko::kArchiveOk) {
            err << "pelko-vfs: " << archive << ": entry \"" << name << "\": " << pelko::errorText(code) << "\n";
            status = 1;
            continue;
        }
        std::string path = base + pelko::nativePath(name);
        std::string parent = pelko::folderPart(path);
        if ((!parent.empty() && !pelko::makeFolders(parent)) || !pelko::writeFileAtomically(path, data.data(), size)) {
            err << "pelko-vfs: " << path << ": cannot be written: " << std::strerror(errno) << "\n";
            status = 1;
            continue;
        }
        out << "extracted " << path << " (" << size << " bytes)\n";
    }
    return status;
}

int verifyArchive(const std::string& archive, std::ostream& out, std::ostream& err)
{
    WaveArchive source;
    if (!mountOrReport(source, archive, pelko::kMountRead, err)) {
        return 1;
    }
    int problems = 0;
    auto problem = [&](const std::string& text) {
        err << "pelko-vfs: " << archive << ": " << text << "\n";
        ++problems;
    };
    if (source.majorVersion() == 0) {
        problem("outdated archive (version 0.0): the plug-in does not load it");
    }
    if (source.damagedTail()) {
        problem("damaged or truncated after entry " + std::to_string(source.entries().size()));
    }
    int waves = 0;
    for (const ArchiveEntry& entry : source.entries()) {
        if (source.findEntry(entry.name) != &entry) {
            problem("entry \"" + entry.name + "\" appears twice; only the first is used");
            continue;
        }
        std::vector<std::uint8_t> data;
        std::size_t size = 0;
        int code = source.readEntry(entry.name, data, size);
        if (code != pelko::kArchiveOk) {
            problem("entry \"" + entry.name + "\": " + pelko::errorText(code));
            continue;
        }
        if (!pelko::isWaveDescriptionEntry(entry.name)) {
            continue;
        }
        ++waves;
        pelko::WaveDescription description =
            pelko::parseWaveDescription(std::string_view(reinterpret_cast<const char*>(data.data()), size));
        if (!description.valid) {
            problem("wave \"" + entry.name + "\": " + description.diagnostic);
            continue;
        }
        for (const pelko::ZoneDescription& zone : description.zones) {
            const ArchiveEntry* samples = source.findEntry(zone.sampleName);
            if (samples == nullptr) {
                problem("wave \"" + entry.name + "\": no sample entry \"" + zone.sampleName + "\"");
            } else if (zone.loopStart < 0 || static_cast<std::uint32_t>(zone.loopStart) >= samples->unpackedSize / 2) {
                problem("wave \"" + entry.name + "\": loop start " + std::to_string(zone.loopStart) +
                        " is outside \"" + zone.sampleName + "\"");
            }
        }
    }
    if (problems > 0) {
        out << archive << ": " << problems << " problem" << (problems == 1 ? "" : "s") << "\n";
        return 1;
    }
    out << archive << ": ok (" << source.entries().size() << " entries, " << waves << " waves)\n";
    return 0;
}

}  // namespace vfs_tool
