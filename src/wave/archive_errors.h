// Result codes of the wave storage operations (archives, wave loading) and their texts.
#pragma once

namespace pelko {

enum ArchiveError : int {
    kArchiveOk = 0,
    kArchiveOutOfMemory = 1,
    kArchiveBadFormat = 2,       // not an archive (unknown magic)
    kArchiveFileNotFound = 3,    // missing file, entry or wave
    kArchiveNotMounted = 4,
    kArchiveBadCrc = 5,
    kArchiveBadOffset = 6,       // entry data missing, inconsistent or undecodable
    kArchiveReadError = 7,
    kArchiveAlreadyPresent = 8,  // an entry of that name exists
    kArchiveBadFileFormat = 9,   // a wave description or sample file that cannot be used
};

// The message for a code: "" for success, "Out of memory", "Bad format", … ; unknown codes give
// the text of "Bad format".
const char* errorText(int code);

}  // namespace pelko
