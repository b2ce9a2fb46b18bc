// Voices at work: 1, 8 and 32 voices, each with six oscillators (every one phase-modulated by the
// next), both filters (a 24 dB state-variable lowpass and an analog lowpass) and all envelopes
// running, rendered in blocks of 256 samples at 44.1 and 96 kHz.
//
// Counters: rt_factor = seconds of audio rendered per second of one core; voices_per_core =
// voices × rt_factor, the number of such voices one core could play in real time.
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "engine/voice_manager.h"
#include "params/envelope_object.h"
#include "params/patch_object_table.h"
#include "params/program.h"
#include "params/wave_name_object.h"
#include "wave/wave.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

using namespace pelko;

std::shared_ptr<const Wave> sineWave()
{
    ZoneSamples zone;
    zone.samples.resize(2048);
    for (int i = 0; i < 2048; ++i) {
        zone.samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(32767.0 * std::sin(2.0 * std::numbers::pi * i / 2048));
    }
    zone.rootFrequency = 44100.0f / 2048.0f;
    return Wave::build({zone}, KeyMap{});
}

void voices(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const auto rate = static_cast<float>(state.range(1));

    Program program;
    EngineSettings settings;
    FrequencyTable frequencies{};
    TuningScale().computeFrequencies(frequencies);
    std::array<WaveSlot, 6> waves;
    VoiceContext context;
    context.program = &program;
    context.settings = &settings;
    context.frequencies = &frequencies;
    context.waves = waves.data();
    context.sampleRate = rate;
    context.filterTables = &filterTablesFor(rate);
    context.filterTypes = {filter_id::kLowpass24, filter_id::kAnalogLowpass2};
    settings.cutoff = {0.6f, 0.4f};
    settings.resonance = {0.3f, 0.3f};
    settings.cutoffEnvMod = {0.5f, 0.5f};
    for (int osc = 0; osc < 6; ++osc) {
        waves[static_cast<std::size_t>(osc)].replace(sineWave());
        program.objectAs<WaveNameObject>(object::kOscShapeId + osc).setText("Single Cycle\\Sine");
        OscillatorSettings& o = settings.oscillators[static_cast<std::size_t>(osc)];
        o.coarse = 48 + 7 * (osc % 3);
        o.sendFilter1 = o.sendFilter2 = 0.1f;
        o.direct = 0.05f;
        settings.fmGain[static_cast<std::size_t>(osc)][static_cast<std::size_t>((osc + 1) % 6)] = 0.3f;
    }

    VoiceManager manager(context, 32);
    for (int k = 0; k < count; ++k) {
        manager.noteOn(40 + k, 100);
    }
    constexpr int kBlock = 256;
    float left[kBlock];
    float right[kBlock];
    for (auto _ : state) {
        for (int n = 0; n < kBlock; ++n) {
            manager.renderSample(left[n], right[n]);
        }
        benchmark::DoNotOptimize(left);
        benchmark::DoNotOptimize(right);
    }
    if (manager.playingVoices().count != count) {
        state.SkipWithError("voices ended during the run");
    }
    const double seconds = kBlock / static_cast<double>(rate);
    state.counters["rt_factor"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["voices_per_core"] =
        benchmark::Counter(seconds * count, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(voices)->ArgsProduct({{1, 8, 32}, {44100, 96000}})->Unit(benchmark::kMicrosecond);
