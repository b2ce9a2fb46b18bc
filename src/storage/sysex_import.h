// Turns the 32 voices of an FM bulk dump (sysex_voice.h) into programs. Each voice becomes a
// default program with operator n played by oscillator n (wave "Single Cycle\Sine"):
//
//   routing     the algorithm's routing text: every modulation XY sets FM row X→Y to 1.0 and is
//               assigned (0 … 1) to user slider 1 "FM amount", which is then set to 0.9; the
//               feedback path gets feedback/7 and is assigned to user slider 2 "Feedback", set to
//               the same amount; carriers get Out->Raw 1.0 (Out1->Raw starts at 0); FM Scaling LIN
//   levels      envelope levels and output level are 0.75 dB steps below 99 (level 0 is silence);
//               the output level, raised by the key-scaling peak, is the amplitude envelope's depth
//   envelope    0 → L1 → L2 → L3 (held while the key is down) → L4 at the four rates; a non-zero
//               L4 adds a short rise to L4 before and a fade to silence after: 6 segments
//   rate        a full-range move (99 steps) at rate r takes 38·2^(−r/6.4) s; shorter moves take
//               their share of it
//   key scaling break point key 21 + break point; left and right curves (±LIN 24 dB per octave,
//               ±EXP 6·(4^octaves − 1) dB, at the depth's share of 99) on the level-by-key curve,
//               normalised to a peak of 1
//   rate scaling the time-by-key curve falls from 1 at key 0 to 1 − rs/7 (at least 0.05) at key 127
//   velocity    the level-by-velocity curve rises from 1 − s/7 at velocity 0 to 1 at 127
//   detune      the detune curve is flat at detune/14 (7 = none, ±2 Hz at the ends)
//   frequency   ratio (coarse 0 = 0.5)·(1 + fine/100) and the voice's transpose as Coarse (nearest
//               semitone, ±48) and Fine (the rest, ±1 semitone); fixed frequency 10^(coarse mod 4)·
//               10^(fine/100) Hz on the fixed-pitch object with its nearest key
//   key sync    off: random start phase (Phase Mod. at RND); on: Phase Mod. 0
//   pitch EG    when not flat: every oscillator's pitch envelope PL4 → PL1 → PL2 → PL3 (held) → PL4,
//               level 50 = no change, Pitch Mod. at ±4 octaves
//   LFO         the global pitch envelope from "Envelope Settings\DX7\<wave>.env": its first segment
//               lasts the LFO delay 3·2^((d − 99)·0.05) s, its loop one LFO period, its depth is
//               (pitch depth/99)·(pitch sensitivity/7)
//   effects     FX slots 1 and 2 from "Effects Settings\dx7-a.rfx" and "dx7-b.rfx"
//   level       Main Level 0.25, lowered to 0.5/carriers for three carriers or more
//
// The 32 programs go into the half of the bank that holds the current program (slots 0–31 or
// 32–63), which is then selected again.
#pragma once

#include "params/envelope_object.h"
#include "storage/program_host.h"
#include "params/setting_objects.h"
#include "storage/side_files.h"
#include "storage/sysex_voice.h"

#include <array>
#include <optional>
#include <string_view>

namespace pelko {

// The LFO envelope file of each LFO wave, below "Envelope Settings".
std::string_view lfoEnvelopeFileName(int wave);
// The effect settings of FX slot 0 and 1, below "Effects Settings".
std::string_view fmEffectFileName(int slot);

// The files the conversion reads, loaded once per import. Missing files leave their part of the
// programs at the defaults (with a diagnostic).
struct FmImportContent {
    struct EffectSettings {
        IntegerObject type;
        std::array<float, kEffectFileValues> values{};
    };
    std::array<std::optional<EnvelopeObject>, 6> lfoEnvelopes;
    std::array<std::optional<EffectSettings>, 2> effects;
};
// installFolder ends with a separator.
FmImportContent loadFmImportContent(std::string_view installFolder);

// Converts one voice into `program`, which holds the default program.
void convertFmVoice(const FmVoice& voice, const FmImportContent& content, Program& program);

// The first of the 32 slots that receive a dump, for the current program.
int firstSysexSlot(int currentProgram);

// Converts a dump in memory into the bank (see above). False after message 4 with `path` when
// the bytes are no 32-voice bulk dump.
bool importSysexBytes(ProgramHost& host, const std::uint8_t* data, std::size_t size, std::string_view path);
// Reads a ".syx" file (message 7 with the path when it cannot be read) and imports it.
bool importSysexFile(ProgramHost& host, std::string_view path);

}  // namespace pelko
