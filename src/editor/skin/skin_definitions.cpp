#include "editor/skin/skin_definitions.h"

#include "editor/skin/skin_lines.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"

namespace pelko {
namespace {

std::string_view trim(std::string_view s, std::string_view characters)
{
    std::size_t start = s.find_first_not_of(characters);
    if (start == std::string_view::npos) {
        return {};
    }
    std::size_t end = s.find_last_not_of(characters);
    return s.substr(start, end - start + 1);
}

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kBlanksAndLineEnds = " \t\r\n";
// No skin comes near this; a larger file is not a skin.
constexpr std::size_t kMaxSkinFileBytes = std::size_t(16) << 20;

}  // namespace

void SkinDefinitions::read(const std::string& path)
{
    auto bytes = readWholeFile(path, kMaxSkinFileBytes);
    if (!bytes) {
        return;
    }
    parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

void SkinDefinitions::parse(std::string_view text)
{
    SkinLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        parseLine(line);
    }
}

void SkinDefinitions::parseLine(std::string_view line)
{
    if (line.empty() || line.front() == ';') {
        return;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    std::string name(trim(line.substr(0, colon), kBlanks));
    std::string_view attributes = trim(line.substr(colon + 1), kBlanksAndLineEnds);
    AttributeSet set;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = attributes.find(',', start);
        std::string_view piece = attributes.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos) {
            debugOutput(std::string(attributes) + ": Syntax error near " + std::string(piece) + "\n");
        } else {
            std::string key(trim(piece.substr(0, equals), kBlanks));
            std::string value(trim(piece.substr(equals + 1), kBlanks));
            if (key == "@") {
                const AttributeSet* included = find(value);
                if (included == nullptr) {
                    debugOutput(std::string(attributes) + ": " + value + " is undefined\n");
                } else {
                    for (const auto& [k, v] : *included) {
                        set[k] = v;
                    }
                }
            } else {
                set[key] = value;
            }
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    items_[name] = std::move(set);
}

const AttributeSet* SkinDefinitions::find(const std::string& item) const
{
    auto found = items_.find(item);
    return found == items_.end() ? nullptr : &found->second;
}

}  // namespace pelko
