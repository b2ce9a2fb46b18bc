// Every effect, at many parameter sets, through loud noise and then silence: the output stays
// finite and bounded, and after the silence no state holds a denormal (which would make the
// effect slow while it is quiet).
//
// Sanitizer and unoptimised builds run the same sets over shorter signals.
#include "effect_test_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace effect_tests;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || !defined(NDEBUG)
constexpr float kNoiseSeconds = 0.5f;
constexpr float kSilenceSeconds = 0.5f;
#else
constexpr float kNoiseSeconds = 10.0f;
constexpr float kSilenceSeconds = 10.0f;
#endif
constexpr int kParameterSets = 20;
// Loud noise (±1) through the most resonant settings (the overdrive at full drive between two
// sections at maximum resonance, at 8 kHz) peaks near 10⁶; anything beyond this bound is a
// runaway.
constexpr float kBound = 1e7f;

struct Setting {
    float values[6];
    float mix;
    bool sync;
    float bpm;
};

Setting settingFor(int set, Noise& random)
{
    Setting s{};
    for (float& v : s.values) {
        v = set == 0 ? 0.0f : (set == 1 ? 1.0f : random.unit());
    }
    s.mix = set < 2 ? 1.0f : random.unit();
    s.sync = set == 1 || random.unit() < 0.5f;
    s.bpm = 20.0f + 280.0f * random.unit();
    return s;
}

// Block sizes that include the empty and the single-frame block.
int blockSize(Noise& random)
{
    const float u = random.unit();
    if (u < 0.05f) {
        return 0;
    }
    if (u < 0.1f) {
        return 1;
    }
    return 1 + static_cast<int>(random.unit() * 1023.0f);
}

struct Outcome {
    float peak = 0.0f;
    bool finite = true;
    long denormalOutputs = 0;
    long denormalStates = 0;  // found at the checks made during the run
};

// Runs `seconds` of noise at `level`; with `checks` > 0 the state is also inspected that many
// times along the way.
void runFor(Effect& effect, float seconds, float level, Noise& signal, Noise& blocks, Outcome& outcome,
    int checks = 0)
{
    const int total = static_cast<int>(seconds * effect.sampleRate());
    const int checkEvery = checks > 0 ? total / checks : total + 1;
    int nextCheck = checkEvery;
    std::vector<float> left(1024), right(1024), outL(1024), outR(1024);
    for (int done = 0; done < total;) {
        const int n = std::min(blockSize(blocks), total - done);
        for (int i = 0; i < n; ++i) {
            left[i] = level * signal.next();
            right[i] = level * signal.next();
        }
        effect.process(left.data(), right.data(), outL.data(), outR.data(), n);
        for (int i = 0; i < n; ++i) {
            const float m = std::max(std::fabs(outL[i]), std::fabs(outR[i]));
            if (!(m <= kBound)) {
                outcome.finite = false;
            }
            outcome.peak = std::max(outcome.peak, m);
            if (std::fpclassify(outL[i]) == FP_SUBNORMAL || std::fpclassify(outR[i]) == FP_SUBNORMAL) {
                ++outcome.denormalOutputs;
            }
        }
        done += n;
        if (done >= nextCheck) {
            outcome.denormalStates += census(effect).denormals();
            nextCheck += checkEvery;
        }
    }
}

class EffectStability : public testing::TestWithParam<int> {};

TEST_P(EffectStability, NoiseThenSilenceStaysFiniteAndLeavesNoDenormals)
{
    Noise random(static_cast<std::uint32_t>(GetParam()) * 7919u + 1u);
    for (int set = 0; set < kParameterSets; ++set) {
        const Setting s = settingFor(set, random);
        auto effect = make(GetParam(), 44100.0f);
        configure(*effect, {s.values[0], s.values[1], s.values[2], s.values[3], s.values[4], s.values[5]}, s.mix,
            s.sync, s.bpm);
        Noise signal(static_cast<std::uint32_t>(set) + 11u);
        Outcome outcome;
        runFor(*effect, kNoiseSeconds, 1.0f, signal, random, outcome);
        Outcome silence;
        runFor(*effect, kSilenceSeconds, 0.0f, signal, random, silence, 10);
        const StateCensus state = census(*effect);
        SCOPED_TRACE(std::string(effect->name()) + " set " + std::to_string(set));
        EXPECT_TRUE(outcome.finite && silence.finite) << "peak " << outcome.peak;
        EXPECT_EQ(state.nonFinite(), 0);
        EXPECT_EQ(state.denormals(), 0) << "of " << state.values() << " state values";
        EXPECT_EQ(silence.denormalStates, 0);
        EXPECT_EQ(silence.denormalOutputs, 0);
    }
}

// The extremes of the sample-rate range, with the parameter corners and a few random sets.
TEST_P(EffectStability, ExtremeSampleRatesStayFinite)
{
    Noise random(static_cast<std::uint32_t>(GetParam()) + 3u);
    for (float rate : {8000.0f, 384000.0f}) {
        for (int set = 0; set < 4; ++set) {
            const Setting s = settingFor(set, random);
            auto effect = make(GetParam(), rate);
            configure(*effect, {s.values[0], s.values[1], s.values[2], s.values[3], s.values[4], s.values[5]}, s.mix,
                s.sync, s.bpm);
            Noise signal(5u);
            Outcome outcome;
            runFor(*effect, 0.5f * kNoiseSeconds / 10.0f + 0.25f, 1.0f, signal, random, outcome);
            runFor(*effect, 0.5f * kSilenceSeconds / 10.0f + 0.25f, 0.0f, signal, random, outcome);
            SCOPED_TRACE(std::string(effect->name()) + " at " + std::to_string(rate) + " set " + std::to_string(set));
            EXPECT_TRUE(outcome.finite) << "peak " << outcome.peak;
            EXPECT_EQ(census(*effect).nonFinite(), 0);
        }
    }
}

std::string typeName(const testing::TestParamInfo<int>& info)
{
    std::string name = pelko::effectKindAtMenuIndex(pelko::effectMenuIndex(info.param)).name;
    std::string clean;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            clean += c;
        }
    }
    return clean;
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectStability, testing::ValuesIn(effectTypeIds()), typeName);

}  // namespace
