#include "wave/wave_archive.h"

#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "wave/archive_checksum.h"
#include "wave/archive_errors.h"
#include "wave/sample_codec.h"

#include <cstring>
#include <new>
#include <set>

namespace pelko {

WaveArchive::~WaveArchive() { unmount(); }

void WaveArchive::unmount()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    memoryImage_.clear();
    memoryImage_.shrink_to_fit();
    path_.clear();
    name_.clear();
    mode_ = kMountRead;
    mounted_ = false;
    damagedTail_ = false;
    majorVersion_ = minorVersion_ = 0;
    fileSize_ = 0;
    entries_.clear();
    index_.clear();
}

int WaveArchive::mount(std::string_view path, int mode)
{
    unmount();
    if (mode != kMountRead && mode != kMountAppend && mode != kMountCreate) {
        return kArchiveFileNotFound;
    }
    if (mode == kMountCreate) {
        if (!writeFileAtomically(path, newArchiveHeader())) {
            return kArchiveFileNotFound;
        }
        mode = kMountAppend;
    }
    // Additions replace the whole file atomically, so even an archive mounted for adding is only
    // ever opened for reading.
    std::FILE* file = std::fopen(nativePath(path).c_str(), "rb");
    if (file == nullptr) {
        return kArchiveFileNotFound;
    }
    return mountOpenFile(file, path, mode);
}

int WaveArchive::mountMemory(const std::uint8_t* data, std::size_t size, std::string_view name)
{
    unmount();
    if (size < 4) {
        return kArchiveBadFormat;
    }
    memoryImage_.assign(data, data + size);
    std::FILE* file = ::fmemopen(memoryImage_.data(), memoryImage_.size(), "rb");
    if (file == nullptr) {
        memoryImage_.clear();
        return kArchiveOutOfMemory;
    }
    int code = mountOpenFile(file, name, kMountRead);
    path_.clear();  // nothing to write back to
    return code;
}

