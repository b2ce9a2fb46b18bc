// Samples per second of each filter type, run the way a voice runs it: one coefficient update and
// denormal flush every 64 samples, one process call per sample.
#include "dsp/filters/filter_slot.h"
#include "dsp/filters/filter_types.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void filterThroughput(benchmark::State& state)
{
    const int typeId = pelko::filterTypeAtMenuIndex(static_cast<int>(state.range(0)));
    pelko::FilterSlot slot;
    pelko::Filter* filter = slot.create(typeId);
    state.SetLabel(filter->name());

    // A saw-like input with a slow cutoff sweep, so the coefficients really change.
    std::vector<float> input(4096);
    for (std::size_t n = 0; n < input.size(); ++n) {
        input[n] = 0.5f * (static_cast<float>(n % 100) / 50.0f - 1.0f);
    }
    float cutoff = 0.0f;
    float sink = 0.0f;
    for (auto _ : state) {
        for (std::size_t block = 0; block < input.size(); block += 64) {
            cutoff = cutoff >= 1.0f ? 0.0f : cutoff + 0.01f;
            filter->setCutoffAndResonance(cutoff, 0.7f);
            filter->flushDenormals();
            for (std::size_t n = block; n < block + 64; ++n) {
                sink += filter->process(input[n]);
            }
        }
        benchmark::DoNotOptimize(sink);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

}  // namespace

BENCHMARK(filterThroughput)->DenseRange(1, pelko::kFilterMenuSize - 1);
