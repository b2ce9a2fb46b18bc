// The comb's delay and feedback measured from its impulse response; the allpass's unit gain and
// phase measured with sine probes.
#include "dsp/filters/comb_filter.h"
#include "dsp/filters/filter_slot.h"
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "filter_measurement.h"

#include <gtest/gtest.h>

#include <vector>

using namespace filter_test;

namespace {

std::vector<float> impulseResponse(pelko::Filter& filter, int length)
{
    std::vector<float> out;
    for (int n = 0; n < length; ++n) {
        out.push_back(filter.process(n == 0 ? 1.0f : 0.0f));
    }
    return out;
}

// Sum and centre of mass of the samples in [from, to).
std::pair<double, double> echo(const std::vector<float>& h, int from, int to)
{
    double sum = 0.0, moment = 0.0;
    for (int n = from; n < to; ++n) {
        sum += h[n];
        moment += h[n] * static_cast<double>(n);
    }
    return {sum, moment / sum};
}

}  // namespace

TEST(CombFilter, DelayAndFeedbackShowInTheImpulseResponse)
{
    for (auto [sampleRate, length] : {std::pair{44100.0f, 1323}, std::pair{96000.0f, 2880}}) {  // 30 ms
        const pelko::FilterTables tables(sampleRate);
        pelko::FilterSlot slot(tables);
        for (float fc : {0.0f, 0.25f, 0.5f, 0.9f, 1.0f}) {
            for (float r : {0.0f, 0.5f, 1.0f}) {
                auto* comb = static_cast<pelko::CombFilter*>(slot.create(pelko::filter_id::kComb));
                ASSERT_EQ(comb->length(), length);
                comb->setCutoffAndResonance(fc, r);
                const double delay = (1.0 - fc) * (length - 1) * 0.99 + 1.0;
                const int d = static_cast<int>(delay);
                const int spread = delay == d ? 1 : 2;  // a fractional delay spreads each echo
                const std::vector<float> h = impulseResponse(*comb, 3 * d + 8);
                EXPECT_EQ(h[0], 1.0f);  // the dry path
                // First echo: the impulse itself, split between the two samples around the delay.
                auto [first, firstAt] = echo(h, d, d + spread);
                EXPECT_NEAR(first, 1.0, 1e-5);
                EXPECT_NEAR(firstAt, delay, 2e-3) << "fc " << fc << " at " << sampleRate << " Hz";
                // Second echo: scaled by the feedback 0.995·r, twice as far.
                auto [second, secondAt] = echo(h, 2 * d, 2 * d + 2 * spread - 1);
                EXPECT_NEAR(second, 0.995 * r, 1e-5);
                if (r > 0.0f) {
                    EXPECT_NEAR(secondAt, 2.0 * delay, 4e-3);
                }
            }
        }
    }
}

TEST(CombFilter, ResetClearsTheLine)
{
    pelko::FilterSlot slot;
    pelko::Filter* comb = slot.create(pelko::filter_id::kComb);
    comb->setCutoffAndResonance(0.5f, 0.9f);
    impulseResponse(*comb, 100);
    comb->reset();
    double energy = 0.0;
    for (int n = 0; n < 2000; ++n) {
        energy += std::abs(comb->process(0.0f));
    }
    EXPECT_EQ(energy, 0.0);
}

TEST(AllpassFilter, UnitGainAndFirstOrderPhase)
{
    const pelko::FilterTables tables(44100.0f);
    pelko::FilterSlot slot(tables);
    for (float fc : {0.0f, 0.1f, 0.5f, 0.9f, 1.0f}) {
        pelko::Filter* allpass = slot.create(pelko::filter_id::kAllpass);
        allpass->setCutoffAndResonance(fc, 0.8f);
        const double a = fc - 1.0;
        for (double hz : {30.0, 200.0, 1000.0, 5000.0, 12000.0, 20000.0}) {
            const double probe = binFrequency(hz, 44100.0);
            const Complex zi = zInverse(probe, 44100.0);
            const Complex expected = (a + zi) / (1.0 + a * zi);
            const Complex measured = measureGain(*allpass, hz, 44100.0, 0.5, 2000);
            EXPECT_NEAR(std::abs(measured), 1.0, 1e-4) << "fc " << fc << " at " << hz << " Hz";
            EXPECT_NEAR(std::abs(measured - expected), 0.0, 1e-4);
        }
    }
    // Cutoff 1 is a plain one-sample delay.
    pelko::Filter* allpass = slot.create(pelko::filter_id::kAllpass);
    allpass->setCutoffAndResonance(1.0f, 0.0f);
    const std::vector<float> h = impulseResponse(*allpass, 4);
    EXPECT_NEAR(h[0], 0.0f, 1e-20f);
    EXPECT_EQ(h[1], 1.0f);
    EXPECT_NEAR(h[2], 0.0f, 1e-20f);
}
