#include "storage/text_program.h"

#include "params/parameter_table.h"
#include "platform/file_system.h"
#include "storage/program_format.h"
#include "params/text_object.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace pelko {
namespace {

// Text files are never larger than a few hundred kilobytes.
constexpr std::size_t kLargestTextFile = std::size_t(16) << 20;

void appendNumber(std::string& out, long long value)
{
    char text[24];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, end);
}

// "%f": six decimals, with a point whatever the locale.
void appendFixedSix(std::string& out, float value)
{
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, 6);
    if (error != std::errc()) {
        out += "0.000000";
        return;
    }
    out.append(text, end);
}

// A text written on one line: line breaks inside it would split the item in two.
void appendOneLine(std::string& out, std::string_view text)
{
    for (char c : text) {
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    out += '\n';
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A line of the hexadecimal layout: hexadecimal digits and blanks only, at least one digit.
bool isHexLine(std::string_view line)
{
    bool digit = false;
    for (char c : line) {
        if (isHexDigit(c)) {
            digit = true;
        } else if (!isBlank(c)) {
            return false;
        }
    }
    return digit;
}

std::size_t hexDigitCount(std::string_view line)
{
    return static_cast<std::size_t>(std::count_if(line.begin(), line.end(), isHexDigit));
}

// Numbers as scanf reads them: leading blanks skipped, an optional sign.
class NumberCursor {
public:
    explicit NumberCursor(std::string_view text) : text_(text) {}

    bool integer(long long& value)
    {
        skipBlanks();
        std::size_t at = position_;
        if (at < text_.size() && text_[at] == '+') ++at;
        auto [end, error] = std::from_chars(text_.data() + at, text_.data() + text_.size(), value);
        if (error != std::errc()) {
            return false;
        }
        position_ = static_cast<std::size_t>(end - text_.data());
        return true;
    }

    bool real(double& value)
    {
        skipBlanks();
        std::size_t at = position_;
        if (at < text_.size() && text_[at] == '+') ++at;
        auto [end, error] = std::from_chars(text_.data() + at, text_.data() + text_.size(), value, std::chars_format::general);
        if (error != std::errc()) {
            return false;
        }
        position_ = static_cast<std::size_t>(end - text_.data());
        return true;
    }

    bool literal(char c)
    {
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }

private:
    void skipBlanks()
    {
        while (position_ < text_.size() && isBlank(text_[position_])) ++position_;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

// "a:b" with two integers.
bool parseIndexAndCount(std::string_view text, long long& index, long long& count)
{
    NumberCursor cursor(text);
    return cursor.integer(index) && cursor.literal(':') && cursor.integer(count);
}

bool parseIndexAndValue(std::string_view text, long long& index, double& value)
{
    NumberCursor cursor(text);
    return cursor.integer(index) && cursor.literal(':') && cursor.real(value);
}

// The version after the last "/" of the first line; 21 when there is none or it is not one
// this program knows.
int versionOfFirstLine(std::string_view line)
{
    const std::size_t slash = line.rfind('/');
    long long version = 0;
    if (slash == std::string_view::npos || !NumberCursor(line.substr(slash + 1)).integer(version) ||
        version < kOldestFormatVersion || version > kFormatVersion) {
        return kFormatVersion;
    }
    return static_cast<int>(version);
}

class TextReader {
public:
    TextReader(std::string_view text, Program& target) : lines_(splitLines(text)), target_(target) {}

    int read()
    {
        if (next_ < lines_.size()) {
            version_ = versionOfFirstLine(lines_[next_++]);
        }
        if (next_ < lines_.size()) {
            target_.setName(lines_[next_++]);
        }
        while (true) {
            // Blank lines and data lines left over from an item that was skipped stand before no
            // name line of a well-formed file; stepping over them finds the next item again.
            while (next_ < lines_.size() && (lines_[next_].empty() || isBlank(lines_[next_].front()))) ++next_;
            if (next_ >= lines_.size()) break;
            ++next_;  // the identifier or object name
            if (next_ >= lines_.size()) break;
            const std::string_view line = lines_[next_++];
            if (!line.empty() && line.front() == 'M') {
                readObject(line.substr(1));
            } else {
                readValue(line);
            }
        }
        upgradeProgram(target_, version_);
        return version_;
    }

private:
    void readValue(std::string_view line)
    {
        long long index = 0;
        double value = 0.0;
        if (parseIndexAndValue(line, index, value) && index >= 0 && index < kParameterCount && std::isfinite(value)) {
            target_.values[static_cast<std::size_t>(index)] = std::clamp(static_cast<float>(value), 0.0f, 1.0f);
        }
    }

    void readObject(std::string_view header)
    {
        long long index = 0;
        long long count = 0;
        if (!parseIndexAndCount(header, index, count) || index < 0 || index >= kPatchObjectCount) {
            return;  // nothing read for it
        }
        PatchObject& object = target_.object(static_cast<int>(index));
        if (dynamic_cast<const TextObject*>(&object) != nullptr) {
            if (next_ < lines_.size()) {
                object.fromText(lines_[next_++], static_cast<std::size_t>(std::max(0LL, count)), version_);
            }
            return;
        }
        // The data lines: as many as hold the stated byte count (one blank line for none).
        std::string data;
        std::size_t digits = 0;
        if (count <= 0) {
            if (next_ < lines_.size() && lines_[next_].find_first_not_of(" \t") == std::string_view::npos) ++next_;
        } else {
            const auto wanted = static_cast<unsigned long long>(count) * 2;
            while (digits < wanted && next_ < lines_.size() && isHexLine(lines_[next_])) {
                digits += hexDigitCount(lines_[next_]);
                data.append(lines_[next_].data(), lines_[next_].size());
                data += '\n';
                ++next_;
            }
        }
        if (count < 0 || digits != static_cast<unsigned long long>(count) * 2) {
            return;  // wrong byte count: the object keeps its contents
        }
        std::unique_ptr<PatchObject> scratch = object.clone();
        if (scratch->fromText(data, static_cast<std::size_t>(count), version_)) {
            object.copyFrom(*scratch);
        }
    }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    Program& target_;
    int version_ = kFormatVersion;
};

}  // namespace

std::string programText(const Program& program)
{
    std::string out = "Synth Id/Version: ";
    appendNumber(out, kTextProgramId);
    out += '/';
    appendNumber(out, kFormatVersion);
    out += '\n';
    appendOneLine(out, program.name());
    const auto& table = parameterTable();
    for (int i = 0; i < kParameterCount; ++i) {
        out += table[static_cast<std::size_t>(i)].identifier;
        out += '\n';
        appendNumber(out, i);
        out += ':';
        appendFixedSix(out, program.values[static_cast<std::size_t>(i)]);
        out += '\n';
    }
    for (int k = 0; k < kPatchObjectCount; ++k) {
        const PatchObject& object = program.object(k);
        appendOneLine(out, object.displayName());
        out += 'M';
        appendNumber(out, k);
        out += ':';
        appendNumber(out, static_cast<long long>(object.storedSize(kFormatVersion)));
        out += '\n';
        std::string form = object.toText();
        if (dynamic_cast<const TextObject*>(&object) != nullptr) {
            if (!form.empty() && form.back() == '\n') form.pop_back();
            appendOneLine(out, form);
        } else {
            out += form;
        }
    }
    return out;
}

int readProgramText(std::string_view text, Program& target) { return TextReader(text, target).read(); }

bool exportProgramText(ProgramHost& host, std::string_view path)
{
    const int slot = host.currentProgram();
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    host.storeProgram(slot, host.editBuffer());
    return writeFileAtomically(path, std::string_view(programText(host.bank().program(slot))));
}

bool importProgramText(ProgramHost& host, int slot, std::string_view path)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestTextFile);
    if (!bytes) {
        return false;
    }
    Program program = host.bank().program(slot);
    readProgramText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), program);
    host.storeProgram(slot, program);
    if (slot == host.currentProgram()) {
        host.selectProgram(slot);
    }
    return true;
}

}  // namespace pelko
