// Keys (pianos, electric pianos, clavinets) answer velocity strongly; organs only gently (4 dB).
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addKeyAndOrganDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Bright Grand", "Keys/Piano", "Saw and triangle with a two-stage decay and a hammer that brightens loud notes",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Triangle", 12, 3.0f}}, 0.1f, {0.002f, 3.0f, 0.0f, 0.4f});
             r.amp(1, {0.002f, 1.0f, 0.0f, 0.3f});
             r.filter(0, kLowpass12, 0.45f, 0.05f, 0.4f).filterEnv(0, {0.001f, 1.0f, 0.15f, 0.3f});
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(18.0f).velocityCutoff(0, 0.45f);
             r.level(0.45f);
         },
         "piano grand acoustic bright"},
        {"Honky Tonk", "Keys/Piano", "Two detuned piano-like layers a quarter-tone apart in spirit: a bar-room upright",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Soft Saw", 0, -12.0f}, {"Single Cycle\\Soft Saw", 0, 12.0f}}, 0.1f,
                      {0.002f, 2.0f, 0.0f, 0.3f});
             r.filter(0, kLowpass12, 0.5f, 0.05f, 0.3f).filterEnv(0, {0.001f, 0.6f, 0.2f, 0.3f});
             r.velocity(14.0f).velocityCutoff(0, 0.5f);
             r.voices(6);
             r.level(0.45f);
         },
         "honky tonk upright detuned saloon"},
        {"Tine Piano", "Keys/Electric Piano", "A sine body with a high tine modulator that rings briefly on hard notes, with tremolo-like chorus",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").transpose(1, 24).raw(0, 0.25f);
             r.amp(0, {0.002f, 2.5f, 0.1f, 0.3f}).amp(1, {0.001f, 0.4f, 0.0f, 0.2f});
             r.fmIndex(1, 0, 2.0f);
             r.effect(0, fx::kChorus, {0.4f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(16.0f).velocityLevel(1, 22.0f);
             r.level(0.4f);
         },
         "electric piano rhodes tine"},
        {"Reed Piano", "Keys/Electric Piano", "A buzzy reed electric piano: a pulse with a fast filter decay and phaser",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 33"}, {"Single Cycle\\Sine"}}, 0.1f, {0.002f, 2.0f, 0.1f, 0.25f});
             r.filter(0, kLowpass12, 0.3f, 0.2f, 0.5f).filterEnv(0, {0.001f, 0.4f, 0.1f, 0.2f});
             r.effect(0, fx::kPhaser, {0.3f, 0.4f, 0.4f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(16.0f).velocityCutoff(0, 0.5f);
             r.level(0.45f);
         },
         "wurly reed electric piano buzzy"},
        {"Dream Piano", "Keys/Electric Piano", "A soft FM piano in a long reverb and echo, for ballads",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").wave(2, "Single Cycle\\Triangle").transpose(2, 12);
             r.raw(0, 0.22f).raw(2, 0.05f);
             r.amp(0, {0.003f, 3.0f, 0.1f, 0.6f}).amp(1, {0.002f, 1.5f, 0.0f, 0.4f}).amp(2, {0.003f, 2.0f, 0.0f, 0.5f});
             r.fmIndex(1, 0, 1.2f);
             r.effect(0, fx::kStereoDelay, {0.5f, 0.35f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.effect(1, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(15.0f).velocityLevel(1, 20.0f);
             r.level(0.45f);
         },
         "dream ballad soft reverb"},
        {"Funky Clav", "Keys/Clavinet", "A thin pulse through a band-pass that snaps open, tight and percussive",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 5"}, {"Single Cycle\\Pulse 10", 12}}, 0.14f, {0.001f, 0.5f, 0.1f, 0.05f});
             r.filter(0, kBandpass12, 0.4f, 0.5f, 0.4f).filterEnv(0, {0.001f, 0.15f, 0.2f, 0.05f});
             r.velocity(17.0f).velocityCutoff(0, 0.5f);
             r.level(0.5f);
         },
         "clav funky tight percussive"},
        {"Phased Clav", "Keys/Clavinet", "A clavinet through a phaser and a little echo, for rhythm parts",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 25"}, {"Single Cycle\\Saw", 12}}, 0.1f, {0.001f, 0.8f, 0.2f, 0.08f});
             r.filter(0, kHighpass12, 0.2f, 0.3f);
             r.effect(0, fx::kPhaser, {0.25f, 0.7f, 0.6f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(12.5f);
             r.gain(1.8f);
             r.level(0.5f);
         },
         "clav phaser rhythm"},
        {"Harpsichord", "Keys/Piano", "Two bright plucked layers an octave apart, no sustain, like a harpsichord",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Pulse 25", 12, 2.0f}}, 0.1f, {0.001f, 1.5f, 0.0f, 0.25f});
             r.filter(0, kHighpass12, 0.12f, 0.1f);
             r.effect(0, fx::kReverb, {0.4f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(13.0f);
             r.gain(1.6f);
             r.level(0.4f);
         },
         "harpsichord baroque plucked"},
        {"Toy Piano", "Keys/Piano", "The marimba bar wave an octave up with a short, hard decay: a toy piano",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Marimba", 12}, {"Single Cycle\\Sine", 24}}, 0.18f, {0.001f, 0.9f, 0.0f, 0.3f});
             r.raw(1, 0.04f);
             r.velocity(16.0f);
             r.level(0.45f);
         },
         "toy music box cute"},
        {"Gospel Organ", "Organs", "The gospel registration through a fast rotary speaker",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Gospel"}}, 0.15f, {0.004f, 0.05f, 1.0f, 0.05f});
             r.effect(0, fx::kRotary, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.6f);
             r.velocity(4.0f);
             r.level(0.45f);
         },
         "gospel church tonewheel rotary"},
        {"Blues Organ", "Organs", "The blues registration with overdrive and a slow rotary",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Blues"}}, 0.15f, {0.004f, 0.05f, 1.0f, 0.05f});
             r.effect(0, fx::kOverdrive, {0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.effect(1, fx::kRotary, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.serialEffects(true);
             r.velocity(4.0f);
             r.level(0.4f);
         },
         "blues overdrive rock organ"},
        {"Ballad Organ", "Organs", "The soft ballad registration with a gentle chorus, for quiet songs",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Ballad"}}, 0.16f, {0.01f, 0.05f, 1.0f, 0.1f});
             r.effect(0, fx::kChorus, {0.2f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(4.0f);
             r.level(0.5f);
         },
         "ballad soft organ"},
        {"Reed Organ", "Organs", "The reedy odd-harmonic registration, like a harmonium, with a slow swell",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Reed"}, {"Organ\\Reed", 0, 8.0f}}, 0.11f, {0.12f, 0.05f, 1.0f, 0.15f});
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(4.5f);
             r.level(0.5f);
         },
         "harmonium reed pump"},
        {"Church Organ", "Organs", "Full registration with the sub and a high mixture in a long reverb",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Full"}, {"Organ\\Sub", -12}, {"Organ\\Flute 8+4", 12}}, 0.08f,
                        {0.08f, 0.05f, 1.0f, 0.4f});
             r.effect(0, fx::kReverb, {0.95f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.velocity(3.5f);
             r.level(0.45f);
         },
         "church pipe cathedral"},
        {"Percussive Organ", "Organs", "Flutes with a decaying third-harmonic click on every key, through a rotary",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Flute 8+4"}, {"Single Cycle\\Sine", 31}}, 0.15f, {0.004f, 0.05f, 1.0f, 0.05f});
             r.amp(1, {0.001f, 0.25f, 0.0f, 0.05f}).raw(1, 0.06f);
             r.effect(0, fx::kRotary, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(4.0f);
             r.level(0.45f);
         },
         "percussion click jazz"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
