// The type table and menu, the factory behind the slots, and the sample-rate tables.
#include "dsp/filters/filter_slot.h"
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "filter_measurement.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace id = pelko::filter_id;

TEST(FilterTypes, MenuListsTheTypesInOrderAndMapsIdsBothWays)
{
    const char* names[] = {"Off", "Lowpass -12dB/Oct", "Lowpass -24dB/Oct", "Lowpass -36dB/Oct",
                           "Analog Lowpass 1", "Analog Lowpass 2", "Analog Lowpass 3", "Hipass -12dB/Oct",
                           "Hipass -24dB/Oct", "Hipass -36dB/Oct", "Analog Highpass 1", "Analog Highpass 2",
                           "Analog Highpass 3", "Bandpass -12dB/Oct", "Bandpass -24dB/Oct",
                           "Bandpass -36dB/Oct", "Notch -12dB/Oct", "Notch -24dB/Oct", "Notch -36dB/Oct",
                           "Comb Filter", "Allpass Filter"};
    const int ids[] = {0, 1, 2, 9, 13, 14, 15, 3, 4, 10, 16, 17, 18, 5, 6, 11, 7, 8, 12, 20, 30};
    for (int i = 0; i < pelko::kFilterMenuSize; ++i) {
        EXPECT_EQ(pelko::filterTypeAtMenuIndex(i), ids[i]);
        EXPECT_EQ(pelko::filterMenuIndex(ids[i]), i);
        EXPECT_STREQ(pelko::filterTypeName(ids[i]), names[i]);
    }
    for (int none : {-1, 19, 21, 25, 29, 31, 100, INT_MIN, INT_MAX}) {
        EXPECT_EQ(pelko::filterMenuIndex(none), -1) << none;
        EXPECT_STREQ(pelko::filterTypeName(none), "");
    }
    EXPECT_EQ(pelko::filterTypeAtMenuIndex(-1), -1);
    EXPECT_EQ(pelko::filterTypeAtMenuIndex(pelko::kFilterMenuSize), -1);
}

TEST(FilterTypes, SlotsBuildExactlyTheTypesOfTheTable)
{
    pelko::FilterSlot slot;
    for (int typeId = -3; typeId <= 40; ++typeId) {
        pelko::Filter* filter = slot.create(typeId);
        EXPECT_EQ(slot.filter(), filter);
        ASSERT_EQ(filter != nullptr, pelko::isFilterType(typeId)) << typeId;
        if (filter != nullptr) {
            EXPECT_EQ(filter->typeId(), typeId);
            EXPECT_STREQ(filter->name(), pelko::filterTypeName(typeId));
            EXPECT_EQ(filter->smoothing(), 0.95f);
        }
    }
    slot.create(id::kComb);
    slot.clear();
    EXPECT_EQ(slot.filter(), nullptr);
}

TEST(FilterTypes, UnknownStoredIdsPlayAsOffWithADiagnostic)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(pelko::playableFilterType(id::kNotch36, "Filter1"), id::kNotch36);
    EXPECT_EQ(pelko::playableFilterType(id::kOff, "Filter1"), id::kOff);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(pelko::playableFilterType(19, "Filter2"), id::kOff);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Filter2: unknown filter type 19, filter off\n");
}

TEST(FilterTables, EntriesFollowTheirFormulaAtEachRate)
{
    for (float sampleRate : {22050.0f, 44100.0f, 48000.0f, 192000.0f}) {
        const pelko::FilterTables tables(sampleRate);
        const double w = static_cast<float>(44100.0 / sampleRate * std::numbers::pi);  // as stored
        EXPECT_FLOAT_EQ(tables.svfScale(), static_cast<float>(w / 8.0));
        for (int i = 0; i <= pelko::FilterTables::kSteps; ++i) {
            const double t = std::tan((0.01 * std::min(i, 99) + 0.0025) * w * 100.0 / 401.0);
            EXPECT_NEAR(tables.tanTable()[i], t, 1e-6 * t);
            EXPECT_NEAR(tables.invTanTable()[i], 1.0 / t, 1e-6 / t);
        }
    }
    const pelko::FilterTables tables(44100.0f);
    const auto& table = tables.tanTable();
    EXPECT_FLOAT_EQ(pelko::FilterTables::lookup(table, 0.505f), 0.5f * (table[50] + table[51]));
    EXPECT_EQ(pelko::FilterTables::lookup(table, 1.0f), table[100]);
    EXPECT_EQ(pelko::FilterTables::lookup(table, 3.0f), table[100]);
    EXPECT_EQ(pelko::FilterTables::lookup(table, -1.0f), table[0]);
}

