// A voice context of its own for engine tests: a program, engine settings, an equal-tempered
// frequency table and six wave slots. Oscillator 1 plays a 2048-sample sine straight out; the
// other oscillators are off, as in a new program.
#pragma once

#include "engine/voice.h"
#include "engine/voice_manager.h"
#include "params/patch_object_table.h"
#include "params/curve_objects.h"
#include "params/envelope_object.h"
#include "params/program.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"
#include "wave/wave.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace engine_test {

using namespace pelko;

constexpr int kSineLength = 2048;

// One zone of a single-cycle sine at full scale, looped from `loopStart`.
inline std::shared_ptr<const Wave> sineWave(int length = kSineLength, int loopStart = 0)
{
    ZoneSamples zone;
    zone.samples.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        zone.samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(32767.0 * std::sin(2.0 * std::numbers::pi * i / length));
    }
    zone.loopStart = loopStart;
    zone.rootFrequency = 44100.0f / static_cast<float>(length);
    KeyMap keys{};
    return Wave::build({zone}, keys);
}

struct EngineFixture {
    Program program;
    EngineSettings settings;
    FrequencyTable frequencies{};
    std::array<WaveSlot, 6> waves;
    VoiceContext context;

    explicit EngineFixture(float sampleRate = 44100.0f)
    {
        TuningScale().computeFrequencies(frequencies);
        context.program = &program;
        context.settings = &settings;
        context.frequencies = &frequencies;
        context.waves = waves.data();
        context.sampleRate = sampleRate;
        for (auto& slot : waves) {
            slot.replace(sineWave());
        }
        settings.oscillators[0].direct = 1.0f;
    }

    WaveNameObject& shape(int osc) { return program.objectAs<WaveNameObject>(object::kOscShapeId + osc); }
    EnvelopeShape& envelope(int index) { return program.objectAs<EnvelopeObject>(index).shape(); }
    Curve& curve(int index) { return program.objectAs<CurveObject>(index).curve(); }

    // Oscillator osc plays the sine (straight out at `direct`).
    void enable(int osc, float direct = 1.0f)
    {
        shape(osc).setText("Single Cycle\\Sine");
        settings.oscillators[static_cast<std::size_t>(osc)].direct = direct;
    }
    void disableAll()
    {
        for (int osc = 0; osc < 6; ++osc) {
            shape(osc).setText("Off");
        }
    }
    // Amplitude envelope of osc at full level from the first sample, looping while held.
    void holdLevel(int osc) { envelope(object::kOscEnv + osc).applyPreset(3); }
};

inline std::vector<float> renderLeft(Voice& voice, int samples)
{
    std::vector<float> out(static_cast<std::size_t>(samples));
    for (float& x : out) {
        voice.render();
        x = voice.outLeft();
    }
    return out;
}

inline std::vector<float> renderLeft(VoiceManager& voices, int samples)
{
    std::vector<float> out(static_cast<std::size_t>(samples));
    for (float& x : out) {
        float right;
        voices.renderSample(x, right);
    }
    return out;
}

}  // namespace engine_test
