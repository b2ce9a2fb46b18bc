// content-tunings RECIPE OUTPUT_FOLDER: writes every scale of the tuning recipe (see the recipe
// file for its format) as "NAME.tun" into OUTPUT_FOLDER. Every one of the 128 keys gets its own
// "note" line, so a scale whose period does not divide the keyboard at key 0 (19 steps counted
// from middle C, a tritave) is still placed exactly; "basefreq" puts the recipe's root key on its
// frequency. Numbers are written the same way in every locale; files are replaced atomically.
#include "platform/file_system.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 128;

struct Scale {
    std::string name;
    std::vector<std::string> about;
    int rootKey = -1;
    double rootHz = 0.0;
    std::vector<double> steps;  // cents above the first step; the last one is the period
    int line = 0;               // where the block starts, for messages
};

std::optional<double> parseNumber(std::string_view text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A ratio "a/b" or a number of cents.
std::optional<double> parseStep(std::string_view text)
{
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) {
        return parseNumber(text);
    }
    const auto num = parseNumber(text.substr(0, slash));
    const auto den = parseNumber(text.substr(slash + 1));
    if (!num || !den || *num <= 0.0 || *den <= 0.0) {
        return std::nullopt;
    }
    return 1200.0 * std::log2(*num / *den);
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

bool fail(const std::string& recipe, int line, const std::string& what)
{
    std::cerr << recipe << ":" << line << ": " << what << "\n";
    return false;
}

bool parseRecipe(const std::string& path, std::vector<Scale>& scales)
{
    std::ifstream in(path);
    if (!in) {
        return fail(path, 0, "cannot be read");
    }
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        const auto first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos || text[first] == '#') {
            continue;
        }
        const auto space = text.find(' ', first);
        const std::string keyword = text.substr(first, space - first);
        const std::string rest = space == std::string::npos ? "" : text.substr(text.find_first_not_of(' ', space));
        if (keyword == "scale") {
            scales.push_back({});
            scales.back().name = rest;
            scales.back().line = number;
            continue;
        }
        if (scales.empty()) {
            return fail(path, number, "an entry before the first \"scale\"");
        }
        Scale& scale = scales.back();
        const auto args = words(rest);
        if (keyword == "about") {
            scale.about.push_back(rest);
        } else if (keyword == "root" && args.size() == 2) {
            const auto key = parseNumber(args[0]);
            const auto hz = parseNumber(args[1]);
            if (!key || !hz || *key < 0 || *key >= kKeys || *key != std::floor(*key) || *hz <= 0.0) {
                return fail(path, number, "root needs a key 0-127 and a frequency");
            }
            scale.rootKey = static_cast<int>(*key);
            scale.rootHz = *hz;
        } else if (keyword == "steps" && !args.empty()) {
            for (const auto& arg : args) {
                const auto cents = parseStep(arg);
                if (!cents) {
                    return fail(path, number, "not a ratio or cents: " + arg);
                }
                scale.steps.push_back(*cents);
            }
        } else if (keyword == "equal" && args.size() == 2) {
            const auto count = parseNumber(args[0]);
            const auto period = parseStep(args[1]);
            if (!count || *count < 1 || *count != std::floor(*count) || !period) {
                return fail(path, number, "equal needs a step count and a period");
            }
            for (int i = 1; i <= static_cast<int>(*count); ++i) {
                scale.steps.push_back(*period * i / *count);
            }
        } else {
            return fail(path, number, "unknown entry: " + keyword);
        }
    }
    for (const auto& scale : scales) {
        if (scale.name.empty() || scale.rootKey < 0 || scale.steps.empty()) {
            return fail(path, scale.line, "a scale needs a name, a root and its steps");
        }
        for (std::size_t i = 0; i < scale.steps.size(); ++i) {
            if (scale.steps[i] <= (i == 0 ? 0.0 : scale.steps[i - 1])) {
                return fail(path, scale.line, scale.name + ": the steps must rise");
            }
        }
    }
    return true;
}

std::string number(double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// Cents of a key above the root: whole periods plus the step within the period.
double centsFromRoot(const Scale& scale, int key)
{
    const int count = static_cast<int>(scale.steps.size());
    const double period = scale.steps.back();
    const int offset = key - scale.rootKey;
    const int periods = offset >= 0 ? offset / count : -((-offset + count - 1) / count);
    const int step = offset - periods * count;
    return periods * period + (step == 0 ? 0.0 : scale.steps[static_cast<std::size_t>(step - 1)]);
}

std::string tunFile(const Scale& scale)
{
    std::string out;
    for (const auto& line : scale.about) {
        out += "; " + line + "\n";
    }
    out += "; Key " + std::to_string(scale.rootKey) + " sounds at " + number(scale.rootHz, 4) + " Hz\n";
    out += "[Tuning]\n";
    const double key0 = centsFromRoot(scale, 0);
    out += "basefreq=" + number(scale.rootHz * std::exp2(key0 / 1200.0), 10) + "\n";
    for (int key = 0; key < kKeys; ++key) {
        out += "note " + std::to_string(key) + "=" + number(centsFromRoot(scale, key) - key0, 6) + "\n";
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: content-tunings RECIPE OUTPUT_FOLDER\n";
        return 2;
    }
    std::vector<Scale> scales;
    if (!parseRecipe(argv[1], scales)) {
        return 1;
    }
    std::string folder = argv[2];
    if (folder.back() != '/') {
        folder += '/';
    }
    if (!pelko::makeFolders(folder)) {
        std::cerr << "content-tunings: cannot create " << folder << "\n";
        return 1;
    }
    bool ok = true;
    for (const auto& scale : scales) {
        if (!pelko::writeFileAtomically(folder + scale.name + ".tun", tunFile(scale))) {
            std::cerr << "content-tunings: cannot write " << folder << scale.name << ".tun\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
