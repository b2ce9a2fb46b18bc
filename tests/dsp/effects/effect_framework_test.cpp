// The effect framework: type table and factory, the "Off" object, tempo sync, displays and
// the rules for unusable tempos and sample rates.
#include "dsp/effects/effect_display.h"
#include "dsp/effects/effect_factory.h"
#include "dsp/effects/quadrature_lfo.h"
#include "dsp/effects/stereo_delay.h"
#include "dsp/effects/tempo_sync.h"
#include "effect_test_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace effect_tests;
using pelko::createEffect;
using pelko::effectKindAtMenuIndex;
using pelko::effectMenuIndex;

namespace {

std::string display(const Effect& e, int index)
{
    char text[32];
    e.paramDisplay(index, text, sizeof text);
    return text;
}

std::string plain(float v)
{
    char text[8];
    pelko::formatPlainValue(v, text, sizeof text);
    return text;
}

std::string signedText(float v)
{
    char text[8];
    pelko::formatSignedValue(v, text, sizeof text);
    return text;
}

TEST(EffectTypes, MenuOrderIdsAndNames)
{
    const std::pair<int, const char*> rows[] = {{0, "Off"}, {1, "Stereo Delay"}, {2, "Cross Delay"},
        {80, "AutoPan"}, {81, "Rotary Speaker"}, {9, "Chorus 1"}, {10, "Rich Chorus"}, {50, "CrazyComb"},
        {15, "Flanger 1"}, {20, "Stereo Ensemble"}, {21, "Cross-Ensemble"}, {22, "Rich Ensemble"},
        {30, "Quad Phaser"}, {40, "Stereo Reverb"}, {41, "8 Taps Reverb"}, {45, "Stereo Oktaverb"},
        {90, "3-bands EQ"}, {95, "Ring Modulator"}, {97, "Overdrive"}};
    ASSERT_EQ(std::size(rows), static_cast<std::size_t>(pelko::kEffectTypeCount));
    for (int i = 0; i < pelko::kEffectTypeCount; ++i) {
        EXPECT_EQ(effectKindAtMenuIndex(i).typeId, rows[i].first);
        EXPECT_STREQ(effectKindAtMenuIndex(i).name, rows[i].second);
        EXPECT_EQ(effectMenuIndex(rows[i].first), i);
        auto effect = createEffect(rows[i].first, 44100.0f);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->typeId(), rows[i].first);
        EXPECT_STREQ(effect->name(), rows[i].second);
    }
    EXPECT_EQ(effectMenuIndex(-1), -1);
    EXPECT_EQ(effectMenuIndex(3), -1);
    EXPECT_EQ(createEffect(3, 44100.0f), nullptr);
    EXPECT_EQ(createEffect(-1, 44100.0f), nullptr);
    EXPECT_STREQ(effectKindAtMenuIndex(19).name, "Off");
}

TEST(EffectTypes, EveryEffectStartsFromItsDefaults)
{
    for (int i = 0; i < pelko::kEffectTypeCount; ++i) {
        const pelko::EffectKind& kind = effectKindAtMenuIndex(i);
        auto effect = createEffect(kind.typeId, 48000.0f);
        EXPECT_FALSE(effect->tempoSync());
        EXPECT_FLOAT_EQ(effect->sampleRate(), 48000.0f);
        for (int p = 0; p < pelko::kEffectParameters; ++p) {
            EXPECT_FLOAT_EQ(effect->param(p), kind.parameters[p].defaultValue) << kind.name << " p" << p;
            EXPECT_STREQ(effect->paramName(p), kind.parameters[p].label);
        }
    }
    auto echo = createEffect(1, 44100.0f);
    EXPECT_STREQ(echo->paramName(0), "Left Time");
    EXPECT_STREQ(echo->paramName(4), "");
    EXPECT_STREQ(echo->paramName(6), "");
    EXPECT_TRUE(echo->isBipolar(2));
    EXPECT_FALSE(echo->isBipolar(0));
}

TEST(OffEffect, HasNoParameterNamesAndLeavesItsOutputUntouched)
{
    auto off = createEffect(0, 44100.0f);
    for (int p = 0; p < pelko::kEffectParameters; ++p) {
        EXPECT_STREQ(off->paramName(p), "");
    }
    EXPECT_FLOAT_EQ(off->setParam(2, 0.7f), 0.7f);
    EXPECT_FLOAT_EQ(off->param(2), 0.7f);
    std::vector<float> in = {1.0f, 2.0f, 3.0f};
    std::vector<float> out = {9.0f, 9.0f, 9.0f};
    off->process(in.data(), in.data(), out.data(), out.data(), 3);
    EXPECT_EQ(out, (std::vector<float>{9.0f, 9.0f, 9.0f}));
    off->process(in.data(), in.data(), in.data(), in.data(), 3);
    EXPECT_EQ(in, (std::vector<float>{1.0f, 2.0f, 3.0f}));
}

