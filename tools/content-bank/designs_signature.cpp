// Programs that show what only this instrument does: the free FM matrix with feedback, the
// product (ring) buses, additive waves drawn harmonic by harmonic, long envelopes that loop while
// a key is held, and tunings of the program's own.
#include "factory_designs.h"

#include <cmath>

namespace pelko::factory {

using namespace filter_id;

namespace {

// Just intonation in C: the twelve ratios of the 5-limit scale in every octave.
float justInC(int key)
{
    static constexpr double kRatios[12] = {1.0, 16.0 / 15, 9.0 / 8, 6.0 / 5, 5.0 / 4, 4.0 / 3,
                                           45.0 / 32, 3.0 / 2, 8.0 / 5, 5.0 / 3, 9.0 / 5, 15.0 / 8};
    return static_cast<float>(1200.0 * (key / 12) + 1200.0 * std::log2(kRatios[key % 12]));
}

// Nineteen equal steps to the octave, middle C (key 60) where equal temperament has it.
float nineteenTone(int key) { return static_cast<float>(6000.0 + (key - 60) * 1200.0 / 19.0); }

}  // namespace

void addSignatureDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Matrix Cascade", "FM", "Four sines in a chain, each modulating the next, the top one feeding back on itself: a bright, biting electric tone that mellows",
         [](Recipe& r) {
             for (int osc = 0; osc < 4; ++osc) {
                 r.wave(osc, "Single Cycle\\Sine");
             }
             r.transpose(1, 12).transpose(2, 19).transpose(3, 24).raw(0, 0.28f);
             r.amp(0, {0.002f, 2.5f, 0.3f, 0.4f}).amp(1, {0.002f, 1.2f, 0.2f, 0.3f});
             r.amp(2, {0.001f, 0.6f, 0.1f, 0.2f}).amp(3, {0.001f, 0.3f, 0.0f, 0.2f});
             r.fmIndex(1, 0, 1.8f).fmIndex(2, 1, 1.5f).fmIndex(3, 2, 1.2f).fm(3, 3, 0.4f);
             r.velocity(12.0f).velocityLevel(1, 16.0f).velocityLevel(2, 18.0f).velocityLevel(3, 20.0f);
             r.effect(0, fx::kChorus, {0.3f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.level(0.35f);
         },
         "fm matrix cascade feedback operator"},
        {"Breathing FM", "FM", "A modulator whose long envelope keeps looping while the key is held, so the FM tone slowly breathes brighter and darker",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").wave(2, "Single Cycle\\Sine");
             r.transpose(2, -12).raw(0, 0.25f).raw(2, 0.08f);
             r.amp(0, {0.3f, 1.0f, 0.9f, 1.5f}).amp(2, {0.5f, 1.0f, 0.9f, 1.5f});
             // Up quickly, down over a second, then up and down over three seconds each for as long as the key is held.
             r.ampShape(1, {{0.01f, 1.0f}, {1.0f, 0.3f}, {3.0f, 0.8f}, {3.0f, 0.3f}, {1.5f, 0.0f}}, 2, 2);
             r.fmIndex(1, 0, 2.5f).fm(1, 1, 0.35f);
             r.velocity(7.0f).velocityLevel(1, 14.0f);
             r.effect(0, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.level(0.45f);
         },
         "fm looping envelope evolving breathing pad"},
        {"Ring Bus Metal", "FM", "Two detuned sines multiplied on a ring bus, with a feedback sine underneath: clangorous and metallic",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").wave(2, "Single Cycle\\Sine");
             r.transpose(1, 7).detune(1, 31.0f).raw(0, 0.0f).raw(2, 0.12f);
             r.amp(0, {0.001f, 2.0f, 0.0f, 0.8f}).amp(1, {0.001f, 1.2f, 0.0f, 0.6f}).amp(2, {0.001f, 1.5f, 0.0f, 0.6f});
             r.ringBus(0, 0, 1, -1, 0.0f, 0.0f, 0.5f);
             r.fm(2, 2, 0.5f);
             r.velocity(14.0f);
             r.effect(0, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.level(0.5f);
         },
         "ring modulation bus metallic clang"},
        {"Ring Pluck", "Plucks", "A saw multiplied by a sine a fifth up on the ring bus and plucked through a low-pass: a hollow, bell-edged pluck",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Saw").wave(1, "Single Cycle\\Sine").transpose(1, 7).raw(0, 0.0f);
             r.amp(0, {0.001f, 0.8f, 0.0f, 0.25f}).amp(1, {0.001f, 0.8f, 0.0f, 0.25f});
             r.ringBus(0, 0, 1, -1, 0.6f, 0.0f, 0.0f);
             r.toFilter(0, 0, 0.05f);
             r.filter(0, kLowpass24, 0.35f, 0.3f, 0.5f).filterEnv(0, {0.001f, 0.25f, 0.0f, 0.2f});
             r.velocity(15.0f).velocityCutoff(0, 0.5f);
             r.gain(2.0f);
             r.level(0.5f);
         },
         "ring pluck hollow bell"},
        {"Additive Drawbars", "Additive", "An organ drawn harmonic by harmonic: strong octaves and fifths, a quiet seventh, nothing above the tenth",
         [](Recipe& r) {
             r.additive(0, {1.0f, 0.8f, 0.6f, 0.5f, 0.0f, 0.35f, 0.08f, 0.3f, 0.0f, 0.15f});
             r.raw(0, 0.2f).amp(0, {0.005f, 0.05f, 1.0f, 0.06f});
             r.effect(0, fx::kRotary, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(6.0f);
             r.level(0.45f);
         },
         "additive harmonics drawbar organ"},
        {"Just Glass Pad", "Additive", "Even harmonics of an additive wave in just intonation (C): chords in C ring without beating, under a looping swell",
         [](Recipe& r) {
             r.additive(0, {1.0f, 0.7f, 0.0f, 0.5f, 0.0f, 0.3f, 0.0f, 0.25f, 0.0f, 0.0f, 0.0f, 0.15f});
             r.additive(1, {1.0f, 0.0f, 0.4f, 0.0f, 0.2f});
             r.transpose(1, 12).raw(0, 0.16f).raw(1, 0.06f);
             // A swell that rises and falls over four seconds for as long as the key is held.
             for (int osc = 0; osc < 2; ++osc) {
                 r.ampShape(osc, {{1.0f, 0.9f}, {2.0f, 0.55f}, {2.0f, 0.9f}, {2.0f, 0.0f}}, 1, 2);
             }
             r.tuning("Just Intonation in C", justInC);
             r.effect(0, fx::kReverb, {0.85f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(6.0f);
             r.level(0.6f);
         },
         "just intonation tuning pure additive pad looping"},
        {"Nineteen Tone Keys", "Additive", "An odd-harmonic additive key sound tuned in nineteen equal steps to the octave from middle C",
         [](Recipe& r) {
             r.additive(0, {1.0f, 0.0f, 0.45f, 0.0f, 0.3f, 0.0f, 0.2f, 0.0f, 0.12f});
             r.wave(1, "Single Cycle\\Sine").transpose(1, 12);
             r.raw(0, 0.2f).raw(1, 0.05f);
             r.amp(0, {0.002f, 1.8f, 0.2f, 0.4f}).amp(1, {0.001f, 0.5f, 0.0f, 0.2f});
             r.tuning("19-tone equal temperament", nineteenTone);
             r.effect(0, fx::kStereoDelay, {0.4f, 0.35f, 0.25f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(14.0f);
             r.level(0.45f);
         },
         "19-tet microtonal tuning additive xenharmonic"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
