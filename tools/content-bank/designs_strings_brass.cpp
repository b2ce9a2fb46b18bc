// Strings and ensembles, brass and winds.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addStringAndBrassDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Chamber Strings", "Strings/Ensemble", "Soft saws with a slow bow and ensemble: a small string section",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Soft Saw", 0, -6.0f}, {"Single Cycle\\Soft Saw", 0, 6.0f}}, 0.1f,
                      {0.35f, 1.0f, 0.9f, 0.6f});
             r.filter(0, kLowpass12, 0.5f, 0.05f, 0.1f).filterEnv(0, {0.4f, 1.0f, 0.8f, 0.6f});
             r.effect(0, fx::kEnsemble, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.effect(1, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(11.0f).velocityCutoff(0, 0.7f);
             r.level(0.55f);
         },
         "strings chamber section orchestral"},
        {"Octave Strings", "Strings/Ensemble", "Saws in three octaves under a chorus, a big unison string line",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Saw", 12, 5.0f}, {"Single Cycle\\Saw", -12, -5.0f}}, 0.07f,
                      {0.25f, 1.0f, 0.9f, 0.5f});
             r.filter(0, kLowpass24, 0.45f, 0.1f, 0.1f);
             r.effect(0, fx::kChorus, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(8.0f);
             r.level(0.5f);
         },
         "octave unison strings big"},
        {"Tremolo Strings", "Strings/Ensemble", "A string ensemble that trembles: the level envelope loops quickly while held",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Detuned Saw"}, {"Single Cycle\\Saw", 12, 4.0f}}, 0.1f, {0.1f, 1.0f, 0.9f, 0.5f});
             for (int osc = 0; osc < 2; ++osc) {
                 r.ampShape(osc, {{0.1f, 1.0f}, {0.06f, 0.55f}, {0.06f, 1.0f}, {0.5f, 0.0f}}, 1, 2);
             }
             r.filter(0, kLowpass12, 0.5f, 0.1f);
             r.effect(0, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(8.0f);
             r.level(0.5f);
         },
         "tremolo strings tense film"},
        {"Solo Violin", "Strings/Solo", "One bright, nasal saw voice with glide and delayed vibrato on the mod wheel",
         [](Recipe& r) {
             r.voices(1).glide(0.08f);
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Pulse 33", 0, 4.0f}}, 0.11f, {0.12f, 0.5f, 0.9f, 0.3f});
             r.filter(0, kBandpass12, 0.6f, 0.25f, 0.1f);
             r.raw(0, 0.05f);
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(9.0f);
             r.gain(2.5f);
             r.level(0.5f);
         },
         "violin solo fiddle"},
        {"Solo Cello", "Strings/Solo", "A dark saw voice an octave down with a slow bow and body resonance",
         [](Recipe& r) {
             r.voices(2).glide(0.06f);
             filtered(r, {{"Single Cycle\\Saw", -12}, {"Single Cycle\\Soft Saw", -12, 5.0f}}, 0.12f,
                      {0.18f, 0.5f, 0.9f, 0.4f});
             r.filter(0, kLowpass12, 0.38f, 0.35f, 0.1f);
             r.effect(0, fx::kReverb, {0.55f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(9.0f);
             r.level(0.5f);
         },
         "cello solo low bowed"},
        {"Glass Strings", "Strings/Ensemble", "Strings with the glass partials an octave up, airy and bright",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Super Saw"}, {"Bell\\Glass", 12}}, 0.08f, {0.4f, 1.0f, 0.85f, 0.8f});
             r.filter(0, kHighpass12, 0.15f, 0.1f);
             r.effect(0, fx::kReverb, {0.75f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(8.0f);
             r.gain(2.5f);
             r.level(0.5f);
         },
         "airy bright strings glass"},
        {"Pizzicato Section", "Strings/Ensemble", "Short plucked strings with a hall reverb",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Soft Saw"}, {"Single Cycle\\Triangle", 12}}, 0.12f, {0.001f, 0.35f, 0.0f, 0.2f});
             r.filter(0, kLowpass12, 0.4f, 0.1f, 0.3f).filterEnv(0, {0.001f, 0.15f, 0.0f, 0.1f});
             r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(12.0f).velocityCutoff(0, 0.6f);
             r.level(0.55f);
         },
         "pizzicato section plucked orchestral"},
        {"Trumpet", "Brass", "A bright saw voice whose filter blares open on each note, with a slight scoop",
         [](Recipe& r) {
             r.voices(2).glide(0.03f);
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Pulse 40", 0, 3.0f}}, 0.11f, {0.03f, 0.3f, 0.85f, 0.15f});
             r.filter(0, kLowpass24, 0.35f, 0.2f, 0.5f).filterEnv(0, {0.05f, 0.3f, 0.5f, 0.15f});
             r.effect(0, fx::kReverb, {0.45f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(10.0f).velocityCutoff(0, 0.5f);
             r.level(0.5f);
         },
         "trumpet horn solo"},
        {"French Horns", "Brass", "Soft, round saws low-passed with a slow swell, like a horn section",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Soft Saw"}, {"Single Cycle\\Soft Saw", 0, 7.0f}}, 0.12f, {0.12f, 0.5f, 0.85f, 0.3f});
             r.filter(0, kLowpass24, 0.25f, 0.1f, 0.3f).filterEnv(0, {0.2f, 0.5f, 0.6f, 0.3f});
             r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(9.0f).velocityCutoff(0, 0.6f);
             r.level(0.55f);
         },
         "horns french orchestral warm"},
        {"Synth Brass Stab", "Brass", "Detuned saws with a punchy filter envelope, for stabs and hits",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Detuned Saw"}, {"Single Cycle\\Saw", 0, -9.0f}}, 0.1f, {0.005f, 0.4f, 0.6f, 0.15f});
             r.filter(0, kLowpass24, 0.3f, 0.25f, 0.6f).filterEnv(0, {0.01f, 0.25f, 0.3f, 0.15f});
             r.velocity(10.0f).velocityCutoff(0, 0.5f);
             r.level(0.45f);
         },
         "stab brass synth punchy 80s"},
        {"Flute", "Brass", "A breathy near-sine with a soft attack: a wooden flute",
         [](Recipe& r) {
             r.voices(4);
             unfiltered(r, {{"Single Cycle\\Sine"}, {"Noise\\Breath"}, {"Single Cycle\\Triangle", 12}}, 0.2f,
                        {0.08f, 0.3f, 0.9f, 0.15f});
             r.raw(1, 0.05f).raw(2, 0.03f);
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(8.0f);
             r.level(0.45f);
         },
         "flute wind woodwind breathy"},
        {"Clarinet", "Brass", "The hollow odd-harmonic square, softened: a clarinet in its low register",
         [](Recipe& r) {
             r.voices(4);
             filtered(r, {{"Single Cycle\\Square"}, {"Noise\\Breath"}}, 0.12f, {0.05f, 0.3f, 0.9f, 0.12f});
             r.toFilter(1, 0, 0.03f);
             r.filter(0, kLowpass12, 0.4f, 0.1f, 0.15f).filterEnv(0, {0.06f, 0.3f, 0.7f, 0.1f});
             r.velocity(8.0f).velocityCutoff(0, 0.7f);
             r.level(0.5f);
         },
         "clarinet reed woodwind hollow"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
