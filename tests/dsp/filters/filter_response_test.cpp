// Magnitude responses of the state-variable and analog types, measured with sine probes: each
// matches its transfer function and has the shape its name promises.
#include "dsp/filters/filter_slot.h"
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "filter_measurement.h"

#include <gtest/gtest.h>

using namespace filter_test;
namespace id = pelko::filter_id;

namespace {

enum class Shape { lowpass, highpass, bandpass, notch };

struct TypeCase {
    int typeId;
    bool analog;
    Shape shape;
    int stages;
};

const TypeCase kTypes[] = {
    {id::kLowpass12, false, Shape::lowpass, 1},     {id::kLowpass24, false, Shape::lowpass, 2},
    {id::kLowpass36, false, Shape::lowpass, 3},     {id::kHighpass12, false, Shape::highpass, 1},
    {id::kHighpass24, false, Shape::highpass, 2},   {id::kHighpass36, false, Shape::highpass, 3},
    {id::kBandpass12, false, Shape::bandpass, 1},   {id::kBandpass24, false, Shape::bandpass, 2},
    {id::kBandpass36, false, Shape::bandpass, 3},   {id::kNotch12, false, Shape::notch, 1},
    {id::kNotch24, false, Shape::notch, 2},         {id::kNotch36, false, Shape::notch, 3},
    {id::kAnalogLowpass1, true, Shape::lowpass, 1}, {id::kAnalogLowpass2, true, Shape::lowpass, 2},
    {id::kAnalogLowpass3, true, Shape::lowpass, 3}, {id::kAnalogHighpass1, true, Shape::highpass, 1},
    {id::kAnalogHighpass2, true, Shape::highpass, 2}, {id::kAnalogHighpass3, true, Shape::highpass, 3},
};

Complex reference(const TypeCase& t, double fc, double r, double hz, double sampleRate)
{
    if (t.analog) {
        return analogResponse(t.shape == Shape::highpass, t.stages, fc, r, hz, sampleRate);
    }
    const SvfTap taps[] = {SvfTap::low, SvfTap::high, SvfTap::band, SvfTap::notch};
    return svfResponse(taps[static_cast<int>(t.shape)], t.stages, fc, r, hz, sampleRate);
}

// Gain of a freshly built filter at one probe frequency.
double gainAt(const TypeCase& t, const pelko::FilterTables& tables, double fc, double r, double hz)
{
    pelko::FilterSlot slot(tables);
    pelko::Filter* filter = slot.create(t.typeId);
    filter->setCutoffAndResonance(static_cast<float>(fc), static_cast<float>(r));
    return std::abs(measureGain(*filter, hz, tables.sampleRate()));
}

}  // namespace

TEST(FilterResponse, MeasuredGainFollowsTheCoefficientFormulas)
{
    for (double sampleRate : {44100.0, 96000.0}) {
        const pelko::FilterTables tables(static_cast<float>(sampleRate));
        for (const TypeCase& t : kTypes) {
            for (double fc : {0.05, 0.3, 0.8}) {
                for (double r : {0.0, 0.7}) {
                    for (double hz : {60.0, 400.0, 1500.0, 4000.0, 9000.0, 16000.0}) {
                        const double expected = std::abs(reference(t, fc, r, binFrequency(hz, sampleRate), sampleRate));
                        const double measured = gainAt(t, tables, fc, r, hz);
                        EXPECT_NEAR(measured, expected, 0.002 * expected + 2e-6)
                            << "type " << t.typeId << " fc " << fc << " r " << r << " at " << hz
                            << " Hz, " << sampleRate << " Hz";
                    }
                }
            }
        }
    }
}

TEST(FilterResponse, ShapeAndSlopeMatchTheName)
{
    const pelko::FilterTables tables(44100.0f);
    for (const TypeCase& t : kTypes) {
        const double fc = 0.05;
        const double cutoff = t.analog ? analogCutoffHz(fc) : svfCutoffHz(fc);
        auto dB = [&](double hz) { return decibels(gainAt(t, tables, fc, 0.0, hz)); };
        // Fall in dB per octave from `from` to `to` (probes sit on bin centres, so not exactly an
        // octave apart).
        auto fall = [&](double from, double to) {
            return (dB(from) - dB(to)) / std::abs(std::log2(binFrequency(to, 44100.0) / binFrequency(from, 44100.0)));
        };
        const double skirt = (t.shape == Shape::bandpass ? 6.0 : 12.0) * t.stages;
        SCOPED_TRACE(pelko::filterTypeName(t.typeId));
        switch (t.shape) {
        case Shape::lowpass:
            EXPECT_NEAR(dB(cutoff / 16), 0.0, 0.3);
            EXPECT_NEAR(fall(cutoff * 4, cutoff * 8), skirt, 0.15 * skirt);
            break;
        case Shape::highpass:
            EXPECT_NEAR(dB(cutoff * 8), 0.0, 1.0);
            EXPECT_NEAR(fall(cutoff / 4, cutoff / 8), skirt, 0.15 * skirt);
            break;
        case Shape::bandpass: {
            const double peak = dB(cutoff);
            EXPECT_GT(peak, dB(cutoff / 1.5));
            EXPECT_GT(peak, dB(cutoff * 1.5));
            EXPECT_NEAR(fall(cutoff / 8, cutoff / 16), skirt, 0.15 * skirt);
            EXPECT_NEAR(fall(cutoff * 4, cutoff * 8), skirt, 0.15 * skirt);
            break;
        }
        case Shape::notch:
            EXPECT_LT(dB(cutoff), -30.0);
            EXPECT_NEAR(dB(cutoff / 16), 0.0, 0.3);
            EXPECT_NEAR(dB(cutoff * 8), 0.0, 1.0);
            break;
        }
    }
}

TEST(FilterResponse, ResonanceRaisesAPeakAtTheCutoff)
{
    const pelko::FilterTables tables(44100.0f);
    for (const TypeCase& t : kTypes) {
        if (t.shape == Shape::notch) {
            continue;
        }
        const double cutoff = t.analog ? analogCutoffHz(0.2) : svfCutoffHz(0.2);
        const double gain = decibels(gainAt(t, tables, 0.2, 0.9, cutoff) / gainAt(t, tables, 0.2, 0.0, cutoff));
        EXPECT_GT(gain, 15.0 * t.stages) << pelko::filterTypeName(t.typeId);
    }
}

TEST(FilterResponse, StateVariableCutoffStopsRisingNearTwoThirds)
{
    // The frequency word stops at 0.5: at 44100 Hz, from about fc = 0.64 on nothing changes.
    const pelko::FilterTables tables(44100.0f);
    const TypeCase lowpass = kTypes[0];
    EXPECT_EQ(gainAt(lowpass, tables, 0.7, 0.0, 9000.0), gainAt(lowpass, tables, 0.95, 0.0, 9000.0));
    EXPECT_NE(gainAt(lowpass, tables, 0.5, 0.0, 9000.0), gainAt(lowpass, tables, 0.7, 0.0, 9000.0));
}
