// Pads: warm, evolving and choir pads. Velocity acts gently on all of them (5–7 dB).
#include "factory_designs.h"

namespace pelko::factory {

using namespace filter_id;

void addPadDesigns(std::vector<Design>& designs)
{
    const Design list[] = {
        {"Analog Strings Pad", "Pads/Warm", "Detuned saws with a slow bow and a darkened low-pass under a chorus",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw", 0, -8.0f}, {"Single Cycle\\Saw", 0, 8.0f}}, 0.09f, {0.6f, 1.0f, 0.85f, 1.0f});
             r.filter(0, kLowpass24, 0.38f, 0.1f, 0.1f).filterEnv(0, {0.8f, 1.0f, 0.7f, 1.0f});
             r.effect(0, fx::kChorus, {0.25f, 0.6f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.velocity(6.0f);
             r.level(0.6f);
         },
         "analog strings warm chorus"},
        {"Velvet Pad", "Pads/Warm", "Soft saws and a triangle an octave down, very dark, with a long reverb",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Soft Saw"}, {"Single Cycle\\Triangle", -12}, {"Single Cycle\\Soft Saw", 12, 6.0f}},
                      0.08f, {1.0f, 1.0f, 0.9f, 1.5f});
             r.filter(0, kLowpass12, 0.3f, 0.05f, 0.1f).filterEnv(0, {1.0f, 1.0f, 0.8f, 1.5f});
             r.effect(0, fx::kReverb, {0.85f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(5.0f);
             r.level(0.7f);
         },
         "velvet soft dark warm"},
        {"Square Pad", "Pads/Warm", "The detuned square wave, hollow and wide with an ensemble",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Detuned Square"}, {"Single Cycle\\Square", 12, 5.0f}}, 0.08f, {0.5f, 1.0f, 0.8f, 1.0f});
             r.filter(0, kLowpass12, 0.45f, 0.15f, 0.1f).filterEnv(0, {0.5f, 1.0f, 0.8f, 1.0f});
             r.effect(0, fx::kEnsemble, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.velocity(6.0f);
             r.level(0.6f);
         },
         "square hollow wide"},
        {"Sunrise Pad", "Pads/Evolving", "A pulse-width-moving wave whose filter opens over five seconds",
         [](Recipe& r) {
             filtered(r, {{"Motion\\PWM"}, {"Motion\\PWM", 12, 7.0f}}, 0.09f, {1.5f, 2.0f, 0.9f, 2.0f});
             r.filter(0, kLowpass24, 0.2f, 0.3f, 0.6f).filterEnv(0, {5.0f, 2.0f, 0.9f, 2.0f});
             r.effect(0, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(6.0f);
             r.gain(1.4f);
             r.level(0.7f);
         },
         "evolving sunrise slow sweep pwm"},
        {"Glass Shimmer Pad", "Pads/Evolving", "The shimmer and glass waves together, sparkling over a slow swell",
         [](Recipe& r) {
             unfiltered(r, {{"Motion\\Shimmer"}, {"Bell\\Glass", 12}}, 0.12f, {1.2f, 1.5f, 0.8f, 2.0f});
             r.raw(1, 0.04f);
             r.effect(0, fx::kChorus, {0.2f, 0.6f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.effect(1, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(6.0f);
             r.gain(2.5f);
             r.level(0.7f);
         },
         "shimmer glass sparkle bright"},
        {"Notch Drift Pad", "Pads/Evolving", "Super saws through a resonant notch that drifts slowly open, in a wide reverb",
         [](Recipe& r) {
             filtered(r, {{"Motion\\Super Saw"}}, 0.1f, {0.8f, 1.0f, 0.85f, 1.2f});
             r.filter(0, kNotch12, 0.4f, 0.3f, 0.3f).filterEnv(0, {3.0f, 3.0f, 0.5f, 1.0f});
             r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(6.0f);
             r.gain(2.0f);
             r.level(0.55f);
         },
         "notch drift super saw"},
        {"Dark Matter", "Pads/Evolving", "Rumble noise and a low hum under a band-pass that wanders: a dark, uneasy pad",
         [](Recipe& r) {
             filtered(r, {{"Noise\\Rumble"}, {"Vocal\\Hum", -12}, {"Single Cycle\\Saw", -12, 10.0f}}, 0.1f,
                      {0.6f, 2.0f, 0.8f, 2.0f});
             r.filter(0, kBandpass12, 0.3f, 0.55f, 0.4f).filterEnv(0, {4.0f, 4.0f, 0.3f, 2.0f});
             r.effect(0, fx::kReverb, {0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.45f);
             r.velocity(6.0f);
             r.gain(6.0f);
             r.level(0.8f);
         },
         "dark cinematic horror drone"},
        {"Ooh Choir", "Pads/Choir", "The 'oo' and 'oh' vowels sung softly by a slow ensemble",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Oo"}, {"Vocal\\Oh", 0, 7.0f}}, 0.13f, {0.7f, 1.0f, 0.9f, 1.2f});
             r.effect(0, fx::kEnsemble, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(5.0f);
             r.level(0.7f);
         },
         "choir ooh voices soft"},
        {"Cathedral Voices", "Pads/Choir", "Choir and soprano waves in a very long reverb",
         [](Recipe& r) {
             unfiltered(r, {{"Vocal\\Choir Ah"}, {"Vocal\\Soprano Ah", 12, -5.0f}}, 0.12f, {0.9f, 1.0f, 0.9f, 2.0f});
             r.raw(1, 0.05f);
             r.effect(0, fx::kReverb, {1.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.5f);
             r.velocity(5.0f);
             r.level(0.7f);
         },
         "cathedral choir reverb sacred"},
        {"Breathy Choir", "Pads/Choir", "The 'eh' vowel with breath noise, band-passed like a whispered choir",
         [](Recipe& r) {
             filtered(r, {{"Vocal\\Eh"}, {"Noise\\Breath"}}, 0.12f, {0.5f, 1.0f, 0.85f, 1.0f});
             r.filter(0, kBandpass12, 0.55f, 0.2f, 0.1f);
             r.effect(0, fx::kChorus, {0.2f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(5.5f);
             r.gain(4.0f);
             r.level(0.7f);
         },
         "breathy whisper air"},
        {"Warm Brass Pad", "Pads/Warm", "Saws with a soft filter swell, between a pad and a brass section",
         [](Recipe& r) {
             filtered(r, {{"Single Cycle\\Saw"}, {"Single Cycle\\Saw", 0, 6.0f}}, 0.09f, {0.3f, 1.0f, 0.85f, 0.8f});
             r.filter(0, kLowpass12, 0.3f, 0.1f, 0.4f).filterEnv(0, {0.6f, 1.5f, 0.5f, 0.8f});
             r.effect(0, fx::kReverb, {0.6f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.3f);
             r.velocity(6.0f);
             r.level(0.6f);
         },
         "brass pad soft swell"},
        {"Organ Pad", "Pads/Warm", "The flute registration with a slow attack and a rotary drift",
         [](Recipe& r) {
             unfiltered(r, {{"Organ\\Flute 8+4"}, {"Organ\\Ballad", 0, 6.0f}}, 0.12f, {0.3f, 1.0f, 0.9f, 1.2f});
             r.effect(0, fx::kRotary, {0.2f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(5.0f);
             r.level(0.6f);
         },
         "organ pad soft slow"},
        {"Metallic Haze", "Pads/Evolving", "The metal plate spectrum low-passed with a slow attack, a cold, glinting pad",
         [](Recipe& r) {
             filtered(r, {{"Bell\\Metal Plate"}, {"Single Cycle\\Triangle", -12}}, 0.1f, {1.5f, 2.0f, 0.8f, 2.0f});
             r.filter(0, kLowpass12, 0.5f, 0.2f, 0.2f).filterEnv(0, {2.0f, 2.0f, 0.5f, 2.0f});
             r.effect(0, fx::kReverb, {0.8f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.4f);
             r.velocity(6.0f);
             r.gain(1.6f);
             r.level(0.7f);
         },
         "metallic cold haze"},
        {"Pink Noise Wash", "Pads/Evolving", "Pink noise through a resonant low-pass that follows the keys, with sine body",
         [](Recipe& r) {
             filtered(r, {{"Noise\\Pink"}, {"Single Cycle\\Sine"}}, 0.1f, {1.0f, 1.0f, 0.9f, 1.5f});
             r.toFilter(1, 0, 0.0f).raw(1, 0.15f);
             r.filter(0, kLowpass24, 0.45f, 0.75f, 0.2f).filterEnv(0, {2.0f, 2.0f, 0.6f, 1.5f});
             r.effect(0, fx::kReverb, {0.7f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.35f);
             r.velocity(6.0f);
             r.level(0.7f);
         },
         "noise wash wind resonant"},
    };
    designs.insert(designs.end(), std::begin(list), std::end(list));
}

}  // namespace pelko::factory