TEST(FilterTables, LowAndInvalidRatesStayUsable)
{
    // At 16 kHz the top of the analog range would pass Nyquist; the entries stay positive and
    // rise up to a limit, and the filters stay stable with unit gain in their passband.
    const pelko::FilterTables low(16000.0f);
    EXPECT_GT(low.tanTable()[0], 0.0f);
    for (int i = 1; i < pelko::FilterTables::kSteps; ++i) {
        EXPECT_GE(low.tanTable()[i], low.tanTable()[i - 1]);
    }
    pelko::FilterSlot slot(low);
    for (int typeId : {id::kAnalogLowpass3, id::kLowpass36}) {
        for (float sampleRate : {16000.0f, 8000.0f}) {
            const pelko::FilterTables tables(sampleRate);
            slot.prepare(tables);
            pelko::Filter* filter = slot.create(typeId);
            filter->setCutoffAndResonance(1.0f, 0.5f);
            const double gain = std::abs(filter_test::measureGain(*filter, 50.0, sampleRate));
            EXPECT_NEAR(gain, 1.0, 0.02) << pelko::filterTypeName(typeId) << " at " << sampleRate;
        }
    }
    pelko::FilterTables tables(48000.0f);
    EXPECT_FALSE(tables.rebuild(0.0f));
    EXPECT_FALSE(tables.rebuild(std::nanf("")));
    EXPECT_EQ(tables.sampleRate(), 48000.0f);
    EXPECT_EQ(pelko::FilterTables(-5.0f).sampleRate(), 44100.0f);
}

TEST(FilterTables, EachRateHasItsOwnTablesThatNeverChange)
{
    const pelko::FilterTables& at48 = pelko::filterTablesFor(48000.0f);
    const auto tan48 = at48.tanTable();
    const pelko::FilterTables& at96 = pelko::filterTablesFor(96000.0f);
    EXPECT_EQ(&pelko::filterTablesFor(48000.0f), &at48);
    EXPECT_NE(&at96, &at48);
    EXPECT_EQ(at48.sampleRate(), 48000.0f);
    EXPECT_EQ(at96.sampleRate(), 96000.0f);
    EXPECT_EQ(at48.tanTable(), tan48);
    EXPECT_EQ(&pelko::filterTablesFor(44100.0f), &pelko::defaultFilterTables());
    EXPECT_EQ(&pelko::filterTablesFor(0.0f), &pelko::defaultFilterTables());
    EXPECT_EQ(&pelko::filterTablesFor(std::nanf("")), &pelko::defaultFilterTables());
}

TEST(FilterTables, APreparedSlotBuildsFiltersForItsRate)
{
    pelko::FilterSlot slot;
    pelko::Filter* filter = slot.create(id::kAnalogLowpass1);
    filter->setCutoffAndResonance(0.2f, 0.0f);
    const double at44 = std::abs(filter_test::measureGain(*filter, 2000.0, 44100.0));
    slot.prepare(pelko::filterTablesFor(88200.0f));
    filter = slot.create(id::kAnalogLowpass1);
    filter->setCutoffAndResonance(0.2f, 0.0f);
    // The same cutoff in Hz at twice the rate is half the cutoff relative to this rate.
    EXPECT_LT(std::abs(filter_test::measureGain(*filter, 2000.0, 44100.0)), 0.6 * at44);
}
