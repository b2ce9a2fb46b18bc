// The file list of a drag and drop: a "text/uri-list" (one URI a line, CR LF or LF between lines,
// lines starting with '#' are comments) turned into the local paths it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelko {

// The paths of the file URIs of this machine ("file:///p", "file:/p", "file://localhost/p" or
// "file://<this host>/p"), percent-escapes decoded. Entries that are not local file URIs, that
// carry a malformed escape, or whose path would hold a NUL byte or is not absolute are left out.
// At most maxPaths paths are returned.
std::vector<std::string> filePathsFromUriList(std::string_view list, std::size_t maxPaths = 4096);

// One "file:" URI's path, or empty when it is none of this machine's (as above).
std::string filePathFromUri(std::string_view uri);

}  // namespace pelko
