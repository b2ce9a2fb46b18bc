// Basses: analogue, digital, FM and sub basses, judged an octave and a half below middle C.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addBassDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Acid Squelch", "Basses/Analog", "One saw voice through a screaming 24 dB low-pass whose sweep snaps shut",
         [](Recipe& r) {
             r.voices(1).glide(0.08f);
             filtered(r, {{"Single Cycle\\Saw"}}, 0.16f, {0.002f, 0.3f, 0.7f, 0.05f});
             r.filter(0, kLowpass24, 0.15f, 0.55f, 0.6f).filterEnv(0, {0.001f, 0.18f, 0.0f, 0.05f});
             r.velocity(20.0f).velocityCutoff(0, 0.5f);
             r.modWheel(row::kResonance1, 0.9f, "raises the resonance");
             r.level(0.4f);
         },
         "acid squelch resonant mono 303"},
        {"Pulse Thump", "Basses/Analog", "A narrow pulse and a sub square with a dull, thumping low-pass",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 25"}, {"Single Cycle\\Square", -12}}, 0.12f, {0.002f, 0.4f, 0.6f, 0.06f});
             r.filter(0, kAnalogLowpass2, 0.2f, 0.2f, 0.3f).filterEnv(0, {0.001f, 0.12f, 0.1f, 0.06f});
             r.velocity(15.0f).velocityCutoff(0, 0.6f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.4f);
         },
         "pulse punchy thump"},
        {"Detuned Growl", "Basses/Analog", "Two saws a few cents apart through an overdriven low-pass: a wide, growling bass",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw", 0, -9.0f}, {"Single Cycle\\Saw", 0, 9.0f}, {"Single Cycle\\Square", -12}},
                      0.09f, {0.003f, 0.5f, 0.8f, 0.1f});
             r.filter(0, kLowpass24, 0.3f, 0.35f, 0.25f).filterEnv(0, {0.002f, 0.4f, 0.3f, 0.1f});
             r.effect(0, fx::kOverdrive, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(18.0f).velocityCutoff(0, 0.6f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.35f);
         },
         "growl dirty distorted wide"},
        {"Rubber Bass", "Basses/Analog", "A triangle with a quick downward pitch blip of its filter: round and bouncy",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Triangle"}, {"Single Cycle\\Soft Saw"}}, 0.14f, {0.002f, 0.25f, 0.5f, 0.08f});
             r.filter(0, kLowpass12, 0.18f, 0.5f, 0.5f).filterEnv(0, {0.001f, 0.09f, 0.0f, 0.05f});
             r.velocity(15.0f).velocityCutoff(0, 0.5f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.45f);
         },
         "rubber bouncy funk round"},
        {"Digital Bite", "Basses/Digital", "Thin pulse waves through a high-pass and band-pass for a hard, modern digital bass",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 10"}, {"Single Cycle\\Pulse 5", 12}}, 0.12f, {0.001f, 0.35f, 0.5f, 0.05f});
             r.filter(0, kBandpass12, 0.3f, 0.45f, 0.4f).filterEnv(0, {0.001f, 0.2f, 0.2f, 0.05f});
             r.raw(0, 0.06f);
             r.velocity(14.0f).velocityCutoff(0, 0.6f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.gain(1.8f);
             r.level(0.4f);
         },
         "digital hard bite modern"},
        {"Formant Bass", "Basses/Digital", "The vowel waves an octave down, so every note says 'oh' as it decays to 'oo'",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Oh", -12}, {"Vocal\\Oo", -12}}, 0.16f, {0.003f, 0.6f, 0.6f, 0.1f});
             r.amp(0, {0.003f, 0.25f, 0.1f, 0.08f});
             r.velocity(14.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.gain(2.5f);
             r.level(0.5f);
         },
         "formant vowel talking"},
        {"Reese Bass", "Basses/Digital", "The detuned saw wave low-passed and phased: a dark, moving drum-and-bass sound",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Detuned Saw"}, {"Motion\\Detuned Saw", 0, 15.0f}}, 0.1f, {0.005f, 0.5f, 0.9f, 0.15f});
             r.filter(0, kLowpass24, 0.28f, 0.2f, 0.1f).filterEnv(0, {0.01f, 0.5f, 0.6f, 0.15f});
             r.effect(0, fx::kPhaser, {0.1f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(12.5f).velocityCutoff(0, 0.7f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.gain(1.5f);
             r.level(0.4f);
         },
         "reese dark dnb moving"},
        {"DX Slap Bass", "Basses/FM", "A two-to-one modulator with a short, bright slap that falls to a round tone",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").transpose(1, 12).raw(0, 0.3f);
             r.amp(0, {0.001f, 0.8f, 0.4f, 0.08f}).amp(1, {0.001f, 0.12f, 0.05f, 0.05f});
             r.fmIndex(1, 0, 4.0f);
             r.velocity(15.0f).velocityLevel(1, 18.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.3f);
         },
         "fm slap electric 80s"},
        {"Wood Bass", "Basses/FM", "A soft FM pluck with a low modulator ratio, like an upright bass",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").wave(2, "Single Cycle\\Triangle");
             r.raw(0, 0.28f).raw(2, 0.05f);
             r.amp(0, {0.004f, 1.2f, 0.0f, 0.15f}).amp(1, {0.002f, 0.3f, 0.0f, 0.1f}).amp(2, {0.004f, 0.8f, 0.0f, 0.1f});
             r.fmIndex(1, 0, 2.0f);
             r.velocity(16.0f).velocityLevel(1, 20.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.4f);
         },
         "upright acoustic jazz wood"},
        {"Deep Sub", "Basses/Sub", "A sine two octaves below with a triangle on top for definition on small speakers",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Sine", -12}, {"Single Cycle\\Triangle"}}, 0.25f, {0.004f, 0.3f, 0.85f, 0.12f});
             r.raw(1, 0.04f);
             r.velocity(14.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.35f);
         },
         "sub deep sine 808"},
        {"Organ Sub", "Basses/Sub", "The sub-octave organ registration with a click, a warm and steady low end",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Sub", -12}}, 0.2f, {0.004f, 0.1f, 1.0f, 0.06f});
             r.velocity(13.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.4f);
         },
         "organ sub steady warm"},
        {"Synth Pluck Bass", "Basses/Analog", "Square and saw with a fast-closing low-pass and no sustain: a short, plucked bass",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Square"}, {"Single Cycle\\Saw", 12, 4.0f}}, 0.12f, {0.001f, 0.45f, 0.0f, 0.1f});
             r.filter(0, kLowpass24, 0.15f, 0.3f, 0.7f).filterEnv(0, {0.001f, 0.1f, 0.0f, 0.08f});
             r.velocity(15.0f).velocityCutoff(0, 0.5f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.45f);
         },
         "pluck short staccato"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