TEST(TempoSync, StepTable)
{
    EXPECT_EQ(pelko::syncStepIndex(0.0f), 0);
    EXPECT_EQ(pelko::syncStepIndex(1.0f), 25);
    EXPECT_EQ(pelko::syncStepIndex(0.5f), 12);
    EXPECT_EQ(pelko::syncStepIndex(0.0396f), 1);  // 0.99 + 0.01 reaches the next step
    EXPECT_EQ(pelko::syncStepIndex(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_FLOAT_EQ(pelko::syncStepBeats(0), 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(pelko::syncStepBeats(2), 0.06625f);
    EXPECT_STREQ(pelko::syncStepName(2), "1/16");
    EXPECT_FLOAT_EQ(pelko::syncStepBeats(12), 1.0f);
    EXPECT_FLOAT_EQ(pelko::syncStepBeats(25), 8.0f);
    const char* names[] = {"1/32", "1/24", "1/16", "1/12", " 1/8", " 1/6", " 1/5", " 1/4", " 1/3", " 1/2",
        " 2/3", " 3/4", "   1", " 5/4", " 4/3", " 3/2", " 5/3", " 7/4", "   2", " 5/2", "   3", " 7/2", "   4",
        "   5", "   6", "   8"};
    for (int k = 0; k < pelko::kSyncSteps; ++k) {
        EXPECT_STREQ(pelko::syncStepName(k), names[k]);
        EXPECT_EQ(std::string(names[k]).size(), 4u);
        if (k > 0) {
            EXPECT_GT(pelko::syncStepBeats(k), pelko::syncStepBeats(k - 1));
        }
    }
}

TEST(TempoSync, SyncedParametersSnapAndShowTheirStep)
{
    auto echo = createEffect(1, 44100.0f);
    EXPECT_FLOAT_EQ(echo->setParam(0, 0.3f), 0.3f);  // not synced yet
    EXPECT_EQ(display(*echo, 0), "030");
    echo->setTempoSync(true, 120.0f);
    EXPECT_TRUE(echo->isSynced(0));
    EXPECT_FALSE(echo->isSynced(2));
    EXPECT_FLOAT_EQ(echo->setParam(0, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(echo->setParam(0, 0.0f), 0.0f);
    EXPECT_NEAR(echo->setParam(0, 0.3f), 0.28f, 1e-6f);  // k = 7
    EXPECT_FLOAT_EQ(echo->param(0), 0.3f);                 // the value itself is kept
    EXPECT_EQ(display(*echo, 0), " 1/4");
    EXPECT_FLOAT_EQ(echo->setParam(2, 0.3f), 0.3f);  // feedback never snaps
    echo->setTempoSync(false, 120.0f);
    EXPECT_EQ(display(*echo, 0), "030");
}

TEST(EffectDisplay, PlainAndSignedFormats)
{
    EXPECT_EQ(plain(0.0f), "000");
    EXPECT_EQ(plain(0.057f), "005");
    EXPECT_EQ(plain(1.0f), "100");
    EXPECT_EQ(signedText(0.0f), "-99");
    EXPECT_EQ(signedText(0.5f), "+0");
    EXPECT_EQ(signedText(1.0f), "+99");
    EXPECT_EQ(signedText(0.25f), "-50");  // −99 − trunc(−49.5)
    auto echo = createEffect(2, 44100.0f);
    echo->setParam(2, 1.0f);
    EXPECT_EQ(display(*echo, 2), "+99");
    echo->setParam(3, 0.42f);
    EXPECT_EQ(display(*echo, 3), "042");
    char tiny[2];
    echo->paramDisplay(2, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "+");
    EXPECT_EQ(display(*echo, 9), "");
}

TEST(EffectParameters, OutOfRangeValuesAreClamped)
{
    auto echo = createEffect(1, 44100.0f);
    EXPECT_FLOAT_EQ(echo->setParam(2, 3.0f), 1.0f);
    EXPECT_FLOAT_EQ(echo->setParam(2, -1.0f), 0.0f);
    EXPECT_FLOAT_EQ(echo->setParam(2, std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_FLOAT_EQ(echo->setParam(-1, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(echo->setParam(6, 0.5f), 0.0f);
    echo->setMix(7.0f);
    EXPECT_FLOAT_EQ(echo->mix(), 1.0f);
}

TEST(EffectTempo, UnusableTemposKeepTheLastUsableOne)
{
    EXPECT_TRUE(pelko::isUsableTempo(20.0));
    EXPECT_TRUE(pelko::isUsableTempo(1000.0));
    for (double bad : {0.0, -120.0, 19.9, 1000.5, 1e30, std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(pelko::isUsableTempo(bad)) << bad;
    }
    pelko::StereoDelay echo(pelko::kStereoDelayKind, 44100.0f);
    echo.setTempoSync(true, 120.0f);
    echo.setParam(0, 1.0f);
    EXPECT_EQ(echo.lineLength(0), 176400);  // 8 beats at 120 bpm
    echo.setTempo(240.0f);
    EXPECT_EQ(echo.lineLength(0), 88200);
    for (float bad : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        echo.setTempo(bad);
        EXPECT_FLOAT_EQ(echo.tempo(), 240.0f);
        EXPECT_EQ(echo.lineLength(0), 88200);
    }
}

TEST(EffectTempo, SwitchingSyncToItsCurrentStateChangesNothing)
{
    pelko::StereoDelay echo(pelko::kStereoDelayKind, 44100.0f);
    echo.setTempoSync(true, 120.0f);
    echo.setParam(0, 1.0f);
    echo.setTempoSync(true, 60.0f);  // already on: the tempo is not taken
    EXPECT_FLOAT_EQ(echo.tempo(), 120.0f);
    EXPECT_EQ(echo.lineLength(0), 176400);
    echo.setTempoSync(false, 60.0f);
    EXPECT_EQ(echo.lineLength(0), static_cast<int>((0.499f + 0.001f) * 44100.0f));
    echo.setTempoSync(true, 60.0f);
    EXPECT_EQ(echo.lineLength(0), 352800);
}

TEST(EffectSampleRate, RatesAreClampedOrIgnored)
{
    EXPECT_FLOAT_EQ(pelko::usableSampleRate(48000.0, 44100.0f), 48000.0f);
    EXPECT_FLOAT_EQ(pelko::usableSampleRate(1000.0, 44100.0f), 8000.0f);
    EXPECT_FLOAT_EQ(pelko::usableSampleRate(1e7, 44100.0f), 384000.0f);
    EXPECT_FLOAT_EQ(pelko::usableSampleRate(0.0, 44100.0f), 44100.0f);
    EXPECT_FLOAT_EQ(pelko::usableSampleRate(std::nan(""), 96000.0f), 96000.0f);
    pelko::StereoDelay echo(pelko::kStereoDelayKind, 44100.0f);
    echo.setParam(0, 0.0f);
    EXPECT_EQ(echo.lineLength(0), 44);  // 1 ms
    echo.setSampleRate(96000.0f);
    EXPECT_EQ(echo.lineLength(0), 96);
    echo.setSampleRate(-1.0f);
    EXPECT_FLOAT_EQ(echo.sampleRate(), 96000.0f);
    EXPECT_EQ(echo.lineLength(0), 96);
}

TEST(QuadratureLfo, RunsAtItsRateWithUnitAmplitudeAtEveryRate)
{
    for (float hz : {0.07f, 3.0f, 440.0f, 5000.0f}) {
        pelko::QuadratureLfo lfo;
        lfo.setCoefficient(pelko::lfoCoefficient(hz, 1.0f / 44100.0f));
        std::vector<float> b;
        float peak = 0.0f;
        const int frames = hz < 1.0f ? 44100 * 30 : 44100 * 2;
        for (int i = 0; i < frames; ++i) {
            lfo.step();
            b.push_back(lfo.b());
            if (i % 256 == 255) {
                lfo.renormalise();
            }
            if (i > frames / 2) {
                peak = std::max(peak, std::fabs(lfo.b()));
            }
        }
        EXPECT_NEAR(crossingFrequency(b, 44100.0) / hz, 1.0, 0.01) << hz;
        // b's amplitude is 1/sqrt(1 − k²/4): 1 for slow rates, 1.07 at 5 kHz.
        const float k = lfo.coefficient();
        EXPECT_NEAR(peak, 1.0f / std::sqrt(1.0f - 0.25f * k * k), 0.01f) << hz;
    }
    // Rates beyond a quarter of the sample rate are limited there (k = √2), never to k ≥ 2.
    EXPECT_NEAR(pelko::lfoCoefficient(30000.0f, 1.0f / 44100.0f), std::sqrt(2.0f), 1e-5f);
    EXPECT_FLOAT_EQ(pelko::lfoCoefficient(-3.0f, 1.0f / 44100.0f), 0.0f);
}

}  // namespace
