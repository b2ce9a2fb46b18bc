// Files and folders. Paths may be built with either separator; a backslash becomes '/' before the
// disk is touched. Names that are data (wave names, archive entries) never pass through here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

// Turns every '\' into '/'.
std::string nativePath(std::string_view path);

// Everything before the last separator ('\' or '/'), without it; empty when there is none.
std::string folderPart(std::string_view path);
// Everything after the last separator.
std::string fileNamePart(std::string_view path);

// Lists the regular files matching a pattern: the last path component may hold '*' and '?'.
// Returns the file names (not full paths), sorted by name so that listings are deterministic.
std::vector<std::string> listFiles(std::string_view patternPath);

bool fileExists(std::string_view path);
bool folderExists(std::string_view path);
bool makeFolders(std::string_view path);

// Whether this process may create, replace and remove files in the folder, and whether it may
// write an existing file. Both ask the system (access with W_OK): permission bits for ordinary
// users, a read-only mount for everyone. False when the folder or file does not exist.
bool folderWritable(std::string_view path);
bool fileWritable(std::string_view path);

// Test seam: makes folderWritable and fileWritable report this folder and everything below it as
// not writable, as its permission bits would for a user other than root (tests run as root, where
// the bits stop nothing). An empty folder ends the simulation.
void simulateReadOnlyFolder(std::string_view folder);

// Reads a whole file. None when it cannot be opened or read, or when it is larger than maxBytes.
std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path,
                                                      std::size_t maxBytes = std::size_t(1) << 30);

// Replaces a file atomically: writes a temporary file beside it, flushes it to disk, then renames it
// over the target. When any step fails the previous file is left as it was and false is returned.
bool writeFileAtomically(std::string_view path, const void* data, std::size_t size);
inline bool writeFileAtomically(std::string_view path, const std::vector<std::uint8_t>& bytes)
{
    return writeFileAtomically(path, bytes.data(), bytes.size());
}
bool writeFileAtomically(std::string_view path, std::string_view text);

// Test seam: makes the next atomic writes fail after writing this many bytes of the temporary file
// (negative: never fail).
void failAtomicWritesAfter(long long bytes);

}  // namespace pelko
