// Sample-rate dependent tables read by the filters: the state-variable frequency scale and the
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

// The tables for a sample rate, shared by every owner that asks for that rate. Each is built on
// the first request for its rate and never changes afterwards, so instances of the plug-in that
// run at different rates in one process never see each other's tables. A rate that FilterTables
// cannot use gives the 44100 Hz tables. Takes a lock and may allocate on a rate's first request:
// call it when the sample rate changes, never on the audio thread. A table lives until the
// process ends (a few hundred bytes for each distinct rate a host has asked for).
const FilterTables& filterTablesFor(float sampleRate);

// The tables of 44100 Hz, the rate every owner has until told otherwise. Lock-free after the first
// call.
const FilterTables& defaultFilterTables();

}  // namespace pelko