int WaveArchive::mountOpenFile(std::FILE* file, std::string_view path, int mode)
{
    file_ = file;
    std::uint64_t size = 0;
    if (::fseeko(file_, 0, SEEK_END) == 0) {
        off_t end = ::ftello(file_);
        size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
    std::rewind(file_);
    std::uint8_t magic[4];
    int major = 0;
    int minor = 0;
    if (std::fread(magic, 1, 4, file_) != 4) {
        unmount();
        return kArchiveBadFormat;
    }
    if (std::memcmp(magic, kArchiveMagic, 4) == 0) {
        std::uint8_t version[8];
        if (std::fread(version, 1, 8, file_) != 8) {
            unmount();
            return kArchiveBadFormat;
        }
        major = static_cast<std::int32_t>(readLittleEndian32(version));
        minor = static_cast<std::int32_t>(readLittleEndian32(version + 4));
    } else if (std::memcmp(magic, kOldArchiveMagic, 4) != 0) {
        unmount();
        return kArchiveBadFormat;
    }
    path_ = std::string(path);
    name_ = fileNamePart(path);
    mode_ = mode;
    fileSize_ = size;
    majorVersion_ = major;
    minorVersion_ = minor;
    buildDirectory();
    mounted_ = true;
    return kArchiveOk;
}

void WaveArchive::buildDirectory()
{
    std::string name;
    for (;;) {
        name.clear();
        bool terminated = false;
        int c;
        while ((c = std::getc(file_)) != EOF) {
            if (c == 0) {
                terminated = true;
                break;
            }
            if (name.size() >= kLongestEntryName) {
                damagedTail_ = true;
                return;
            }
            name.push_back(static_cast<char>(c));
        }
        if (!terminated) {
            damagedTail_ = !name.empty();
            return;
        }
        std::uint8_t header[kEntryHeaderSize];
        if (std::fread(header, 1, kEntryHeaderSize, file_) != kEntryHeaderSize) {
            damagedTail_ = true;
            return;
        }
        ArchiveEntry entry;
        entry.name = name;
        entry.flags = header[0];
        entry.unpackedSize = readLittleEndian32(header + 1);
        entry.packedSize = readLittleEndian32(header + 5);
        entry.checksum = readLittleEndian32(header + 9);
        off_t position = ::ftello(file_);
        entry.dataPosition = position > 0 ? static_cast<std::uint64_t>(position) : 0;
        bool complete = entry.dataPosition <= fileSize_ && entry.packedSize <= fileSize_ - entry.dataPosition;
        if (index_.find(name) == index_.end()) {
            index_.emplace(name, entries_.size());
        } else {
            debugOutput("wave archive " + name_ + ": duplicate entry \"" + name + "\" ignored");
        }
        std::uint32_t packed = entry.packedSize;
        entries_.push_back(std::move(entry));
        // An entry whose data runs past the end stays listed (reading it reports the damage), but
        // nothing after it can be found.
        if (!complete || ::fseeko(file_, static_cast<off_t>(packed), SEEK_CUR) != 0) {
            damagedTail_ = true;
            return;
        }
    }
}

const ArchiveEntry* WaveArchive::findEntry(std::string_view name) const
{
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

int WaveArchive::readPacked(const ArchiveEntry& entry, std::vector<std::uint8_t>& packed)
{
    try {
        packed.resize(entry.packedSize);
    } catch (const std::bad_alloc&) {
        return kArchiveOutOfMemory;
    }
    if (::fseeko(file_, static_cast<off_t>(entry.dataPosition), SEEK_SET) != 0 ||
        std::fread(packed.data(), 1, packed.size(), file_) != packed.size()) {
        return kArchiveBadOffset;
    }
    return kArchiveOk;
}

int WaveArchive::readEntry(std::string_view name, std::vector<std::uint8_t>& buffer, std::size_t& size)
{
    buffer.clear();
    size = 0;
    if (!mounted_) {
        return kArchiveNotMounted;
    }
    const ArchiveEntry* entry = findEntry(name);
    if (entry == nullptr) {
        return kArchiveFileNotFound;
    }
    if (entry->unpackedSize > kLargestEntry) {
        return kArchiveOutOfMemory;
    }
    if (entry->dataPosition > fileSize_ || entry->packedSize > fileSize_ - entry->dataPosition) {
        return kArchiveBadOffset;
    }
    const int method = entry->method();
    if ((method == kMethodStored && entry->packedSize != entry->unpackedSize) ||
        (method != kMethodStored && method != kMethodSampleCodec)) {
        return kArchiveBadOffset;
    }
    std::vector<std::uint8_t> packed;
    if (int code = readPacked(*entry, packed); code != kArchiveOk) {
        return code;
    }
    if (method == kMethodSampleCodec && !packedSizeConsistent(packed.data(), packed.size(), entry->unpackedSize)) {
        return kArchiveBadOffset;
    }
    std::vector<std::uint8_t> out;
    if (method == kMethodStored) {
        packed.push_back(0);
        out = std::move(packed);
    } else {
        try {
            out.resize(std::size_t(entry->unpackedSize) + 1);
        } catch (const std::bad_alloc&) {
            return kArchiveOutOfMemory;
        }
        if (!decodeSamples(packed.data(), packed.size(), out.data(), entry->unpackedSize)) {
            return kArchiveBadOffset;
        }
        out[entry->unpackedSize] = 0;
    }
    if (archiveChecksum(out.data(), entry->unpackedSize) != entry->checksum) {
        return kArchiveBadCrc;
    }
    size = entry->unpackedSize;
    buffer = std::move(out);
    return kArchiveOk;
}

int WaveArchive::addEntries(const std::vector<NewArchiveEntry>& entries)
{
    if (!mounted_) {
        return kArchiveNotMounted;
    }
    if (mode_ == kMountRead || path_.empty()) {
        return kArchiveReadError;
    }
    // New entries after a damaged end could never be found again.
    if (damagedTail_) {
        return kArchiveBadOffset;
    }
    std::set<std::string_view> batch;
    for (const NewArchiveEntry& entry : entries) {
        if (findEntry(entry.name) != nullptr || !batch.insert(entry.name).second) {
            return kArchiveAlreadyPresent;
        }
    }
    std::vector<std::uint8_t> image;
    try {
        image.resize(fileSize_);
    } catch (const std::bad_alloc&) {
        return kArchiveOutOfMemory;
    }
    std::rewind(file_);
    if (std::fread(image.data(), 1, image.size(), file_) != image.size()) {
        return kArchiveReadError;
    }
    for (const NewArchiveEntry& entry : entries) {
        if (int code = appendArchiveEntry(image, entry.name, entry.data.data(), entry.data.size(), entry.method);
            code != kArchiveOk) {
            return code;
        }
    }
    std::string path = path_;
    int mode = mode_;
    if (!writeFileAtomically(path, image)) {
        return kArchiveReadError;
    }
    return mount(path, mode);
}

int WaveArchive::addEntry(std::string_view name, const std::uint8_t* data, std::size_t size, int method)
{
    NewArchiveEntry entry;
    entry.name = std::string(name);
    entry.data.assign(data, data + size);
    entry.method = method;
    return addEntries({entry});
}

}  // namespace pelko
