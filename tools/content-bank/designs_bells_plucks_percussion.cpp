// Bells and mallets, plucks and percussion: struck and plucked sounds that answer velocity strongly.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addBellPluckAndPercussionDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Church Bells", "Bells", "The church bell spectrum with a long ring and a hall reverb",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Church"}}, 0.2f, {0.001f, 5.0f, 0.0f, 3.0f});
             r.effect(0, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(15.0f);
             r.level(0.45f);
         },
         "church bell toll carillon"},
        {"Marimba", "Bells", "The marimba bar wave with a short mallet decay",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Marimba"}}, 0.22f, {0.001f, 0.7f, 0.0f, 0.3f});
             r.velocity(16.0f);
             r.voices(4);
             r.level(0.45f);
         },
         "marimba mallet wood"},
        {"Vibraphone", "Bells", "Sine and glass partials with a long decay and a slow rotary for the vibraphone's tremolo",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Sine"}, {"Bell\\Glass", 24}}, 0.2f, {0.001f, 3.0f, 0.0f, 1.0f});
             r.amp(1, {0.001f, 0.4f, 0.0f, 0.3f}).raw(1, 0.05f);
             r.effect(0, fx::kRotary, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(15.0f);
             r.level(0.45f);
         },
         "vibraphone vibes mallet jazz"},
        {"Steel Pan", "Bells", "The steel drum wave with a quick strike and a short ring",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Steel Drum"}}, 0.22f, {0.001f, 1.0f, 0.0f, 0.4f});
             r.effect(0, fx::kReverb, {0.4f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(15.0f);
             r.voices(4);
             r.level(0.45f);
         },
         "steel pan drum caribbean"},
        {"FM Glockenspiel", "Bells", "An inharmonic FM strike on a high sine: a small, bright glockenspiel",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").transpose(0, 12).transpose(1, 27).raw(0, 0.25f);
             r.detune(1, 40.0f);
             r.amp(0, {0.001f, 1.8f, 0.0f, 0.6f}).amp(1, {0.001f, 0.4f, 0.0f, 0.2f});
             r.fmIndex(1, 0, 2.5f);
             r.velocity(15.0f).velocityLevel(1, 18.0f);
             r.level(0.4f);
         },
         "glockenspiel fm bright chime"},
        {"Wind Chimes", "Bells", "Glass and clang spectra two and one octaves up, ringing in a wide echo",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Glass", 24}, {"Bell\\Clang", 12}}, 0.14f, {0.001f, 2.5f, 0.0f, 1.5f});
             r.effect(0, fx::kCrossDelay, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(16.0f);
             r.level(0.45f);
         },
         "chimes wind glass sparkle"},
        {"Gong Hit", "Bells", "The gong spectrum two octaves down with a swelling body and a long fade",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Gong", -24}, {"Bell\\Gong", -12, 15.0f}}, 0.16f, {0.01f, 6.0f, 0.0f, 3.0f});
             r.amp(1, {0.5f, 4.0f, 0.0f, 3.0f});
             r.effect(0, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(14.0f);
             r.level(0.5f);
         },
         "gong tam-tam orchestral"},
        {"Nylon Pluck", "Plucks", "A soft plucked string: saw and triangle under a closing low-pass",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Triangle", 0, 3.0f}}, 0.12f, {0.001f, 1.5f, 0.0f, 0.25f});
             r.filter(0, kLowpass12, 0.25f, 0.1f, 0.5f).filterEnv(0, {0.001f, 0.4f, 0.0f, 0.2f});
             r.velocity(16.0f).velocityCutoff(0, 0.5f);
             r.level(0.5f);
         },
         "guitar nylon acoustic string"},
        {"Harp", "Plucks", "Triangles with a gentle pluck and a long ring in a hall",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Triangle"}, {"Single Cycle\\Sine", 12}}, 0.2f, {0.001f, 2.5f, 0.0f, 1.0f});
             r.raw(1, 0.06f);
             r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(15.0f);
             r.level(0.45f);
         },
         "harp orchestral gliss"},
        {"Synth Pizz", "Plucks", "A bright, tight saw pluck for staccato lines, one note at a time",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Saw", 0, 10.0f}}, 0.1f, {0.001f, 0.7f, 0.0f, 0.25f});
             r.filter(0, kLowpass24, 0.35f, 0.25f, 0.5f).filterEnv(0, {0.001f, 0.25f, 0.0f, 0.2f});
             r.velocity(15.0f).velocityCutoff(0, 0.5f);
             r.voices(1);  // a staccato line, one note at a time
             r.level(0.5f);
         },
         "pizzicato staccato short"},
        {"Koto Pluck", "Plucks", "A nasal pulse pluck with a resonant band-pass, like a koto",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 10"}, {"Single Cycle\\Triangle"}}, 0.12f, {0.001f, 1.2f, 0.0f, 0.3f});
             r.filter(0, kBandpass12, 0.45f, 0.5f, 0.3f).filterEnv(0, {0.001f, 0.3f, 0.2f, 0.2f});
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(15.0f).velocityCutoff(0, 0.6f);
             r.gain(3.0f);
             r.level(0.5f);
         },
         "koto asian nasal"},
        {"Echo Pluck", "Plucks", "A square pluck echoing in dotted eighths from side to side",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Square"}, {"Single Cycle\\Pulse 25", 12}}, 0.1f, {0.001f, 0.5f, 0.0f, 0.2f});
             r.filter(0, kLowpass12, 0.4f, 0.2f, 0.4f).filterEnv(0, {0.001f, 0.2f, 0.0f, 0.1f});
             r.effect(0, fx::kCrossDelay, {0.4f, 0.55f, 0.6f, 0.45f, 0.5f, 0.5f}, 0.4f);
             r.velocity(15.0f).velocityCutoff(0, 0.6f);
             r.voices(4).gain(1.6f);
             r.level(0.5f);
         },
         "echo delay dotted"},
        {"Banjo Pluck", "Plucks", "A twangy high-passed pulse pluck with a fast decay",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 5"}, {"Single Cycle\\Saw", 12}}, 0.14f, {0.001f, 0.6f, 0.0f, 0.15f});
             r.filter(0, kHighpass12, 0.3f, 0.2f);
             r.velocity(16.0f);
             r.gain(1.5f);
             r.level(0.5f);
         },
         "banjo twang country"},
        {"Bell Pluck", "Plucks", "The tubular bell wave plucked short through a low-pass, half bell and half string",
         [](Recipe& r) {
             filtered(r, {{"Bell\\Tubular"}, {"Single Cycle\\Saw", 0, 5.0f}}, 0.1f, {0.001f, 0.9f, 0.0f, 0.4f});
             r.filter(0, kLowpass24, 0.35f, 0.3f, 0.4f).filterEnv(0, {0.001f, 0.3f, 0.1f, 0.3f});
             r.effect(0, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(15.0f).velocityCutoff(0, 0.5f);
             r.level(0.5f);
         },
         "bell pluck hybrid"},
        {"Muted Guitar", "Plucks", "A palm-muted pluck: dark, short and thick",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Square", -12}}, 0.12f, {0.001f, 0.2f, 0.0f, 0.06f});
             r.filter(0, kLowpass24, 0.22f, 0.15f, 0.3f).filterEnv(0, {0.001f, 0.08f, 0.0f, 0.05f});
             r.velocity(15.0f).velocityCutoff(0, 0.6f);
             r.voices(3);
             r.level(0.55f);
         },
         "muted guitar palm dark"},
        {"Kick Drum", "Percussion", "A sine two octaves down with a fast decay and a noise click: a deep kick on every key",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").transpose(0, -24).raw(0, 0.35f);
             r.wave(1, "Noise\\White").raw(1, 0.05f);
             r.amp(0, {0.001f, 0.35f, 0.0f, 0.1f}).amp(1, {0.001f, 0.01f, 0.0f, 0.01f});
             r.velocity(14.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.4f);
         },
         "kick drum bass drum 808"},
        {"Snare Drum", "Percussion", "White noise through a band-pass with a triangle body",
         [](Recipe& r) {
             filtered(r, {{"Noise\\White"}, {"Single Cycle\\Triangle", -5}}, 0.14f, {0.001f, 0.18f, 0.0f, 0.08f});
             r.amp(1, {0.001f, 0.08f, 0.0f, 0.05f});
             r.filter(0, kBandpass12, 0.6f, 0.2f);
             r.effect(0, fx::kReverb, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(14.0f);
             r.voices(2);
             r.gain(5.0f);
             r.level(0.45f);
         },
         "snare drum noise"},
        {"Closed Hat", "Percussion", "High-passed noise with a very short decay",
         [](Recipe& r) {
             filtered(r, {{"Noise\\White"}, {"Bell\\Metal Plate", 36}}, 0.14f, {0.001f, 0.06f, 0.0f, 0.03f});
             r.filter(0, kHighpass24, 0.75f, 0.2f);
             r.velocity(14.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.gain(3.0f);
             r.level(0.5f);
         },
         "hihat hat cymbal closed"},
        {"Tom Drum", "Percussion", "A low triangle with a quick decay and a noise skin",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Triangle").transpose(0, -12).raw(0, 0.3f);
             r.wave(1, "Noise\\Pink").raw(1, 0.04f);
             r.amp(0, {0.001f, 0.6f, 0.0f, 0.2f}).amp(1, {0.001f, 0.05f, 0.0f, 0.03f});
             r.effect(0, fx::kReverb, {0.4f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(14.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.45f);
         },
         "tom drum floor"},
        {"Metal Clank", "Percussion", "The clang spectrum struck hard with a fast decay, industrial",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Clang"}, {"Bell\\Metal Plate", 7}}, 0.16f, {0.001f, 0.4f, 0.0f, 0.2f});
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(14.0f);
             r.voices(3);
             r.gain(1.8f);
             r.level(0.45f);
         },
         "metal clank industrial hit"},
        {"Hand Clap", "Percussion", "Band-passed noise bursts in a short room",
         [](Recipe& r) {
             filtered(r, {{"Noise\\White"}, {"Noise\\Pink"}}, 0.14f, {0.001f, 0.12f, 0.0f, 0.1f});
             r.filter(0, kBandpass24, 0.55f, 0.3f);
             r.effect(0, fx::kReverb, {0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(14.0f);
             r.voices(2);
             r.gain(4.0f);
             r.level(0.5f);
         },
         "clap hand percussion"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
