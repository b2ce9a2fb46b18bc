// What the voices read from the plug-in that owns them. The owner keeps one VoiceContext, fills
// in the pointers once and updates the live fields (pitch bend, pressure, pedal, tempo, rate) as
// MIDI and the host change them; voices never copy the program, they read it through here.
//
// Everything here is read and written under the owner's processing lock.
#pragma once

#include "params/tuning_scale.h"
#include "params/engine_settings.h"

#include <array>
#include <cstdint>

namespace pelko {

class FilterTables;
class Program;
class WaveSlot;

constexpr int kNoNote = 255;
constexpr int kControlPeriod = 64;  // samples between control ticks

struct VoiceContext {
    // Curves, envelope shapes, waveshaper tables and fixed pitches of the program being played.
    const Program* program = nullptr;
    // What the parameters map to (tuning, routing gains, FM matrix, filter settings, glide...).
    const EngineSettings* settings = nullptr;
    // Frequency in Hz of every key, from the tuning scale in force; every entry finite and > 0.
    const FrequencyTable* frequencies = nullptr;
    // The six oscillators' wave slots.
    const WaveSlot* waves = nullptr;

    // Filter type ids the voices build (already checked: 0 means no filter).
    std::array<int, 2> filterTypes{};
    // Oscillators multiplied on product buses A and B: 0–5, or −1 for none.
    std::array<std::array<int, 3>, 2> busInputs{{{-1, -1, -1}, {-1, -1, -1}}};

    float sampleRate = 44100.0f;  // Hz
    // The filter tables for sampleRate, fixed once built (filterTablesFor); null means 44100 Hz.
    // New voices build their filters from them.
    const FilterTables* filterTables = nullptr;
    float tempo = 120.0f;         // beats per minute
    float pitchBend = 1.0f;       // frequency ratio of the last bend message
    int aftertouch = 0;           // last channel pressure, 0–127
    bool sustainPedal = false;
    int lastNote = kNoNote;       // the previous note, for portamento
};

// Makes a frequency table safe to play: entries that are not finite or not positive are replaced
// by the equal-tempered frequency of their key, and entries are kept below 1 MHz.
void makePlayable(FrequencyTable& table);

}  // namespace pelko
