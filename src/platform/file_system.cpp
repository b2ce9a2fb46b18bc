#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>

namespace pelko {
namespace {
std::atomic<long long> failAfterBytes{-1};

std::mutex readOnlyMutex;
std::string simulatedReadOnly;  // native path without a trailing '/'; empty: none

std::string withoutTrailingSeparator(std::string path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

bool simulatedAsReadOnly(const std::string& native)
{
    std::lock_guard lock(readOnlyMutex);
    if (simulatedReadOnly.empty()) {
        return false;
    }
    const std::string path = withoutTrailingSeparator(native);
    return path == simulatedReadOnly ||
           (path.size() > simulatedReadOnly.size() && path.compare(0, simulatedReadOnly.size(), simulatedReadOnly) == 0 &&
            path[simulatedReadOnly.size()] == '/');
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
}  // namespace

std::string nativePath(std::string_view path)
{
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string folderPart(std::string_view path)
{
    std::size_t pos = path.find_last_of("\\/");
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string fileNamePart(std::string_view path)
{
    std::size_t pos = path.find_last_of("\\/");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::vector<std::string> listFiles(std::string_view patternPath)
{
    std::string native = nativePath(patternPath);
    std::size_t slash = native.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".")
                         : slash == 0                ? std::string(1, '/')
                                                     : native.substr(0, slash);
    std::string pattern = slash == std::string::npos ? native : native.substr(slash + 1);
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || ::fnmatch(pattern.c_str(), name.c_str(), 0) != 0) {
            continue;
        }
        struct stat info {};
        std::string full = folder + "/" + name;
        if (::stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(std::move(name));
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool fileExists(std::string_view path)
{
    struct stat info {};
    return ::stat(nativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool folderExists(std::string_view path)
{
    struct stat info {};
    return ::stat(nativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool folderWritable(std::string_view path)
{
    const std::string native = nativePath(path);
    return folderExists(native) && ::access(native.c_str(), W_OK | X_OK) == 0 && !simulatedAsReadOnly(native);
}

bool fileWritable(std::string_view path)
{
    const std::string native = nativePath(path);
    return fileExists(native) && ::access(native.c_str(), W_OK) == 0 && !simulatedAsReadOnly(native);
}

void simulateReadOnlyFolder(std::string_view folder)
{
    std::string native = folder.empty() ? std::string() : withoutTrailingSeparator(nativePath(folder));
    std::lock_guard lock(readOnlyMutex);
    simulatedReadOnly = std::move(native);
}

bool makeFolders(std::string_view path)
{
    std::string native = nativePath(path);
    for (std::size_t pos = 1; pos <= native.size(); ++pos) {
        if (pos == native.size() || native[pos] == '/') {
            std::string prefix = native.substr(0, pos);
            if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return folderExists(native);
}

std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path, std::size_t maxBytes)
{
    std::FILE* file = std::fopen(nativePath(path).c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    bool ok = true;
    for (;;) {
        std::size_t got = std::fread(block, 1, sizeof block, file);
        if (got > 0) {
            if (bytes.size() + got > maxBytes) {
                ok = false;
                break;
            }
            bytes.insert(bytes.end(), block, block + got);
        }
        if (got < sizeof block) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!ok) {
        return std::nullopt;
    }
    return bytes;
}

bool writeFileAtomically(std::string_view path, const void* data, std::size_t size)
{
    std::string target = nativePath(path);
    std::string temporary = target + ".tmp-XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    long long limit = failAfterBytes.load();
    bool ok;
    if (limit >= 0 && static_cast<unsigned long long>(limit) < size) {
        writeAll(fd, bytes, static_cast<std::size_t>(limit));
        ok = false;  // a simulated full disk or crash half-way through
    } else {
        ok = writeAll(fd, bytes, size);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        // Keep the usual permissions of a user file rather than mkstemp's 0600.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temporary.c_str(), 0666 & ~mask);
        ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    std::string folder = folderPart(target);
    int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool writeFileAtomically(std::string_view path, std::string_view text)
{
    return writeFileAtomically(path, text.data(), text.size());
}

void failAtomicWritesAfter(long long bytes) { failAfterBytes.store(bytes); }

}  // namespace pelko
