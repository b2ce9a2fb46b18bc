// The commands of pelko-vfs. Each writes its report to out, its problems (naming the file and the
// reason) to err, and returns the process exit code: 0 success, 1 failure.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vfs_tool {

// How files are added: by their extension (".wav" is converted to samples and compressed as
// "<name>.pcm", ".pcm" is compressed, ".txt" is a wave description stored under its name without
// ".txt", anything else is stored), or every file stored / compressed byte for byte.
enum class AddMode { ByExtension, Stored, Compressed };

struct AddOptions {
    AddMode mode = AddMode::ByExtension;
    std::string entryName;  // for a single file: the entry name to use
};

int createArchive(const std::string& archive, bool replace, std::ostream& out, std::ostream& err);
int addFiles(const std::string& archive, const std::vector<std::string>& files, const AddOptions& options,
             std::ostream& out, std::ostream& err);
int listArchive(const std::string& archive, std::ostream& out, std::ostream& err);
int extractEntries(const std::string& archive, const std::string& folder, const std::vector<std::string>& entries,
                   std::ostream& out, std::ostream& err);
int verifyArchive(const std::string& archive, std::ostream& out, std::ostream& err);

// The entry name a file is added under: its path as given, with '/' turned into '\' (so a folder
// tree on disk becomes the groups of the archive), without a leading "./" or absolute folders.
std::string entryNameForPath(const std::string& path);

}  // namespace vfs_tool
