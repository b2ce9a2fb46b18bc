// Sequenced programs (the step sequencer plays a pattern over each held key) and effects and
// textures.
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addSequenceAndEffectDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Octave Bounce", "Sequences/Arpeggios", "Eighth notes bouncing between the key and its octaves, a pulse pluck with echo",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 25"}, {"Single Cycle\\Saw", 0, 5.0f}}, 0.1f, {0.002f, 0.2f, 0.3f, 0.1f});
             r.filter(0, kLowpass24, 0.35f, 0.35f, 0.4f).filterEnv(0, {0.001f, 0.12f, 0.1f, 0.08f});
             r.sequence({0, 12, 0, 24, 0, 12, 0, 19}, {10, -10, 0, 10, 10, -10, 0, -5}, 0.06f, 0.75f);
             r.effect(0, fx::kStereoDelay, {0.4f, 0.4f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(8.0f).velocityCutoff(0, 0.7f);
             r.level(0.45f);
         },
         "octave bounce arpeggio eighths"},
        {"Minor Arp", "Sequences/Arpeggios", "A minor arpeggio up and down in sixteenths on a soft square",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Square"}}, 0.14f, {0.002f, 0.15f, 0.4f, 0.08f});
             r.filter(0, kLowpass12, 0.45f, 0.2f, 0.3f).filterEnv(0, {0.001f, 0.1f, 0.2f, 0.05f});
             r.sequence({0, 3, 7, 12, 15, 12, 7, 3}, {0, -15, -10, 5, 15, 5, -10, -15}, 0.04f, 1.0f);
             r.effect(0, fx::kReverb, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f);
             r.velocity(8.0f);
             r.level(0.5f);
         },
         "minor arpeggio sixteenths"},
        {"Bell Arpeggio", "Sequences/Arpeggios", "A twinkling bell pattern of fifths and ninths",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Glass"}, {"Single Cycle\\Sine", 12}}, 0.16f, {0.001f, 0.5f, 0.0f, 0.3f});
             r.raw(1, 0.05f);
             r.sequence({0, 7, 14, 19, 12, 7, 14, 24}, {10, 0, -10, 0, 10, -5, -10, 5}, 0.08f, 0.75f);
             r.effect(0, fx::kCrossDelay, {0.36f, 0.44f, 0.5f, 0.4f, 0.5f, 0.5f}, 0.3f);
             r.velocity(9.0f);
             r.level(0.5f);
         },
         "bell arpeggio twinkle"},
        {"Trance Gate", "Sequences/Rhythmic", "A super saw chord chopped into a sixteenth-note gate with accents",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Super Saw"}}, 0.1f, {0.002f, 0.1f, 0.8f, 0.04f});
             r.filter(0, kLowpass24, 0.5f, 0.2f, 0.1f);
             r.sequence({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {20, -40, 0, -20, 20, -40, 10, -10, 20, -40, 0, -20, 20, 0, -40, 10}, 0.05f, 1.0f);
             r.effect(0, fx::kStereoDelay, {0.3f, 0.4f, 0.3f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(8.0f);
             r.gain(1.4f);
             r.level(0.45f);
         },
         "trance gate chopped rhythmic"},
        {"Bass Sequence", "Sequences/Rhythmic", "A driving sixteenth-note bass line with octave jumps",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw", -12}, {"Single Cycle\\Square", -12, 6.0f}}, 0.12f, {0.001f, 0.15f, 0.2f, 0.05f});
             r.filter(0, kLowpass24, 0.25f, 0.45f, 0.5f).filterEnv(0, {0.001f, 0.08f, 0.0f, 0.05f});
             r.sequence({0, 0, 12, 0, 0, 10, 0, 12}, {20, -10, 10, -20, 20, -10, 0, 10}, 0.05f, 1.0f);
             r.velocity(9.0f).velocityCutoff(0, 0.6f);
             r.level(0.45f);
         },
         "bass sequence driving sixteenths"},
        {"Pentatonic Blips", "Sequences/Rhythmic", "Sine blips running through a twelve-step pentatonic pattern",
         [](Recipe& r) {
             unfiltered(r, {{"Single Cycle\\Sine", 12}, {"Single Cycle\\Triangle", 24}}, 0.2f, {0.001f, 0.1f, 0.0f, 0.05f});
             r.raw(1, 0.05f);
             r.sequence({0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 24, 7}, {0, -10, 10, 0, -20, 10, 0, -10, 20, 0, -10, 0}, 0.05f, 1.0f);
             r.effect(0, fx::kCrossDelay, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(8.0f);
             r.level(0.45f);
         },
         "blips computer pentatonic"},
        {"Pulse Train", "Sequences/Rhythmic", "A dotted rhythm on a resonant pulse, its filter stepping with the accents",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 10"}, {"Single Cycle\\Pulse 40", 7}}, 0.1f, {0.001f, 0.2f, 0.3f, 0.06f});
             r.filter(0, kLowpass24, 0.3f, 0.6f, 0.5f).filterEnv(0, {0.001f, 0.1f, 0.1f, 0.05f});
             r.sequence({0, 0, 7, 0, 12, 0, 7, 5}, {30, -30, 0, -30, 30, -30, 10, -10}, 0.07f, 1.0f);
             r.effect(0, fx::kPhaser, {0.2f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(8.0f).velocityCutoff(0, 0.6f);
             r.level(0.45f);
         },
         "pulse train dotted resonant"},
        {"Organ Ostinato", "Sequences/Arpeggios", "A rotary organ playing a repeating broken-chord figure",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Jazz"}}, 0.15f, {0.003f, 0.05f, 1.0f, 0.05f});
             r.sequence({0, 7, 12, 7, 4, 7, 12, 16}, {10, -10, 0, -10, 5, -10, 0, 5}, 0.1f, 0.75f);
             r.effect(0, fx::kRotary, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(6.0f);
             r.level(0.45f);
         },
         "organ ostinato broken chord"},
        {"Vocal Chops", "Sequences/Rhythmic", "The vowel waves stepping through 'ah', 'ee', 'oh' in a sung rhythm",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Ah"}, {"Vocal\\Ee", 12}}, 0.14f, {0.005f, 0.15f, 0.5f, 0.08f});
             r.raw(1, 0.06f);
             r.sequence({0, 0, 5, 7, 0, 12, 7, 5}, {20, -20, 0, 10, 20, -20, 10, 0}, 0.08f, 0.75f);
             r.effect(0, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(8.0f);
             r.level(0.5f);
         },
         "vocal chops rhythm voice"},
        {"Wind Tunnel", "Effects/Atmospheres", "White noise through a slowly sweeping resonant band-pass, like wind",
         [](Recipe& r) {
             filtered(r, {{"Noise\\White"}, {"Noise\\Pink"}}, 0.1f, {1.5f, 2.0f, 0.9f, 2.5f});
             r.filter(0, kBandpass24, 0.3f, 0.7f, 0.5f).filterEnv(0, {3.0f, 3.0f, 0.2f, 2.0f});
             r.effect(0, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(8.0f);
             r.level(0.8f);
         },
         "wind storm noise weather"},
        {"Space Drone", "Effects/Atmospheres", "Low hum and a detuned sub organ beating slowly in a long reverb: a spaceship hum",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Hum", -24}, {"Organ\\Sub", -12, 20.0f}}, 0.15f, {0.6f, 2.0f, 0.9f, 3.0f});
                          r.effect(1, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(8.0f);
             r.level(0.7f);
         },
         "drone space spaceship sci-fi"},
        {"Underwater", "Effects/Atmospheres", "Sine bubbles through a low-pass and a deep chorus, muffled and wet",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Sine Octaves"}, {"Noise\\Rumble"}}, 0.12f, {0.5f, 1.5f, 0.8f, 1.5f});
             r.filter(0, kLowpass24, 0.22f, 0.6f, 0.3f).filterEnv(0, {1.0f, 1.0f, 0.5f, 1.5f});
             r.effect(0, fx::kChorus, {0.1f, 0.9f, 0.6f, 0.5f, 0.5f, 0.5f}, 0.6f);
             r.velocity(8.0f);
             r.level(0.8f);
         },
         "underwater muffled bubbles"},
        {"Radio Static", "Effects/Noises", "Band-limited noise with a whistle through the ring modulator, like a detuned radio",
         [](Recipe& r) {
             filtered(r, {{"Noise\\White"}, {"Noise\\Whistle", 12}}, 0.1f, {0.01f, 0.5f, 0.8f, 0.3f});
             r.filter(0, kBandpass12, 0.6f, 0.4f);
             r.effect(0, fx::kRingModulator, {0.3f, 0.2f, 0.3f, 0.8f, 0.5f, 0.5f}, 0.5f);
             r.set(191, 0.0f);  // the ring modulator's carrier runs free of the tempo
             r.velocity(8.0f);
             r.gain(3.0f);
             r.level(0.6f);
         },
         "radio static noise lofi"},
        {"Laser Zap", "Effects/Noises", "A pulse whose resonant filter and FM drop together: a sci-fi zap",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Pulse 10", 24}, {"Single Cycle\\Sine", 31}}, 0.1f, {0.001f, 0.3f, 0.0f, 0.1f});
             r.amp(1, {0.001f, 0.2f, 0.0f, 0.1f}).toFilter(1, 0, 0.0f);
             r.fmIndex(1, 0, 3.0f);
             r.filter(0, kLowpass24, 0.2f, 0.8f, 0.8f).filterEnv(0, {0.001f, 0.25f, 0.0f, 0.1f});
             r.velocity(9.0f).velocityLevel(1, 18.0f);
             r.level(0.45f);
         },
         "laser zap sci-fi pew"},
        {"Heartbeat", "Effects/Noises", "A low thump pattern from the sequencer, two beats and a rest",
         [](Recipe& r) {
             r.wave(0, "Single Cycle\\Sine").transpose(0, -24).raw(0, 0.35f);
             r.amp(0, {0.002f, 0.15f, 0.0f, 0.08f});
             r.sequence({0, -2, 0, 0}, {20, 0, -64, -64}, 0.05f, 0.75f);
             r.effect(0, fx::kReverb, {0.3f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.2f);
             r.velocity(10.0f);
             r.voices(1);  // one note at a time, as a bass or drum is played
             r.level(0.45f);
         },
         "heartbeat pulse thump"},
        {"Crystal Rain", "Effects/Atmospheres", "Glass partials and shimmer falling through a long cross delay",
         [](Recipe& r) {
             unfiltered(r, {{"Bell\\Glass", 24}, {"Motion\\Shimmer", 12}}, 0.12f, {0.001f, 1.0f, 0.2f, 1.0f});
             r.effect(0, fx::kCrossDelay, {0.25f, 0.35f, 0.7f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.effect(1, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(9.0f);
             r.gain(1.6f);
             r.level(0.55f);
         },
         "crystal rain glass texture"},
        {"Distant Thunder", "Effects/Noises", "Rumble noise that swells and rolls away in a huge reverb",
         [](Recipe& r) {
             filtered(r, {{"Noise\\Rumble", -12}, {"Noise\\Pink", -12}}, 0.14f, {0.3f, 3.0f, 0.3f, 3.0f});
             r.filter(0, kLowpass12, 0.3f, 0.2f, 0.3f).filterEnv(0, {0.2f, 2.0f, 0.3f, 2.0f});
             r.effect(0, fx::kReverb, {1.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(10.0f);
             r.level(0.8f);
         },
         "thunder storm rumble weather"},
        {"Haunted Choir", "Effects/Atmospheres", "Choir voices through a notch filter and a ring modulator, eerie and unstable",
         [](Recipe& r) {
             filtered(r, {{"Vocal\\Choir Ah"}, {"Vocal\\Oo", -12}}, 0.11f, {1.0f, 1.5f, 0.9f, 2.0f});
             r.filter(0, kNotch24, 0.45f, 0.4f, 0.3f).filterEnv(0, {3.0f, 2.0f, 0.4f, 2.0f});
             r.effect(0, fx::kRingModulator, {0.05f, 0.1f, 0.3f, 0.7f, 0.5f, 0.5f}, 0.3f);
             r.effect(1, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.set(191, 0.0f);
             r.velocity(8.0f);
             r.gain(2.0f);
             r.level(0.7f);
         },
         "haunted eerie horror ghost choir"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
