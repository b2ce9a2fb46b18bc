#include "config/registry_store.h"

#include "config/user_folders.h"
#include "platform/file_system.h"

#include <charconv>
#include <cmath>
#include <mutex>

namespace pelko {
namespace {

constexpr std::size_t kMaxFileSize = 1 << 20;

// Values are stored on one line: backslash, line feed and carriage return are escaped.
std::string escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::optional<std::string> unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

bool validName(std::string_view name)
{
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (c == '=' || c == '\n' || c == '\r' || c == '\0') {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::map<std::string, std::string> parseRegistryText(std::string_view all)
{
    std::map<std::string, std::string> values;
    while (!all.empty()) {
        std::size_t end = all.find('\n');
        std::string_view line = all.substr(0, end);
        all = end == std::string_view::npos ? std::string_view() : all.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.find('\0') != std::string_view::npos) {
            continue;  // damaged line
        }
        std::string_view name = line.substr(0, eq);
        std::optional<std::string> value = unescape(line.substr(eq + 1));
        if (validName(name) && value) {
            values[std::string(name)] = std::move(*value);
        }
    }
    return values;
}

std::string RegistryStore::defaultFile()
{
    const std::string folder = userConfigFolder();
    return folder.empty() ? std::string() : folder + "registry";
}

RegistryStore::RegistryStore() : RegistryStore(defaultFile()) {}

// The values of one file, shared by every store on it in this process; the mutex also keeps
// their read-modify-write cycles from interleaving.
struct RegistryStore::SharedValues {
    std::mutex mutex;
    std::map<std::string, std::string> values;
};

RegistryStore::RegistryStore(std::string file) : file_(std::move(file))
{
    if (!file_.empty() && !makeFolders(folderPart(file_))) {
        file_.clear();
    }
    if (file_.empty()) {
        return;
    }
    static std::mutex openStoresMutex;
    static std::map<std::string, std::weak_ptr<SharedValues>> openStores;
    std::lock_guard<std::mutex> lock(openStoresMutex);
    std::weak_ptr<SharedValues>& entry = openStores[file_];
    shared_ = entry.lock();
    if (shared_ == nullptr) {
        std::erase_if(openStores, [](const auto& open) { return open.second.expired(); });
        shared_ = std::make_shared<SharedValues>();
        shared_->values = load().value_or(std::map<std::string, std::string>());
        openStores[file_] = shared_;
    }
}

std::optional<std::map<std::string, std::string>> RegistryStore::load() const
{
    if (!fileExists(file_)) {
        return std::map<std::string, std::string>();
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(file_, kMaxFileSize);
    if (!bytes) {
        return std::nullopt;
    }
    return parseRegistryText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

bool RegistryStore::save(const std::map<std::string, std::string>& values) const
{
    std::string text = "# Pelko 2 settings: one name=value per line\n";
    for (const auto& [name, value] : values) {
        text += name;
        text += '=';
        text += escape(value);
        text += '\n';
    }
    return writeFileAtomically(file_, std::string_view(text));
}

std::optional<std::string> RegistryStore::readText(std::string_view name) const
{
    if (shared_ == nullptr) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(shared_->mutex);
    auto it = shared_->values.find(std::string(name));
    if (it == shared_->values.end()) {
        return std::nullopt;
    }
    return it->second;
}

long RegistryStore::readInteger(std::string_view name, long defaultValue) const
{
    std::optional<std::string> text = readText(name);
    if (!text) {
        return defaultValue;
    }
    std::string_view t = trimmed(*text);
    long value = 0;
    auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end == t.data()) {
        return defaultValue;
    }
    return value;
}

float RegistryStore::readFloat(std::string_view name, float defaultValue) const
{
    std::optional<std::string> text = readText(name);
    if (!text) {
        return defaultValue;
    }
    std::string_view t = trimmed(*text);
    float value = 0.0f;
    auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end == t.data() || value == 0.0f || !std::isfinite(value)) {
        return defaultValue;
    }
    return value;
}

bool RegistryStore::writeText(std::string_view name, std::optional<std::string_view> text)
{
    if (shared_ == nullptr || !validName(name)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(shared_->mutex);
    // A file that is there but cannot be read now: the values in memory are the best record.
    std::map<std::string, std::string> values = load().value_or(shared_->values);
    if (text) {
        values[std::string(name)] = std::string(*text);
    } else {
        values.erase(std::string(name));
    }
    if (!save(values)) {
        return false;
    }
    shared_->values = std::move(values);
    return true;
}

bool RegistryStore::writeInteger(std::string_view name, long value)
{
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    (void)error;
    return writeText(name, std::string_view(text, static_cast<std::size_t>(end - text)));
}

}  // namespace pelko
