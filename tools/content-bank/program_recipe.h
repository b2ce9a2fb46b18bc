// Small helpers for writing program recipes in musical terms: semitones, cents, seconds and
// levels instead of the 0–1 values and breakpoint lists the program stores.
#pragma once

#include "storage/program.h"

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
    // Oscillator `source` modulates the frequency of `target` by `amount` (0–1).
    Recipe& fm(int source, int target, float amount);
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

}  // namespace pelko::factory
