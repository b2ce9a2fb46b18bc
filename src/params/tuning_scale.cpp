#include "params/tuning_scale.h"

#include "platform/file_system.h"
#include "platform/messages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace pelko {
namespace {

constexpr std::size_t kMaxLine = 511;
constexpr std::size_t kMaxTunFile = std::size_t(4) << 20;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void skipSpace(std::string_view& s)
{
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
}

// Matches text (lower case) in either case.
bool keyword(std::string_view& s, std::string_view text)
{
    if (s.size() < text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
        if (c != text[i]) {
            return false;
        }
    }
    s.remove_prefix(text.size());
    return true;
}

// An equals sign, with white space allowed before it.
bool equals(std::string_view& s)
{
    skipSpace(s);
    return keyword(s, "=");
}

// Skips white space and an optional sign; true for a minus.
bool takeSign(std::string_view& s)
{
    skipSpace(s);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        const bool negative = s.front() == '-';
        s.remove_prefix(1);
        return negative;
    }
    return false;
}

// Decimal integer with optional sign after optional white space, as a scanf "%d" reads it.
bool scanInt(std::string_view& s, int& out)
{
    const bool negative = takeSign(s);
    long long value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data()) {
        return false;
    }
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    value = negative ? -value : value;
    out = static_cast<int>(std::clamp<long long>(value, -1000000, 1000000));
    return true;
}

// A floating-point number after optional white space, as a scanf "%f" reads it, in any locale.
bool scanFloat(std::string_view& s, float& out)
{
    const bool negative = takeSign(s);
    double value = 0.0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (end == s.data() || (error != std::errc() && error != std::errc::result_out_of_range)) {
        return false;
    }
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    out = static_cast<float>(negative ? -value : value);
    return true;
}

// Lines are split at carriage returns too, so a header after a carriage return inside a line
// starts a line of its own.
bool startsSection(std::string_view line) { return line.substr(0, 8) == "[Tuning]"; }

}  // namespace

TuningScale::TuningScale()
{
    setName("Equal Temperament");
    resetPitches();
}

void TuningScale::setName(std::string_view name)
{
    name = name.substr(0, std::min(name.size(), kNameLength));
    name = name.substr(0, std::min(name.find('\0'), name.size()));
    // Unused bytes stay zero so that equal names compare equal.
    name_.fill('\0');
    name.copy(name_.data(), name.size());
    nameLength_ = static_cast<std::uint8_t>(name.size());
}

void TuningScale::setBaseFrequency(float hz)
{
    baseFrequency_ = std::isfinite(hz) && hz > 0.0f ? hz : kDefaultBaseFrequency;
}

void TuningScale::setCents(int key, float cents)
{
    if (key >= 0 && key < kKeys) {
        cents_[static_cast<std::size_t>(key)] = std::isfinite(cents) ? cents : 100.0f * static_cast<float>(key);
    }
}

void TuningScale::resetPitches()
{
    baseFrequency_ = kDefaultBaseFrequency;
    for (int k = 0; k < kKeys; ++k) {
        cents_[static_cast<std::size_t>(k)] = 100.0f * static_cast<float>(k);
    }
}

void TuningScale::computeFrequencies(FrequencyTable& out) const
{
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    for (int k = 0; k < kKeys; ++k) {
        const double hz = baseFrequency_ * std::pow(semitone, cents_[static_cast<std::size_t>(k)] * 0.01);
        // Keys tuned beyond float range stay finite.
        out[static_cast<std::size_t>(k)] = static_cast<float>(std::min(hz, 1.0e30));
    }
}

void TuningScale::parseTun(std::string_view text)
{
    resetPitches();
    bool inSection = false;
    int lastNote = -1;
    while (!text.empty()) {
        // A line ends at a line feed or carriage return; longer lines are read in 511-byte parts.
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, std::min({end, text.size(), kMaxLine}));
        text.remove_prefix(line.size());
        if (!text.empty() && (text.front() == '\r' || text.front() == '\n')) {
            text.remove_prefix(1);
        }
        if (!inSection) {
            inSection = startsSection(line);
            continue;
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        std::string_view rest = line.substr(1);
        int note = 0;
        float value = 0.0f;
        std::string_view entry = rest;
        if (keyword(entry, "ote") && scanInt(entry, note) && equals(entry) && scanFloat(entry, value)) {
            if (note >= 0 && note < kKeys) {
                setCents(note, value);
                lastNote = note;
            }
            continue;
        }
        entry = rest;
        if (keyword(entry, "asefreq") && equals(entry) && scanFloat(entry, value)) {
            setBaseFrequency(value);
        }
    }
    // The last note read is the period of the pattern for the keys above it.
    if (lastNote > 0) {
        for (int k = lastNote + 1; k < kKeys; ++k) {
            cents_[static_cast<std::size_t>(k)] = cents_[static_cast<std::size_t>(k - lastNote)] +
                                                 cents_[static_cast<std::size_t>(lastNote)];
        }
    }
}

bool TuningScale::loadTun(std::string_view path)
{
    if (!fileExists(path)) {
        showMessage(kMsgErrorOpening, path);
        return false;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kMaxTunFile);
    if (!bytes) {
        showMessage(kMsgErrorReading, path);
        return false;
    }
    parseTun(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    std::string name = fileNamePart(path);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    setName(name);
    return true;
}

void applyTuning(FrequencyTable& out, bool globalTuningOn, const TuningScale& global, const TuningScale& program)
{
    (globalTuningOn ? global : program).computeFrequencies(out);
}

void computePitchBendTableForSemitones(PitchBendTable& out, int semitones)
{
    semitones = std::clamp(semitones, 0, 12);
    for (int i = 0; i < kKeys; ++i) {
        const double exponent = semitones * (i / 64.0 - 1.0) / 12.0;
        out[static_cast<std::size_t>(i)] = static_cast<float>(std::exp2(exponent));
    }
}

void computePitchBendTable(PitchBendTable& out, float bendRangeValue)
{
    if (!std::isfinite(bendRangeValue)) {
        bendRangeValue = 0.0f;
    }
    const float range = 100.0f * bendRangeValue + 0.1f;
    computePitchBendTableForSemitones(out, static_cast<int>(std::clamp(range, 0.0f, 12.0f)));
}

}  // namespace pelko
