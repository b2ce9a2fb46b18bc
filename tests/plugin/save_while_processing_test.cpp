// A host asking for chunks from another thread while the audio thread processes: the audio
// thread waits for the processing lock only briefly, however long the bank takes to write out,
// and what was saved loads back.
#include "platform/threads.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TEST(SavingWhileProcessing, TheAudioThreadBarelyWaitsForTheLock)
{
    testing_support::PluginEnvironment environment(true, true);
    testing_support::InProcessPlugin instance;
    vst2::AEffect* effect = instance.effect();
    pelko::SynthPlugin& plugin = *instance.plugin();

    std::atomic<bool> saving{true};
    std::vector<double> saveMs;
    std::vector<std::vector<std::uint8_t>> saved(2);
    std::thread saver([&] {
        for (int i = 0; i < 40; ++i) {
            const bool programOnly = i % 4 == 3;
            const auto start = Clock::now();
            void* data = nullptr;
            const auto size = effect->dispatcher(effect, vst2::effGetChunk, programOnly ? 1 : 0, 0, &data, 0.0f);
            saveMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (size > 0 && data != nullptr) {
                saved[programOnly ? 1 : 0].assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
            }
        }
        saving = false;
    });

    // The audio thread: 64-frame blocks, each preceded by a timed take of the processing lock.
    std::vector<double> waitsUs;
    std::vector<float> left(64), right(64);
    float* outputs[2] = {left.data(), right.data()};
    while (saving.load()) {
        const auto start = Clock::now();
        {
            pelko::LockGuard lock(plugin.processLock());
        }
        waitsUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        effect->processReplacing(effect, nullptr, outputs, 64);
    }
    saver.join();

    ASSERT_FALSE(waitsUs.empty());
    std::sort(waitsUs.begin(), waitsUs.end());
    std::sort(saveMs.begin(), saveMs.end());
    const double median = waitsUs[waitsUs.size() / 2];
    const double p99 = waitsUs[waitsUs.size() * 99 / 100];
    std::printf("%zu lock takes during %zu saves (median save %.2f ms): wait median %.2f us, 99th percentile %.2f us, "
                "max %.2f us\n",
                waitsUs.size(), saveMs.size(), saveMs[saveMs.size() / 2], median, p99, waitsUs.back());
    // The aim is under 50 us for every take; only the median is asserted, as a loaded machine may
    // preempt the saving thread inside its short section.
    EXPECT_LT(median, 50.0);

    ASSERT_FALSE(saved[0].empty());
    ASSERT_FALSE(saved[1].empty());
    EXPECT_EQ(effect->dispatcher(effect, vst2::effSetChunk, 0, static_cast<vst2::VstIntPtr>(saved[0].size()),
                                 saved[0].data(), 0.0f),
              1);
    EXPECT_EQ(effect->dispatcher(effect, vst2::effSetChunk, 1, static_cast<vst2::VstIntPtr>(saved[1].size()),
                                 saved[1].data(), 0.0f),
              1);
}

}  // namespace
