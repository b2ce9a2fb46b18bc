// What every effect promises its slot: parameter and tempo changes never allocate (their lines
// were reserved when the effect was built), in-place processing gives the same sound, block
// boundaries do not change the sound, and reset leaves silence.
#include "effect_test_signals.h"

#include <gtest/gtest.h>

#include <string>

using namespace effect_tests;

namespace {

class EffectContract : public testing::TestWithParam<int> {};

void sweepEverything(Effect& e)
{
    for (bool sync : {false, true}) {
        e.setTempoSync(sync, 120.0f);
        for (int p = 0; p < pelko::kEffectParameters; ++p) {
            for (float v = 0.0f; v <= 1.0f; v += 0.05f) {
                e.setParam(p, v);
            }
            e.setParam(p, 1.0f);
        }
    }
}

TEST_P(EffectContract, ParameterAndTempoChangesNeverGrowTheLines)
{
    auto e = make(GetParam());
    const long built = census(*e).capacity();
    sweepEverything(*e);
    const long swept = census(*e).capacity();
    if (GetParam() != 1 && GetParam() != 2) {
        EXPECT_EQ(swept, built);  // only synced delay times can ask for more than was reserved
    }
    // Once a synced time has been chosen, no tempo the host may report makes its line grow.
    e->setTempoSync(true, 120.0f);
    for (float bpm = 20.0f; bpm <= 1000.0f; bpm *= 1.07f) {
        e->setTempo(bpm);
    }
    sweepEverything(*e);
    EXPECT_EQ(census(*e).capacity(), swept);
}

TEST_P(EffectContract, InPlaceProcessingSoundsTheSame)
{
    auto a = make(GetParam());
    auto b = make(GetParam());
    for (Effect* e : {a.get(), b.get()}) {
        e->setMix(0.7f);
    }
    Noise noise(21);
    std::vector<float> left = noise.block(3000);
    std::vector<float> right = noise.block(3000);
    const Stereo separate = run(*a, left, right, 300);
    for (int start = 0; start < 3000; start += 300) {
        b->process(left.data() + start, right.data() + start, left.data() + start, right.data() + start, 300);
    }
    EXPECT_EQ(separate.left, left);
    EXPECT_EQ(separate.right, right);
}

TEST_P(EffectContract, BlockSizeDoesNotChangeTheSound)
{
    auto a = make(GetParam());
    auto b = make(GetParam());
    const std::vector<float> input = Noise(22).block(20000, 0.5f);
    const Stereo small = runMono(*a, input, 1);
    const Stereo large = runMono(*b, input, 4096);
    // The LFOs are renormalised and some guards flip once per block. That changes an LFO's value
    // by rounding amounts only, but a 20 ms sweep of white noise turns them into differences
    // about 50 dB down; a state lost between blocks would be of the order of the signal.
    const double level = rms(large.left) + 1e-3;
    EXPECT_LT(rms(difference(small.left, large.left)), 1e-2 * level);
    EXPECT_LT(rms(difference(small.right, large.right)), 1e-2 * level);
}

TEST_P(EffectContract, ResetLeavesSilence)
{
    auto e = make(GetParam());
    e->setMix(1.0f);
    runMono(*e, Noise(23).block(30000));
    e->reset();
    const Stereo out = runMono(*e, std::vector<float>(4000, 0.0f));
    // The rotary speaker keeps its 1 ms lines through a reset (they flush by themselves).
    const std::size_t from = GetParam() == 81 ? 64 : 0;
    EXPECT_LT(rms(out.left, from) + rms(out.right, from), 1e-20);
}

// An effect is heard at every setting a program can store: fully wet, at forty random settings
// (each value from 0.05 up, so no depth is exactly zero; tempo sync on and off), five seconds of
// noise come out changed and not silenced: long enough for the longest delay and for the
// slowest pan or carrier to move off its starting zero.
TEST_P(EffectContract, EverySettingIsHeard)
{
    Noise settings(24);
    const std::vector<float> input = Noise(25).block(5 * 44100, 0.5f);
    for (int trial = 0; trial < 40; ++trial) {
        auto e = make(GetParam());
        e->setTempoSync(trial % 2 == 1, 120.0f);
        float values[pelko::kEffectParameters];
        for (int p = 0; p < pelko::kEffectParameters; ++p) {
            values[p] = 0.05f + 0.95f * settings.unit();
            e->setParam(p, values[p]);
        }
        e->setMix(1.0f);
        const Stereo out = runMono(*e, input);
        const double in = rms(input);
        const auto where = [&] {
            std::string text = "trial " + std::to_string(trial) + (trial % 2 == 1 ? ", synced:" : ":");
            for (float v : values) {
                text += " " + std::to_string(v);
            }
            return text;
        };
        for (const std::vector<float>* channel : {&out.left, &out.right}) {
            // −60 dB: a high-pass set above the low-pass leaves the overdrive very quiet, not silent.
            EXPECT_GT(rms(*channel), 1e-3 * in) << where();
            EXPECT_GT(rms(difference(*channel, input)), 1e-2 * in) << where();
        }
    }
}

std::string typeName(const testing::TestParamInfo<int>& info)
{
    std::string clean;
    for (const char* c = pelko::effectKindAtMenuIndex(pelko::effectMenuIndex(info.param)).name; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) {
            clean += *c;
        }
    }
    return clean;
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectContract, testing::ValuesIn(effectTypeIds()), typeName);

}  // namespace
