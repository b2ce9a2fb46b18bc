#include "wave/archive_errors.h"

namespace pelko {

const char* errorText(int code)
{
    switch (code) {
    case kArchiveOk: return "";
    case kArchiveOutOfMemory: return "Out of memory";
    case kArchiveBadFormat: return "Bad format";
    case kArchiveFileNotFound: return "File not found";
    case kArchiveNotMounted: return "Vfs not mounted";
    case kArchiveBadCrc: return "Bad crc";
    case kArchiveBadOffset: return "Bad offset";
    case kArchiveReadError: return "Read error";
    case kArchiveAlreadyPresent: return "File is already present";
    case kArchiveBadFileFormat: return "Bad file format";
    default: return "Bad format";
    }
}

}  // namespace pelko
