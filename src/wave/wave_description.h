// Wave descriptions: the small text that lists a wave's zones, one line each:
//   low-high | sample name | root pitch | fine tune (cents) | loop start
// e.g. "C0-B3|Single Cycle\Saw 1.pcm|A5|0|0". Lines end with CR, LF or any run of them; blank lines
// and lines starting with ';' are skipped, as are spaces and tabs around fields.
// Notes are a letter A–G, an optional '#' (ignored after E and B) or 'b' (ignored after C and F),
// and an octave: key = semitone + 12·octave, so C0 is key 0 and A5 is key 69 (440 Hz). A field
// that does not start with a note letter is a plain key number. Keys run from 0 to 127.
// The root pitch is a frequency ("261.63Hz") or a note; the fine tune lowers it by cents/1200
// octaves; the loop start is a sample index. Parsing is independent of the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

struct ZoneDescription {
    std::uint8_t lowKey = 0;
    std::uint8_t highKey = 0;  // a zone maps the keys lowKey..highKey; none when high < low
    float rootFrequency = 0;   // Hz
    std::int32_t loopStart = 0;
    std::string sampleName;
};

struct WaveDescription {
    bool valid = false;
    std::vector<ZoneDescription> zones;
    // When the description is rejected: the message box to show (text empty when the rejection
    // has none) and a diagnostic line.
    std::string messageText;
    std::string messageCaption;
    std::string diagnostic;
};

// The most zones a wave can hold (the key map stores byte indices).
constexpr std::size_t kMostZones = 256;

// A key from a note name or a key number; none when unreadable or outside 0–127.
std::optional<int> parseNote(std::string_view text);
// The frequency of a key in equal temperament (A5 = key 69 = 440 Hz).
double keyFrequency(double key);
// Parses description text (up to its first NUL byte).
WaveDescription parseWaveDescription(std::string_view text);

}  // namespace pelko
