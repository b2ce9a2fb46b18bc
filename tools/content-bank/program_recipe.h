// Small helpers for writing program recipes in musical terms: semitones, cents, seconds and
// levels instead of the 0–1 values and breakpoint lists the program stores.
#pragma once

#include "params/program.h"

#include <initializer_list>
#include <string>
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
    // Multiplies every oscillator and product-bus send by `factor` (each limited to 1): the gain
    // staging ahead of the effects, for programs Main Level alone cannot make loud enough.
    Recipe& gain(float factor);
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

    // Playing controls. Each adds a phrase to controls(), so a program's comment says what its
    // velocity, aftertouch, mod wheel and user controls do.
    //
    // A vibrato of about `cents` either side at `rateHz` (the looping global pitch envelope, after
    // `delay` seconds at the start of each note), scaled by Vib. Depth.
    Recipe& vibrato(float cents, float rateHz, float delay = 0.0f);
    // Aftertouch deepens the vibrato: at no pressure it has `fractionAtRest` of its depth.
    Recipe& aftertouchVibrato(float fractionAtRest);
    // Aftertouch opens filter f: its cutoff value at no pressure is `fractionAtRest` of the value at
    // full pressure, and the recipe's cutoff becomes the no-pressure value.
    Recipe& aftertouchCutoff(int f, float fractionAtRest);
    // Aftertouch deepens the FM into `target`: at no pressure the depth is `fractionAtRest` of full.
    Recipe& aftertouchFm(int target, float fractionAtRest);
    // User slider `slider` (0–5, slider 0 is the one the mod wheel is meant for, captioned "Mod
    // Wheel") sweeps `parameter` from its current value (slider at 0, as stored) to `high`. More
    // parameters can be added to the same slider by calling again; `what` is said once.
    Recipe& userControl(int slider, std::string_view caption, int parameter, float high, std::string_view what = {});
    Recipe& modWheel(int parameter, float high, std::string_view what = {});
    const std::string& controls() const { return controls_; }

    // An amplitude envelope from breakpoints: levels at the ends of segments of the given lengths
    // (seconds), starting from 0; segments [loopStart, loopStart + loopLength) repeat while the key
    // is held, the segments after them are the release.
    Recipe& ampShape(int osc, std::initializer_list<std::pair<float, float>> segments, int loopStart, int loopLength);
    // Product bus `bus` (0–1) multiplies oscillators a and b (and c, −1 for none); it goes to filter
    // 1, filter 2 and straight out with these sends (0–1).
    Recipe& ringBus(int bus, int a, int b, int c, float toFilter1, float toFilter2, float rawSend);
    // Oscillator `osc` plays its own additive wave: harmonic levels from the first harmonic up.
    Recipe& additive(int osc, std::initializer_list<float> harmonicLevels);
    // The program's own tuning: cents above key 0 for every key, from `centsOfKey`.
    Recipe& tuning(std::string_view name, float (*centsOfKey)(int key));
    // Any parameter by its row, for the settings the other calls do not cover.
    Recipe& set(int parameter, float value);
    float value(int parameter) const;

private:
    void say(std::string_view phrase);

    Program& p_;
    std::string controls_;
};

// The stored 0–1 value that selects a whole number n in a range mapped as trunc(v·scale) around
// the centre 0.5 (coarse tuning, sequencer notes): v = 0.5 + n/scale, nudged half a step away from
// the centre so that truncation lands on n.
float centredStepValue(int n, float scale);

// The matrix value that gives a modulation index (radians, see Recipe::fmIndex); `depthCurve`
// is the program's FM scaling.
float fmIndexValue(float radians, bool depthCurve);

}  // namespace pelko::factory
