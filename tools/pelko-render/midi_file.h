// Standard MIDI Files, formats 0 and 1: the stored bytes become one merged, time-ordered list of
// channel messages with the file's tempo and time-signature maps; a timeline then places ticks at
// sample positions for a given sample rate and tells the musical position (quarters, tempo, bar)
// at any sample, as a host reports it to a module.
//
// Every length in the file is checked against the bytes really there. A file that cannot be read
// gets an error naming what is wrong and the byte offset where it was found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelko {

// Bounds that keep a hostile file from exhausting memory or time.
constexpr std::size_t kMidiFileMaxEvents = 5'000'000;      // events of all kinds, all tracks
constexpr std::uint64_t kMidiFileMaxSeconds = 4 * 3600;    // playing time up to the last event
constexpr std::uint32_t kMidiFileMinMicrosPerQuarter = 60'000;  // fastest tempo: 1000 BPM
constexpr std::uint32_t kMidiFileDefaultMicrosPerQuarter = 500'000;  // 120 BPM until told

// One channel message (status 0x80–0xEF) at its tick. Two-byte messages have data2 = 0.
struct MidiFileEvent {
    std::uint64_t tick = 0;
    std::uint8_t status = 0, data1 = 0, data2 = 0;
    std::uint16_t track = 0;
};

struct MidiTempoChange {
    std::uint64_t tick = 0;
    std::uint32_t microsPerQuarter = kMidiFileDefaultMicrosPerQuarter;
};

// denominator is the note value (4 = quarter notes), not its power of two.
struct MidiTimeSignature {
    std::uint64_t tick = 0;
    int numerator = 4;
    int denominator = 4;
};

// How ticks are counted: per quarter note, or per frame of an SMPTE time code.
struct MidiTimeDivision {
    int ticksPerQuarter = 0;   // > 0 for musical timing
    int framesPerSecond = 0;   // SMPTE: 24, 25, 29 (30 drop-frame, 29.97 frames/s) or 30
    int ticksPerFrame = 0;
    bool smpte() const { return ticksPerQuarter == 0; }
};

struct MidiSequence {
    int format = 0;
    MidiTimeDivision division;
    std::vector<std::string> trackNames;            // one entry per track read ("" when unnamed)
    std::vector<MidiFileEvent> events;              // every track merged in playing order
    std::vector<MidiTempoChange> tempos;            // tick order; none means 120 BPM throughout
    std::vector<MidiTimeSignature> timeSignatures;  // tick order; none means 4/4 throughout
    std::uint64_t endTick = 0;                      // the latest event of any kind, end of track included
    std::vector<std::string> warnings;              // oddities that were tolerated
};

struct MidiFileError {
    std::size_t offset = 0;  // byte offset in the file
    std::string what;
    // "what (at byte N)".
    std::string text() const;
};

struct MidiFileResult {
    std::optional<MidiSequence> sequence;
    MidiFileError error;  // meaningful when there is no sequence
};

// Parses a whole file held in memory. Never reads outside [data, data + size).
//
// Order of simultaneous events: note-offs that end a note sounding before their tick come first
// (so a repeated note is never cut short by its own predecessor's release); then every other event
// of that tick in track order and, within a track, in file order (a note that starts and ends on the
// same tick keeps its order and never hangs).
MidiFileResult readMidiFile(const std::uint8_t* data, std::size_t size);
inline MidiFileResult readMidiFile(const std::vector<std::uint8_t>& bytes)
{
    return readMidiFile(bytes.data(), bytes.size());
}

// Stores a sequence as a file that readMidiFile reads back to the same sequence: format 0 when
// every event is on track 0, else format 1; tempo and time signatures go on track 0, with running
// status. Events on one tick are stored in the order given.
std::vector<std::uint8_t> writeMidiFile(const MidiSequence& sequence);

// Puts a list of channel events into playing order with the rule above (used by the reader and by
// anything that builds a sequence itself). Stable for events already in order.
void orderMidiEvents(std::vector<MidiFileEvent>& events);

// The sequence's time at one sample rate.
class MidiTimeline {
public:
    MidiTimeline(const MidiSequence& sequence, std::uint32_t sampleRate);

    std::uint32_t sampleRate() const { return sampleRate_; }
    // First sample at or after the tick's exact time (computed exactly in integers, truncated toward
    // zero).
    std::uint64_t samplePosition(std::uint64_t tick) const;

    struct Position {
        double quarters = 0.0;          // quarter notes since the start
        double beatsPerMinute = 120.0;  // tempo in force
        double barStartQuarters = 0.0;  // start of the bar holding this position
        int numerator = 4;
        int denominator = 4;
    };
    // The musical position at a sample.
    Position positionAt(std::uint64_t sample) const;

private:
    struct TempoSegment {
        std::uint64_t tick;
        unsigned __int128 tickMicros;  // sum of ticks x microseconds per quarter before this tick
        std::uint64_t startSample;
        double startSeconds;
        double startQuarters;
        std::uint32_t microsPerQuarter;
    };
    struct MeterSegment {
        std::uint64_t startSample;
        double startQuarters;
        int numerator, denominator;
    };
    double secondsAtTick(std::uint64_t tick) const;
    double quartersAtTick(std::uint64_t tick) const;
    const TempoSegment& segmentForTick(std::uint64_t tick) const;

    MidiTimeDivision division_;
    std::uint32_t sampleRate_;
    std::vector<TempoSegment> tempo_;
    std::vector<MeterSegment> meter_;
};

}  // namespace pelko
