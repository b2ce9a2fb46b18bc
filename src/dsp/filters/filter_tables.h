// Sample-rate dependent tables shared by the filters: the state-variable frequency scale and the
// prewarped frequency terms of the analog types (tan and 1/tan at 100 cutoff steps plus a guard
// entry). Every cutoff is normalised to 0..1; at any sample rate the analog and state-variable
// cutoff ranges end near 11 kHz, because the tables are defined in terms of 44100 / sampleRate.
#pragma once

#include <array>

namespace pelko {

class FilterTables {
public:
    static constexpr int kSteps = 100;  // computed entries; entry kSteps repeats entry kSteps - 1

    // An unusable rate (see rebuild) gives the tables of 44100 Hz.
    explicit FilterTables(float sampleRate = 44100.0f);

    // Recomputes every table for a sample rate in Hz. A rate that is not finite or below 1000 Hz
    // leaves the tables as they are and returns false. Calls tan 200 times: call it when the
    // sample rate changes, never on the audio thread.
    bool rebuild(float sampleRate);

    float sampleRate() const { return sampleRate_; }
    float svfScale() const { return svfScale_; }  // π/8 · 44100 / sampleRate
    const std::array<float, kSteps + 1>& tanTable() const { return tan_; }
    const std::array<float, kSteps + 1>& invTanTable() const { return invTan_; }

    // Linear interpolation at 100 · fc (fc clamped to 0..1; fc = 1 reads the guard entry).
    static float lookup(const std::array<float, kSteps + 1>& table, float fc);

private:
    float sampleRate_ = 0.0f;
    float svfScale_ = 0.0f;
    std::array<float, kSteps + 1> tan_{};
    std::array<float, kSteps + 1> invTan_{};
};

// The process-wide tables every filter uses unless its slot was prepared with other tables. They
// hold the values of the last setFilterSampleRate call (44100 Hz until then).
const FilterTables& sharedFilterTables();

// Rebuilds the process-wide tables. Called by the plug-in's sample-rate handling before anything
// else is told the new rate, never on the audio thread. Existing filters keep their coefficients
// until their next cutoff update; comb filters keep their delay length until they are rebuilt.
// The tables are shared by every plug-in instance in the process: a rebuild races with another
// instance's audio thread updating coefficients. An owner that needs its own rate gives its slots
// a FilterTables of its own instead.
bool setFilterSampleRate(float sampleRate);

}  // namespace pelko
