#include "editor/skin/skin_layout.h"

#include "editor/skin/skin_lines.h"
#include "params/parameter_table.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"

#include <array>
#include <charconv>
#include <climits>

namespace pelko {
namespace {

constexpr std::array<std::string_view, kPages> kPageNames = {
    "BankPage", "Osc1Page", "Osc2Page", "Osc3Page", "Osc4Page", "Osc5Page",
    "Osc6Page", "Flt1Page", "Flt2Page", "AdditivePage", "SeqPage", "FxPage",
    "InfoPage", "CMPage", "UserAssignmentsPage", "GlobalPage", "TabsPage", "StandalonePage",
};
constexpr int kFirstCommandTag = 10000;
constexpr std::size_t kMaxLayoutFileBytes = std::size_t(16) << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

struct Token {
    std::string word;
    bool hasArguments = false;
    std::vector<std::string> arguments;
};

enum class Tokenized { kOk, kParseError };

// Splits a line into tokens; a token followed directly by "(" carries the arguments up to ")".
Tokenized tokenize(std::string_view line, std::vector<Token>& tokens)
{
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        Token token;
        while (i < line.size() && !isBlank(line[i]) && line[i] != '(') {
            token.word.push_back(line[i++]);
        }
        if (i < line.size() && line[i] == '(') {
            token.hasArguments = true;
            ++i;
            std::string argument;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == ')') {
                    closed = true;
                    break;
                }
                if (c == ',') {
                    token.arguments.push_back(argument);
                    argument.clear();
                    while (i < line.size() && isBlank(line[i])) {
                        ++i;
                    }
                    if (i >= line.size()) {
                        return Tokenized::kParseError;
                    }
                    continue;
                }
                argument.push_back(c);
            }
            if (!closed) {
                return Tokenized::kParseError;
            }
            token.arguments.push_back(argument);
        }
        tokens.push_back(std::move(token));
    }
    return Tokenized::kOk;
}

// A whole decimal number (optional sign) within the integer range.
bool decimal(std::string_view text, int& value)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        return false;
    }
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size();
}

// A params entry: its tag (object index + 208), for a number or a patch-object name that stands
// for a patch object or a command.
bool paramsTag(std::string_view text, int& tag)
{
    int number = 0;
    if (decimal(text, number)) {
        bool object = number >= 0 && number < kPatchObjects;
        bool command = number >= kFirstCommandTag - kPatchObjectTagBase && number <= INT_MAX - kPatchObjectTagBase;
        if (!object && !command) {
            return false;
        }
        tag = number + kPatchObjectTagBase;
        return true;
    }
    int index = patchObjectIndexOfName(text);
    if (index < 0) {
        return false;
    }
    tag = kPatchObjectTagBase + index;
    return true;
}

}  // namespace

int pageIndexOfName(std::string_view name)
{
    for (std::size_t i = 0; i < kPageNames.size(); ++i) {
        if (kPageNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool layoutTag(std::string_view text, int& tag)
{
    if (decimal(text, tag)) {
        return true;
    }
    if (int parameter = parameterIndexOfIdentifier(text); parameter >= 0) {
        tag = parameter;
        return true;
    }
    if (int object = patchObjectIndexOfName(text); object >= 0) {
        tag = kPatchObjectTagBase + object;
        return true;
    }
    return false;
}

void parseLayout(std::string_view text, LayoutBuilder& builder)
{
    SkinLines lines(text);
    std::string_view line;
    int number = 0;
    while (lines.next(line)) {
        ++number;
        if (!line.empty() && line.front() == ';') {
            continue;
        }
        std::vector<Token> tokens;
        if (tokenize(line, tokens) == Tokenized::kParseError) {
            debugOutput("parse error at line " + std::to_string(number) + "\n");
            return;
        }
        if (tokens.empty()) {
            return;  // an empty or blank line ends the layout
        }
        if (!tokens[0].word.empty() && tokens[0].word.front() == '}') {
            builder.closeContainer();
            continue;
        }
        if (tokens.size() < 2 || !tokens[1].hasArguments || tokens[1].arguments.size() != 1) {
            return;
        }
        const std::string& type = tokens[0].word;
        const std::string& item = tokens[1].word;
        int tag = 0;
        if (!layoutTag(tokens[1].arguments[0], tag)) {
            continue;  // neither a number nor a name: skipped without a message
        }
        if (tokens.size() == 2) {
            builder.createControl(type, item, tag, {});
            continue;
        }
        const Token& keyword = tokens[2];
        if (!keyword.word.empty() && keyword.word.front() == '{') {
            builder.openContainer(type, item, tag);
            continue;
        }
        if (keyword.word != "params") {
            debugOutput(std::to_string(number) + ": bad keyword " + keyword.word + "\n");
            continue;
        }
        std::vector<int> params;
        for (const std::string& entry : keyword.arguments) {
            if (static_cast<int>(params.size()) == kMaxParamsEntries) {
                debugOutput(std::to_string(number) + ": more than 63 params, the rest are left out\n");
                break;
            }
            int entryTag = 0;
            if (paramsTag(entry, entryTag)) {
                params.push_back(entryTag);
            } else {
                debugOutput(std::to_string(number) + ": can't convert " + entry + " to a parameter name\n");
            }
        }
        builder.createControl(type, item, tag, params);
    }
}

bool readLayout(const std::string& path, LayoutBuilder& builder)
{
    auto bytes = readWholeFile(path, kMaxLayoutFileBytes);
    if (!bytes) {
        return false;
    }
    parseLayout(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), builder);
    return true;
}

}  // namespace pelko
