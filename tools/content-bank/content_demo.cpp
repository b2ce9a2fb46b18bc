// content-demo OUTPUT.mid: writes the demo song `make demo` plays: eight sections of two bars in
// A minor at 112 BPM (Am, F, C, G), each opening with a program change to one program of the
// factory bank chosen to show a different side of it: a pad, an electric piano, a bass, a lead,
// an arpeggio, a bell, the FM matrix and a string ensemble. The slots are looked up by name in the
// factory bank the build makes, so the song follows the bank when its order changes.
#include "factory_programs.h"
#include "midi_file.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTicks = 480;  // per quarter note
constexpr std::uint64_t kBar = 4 * kTicks;

const char* const kDemoPrograms[] = {"Sunrise Pad",    "Tine Piano",    "Detuned Growl",  "Classic Mono Lead",
                                     "Octave Bounce",  "Vibraphone",    "Matrix Cascade", "Chamber Strings"};

// Am, F, C, G: root (below middle C) and the chord's three notes.
constexpr int kRoots[4] = {45, 41, 48, 43};
constexpr int kChords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
// A melody of eight eighth notes per bar (0 = rest) over the progression.
constexpr int kMelody[4][8] = {{76, 0, 72, 74, 76, 0, 79, 76},
                               {77, 0, 76, 74, 72, 0, 69, 0},
                               {72, 74, 76, 0, 79, 0, 76, 72},
                               {74, 0, 71, 72, 74, 0, 67, 0}};

void note(pelko::MidiSequence& s, std::uint64_t at, std::uint64_t length, int key, int velocity)
{
    s.events.push_back({at, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity), 0});
    s.events.push_back({at + length, 0x80, static_cast<std::uint8_t>(key), 0, 0});
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: content-demo OUTPUT.mid\n");
        return 2;
    }
    const std::vector<pelko::factory::FactoryBankFile> banks =
        pelko::factory::factoryBanks(pelko::factory::factoryPrograms());
    const pelko::ProgramBank& bank = banks.front().bank;
    pelko::MidiSequence song;
    song.division.ticksPerQuarter = kTicks;
    song.tempos.push_back({0, 60'000'000 / 112});
    std::uint64_t at = 0;
    int section = 0;
    for (const char* name : kDemoPrograms) {
        int slot = 0;
        while (slot < pelko::kProgramCount && bank.program(slot).name() != name) {
            ++slot;
        }
        if (slot == pelko::kProgramCount) {
            std::fprintf(stderr, "content-demo: %s is not in the factory bank\n", name);
            return 1;
        }
        song.events.push_back({at, 0xC0, static_cast<std::uint8_t>(slot), 0, 0});
        for (int bar = 0; bar < 2; ++bar) {
            const int chord = (2 * section + bar) % 4;
            const std::uint64_t start = at + static_cast<std::uint64_t>(bar) * kBar;
            // The bass and the held chord fill the bar; the melody plays over them.
            note(song, start, kBar - kTicks / 4, kRoots[chord] - 12, 96);
            for (int key : kChords[chord]) {
                note(song, start, kBar - kTicks / 4, key, 80);
            }
            for (int step = 0; step < 8; ++step) {
                if (kMelody[chord][step] != 0) {
                    note(song, start + static_cast<std::uint64_t>(step) * kTicks / 2, kTicks / 2 - 20,
                         kMelody[chord][step], step % 2 == 0 ? 104 : 88);
                }
            }
        }
        at += 2 * kBar;
        ++section;
    }
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const pelko::MidiFileEvent& a, const pelko::MidiFileEvent& b) { return a.tick < b.tick; });
    song.endTick = at + kBar;  // a bar for the last notes to ring out
    if (!pelko::writeFileAtomically(argv[1], pelko::writeMidiFile(song))) {
        std::fprintf(stderr, "%s: the demo song could not be written\n", argv[1]);
        return 1;
    }
    return 0;
}
