#include "demo_phrase.h"

#include <algorithm>
#include <array>

namespace render {
namespace {

constexpr int kQuarter = kDemoTicksPerQuarter;
constexpr int kEighth = kQuarter / 2;
constexpr int kBar = 4 * kQuarter;
// Notes end this much before their written length, so that a program change on the next bar line
// finds the voices already released.
constexpr int kGap = kQuarter / 16;

enum Track : std::uint16_t { kConductor, kChords, kBass, kMelody };

struct Chord {
    int root;                // MIDI key of the root near middle C
    std::array<int, 3> tones;  // triad voiced around middle C
};

// I - vi - IV - V in C major.
constexpr std::array<Chord, 4> kProgression = {{
    {48, {60, 64, 67}},  // C
    {45, {57, 60, 64}},  // Am
    {41, {57, 60, 65}},  // F
    {43, {55, 59, 62}},  // G
}};

class PhraseBuilder {
public:
    explicit PhraseBuilder(pelko::MidiSequence& s) : s_(s) {}

    void note(Track track, std::uint64_t start, int length, int key, int velocity)
    {
        s_.events.push_back({start, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity), track});
        s_.events.push_back({start + static_cast<std::uint64_t>(std::max(length - kGap, 1)), 0x80,
                             static_cast<std::uint8_t>(key), 0, track});
    }
    void program(std::uint64_t tick, int number)
    {
        s_.events.push_back({tick, 0xC0, static_cast<std::uint8_t>(number & 0x7F), 0, kConductor});
    }

private:
    pelko::MidiSequence& s_;
};

void playBar(PhraseBuilder& b, std::uint64_t start, const Chord& chord, bool closing)
{
    // Chords: held for the bar, a little softer on the second half.
    for (int tone : chord.tones) {
        b.note(kChords, start, 2 * kQuarter, tone, 70);
        b.note(kChords, start + 2 * kQuarter, 2 * kQuarter, tone, 62);
    }
    // Bass: root, root, fifth, octave in quarters, pushed by an eighth before the last beat.
    const int bass[5][3] = {{0, kQuarter, 0},
                            {kQuarter, kQuarter, 0},
                            {2 * kQuarter, kQuarter, 7},
                            {3 * kQuarter, kEighth, 12},
                            {3 * kQuarter + kEighth, kEighth, 7}};
    for (const auto& [at, length, interval] : bass) {
        b.note(kBass, start + static_cast<std::uint64_t>(at), length, chord.root + interval, at == 0 ? 100 : 88);
    }
    // Melody an octave above the chord: running eighths through the chord tones, or, closing a
    // section, a held note and two steps down.
    const std::array<int, 4> tones = {chord.tones[0] + 12, chord.tones[1] + 12, chord.tones[2] + 12,
                                      chord.tones[0] + 24};
    if (!closing) {
        const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
        for (int i = 0; i < 8; ++i) {
            b.note(kMelody, start + static_cast<std::uint64_t>(i * kEighth), kEighth, tones[pattern[i]],
                   i % 2 == 0 ? 96 : 80);
        }
    } else {
        b.note(kMelody, start, 2 * kQuarter, tones[3], 100);
        b.note(kMelody, start + 2 * kQuarter, kQuarter, tones[2], 84);
        b.note(kMelody, start + 3 * kQuarter, kQuarter, tones[1], 84);
    }
}

}  // namespace

pelko::MidiSequence demoPhrase(const std::vector<int>& programs)
{
    pelko::MidiSequence s;
    s.format = 1;
    s.division.ticksPerQuarter = kQuarter;
    s.trackNames = {"Pelko demo", "Chords", "Bass", "Melody"};
    s.tempos = {{0, 500'000}};
    s.timeSignatures = {{0, 4, 4}};

    PhraseBuilder builder(s);
    const int sections = std::max<int>(static_cast<int>(programs.size()), kDemoMinimumSections);
    int bar = 0;
    int previousProgram = -1;
    for (int section = 0; section < sections; ++section) {
        std::uint64_t sectionStart = static_cast<std::uint64_t>(bar) * kBar;
        if (!programs.empty()) {
            int program = programs[static_cast<std::size_t>(section) % programs.size()];
            if (program != previousProgram) {
                builder.program(sectionStart, program);
                previousProgram = program;
            }
        }
        for (int i = 0; i < kDemoBarsPerSection; ++i, ++bar) {
            const Chord& chord = kProgression[static_cast<std::size_t>(bar) % kProgression.size()];
            playBar(builder, static_cast<std::uint64_t>(bar) * kBar, chord, i == kDemoBarsPerSection - 1);
        }
    }
    s.endTick = static_cast<std::uint64_t>(bar) * kBar;
    // Program changes were added first on their tick, so they come before that tick's notes.
    pelko::orderMidiEvents(s.events);
    return s;
}

}  // namespace render
