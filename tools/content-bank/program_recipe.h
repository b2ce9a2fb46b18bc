// Small helpers for writing program recipes in musical terms: semitones, cents, seconds and
// levels instead of the 0–1 values and breakpoint lists the program stores.
#pragma once

#include "params/program.h"

#include <string_view>

namespace pelko::factory {

// Envelope times in seconds, sustain as a level 0–1.
struct Adsr {
    float attack, decay, sustain, release;
};

class Recipe {
public:
    explicit Recipe(Program& program) : p_(program) {}

    Recipe& name(std::string_view name);
    Recipe& author(std::string_view author);
    Recipe& comment(int line, std::string_view text);  // line 0–3
    // The whole comment, word-wrapped over the four comment lines (what does not fit is dropped).
    Recipe& describe(std::string_view text);
    Recipe& category(int number);

    Recipe& voices(int count);        // 1–32
    Recipe& level(float mainLevel);   // the Main Level value 0–1
    Recipe& glide(float time);        // glide on with this time (0–1) on every oscillator

    // Oscillator i (0–5).
    Recipe& wave(int osc, std::string_view waveName);
    Recipe& transpose(int osc, int semitones);  // −48 … +48
    Recipe& detune(int osc, float cents);       // −100 … +100
    Recipe& raw(int osc, float send);           // straight to the output, 0–1
    Recipe& toFilter(int osc, int filter, float send);  // 0–1 (the engine's gain is 4·send)
    Recipe& amp(int osc, const Adsr& envelope);
    // Oscillator `source` modulates the frequency of `target` by `amount` (the 0–1 matrix value).
    Recipe& fm(int source, int target, float amount);
    // The same cell set by its modulation index: the peak phase deviation in radians that a
    // factory single-cycle sine at full envelope level gives `target` at velocity 127, under
    // the program's FM scaling (the depth curve, or linear). The index scales with the
    // modulator's level, so velocity and the modulator's envelope shape the sidebands.
    Recipe& fmIndex(int source, int target, float radians);

    // Velocity: the level of every oscillator rises by `levelDb` from velocity 30 to 127 (an
    // even slope in dB, full level at 127). An FM modulator's level is its modulation index, so
    // FM programs brighten with it.
    Recipe& velocity(float levelDb);
    // The same for one oscillator (a modulator given its own range, for example).
    Recipe& velocityLevel(int osc, float levelDb);
    // Filter f's cutoff value at velocity 30 is `fractionAt30` of its value at 127 (falling
    // evenly in between): soft notes play darker.
    Recipe& velocityCutoff(int f, float fractionAt30);
    Recipe& randomPhase(int osc);

    // Filter f (0–1): type id, cutoff, resonance and envelope amount (0–1 values).
    Recipe& filter(int f, int typeId, float cutoff, float resonance, float envMod = 0.0f);
    Recipe& filterEnv(int f, const Adsr& envelope);

    // Effect slot s (0–1): type id, up to six parameter values, dry/wet.
    Recipe& effect(int slot, int typeId, std::initializer_list<float> params, float dryWet);
    Recipe& serialEffects(bool serial);

    // The step sequencer: semitone offsets and velocity offsets (−64 … +63) per step, gate
    // length 0–1, speed 0–1.
    Recipe& sequence(std::initializer_list<int> notes, std::initializer_list<int> velocities, float length,
                     float speed);

private:
    Program& p_;
};

// The stored 0–1 value that selects a whole number n in a range mapped as trunc(v·scale) around
// the centre 0.5 (coarse tuning, sequencer notes): v = 0.5 + n/scale, nudged half a step away from
// the centre so that truncation lands on n.
float centredStepValue(int n, float scale);

// The matrix value that gives a modulation index (radians, see Recipe::fmIndex); `depthCurve`
// is the program's FM scaling.
float fmIndexValue(float radians, bool depthCurve);

}  // namespace pelko::factory
