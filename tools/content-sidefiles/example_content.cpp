#include "example_content.h"

#include "params/additive_settings_object.h"
#include "params/patch_object_table.h"
#include "program_recipe.h"
#include "storage/side_files.h"

#include <cmath>
#include <functional>

namespace content_sidefiles {
namespace {

using pelko::Program;
using pelko::factory::Recipe;

// Effect type ids of the effect slots.
constexpr int kStereoDelay = 1;
constexpr int kChorus = 9;
constexpr int kReverb = 40;

Program built(const std::function<void(Recipe&)>& recipe)
{
    Program program;
    Recipe r(program);
    recipe(r);
    return program;
}

ExampleFile sequence(const char* name, const std::function<void(Recipe&)>& recipe)
{
    return {std::string("Sequencer Settings/") + name + ".seq", pelko::sequencerFileBytes(built(recipe))};
}

ExampleFile envelope(const char* name, const pelko::factory::Adsr& shape)
{
    const Program program = built([&](Recipe& r) { r.amp(0, shape); });
    return {std::string("Envelope Settings/") + name + ".env",
            pelko::objectFileBytes(pelko::kEnvelopeFileMagic, program.object(pelko::object::kOscEnv))};
}

ExampleFile effect(const char* name, int type, std::initializer_list<float> params, float dryWet)
{
    const Program program = built([&](Recipe& r) { r.effect(0, type, params, dryWet); });
    return {std::string("Effects Settings/") + name + ".rfx", pelko::effectFileBytes(program, 0)};
}

// Harmonic h (1-based) at level(h); phases 0.
ExampleFile additive(const char* name, const std::function<float(int)>& level)
{
    pelko::AdditiveSettingsObject settings;
    for (int h = 1; h <= pelko::AdditiveSettingsObject::kHarmonics; ++h) {
        settings.setLevel(h - 1, level(h));
    }
    return {std::string("Additive Settings/") + name + ".add",
            pelko::objectFileBytes(pelko::kAdditiveFileMagic, settings)};
}

}  // namespace

std::vector<ExampleFile> exampleFiles()
{
    return {
        sequence("Octave Arpeggio", [](Recipe& r) {
            r.sequence({0, 12, 7, 12, 3, 12, 7, 15}, {20, -10, 0, -10, 10, -10, 0, -5}, 0.5f, 0.5f);
        }),
        sequence("Minor Riff", [](Recipe& r) {
            r.sequence({0, 0, 3, 5, 0, 7, 5, 3, 0, 0, -2, 0, 3, 5, 7, 10}, {30, -30, 0, 0, 20, 0, -20, 0,
                       30, -30, 0, 0, 20, 0, -20, 0}, 0.3f, 0.6f);
        }),
        envelope("Pluck", {0.002f, 0.4f, 0.0f, 0.1f}),
        envelope("Swell", {1.5f, 0.5f, 0.9f, 2.0f}),
        envelope("Organ Gate", {0.005f, 0.01f, 1.0f, 0.02f}),
        effect("Wide Chorus", kChorus, {0.3f, 0.5f, 0.6f, 0.5f, 0.5f, 0.5f}, 0.5f),
        effect("Dotted Delay", kStereoDelay, {0.55f, 0.4f, 0.35f, 0.5f, 0.5f, 0.5f}, 0.3f),
        effect("Small Room", kReverb, {0.35f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, 0.25f),
        // Drawbars 16', 8', 4' and 2 2/3': harmonics 1 to 3 full, 4 and 6 at half.
        additive("Drawbar Organ", [](int h) { return h <= 3 ? 1.0f : (h == 4 || h == 6) ? 0.5f : 0.0f; }),
        // Odd harmonics at 1/h: a square wave's series.
        additive("Hollow Square", [](int h) { return h % 2 == 1 ? 1.0f / static_cast<float>(h) : 0.0f; }),
    };
}

}  // namespace content_sidefiles
