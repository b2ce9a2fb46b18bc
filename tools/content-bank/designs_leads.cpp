// Leads: mono leads with glide, poly leads and sync-style sweeps.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addLeadDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Classic Mono Lead", "Leads/Mono", "Three saws through a warm 24 dB low-pass with glide and a touch of delay",
         [](Recipe& r) {
             r.voices(1).glide(0.2f);
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Saw", 0, 7.0f}, {"Single Cycle\\Saw", -12, -5.0f}}, 0.08f,
                      {0.005f, 0.3f, 0.9f, 0.15f});
             r.filter(0, kLowpass24, 0.42f, 0.3f, 0.25f).filterEnv(0, {0.005f, 0.5f, 0.5f, 0.2f});
             r.effect(0, fx::kStereoDelay, {0.45f, 0.35f, 0.25f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(8.0f).velocityCutoff(0, 0.7f);
             r.level(0.45f);
         },
         "mono glide portamento solo fat"},
        {"Whistle Lead", "Leads/Mono", "A near-sine lead with the whistle noise breathing through it, for flute-like tunes",
         [](Recipe& r) {
             r.voices(1).glide(0.1f);
             unfiltered(r, {{"Single Cycle\\Sine"}, {"Noise\\Whistle"}}, 0.22f, {0.04f, 0.3f, 0.85f, 0.2f});
             r.raw(1, 0.04f);
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(9.0f);
             r.level(0.45f);
         },
         "whistle flute sine pure"},
        {"Screaming Lead", "Leads/Mono", "A resonant pulse lead pushed through overdrive, for solos that cut through a mix",
         [](Recipe& r) {
             r.voices(1).glide(0.12f);
             filtered(r, {{"Single Cycle\\Pulse 33"}, {"Single Cycle\\Saw", 12, 5.0f}}, 0.1f, {0.003f, 0.3f, 0.85f, 0.15f});
             r.filter(0, kLowpass24, 0.5f, 0.6f, 0.2f).filterEnv(0, {0.01f, 0.6f, 0.6f, 0.15f});
             r.effect(0, fx::kOverdrive, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.6f);
             r.velocity(16.0f).velocityCutoff(0, 0.7f);
             r.level(0.35f);
         },
         "scream distortion solo rock"},
        {"Chiptune Lead", "Leads/Poly", "A bare narrow pulse an octave up with a square underneath: a game-console lead",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Pulse 25", 12}, {"Single Cycle\\Square"}}, 0.12f, {0.001f, 0.1f, 0.8f, 0.05f});
             r.velocity(7.0f);
             r.level(0.35f);
         },
         "chip 8-bit game retro"},
        {"Soft Triangle Lead", "Leads/Poly", "Triangles an octave apart with a slow attack and echoes: gentle and clear",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Triangle"}, {"Single Cycle\\Triangle", 12, 4.0f}}, 0.18f,
                        {0.06f, 0.4f, 0.8f, 0.3f});
             r.raw(1, 0.07f);
             r.effect(0, fx::kCrossDelay, {0.36f, 0.44f, 0.5f, 0.4f, 0.5f, 0.5f}, 0.3f);
             r.velocity(8.0f);
             r.level(0.5f);
         },
         "soft gentle triangle echo"},
        {"Vowel Lead", "Leads/Poly", "The soprano and 'ee' vowels layered into a singing synth lead with chorus",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Soprano Ah"}, {"Vocal\\Ee", 12}}, 0.16f, {0.03f, 0.4f, 0.85f, 0.25f});
             r.raw(1, 0.06f);
             r.effect(0, fx::kChorus, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(8.0f);
             r.gain(1.4f);
             r.level(0.5f);
         },
         "vocal singing voice"},
        {"Sync Sweep", "Leads/Sync", "A hard-edged saw whose band-pass sweeps up on every note, like an oscillator sync sweep",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Pulse 40", 7}}, 0.12f, {0.003f, 0.4f, 0.8f, 0.15f});
             r.filter(0, kBandpass24, 0.25f, 0.7f, 0.7f).filterEnv(0, {0.25f, 0.5f, 0.6f, 0.2f});
             r.velocity(8.0f).velocityCutoff(0, 0.7f);
             r.level(0.5f);
         },
         "sync sweep tearing"},
        {"Sync Brass Lead", "Leads/Sync", "A resonant sweep over two pulse waves with a fifth on top",
         [](Recipe& r) {
             r.voices(4);
             filtered(r, {{"Single Cycle\\Pulse 10"}, {"Single Cycle\\Pulse 25", 7, 3.0f}}, 0.12f, {0.01f, 0.5f, 0.8f, 0.2f});
             r.filter(0, kLowpass24, 0.3f, 0.7f, 0.6f).filterEnv(0, {0.15f, 0.3f, 0.4f, 0.2f});
             r.effect(0, fx::kStereoDelay, {0.3f, 0.4f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(9.0f).velocityCutoff(0, 0.6f);
             r.level(0.45f);
         },
         "sync fifth resonant"},
        {"FM Lead", "Leads/Mono", "A bright three-to-one FM lead that mellows as the note is held",
         [](Recipe& r) {
             r.voices(1).glide(0.1f);
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").transpose(1, 19).raw(0, 0.28f);
             r.amp(0, {0.01f, 0.5f, 0.85f, 0.2f}).amp(1, {0.005f, 1.0f, 0.3f, 0.2f});
             r.fmIndex(1, 0, 3.0f);
             r.velocity(9.0f).velocityLevel(1, 16.0f);
             r.level(0.35f);
         },
         "fm bright digital"},
        {"Super Saw Lead", "Leads/Poly", "The seven-saw wave with chorus and echo: a huge trance lead",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Super Saw"}, {"Motion\\Super Saw", 12, 6.0f}}, 0.1f, {0.005f, 0.4f, 0.85f, 0.3f});
             r.filter(0, kLowpass12, 0.7f, 0.1f, 0.1f).filterEnv(0, {0.01f, 0.5f, 0.7f, 0.3f});
             r.effect(0, fx::kChorus, {0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.effect(1, fx::kStereoDelay, {0.4f, 0.4f, 0.35f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(8.0f).velocityCutoff(0, 0.8f);
             r.gain(2.0f);
             r.level(0.35f);
         },
         "supersaw trance huge"},
        {"Sine Octave Lead", "Leads/Mono", "The sine octaves wave with slow glide and a phaser, smooth and hollow",
         [](Recipe& r) {
             r.voices(1).glide(0.3f);
             unfiltered(r, {{"Single Cycle\\Sine Octaves"}}, 0.25f, {0.02f, 0.4f, 0.9f, 0.25f});
             r.effect(0, fx::kPhaser, {0.2f, 0.6f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(8.0f);
             r.level(0.45f);
         },
         "smooth hollow octave"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
