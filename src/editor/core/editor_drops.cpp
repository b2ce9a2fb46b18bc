// Files dropped on the editor from other programs. Views under the point (the lists) are offered
// the drop first; what none of them takes comes here. Only items that are absolute paths are files
// (drags inside the editor carry items such as "program:3"), and of those the first is loaded,
// by its extension:
//   ".fxp" into the current program's slot, ".fxb" as the bank, ".syx" through the bulk-dump
//   import, ".txt" as a text program into the current slot, ".wav" (on the additive page only)
//   analysed into the harmonics of the oscillator the page edits.
// Anything else, a folder, or a file that cannot be opened is refused with a message, and the
// loaded programs stay as they were.
#include "editor/core/editor.h"

#include "platform/file_system.h"
#include "platform/messages.h"
#include "storage/side_files.h"
#include "storage/sysex_import.h"
#include "storage/text_program.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace pelko {
namespace {

constexpr int kFirstAdditiveObject = 184;
constexpr const char* kDropHelp =
    "Files dropped on the editor can be programs (.fxp, .txt), banks (.fxb), bulk dumps (.syx), "
    "or WAV files (.wav) on the additive page.";

// The extension of the path's last component in lower case, with its dot; empty when none.
std::string lowerExtension(const std::string& path)
{
    const std::string name = fileNamePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return {};
    }
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool Editor::itemsDropped(DrawContext&, const std::vector<std::string>& items, Point)
{
    auto file = std::find_if(items.begin(), items.end(), [](const std::string& item) {
        return !item.empty() && item.front() == '/';
    });
    return file != items.end() && loadDroppedFile(*file);
}

bool Editor::loadDroppedFile(const std::string& path)
{
    // A folder, or a file gone before it could be read: nothing to load.
    if (!isRegularFile(path)) {
        showMessage(kMsgErrorOpening, path);
        return false;
    }
    const std::string extension = lowerExtension(path);
    ProgramHost& host = plugin_.programHost();
    const int slot = host.currentProgram();
    bool loaded = false;
    if (extension == ".fxp") {
        loaded = port_.loadProgramFile(path, slot);
    } else if (extension == ".fxb") {
        loaded = port_.loadBankFile(path);
    } else if (extension == ".syx") {
        loaded = importSysexFile(host, path);
    } else if (extension == ".txt") {
        loaded = importProgramText(host, slot, path);
        if (!loaded) {
            showMessage(kMsgErrorReading, path);
        }
    } else if (extension == ".wav" && currentPage_ == page::kAdditive) {
        const int object = kFirstAdditiveObject + additiveOscillator_;
        loaded = loadWavIntoAdditiveSettings(host, object, path);
        objectChanged(object);
    } else {
        showMessage(kMsgInvalidFormat, fileNamePart(path) + "\n" + kDropHelp);
        return false;
    }
    // What the load changed shows now rather than at the next idle.
    applyQueuedChanges();
    return loaded;
}

}  // namespace pelko
