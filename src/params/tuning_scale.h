// Tuning scales: a base frequency for key 0 and the pitch of every key above it in cents. The
// oscillators read key frequencies from a 128-entry table computed from the program's scale or,
// when global tuning is on, from the plug-in's global scale. Also here: the pitch-bend ratio table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelko {

constexpr int kKeys = 128;
using FrequencyTable = std::array<float, kKeys>;  // Hz per MIDI key
using PitchBendTable = std::array<float, kKeys>;  // frequency ratio per 7-bit bend position

class TuningScale {
public:
    static constexpr std::size_t kNameLength = 60;
    static constexpr float kDefaultBaseFrequency = 8.175798915643707f;  // 440·2^−5.75 Hz

    // "Equal Temperament": base 8.1758 Hz, cents[k] = 100·k.
    TuningScale();

    std::string_view name() const { return std::string_view(name_.data(), nameLength_); }
    void setName(std::string_view name);  // at most 60 characters, up to an embedded terminator
    float baseFrequency() const { return baseFrequency_; }
    // Non-finite or non-positive frequencies become the default.
    void setBaseFrequency(float hz);
    float cents(int key) const { return cents_[static_cast<std::size_t>(key)]; }
    // Non-finite values become the equal-tempered pitch of that key.
    void setCents(int key, float cents);
    const std::array<float, kKeys>& allCents() const { return cents_; }

    // Back to equal temperament (the name is kept).
    void resetPitches();

    // frequency[k] = base · 2^(cents[k]/1200).
    void computeFrequencies(FrequencyTable& out) const;

    // Reads the text of a ".tun" file: the entries from its "[Tuning]" section on ("note N=cents",
    // "basefreq=Hz", in either case, white space allowed around "="; a line starting with ";" is a
    // comment). Lines end at a line feed or a carriage return. Keys above the last note
    // read repeat the pattern with that note as the period. Numbers are read the same way in every
    // locale. The name is not changed.
    void parseTun(std::string_view text);
    // Loads a ".tun" file: on success the scale takes its entries and the file's name without
    // folder and extension. A file that cannot be read shows the file error message with the path
    // and leaves the scale unchanged.
    bool loadTun(std::string_view path);

    bool operator==(const TuningScale& other) const = default;

private:
    // Fixed storage: copying a scale (as a program change on the audio thread does) never
    // allocates.
    std::array<char, kNameLength> name_{};
    std::uint8_t nameLength_ = 0;
    float baseFrequency_ = kDefaultBaseFrequency;
    std::array<float, kKeys> cents_{};
};

// The table of the global scale when globalTuningOn, else of the program's scale.
void applyTuning(FrequencyTable& out, bool globalTuningOn, const TuningScale& global, const TuningScale& program);

// Pitch-bend ratios for the Bend Range value v: range = min(trunc(100·v + 0.1), 12) semitones,
// table[i] = 2^(range·(i/64 − 1)/12), so 64 is the centre (ratio 1).
void computePitchBendTable(PitchBendTable& out, float bendRangeValue);
void computePitchBendTableForSemitones(PitchBendTable& out, int semitones);

}  // namespace pelko
