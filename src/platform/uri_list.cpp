#include "platform/uri_list.h"

#include <unistd.h>

#include <climits>

namespace pelko {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool isThisHost(std::string_view host)
{
    if (host.empty() || host == "localhost") {
        return true;
    }
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return false;
    }
    return host == name;
}

}  // namespace

std::string filePathFromUri(std::string_view uri)
{
    if (!startsWithNoCase(uri, "file:")) {
        return {};
    }
    std::string_view rest = uri.substr(5);
    if (rest.substr(0, 2) == "//") {
        // An authority: the host must be this one; the path starts at the next '/'.
        rest.remove_prefix(2);
        std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos || !isThisHost(rest.substr(0, slash))) {
            return {};
        }
        rest.remove_prefix(slash);
    }
    // A query or fragment is no part of a file's name.
    std::size_t end = rest.find_first_of("?#");
    if (end != std::string_view::npos) {
        rest = rest.substr(0, end);
    }
    if (rest.empty() || rest.front() != '/') {
        return {};
    }
    std::string path;
    path.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        char c = rest[i];
        if (c == '%') {
            int high = i + 2 < rest.size() ? hexValue(rest[i + 1]) : -1;
            int low = i + 2 < rest.size() ? hexValue(rest[i + 2]) : -1;
            if (high < 0 || low < 0) {
                return {};
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0') {
            return {};
        }
        path.push_back(c);
    }
    return path;
}

std::vector<std::string> filePathsFromUriList(std::string_view list, std::size_t maxPaths)
{
    std::vector<std::string> paths;
    while (!list.empty() && paths.size() < maxPaths) {
        std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view{} : list.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::string path = filePathFromUri(line);
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

}  // namespace pelko
