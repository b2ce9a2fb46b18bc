// The designed factory programs as recipes, one list per family of sounds. Each design names the
// program, files it in the category tree, says what it sounds like (the playing controls are
// added to that text by the recipe), lists the words a library search should find it by, and
// builds it from a default program.
#pragma once

#include "dsp/filters/filter_types.h"
#include "program_recipe.h"

#include <functional>
#include <vector>

namespace pelko::factory {

struct Design {
    const char* name;      // at most 24 characters
    const char* category;  // a path of the factory category tree
    const char* sound;     // what it sounds like, one sentence
    std::function<void(Recipe&)> build;
    const char* keywords = "";  // extra search words; the category's words are always added
};

// Effect type ids of the effect slots.
namespace fx {
constexpr int kStereoDelay = 1;
constexpr int kCrossDelay = 2;
constexpr int kChorus = 9;
constexpr int kEnsemble = 20;
constexpr int kPhaser = 30;
constexpr int kReverb = 40;
constexpr int kRotary = 81;
constexpr int kRingModulator = 95;
constexpr int kOverdrive = 97;
}  // namespace fx

// Parameter rows the designs address directly (through Recipe::set and the user controls).
namespace row {
constexpr int kFine2 = 9;
constexpr int kFmFirst = 26;  // + 6·source + target
constexpr int kCutoff1 = 111;
constexpr int kCutoff2 = 112;
constexpr int kResonance1 = 113;
constexpr int kEnvMod1 = 115;
constexpr int kSeqSpeed = 166;
constexpr int kDryWet1 = 179;
constexpr int kDryWet2 = 180;
constexpr int kVibratoDepth = 195;
}  // namespace row

// The programs of the first factory bank as it first shipped, in their slot order.
void addClassicDesigns(std::vector<Design>& designs);
void addBassDesigns(std::vector<Design>& designs);
void addLeadDesigns(std::vector<Design>& designs);
void addPadDesigns(std::vector<Design>& designs);
void addKeyAndOrganDesigns(std::vector<Design>& designs);
void addBellPluckAndPercussionDesigns(std::vector<Design>& designs);
void addStringAndBrassDesigns(std::vector<Design>& designs);
void addSequenceAndEffectDesigns(std::vector<Design>& designs);
// What only this instrument does: the free FM matrix with feedback, the product buses, additive
// waves, long looping envelopes and tunings of the program's own.
void addSignatureDesigns(std::vector<Design>& designs);

}  // namespace pelko::factory

namespace pelko::factory {

// One oscillator of a layer: its wave, transposition in semitones and detuning in cents.
struct Layer {
    const char* wave;
    int semitones = 0;
    float cents = 0.0f;
};

// Oscillators 0, 1, … play the layers into filter 1 (send each), all with the same envelope.
void filtered(Recipe& r, std::initializer_list<Layer> layers, float send, const Adsr& amp);
// The same straight to the output, no filter.
void unfiltered(Recipe& r, std::initializer_list<Layer> layers, float send, const Adsr& amp);

}  // namespace pelko::factory
