// Real-time factor of every effect at 44.1 kHz in blocks of 256 frames: seconds of stereo
// audio processed per second of processor time ("rtf"; 1000 means the effect uses 0.1 % of
// one core in real time).
#include "dsp/effects/effect_factory.h"
#include "dsp/effects/effect_slots.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;

std::vector<float> noise(std::uint32_t seed)
{
    std::vector<float> x(kBlock);
    for (float& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = 0.5f * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    return x;
}

void effectAtDefaults(benchmark::State& state)
{
    const int typeId = pelko::effectKindAtMenuIndex(static_cast<int>(state.range(0))).typeId;
    auto effect = pelko::createEffect(typeId, kRate);
    effect->setMix(0.5f);
    const std::vector<float> left = noise(1);
    const std::vector<float> right = noise(2);
    std::vector<float> outL(kBlock), outR(kBlock);
    for (auto _ : state) {
        effect->process(left.data(), right.data(), outL.data(), outR.data(), kBlock);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(effect->name());
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate,
        benchmark::Counter::kIsRate);
}
BENCHMARK(effectAtDefaults)->DenseRange(1, pelko::kEffectTypeCount - 1);

// Both slots busy (a chorus into a reverb, the usual pairing), through the slot routing.
void slotsSerial(benchmark::State& state)
{
    pelko::EffectSlots slots;
    slots.setType(0, 9);
    slots.setType(1, 40);
    slots.setSerial(state.range(0) != 0);
    std::vector<float> left = noise(3);
    std::vector<float> right = noise(4);
    const std::vector<float> sourceL = left;
    const std::vector<float> sourceR = right;
    for (auto _ : state) {
        left = sourceL;
        right = sourceR;
        slots.process(left.data(), right.data(), kBlock);
        benchmark::DoNotOptimize(left.data());
    }
    state.SetLabel(state.range(0) != 0 ? "serial" : "parallel");
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kRate,
        benchmark::Counter::kIsRate);
}
BENCHMARK(slotsSerial)->Arg(1)->Arg(0);

}  // namespace
