// The programs of the first factory bank, kept in their slots: hosts' projects and the render
// tool's tests name them by slot.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addClassicDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
    {"Round Bass", "Basses/Analog", "Saw and square an octave apart, low-pass with a short sweep; harder notes play louder and brighter",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Saw").wave(1, "Single Cycle\\Square").transpose(1, -12);
         r.raw(0, 0).toFilter(0, 0, 0.12f).toFilter(1, 0, 0.08f);
         r.amp(0, {0.005f, 0.3f, 0.8f, 0.08f}).amp(1, {0.005f, 0.3f, 0.8f, 0.08f});
         r.filter(0, kLowpass24, 0.25f, 0.3f, 0.45f).filterEnv(0, {0.003f, 0.25f, 0.2f, 0.1f});
         r.velocity(14.0f).velocityCutoff(0, 0.6f);
         r.voices(1);  // one note at a time, as a bass or drum is played
         r.level(0.4f);
     }},
    {"FM Bass", "Basses/FM", "A sine carrier and a one-to-one modulator whose bite decays; velocity sets level and bite",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").raw(0, 0.3f);
         r.amp(0, {0.002f, 0.6f, 0.6f, 0.1f}).amp(1, {0.001f, 0.3f, 0.15f, 0.1f});
         r.fmIndex(1, 0, 3.5f).fm(1, 1, 0.3f);  // index 3.5 at the attack, a little feedback for edge
         r.velocity(14.0f).velocityLevel(1, 16.0f);
         r.voices(1);  // one note at a time, as a bass or drum is played
         r.level(0.3f);
     }},
    {"Sync Lead", "Leads/Mono", "One voice with glide: detuned saws through a resonant low-pass, brighter when played harder",
     [](Recipe& r) {
         r.voices(1).glide(0.15f);
         r.wave(0, "Single Cycle\\Saw").wave(1, "Single Cycle\\Saw").detune(1, 12.0f);
         r.raw(0, 0).toFilter(0, 0, 0.12f).toFilter(1, 0, 0.12f);
         r.amp(0, {0.01f, 0.2f, 0.85f, 0.2f}).amp(1, {0.01f, 0.2f, 0.85f, 0.2f});
         r.filter(0, kLowpass24, 0.5f, 0.45f, 0.3f).filterEnv(0, {0.01f, 0.4f, 0.5f, 0.2f});
         r.effect(0, fx::kStereoDelay, {0.4f, 0.3f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.25f);
         r.velocity(8.0f).velocityCutoff(0, 0.7f);
         r.level(0.5f);
     }},
    {"Square Lead", "Leads/Poly", "Pulse waves an octave apart with a gentle chorus",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Pulse 25").wave(1, "Single Cycle\\Square").transpose(1, 12);
         r.raw(0, 0.18f).raw(1, 0.08f);
         r.amp(0, {0.01f, 0.3f, 0.8f, 0.25f}).amp(1, {0.01f, 0.3f, 0.7f, 0.25f});
         r.effect(0, fx::kChorus, {0.3f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
         r.velocity(8.0f);
         r.level(0.6f);
     }},
    {"Warm Pad", "Pads/Warm", "Slow detuned saws, low-passed, with reverb; velocity only gently (6 dB), as a pad should",
     [](Recipe& r) {
         r.wave(0, "Motion\\Detuned Saw").wave(1, "Single Cycle\\Triangle").transpose(1, 12).detune(1, -7.0f);
         r.raw(0, 0).toFilter(0, 0, 0.1f).toFilter(1, 0, 0.06f);
         r.amp(0, {0.4f, 1.0f, 0.8f, 1.2f}).amp(1, {0.5f, 1.0f, 0.8f, 1.2f});
         r.filter(0, kLowpass12, 0.35f, 0.15f, 0.2f).filterEnv(0, {1.2f, 1.5f, 0.6f, 1.2f});
         r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
         r.velocity(6.0f);
         r.gain(2.2f);
         r.level(0.8f);
     }},
    {"Choir Pad", "Pads/Choir", "The sung 'ah' wave with a slow swell and ensemble; velocity only gently (5 dB), as a pad should",
     [](Recipe& r) {
         r.wave(0, "Vocal\\Choir Ah").wave(1, "Vocal\\Oo").detune(1, 6.0f);
         r.raw(0, 0.14f).raw(1, 0.08f);
         r.amp(0, {0.6f, 0.8f, 0.9f, 1.0f}).amp(1, {0.9f, 0.8f, 0.9f, 1.0f});
         r.effect(0, fx::kEnsemble, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
         r.velocity(5.0f);
         r.gain(1.6f);
         r.level(0.7f);
     }},
    {"Soft Piano", "Keys/Piano", "Triangle and soft saw with a piano-like decay; soft notes quieter and darker",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Triangle").wave(1, "Single Cycle\\Soft Saw").detune(1, 3.0f);
         r.raw(0, 0.16f).raw(1, 0).toFilter(1, 0, 0.05f);
         r.amp(0, {0.003f, 2.5f, 0.05f, 0.4f}).amp(1, {0.002f, 1.2f, 0.0f, 0.3f});
         r.filter(0, kLowpass12, 0.45f, 0.05f, 0.3f).filterEnv(0, {0.002f, 0.8f, 0.1f, 0.3f});
         r.velocity(18.0f).velocityCutoff(0, 0.5f);
         r.level(0.45f);
     }},
    {"FM Electric Piano", "Keys/Electric Piano", "Two sine pairs: a tine struck bright at high velocity and a soft body; soft notes are mellow",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Sine").wave(1, "Single Cycle\\Sine").wave(2, "Single Cycle\\Sine")
             .wave(3, "Single Cycle\\Sine");
         r.transpose(3, 24);  // the tine modulator runs two octaves up
         r.raw(0, 0.16f).raw(2, 0.12f);
         r.amp(0, {0.002f, 3.0f, 0.1f, 0.35f}).amp(1, {0.002f, 1.5f, 0.1f, 0.35f});
         r.amp(2, {0.002f, 2.0f, 0.05f, 0.3f}).amp(3, {0.001f, 0.25f, 0.0f, 0.2f});
         r.fmIndex(1, 0, 1.2f).fmIndex(3, 2, 2.5f);  // body at one to one, tine at four to one
         r.velocity(14.0f).velocityLevel(1, 20.0f).velocityLevel(3, 24.0f);
         r.effect(0, fx::kPhaser, {0.2f, 0.4f, 0.4f, 0.5f, 0.5f, 0.5f}, 0.3f);
         r.level(0.32f);
     }},
    {"Tubular Bell", "Bells", "The tubular bell wave with a long ring and a metallic FM strike that fades; harder is brighter",
     [](Recipe& r) {
         r.wave(0, "Bell\\Tubular").wave(1, "Single Cycle\\Sine").transpose(1, 19).raw(0, 0.18f);
         r.amp(0, {0.001f, 4.0f, 0.0f, 2.0f}).amp(1, {0.001f, 0.8f, 0.0f, 0.5f});
         r.fmIndex(1, 0, 3.0f);
         r.velocity(14.0f).velocityLevel(1, 18.0f);
         r.effect(0, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
         r.level(0.5f);
     }},
    {"Glass Pluck", "Plucks", "Glass wave and saw through a snapping low-pass, echoing from side to side; harder is brighter",
     [](Recipe& r) {
         r.wave(0, "Bell\\Glass").wave(1, "Single Cycle\\Saw").detune(1, -5.0f);
         r.raw(0, 0).toFilter(0, 0, 0.1f).toFilter(1, 0, 0.08f);
         r.amp(0, {0.001f, 0.6f, 0.0f, 0.3f}).amp(1, {0.001f, 0.5f, 0.0f, 0.3f});
         r.filter(0, kLowpass24, 0.3f, 0.35f, 0.6f).filterEnv(0, {0.001f, 0.25f, 0.0f, 0.2f});
         // Unequal times: the voices are mono, so equal lines would carry the same echo on both sides.
         r.effect(0, fx::kCrossDelay, {0.36f, 0.44f, 0.7f, 0.4f, 0.5f, 0.5f}, 0.35f);  // 1/2 and 3/4 beat
         r.velocity(16.0f).velocityCutoff(0, 0.5f);
         r.gain(1.5f);
         r.level(0.45f);
     }},
    {"Drawbar Organ", "Organs", "Full drawbars with a short key click and the rotary speaker; velocity only gently (4 dB), as on an organ",
     [](Recipe& r) {
         r.wave(0, "Organ\\Full").wave(1, "Single Cycle\\Sine").transpose(1, 36).raw(0, 0.14f).raw(1, 0.02f);
         r.amp(0, {0.004f, 0.05f, 1.0f, 0.05f}).amp(1, {0.001f, 0.03f, 0.0f, 0.02f});
         r.effect(0, fx::kRotary, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.6f);
         r.velocity(4.0f);
         r.level(0.45f);
     }},
    {"Jazz Organ", "Organs", "The jazz registration, percussive second harmonic; velocity only gently (4 dB), as on an organ",
     [](Recipe& r) {
         r.wave(0, "Organ\\Jazz").wave(1, "Single Cycle\\Sine").transpose(1, 19).raw(0, 0.16f).raw(1, 0.05f);
         r.amp(0, {0.004f, 0.05f, 1.0f, 0.06f}).amp(1, {0.002f, 0.4f, 0.0f, 0.1f});
         r.effect(0, fx::kChorus, {0.4f, 0.3f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
         r.velocity(4.0f);
         r.level(0.45f);
     }},
    {"String Ensemble", "Strings/Ensemble", "Super saw with a slow bow, low-passed and widened",
     [](Recipe& r) {
         r.wave(0, "Motion\\Super Saw").wave(1, "Single Cycle\\Saw").transpose(1, 12).detune(1, 8.0f);
         r.raw(0, 0).toFilter(0, 0, 0.12f).toFilter(1, 0, 0.06f);
         r.amp(0, {0.35f, 0.5f, 0.9f, 0.6f}).amp(1, {0.45f, 0.5f, 0.9f, 0.6f});
         r.filter(0, kLowpass12, 0.45f, 0.1f, 0.1f).filterEnv(0, {0.5f, 1.0f, 0.8f, 0.6f});
         // The ensemble's two taps move in quadrature, one per side: a wide section from mono voices.
         r.effect(0, fx::kEnsemble, {0.3f, 0.2f, 0.8f, 0.3f, 0.5f, 0.5f}, 0.5f);
         r.velocity(10.0f);
         r.gain(1.6f);
         r.level(0.9f);
     }},
    {"Brass Section", "Brass", "Saws with the filter opening on every note, like a blown attack; harder notes blare",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Saw").wave(1, "Single Cycle\\Saw").detune(1, 9.0f)
             .wave(2, "Single Cycle\\Saw").detune(2, -9.0f);
         r.raw(0, 0).toFilter(0, 0, 0.07f).toFilter(1, 0, 0.06f).toFilter(2, 0, 0.06f);
         for (int osc = 0; osc < 3; ++osc) {
             r.amp(osc, {0.06f, 0.3f, 0.85f, 0.25f});
         }
         r.filter(0, kLowpass24, 0.3f, 0.1f, 0.5f).filterEnv(0, {0.08f, 0.5f, 0.55f, 0.25f});
         r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
         r.velocity(9.0f).velocityCutoff(0, 0.55f);
         r.level(0.6f);
     }},
    {"Step Arpeggio", "Sequences/Arpeggios", "A sixteen-step pattern over the held chord",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Pulse 40").wave(1, "Single Cycle\\Saw").detune(1, 6.0f);
         r.raw(0, 0).toFilter(0, 0, 0.1f).toFilter(1, 0, 0.08f);
         r.amp(0, {0.002f, 0.25f, 0.6f, 0.1f}).amp(1, {0.002f, 0.25f, 0.6f, 0.1f});
         r.filter(0, kLowpass24, 0.35f, 0.4f, 0.4f).filterEnv(0, {0.002f, 0.15f, 0.2f, 0.1f});
         r.sequence({0, 12, 7, 12, 0, 19, 7, 24, 0, 12, 7, 12, 5, 17, 7, 19},
                    {20, -20, 0, -20, 20, -20, 0, -10, 20, -20, 0, -20, 10, -20, 0, -10}, 0.25f, 0.5f);
         r.effect(0, fx::kStereoDelay, {0.4f, 0.35f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.3f);
         r.velocity(8.0f);
         r.level(0.4f);
     }},
    {"Breathing Space", "Effects/Atmospheres", "Breath noise and shimmer through band-pass, phaser and reverb",
     [](Recipe& r) {
         r.wave(0, "Noise\\Breath").wave(1, "Motion\\Shimmer").wave(2, "Vocal\\Hum").transpose(2, -12);
         r.raw(0, 0).toFilter(0, 0, 0.1f).toFilter(1, 1, 0.1f).raw(2, 0.06f);
         r.amp(0, {0.5f, 2.0f, 0.7f, 2.0f}).amp(1, {0.7f, 2.0f, 0.8f, 2.0f}).amp(2, {0.4f, 1.0f, 0.8f, 2.0f});
         r.filter(0, kBandpass12, 0.5f, 0.5f, 0.3f).filterEnv(0, {2.0f, 3.0f, 0.4f, 2.0f});
         r.filter(1, kLowpass12, 0.55f, 0.2f);
         r.effect(0, fx::kPhaser, {0.15f, 0.6f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
         r.effect(1, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
         r.velocity(8.0f);
         r.gain(2.5f);
         r.level(0.8f);
     }},
    {"Driven Clav", "Keys/Clavinet", "Pulse pluck through a high-pass and overdrive; soft notes quiet and clean",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Pulse 10").wave(1, "Single Cycle\\Pulse 25").transpose(1, 12);
         r.raw(0, 0).toFilter(0, 0, 0.14f).toFilter(1, 0, 0.08f);
         r.amp(0, {0.001f, 0.7f, 0.15f, 0.08f}).amp(1, {0.001f, 0.3f, 0.0f, 0.05f});
         r.filter(0, kHighpass12, 0.15f, 0.2f);
         r.effect(0, fx::kOverdrive, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
         r.velocity(16.0f);
         r.gain(2.0f);
         r.level(0.9f);
     }},
    {"Sine Sub Bass", "Basses/Sub", "A pure sine an octave down with a touch of second harmonic",
     [](Recipe& r) {
         r.wave(0, "Single Cycle\\Sine").transpose(0, -12).raw(0, 0.3f);
         r.wave(1, "Single Cycle\\Sine").raw(1, 0.05f);
         r.amp(0, {0.005f, 0.2f, 0.9f, 0.1f}).amp(1, {0.005f, 0.2f, 0.6f, 0.1f});
         r.velocity(14.0f);
         r.voices(1);  // one note at a time, as a bass or drum is played
         r.level(0.3f);
     }},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
