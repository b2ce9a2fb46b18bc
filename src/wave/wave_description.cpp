#include "wave/wave_description.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace pelko {
namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// The integer at the start of a field (an optional sign, then digits). With whole set nothing may
// follow it and out-of-range values are unreadable; otherwise what follows is ignored and
// out-of-range values saturate.
std::optional<long long> integerField(std::string_view s, bool whole)
{
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    long long value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range && !whole) {
        return s.front() == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    }
    if (error != std::errc() || (whole && end != s.data() + s.size())) {
        return std::nullopt;
    }
    return value;
}

// "261.63Hz" (spaces before the unit and its case do not matter).
std::optional<double> frequencyText(std::string_view s)
{
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    double value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (s.empty() || error != std::errc()) {
        return std::nullopt;
    }
    std::string_view unit = trim(s.substr(static_cast<std::size_t>(end - s.data())));
    if (unit.size() != 2 || (unit[0] != 'H' && unit[0] != 'h') || (unit[1] != 'z' && unit[1] != 'Z')) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t at = s.find(separator);
        parts.push_back(s.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        s.remove_prefix(at + 1);
    }
}

WaveDescription reject(std::string diagnostic, std::string text = {}, std::string caption = {})
{
    WaveDescription result;
    result.diagnostic = std::move(diagnostic);
    result.messageText = std::move(text);
    result.messageCaption = std::move(caption);
    return result;
}

}  // namespace

std::optional<int> parseNote(std::string_view text)
{
    text = trim(text);
    if (text.empty()) {
        return std::nullopt;
    }
    long long key;
    char letter = text.front();
    if (letter >= 'a' && letter <= 'g') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter >= 'A' && letter <= 'G') {
        static constexpr int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
        int semitone = kSemitones[letter - 'A'];
        std::string_view rest = text.substr(1);
        if (!rest.empty() && rest.front() == '#') {
            semitone += (letter == 'E' || letter == 'B') ? 0 : 1;
            rest.remove_prefix(1);
        } else if (!rest.empty() && rest.front() == 'b') {
            semitone -= (letter == 'C' || letter == 'F') ? 0 : 1;
            rest.remove_prefix(1);
        }
        std::optional<long long> octave = integerField(rest, true);
        if (!octave || *octave < -100 || *octave > 100) {
            return std::nullopt;
        }
        key = semitone + 12 * *octave;
    } else {
        std::optional<long long> number = integerField(text, true);
        if (!number) {
            return std::nullopt;
        }
        key = *number;
    }
    if (key < 0 || key > 127) {
        return std::nullopt;
    }
    return static_cast<int>(key);
}

double keyFrequency(double key) { return 440.0 * std::pow(2.0, (key - 69.0) / 12.0); }

WaveDescription parseWaveDescription(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    WaveDescription result;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(position, end - position);
        position = text.find_first_not_of("\r\n", end);
        if (position == std::string_view::npos) {
            position = text.size();
        }
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
        if (trim(line).empty() || line.front() == ';') {
            continue;
        }
        std::vector<std::string_view> fields = split(line, '|');
        if (fields.size() != 5) {
            std::string message = std::to_string(fields.size()) + " splits: " + std::string(line) + "\n";
            return reject("wave description: a zone line needs 5 fields: " + std::string(line), message, "error");
        }
        std::vector<std::string_view> range = split(fields[0], '-');
        if (range.size() != 2) {
            return reject("wave description: bad key range: " + std::string(line), "error on range", "error");
        }
        std::optional<int> low = parseNote(range[0]);
        std::optional<int> high = parseNote(range[1]);
        if (!low || !high) {
            return reject("wave description: a key range holds an invalid note: " + std::string(line));
        }
        ZoneDescription zone;
        zone.lowKey = static_cast<std::uint8_t>(*low);
        zone.highKey = static_cast<std::uint8_t>(*high);
        zone.sampleName = std::string(trim(fields[1]));

        std::string_view rootField = trim(fields[2]);
        double root = 0;
        if (std::optional<double> hz = frequencyText(rootField)) {
            root = *hz;
        } else if (std::optional<int> rootKey = parseNote(rootField)) {
            root = keyFrequency(*rootKey);
        }
        if (std::optional<long long> cents = integerField(trim(fields[3]), false)) {
            root *= std::pow(2.0, -static_cast<double>(*cents) / 1200.0);
        }
        // A zone without a usable root pitch could never be played at a finite rate.
        if (!(root > 0.0) || !std::isfinite(static_cast<float>(root)) || static_cast<float>(root) <= 0.0f) {
            return reject("wave description: the root pitch is not a positive frequency: " + std::string(line));
        }
        zone.rootFrequency = static_cast<float>(root);

        std::optional<long long> loop = integerField(trim(fields[4]), false);
        long long loopStart = loop ? *loop : 0;
        if (loopStart > std::numeric_limits<std::int32_t>::max()) {
            loopStart = std::numeric_limits<std::int32_t>::max();
        } else if (loopStart < std::numeric_limits<std::int32_t>::min()) {
            loopStart = std::numeric_limits<std::int32_t>::min();
        }
        zone.loopStart = static_cast<std::int32_t>(loopStart);

        if (result.zones.size() == kMostZones) {
            return reject("wave description: more than 256 zones");
        }
        result.zones.push_back(std::move(zone));
    }
    if (result.zones.empty()) {
        return reject("wave description: no zone");
    }
    result.valid = true;
    return result;
}

}  // namespace pelko
