// One mounted wavetable archive: its file stays open while mounted, its directory of entries is
// built once at mount time (one pass over the entry headers, skipping the data), and entries are
// read and unpacked on demand. Every operation returns an ArchiveError code.
//
// Not thread-safe: one thread at a time (the wave bank serialises its loads).
#pragma once

#include "wave/archive_format.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelko {

enum ArchiveMountMode : int {
    kMountRead = 0,    // read only (what the plug-in uses)
    kMountAppend = 1,  // read, and add entries
    kMountCreate = 2,  // write a new empty archive, then mount it for adding
};

struct ArchiveEntry {
    std::string name;
    std::uint8_t flags = 0;
    std::uint32_t unpackedSize = 0;  // bytes
    std::uint32_t packedSize = 0;    // bytes of data in the file
    std::uint32_t checksum = 0;
    std::uint64_t dataPosition = 0;  // file offset of the first data byte

    int method() const { return flags & 0x0F; }
};

struct NewArchiveEntry {
    std::string name;
    std::vector<std::uint8_t> data;  // unpacked bytes
    int method = kMethodStored;
};

class WaveArchive {
public:
    WaveArchive() = default;
    ~WaveArchive();
    WaveArchive(const WaveArchive&) = delete;
    WaveArchive& operator=(const WaveArchive&) = delete;

    // Mounts the archive at path (either separator). Anything mounted before is unmounted first.
    // 3 when the file cannot be opened (or, for mode 2, created), 2 when it is no archive.
    int mount(std::string_view path, int mode);
    // Mounts an archive image held in memory, read only (the bytes are copied).
    int mountMemory(const std::uint8_t* data, std::size_t size, std::string_view name);
    void unmount();

    // Reads an entry: buffer receives the unpacked bytes followed by one 0 byte (so text entries
    // can be used as strings), size the number of unpacked bytes. On failure buffer is empty.
    // 4 not mounted, 3 no such entry, 1 size beyond what a wave can need, 6 data missing or not
    // decodable, 5 checksum mismatch.
    int readEntry(std::string_view name, std::vector<std::uint8_t>& buffer, std::size_t& size);

    // Adds entries (modes 1 and 2). The archive file is replaced atomically with the old entries
    // followed by the new ones, then mounted again. 8 when a name exists already (in the archive
    // or twice in the batch), 9 for an unusable name, method or size, 7 when the file cannot be
    // written; nothing is changed on failure.
    int addEntries(const std::vector<NewArchiveEntry>& entries);
    int addEntry(std::string_view name, const std::uint8_t* data, std::size_t size, int method);

    bool mounted() const { return mounted_; }
    // The file name without folders.
    const std::string& name() const { return name_; }
    int majorVersion() const { return majorVersion_; }
    int minorVersion() const { return minorVersion_; }
    // The entries in file order.
    const std::vector<ArchiveEntry>& entries() const { return entries_; }
    const ArchiveEntry* findEntry(std::string_view name) const;
    // Whether the directory walk stopped at a damaged or incomplete entry (the entries before it
    // are usable).
    bool damagedTail() const { return damagedTail_; }
    std::uint64_t fileSize() const { return fileSize_; }

    // The largest unpacked entry that is read (a wave zone is far smaller); larger sizes are
    // refused as out of memory before anything is allocated.
    static constexpr std::uint32_t kLargestEntry = 256u << 20;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    int mountOpenFile(std::FILE* file, std::string_view path, int mode);
    void buildDirectory();
    int readPacked(const ArchiveEntry& entry, std::vector<std::uint8_t>& packed);

    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> memoryImage_;
    std::string path_;
    std::string name_;
    int mode_ = kMountRead;
    bool mounted_ = false;
    bool damagedTail_ = false;
    int majorVersion_ = 0;
    int minorVersion_ = 0;
    std::uint64_t fileSize_ = 0;
    std::vector<ArchiveEntry> entries_;
    std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> index_;
};

}  // namespace pelko
