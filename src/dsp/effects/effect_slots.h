// The two effect slots, FX1 and FX2, that process the summed voices.
//
// Each slot holds one effect chosen by a stored type id, plus the slot's own settings (six
// parameter values, dry/wet, tempo sync) so that a new effect starts from them. The slots run
// in series (FX1 then FX2, in place), in parallel (both from the same input, outputs summed;
// each output already holds its own dry part), or are bypassed.
//
// Threads and allocation. Nothing here is synchronised: every call is made under the plug-in's
// processing lock, which serialises them with `process`. Calls marked [audio] may run on the
// audio thread and never allocate there; calls marked [not audio] allocate or write
// diagnostics and belong on the host's other threads.
//
// Type changes. A type change needs an effect object, and building one allocates delay lines.
// The slots therefore keep every effect they have built: a slot's previous effect goes to the
// slot's shelf, and a type change takes the shelved object of that type when there is one
// (reset and re-parameterised, exactly as if new). `prepareAllTypes()` fills the shelves once
// (about 1.3 MB per slot at 44.1 kHz, 11 MB at 384 kHz), after which type changes never
// allocate, so that a MIDI program change on the audio thread can switch effects safely.
// Without it, the first switch to each type allocates. A synced delay time needs a line that
// holds its step at the slowest usable tempo (up to 24 s, so that tempo changes never allocate):
// reserveSyncedTimes makes room, off the audio thread, for the times a bank's programs choose. A
// longer time chosen on the audio thread plays as long as its line allows until
// growShortenedLines runs off it; elsewhere the line grows at once.
//
// Parallel mode works through four scratch buffers of kChunkFrames floats, allocated once and
// zeroed before every parallel chunk (an "Off" slot writes nothing, so it adds silence).
// Blocks of any length are processed in chunks of at most kChunkFrames frames, in
// both modes, so no block overflows them and both modes run the effects on the same chunks.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/effect_factory.h"

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace pelko {

class EffectSlots {
public:
    static constexpr int kSlots = 2;
    static constexpr int kChunkFrames = 512;

    // Both slots "Off"; 44100 Hz, 120 bpm; serial; not bypassed; slot settings at the
    // parameter defaults (values 0, dry/wet 0.5, sync on). [not audio]
    EffectSlots();
    ~EffectSlots();
    EffectSlots(const EffectSlots&) = delete;
    EffectSlots& operator=(const EffectSlots&) = delete;

    // --- Type ----------------------------------------------------------------------------
    // Puts the effect of a stored type id into the slot: reset, the slot's six values, its
    // dry/wet, then its sync flag with the current tempo. An id that is not in the type table
    // gives "Off" and a diagnostic. [audio: only after prepareAllTypes()]
    void setType(int slot, int typeId);
    // Builds one effect of every type for both shelves. [not audio]
    void prepareAllTypes();
    // Exchanges the two slots: effects and settings. [audio]
    void swapSlots();

    // Makes room in the slot's effect of type typeId (in use or shelved) for the synced times of
    // these six parameter values; unknown types and effects without synced lines ignore it.
    // [not audio]
    void reserveSyncedTimes(int slot, int typeId, const std::array<float, kEffectParameters>& values);
    // Whether an effect in use plays a synced time shorter than chosen, for want of memory on the
    // audio thread. [audio]
    bool linesShortened() const;
    // Grows those lines and re-applies their times. [not audio]
    void growShortenedLines();

    // --- Settings (parameters 167–182, 191–192) ------------------------------------------
    // Parameter 0…5 of the slot's effect; returns the value in effect (a synced value snapped
    // to its step). [audio]
    float setParameter(int slot, int index, float value);
    void setDryWet(int slot, float value);    // [audio]
    void setTempoSync(int slot, bool on);     // [audio]
    // Resets both effects when the routing actually changes. [audio]
    void setSerial(bool serial);
    void setBypass(bool bypass);              // [audio]

    // --- Environment ---------------------------------------------------------------------
    // Host tempo. Returns true when the tempo was usable and differed from the stored one; it
    // then reaches both effects. Unusable tempos (see isUsableTempo) are ignored. [audio]
    bool setTempo(double bpm);
    // New sample rate for every effect, shelved ones included; re-applies their parameters.
    // Rates outside 8–384 kHz are clamped, unusable ones ignored. [not audio]
    void setSampleRate(double sampleRate);
    // Clears the audio state of both effects. [audio]
    void reset();

    // --- Processing ----------------------------------------------------------------------
    // Runs the slots over the block in place. A chunk whose result is not finite (a NaN or
    // infinity from the input or an effect) is replaced by silence and both effects are reset,
    // so it cannot stick in a feedback path. [audio]
    void process(float* left, float* right, int frames);

    // --- Queries (any thread under the lock; no allocation) ------------------------------
    int effectType(int slot) const;
    // True when neither slot is "Off".
    bool bothSlotsHaveEffects() const;
    const Effect& effect(int slot) const;
    // True while the parameter follows tempo sync (it then moves in steps).
    bool isDiscrete(int slot, int index) const;
    // The effect's display text of its parameter (at most `size` bytes with terminator).
    void display(int slot, int index, char* text, std::size_t size) const;
    const char* parameterName(int slot, int index) const;
    float parameter(int slot, int index) const;
    float dryWet(int slot) const;
    bool tempoSync(int slot) const;
    bool serial() const { return serial_; }
    bool bypass() const { return bypass_; }
    float tempo() const { return tempo_; }
    float sampleRate() const { return sampleRate_; }

private:
    struct Slot {
        std::unique_ptr<Effect> effect;
        std::array<std::unique_ptr<Effect>, kEffectTypeCount> shelf;
        std::array<float, kEffectParameters> values{};
        float mix = 0.5f;
        bool sync = true;
    };

    static bool validSlot(int slot) { return slot >= 0 && slot < kSlots; }
    void install(Slot& slot, std::unique_ptr<Effect> effect);
    void runChunk(float* left, float* right, int frames);

    std::array<Slot, kSlots> slots_;
    std::vector<float> scratch_;  // P, Q, S, T: kChunkFrames floats each
    float sampleRate_;
    float tempo_;
    bool serial_ = true;
    bool bypass_ = false;
    int unreportedTypeId_ = 0;
    bool unreportedType_ = false;
};

}  // namespace pelko
