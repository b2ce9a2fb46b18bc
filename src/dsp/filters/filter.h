// One per-voice filter: the interface every filter type implements.
//
// A voice owns two filter slots (filter_slot.h) and drives each filter the same way: once per
// control period (64 samples) setCutoffAndResonance(fc, r) followed by flushDenormals(), and
// process() once per sample. Cutoff and resonance are normalised to 0..1; values outside that
// range (infinities included) act as its ends and NaN as 0, so no stored program can make a
// filter unstable or read outside its tables.
//
// A filter never returns a non-finite sample. If its recursion is poisoned (a NaN or infinity in
// the input signal, or an overflow), process() returns 0 instead of a non-finite value and the
// next flushDenormals() clears the state, so the voice recovers within one control period.
//
// Every operation runs on the audio thread and none allocates.
#pragma once

#include <cmath>

namespace pelko {

class FilterTables;

class Filter {
public:
    virtual ~Filter() = default;
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    int typeId() const { return typeId_; }  // the stored id (filter_types.h)
    const char* name() const;               // the menu name

    // Stores the resonance and recomputes what depends on it.
    virtual void setResonance(float r) = 0;
    // Recomputes what depends on the cutoff, with the stored resonance.
    virtual void setCutoff(float fc) = 0;
    // Both at once: what the voice calls every control period.
    virtual void setCutoffAndResonance(float fc, float r)
    {
        setCutoff(fc);
        setResonance(r);
    }

    // Zeroes the state (not the coefficients, not the previous input sample).
    virtual void reset();

    // One sample in, one sample out.
    virtual float process(float x) = 0;

    // Control-period housekeeping: a poisoned state is cleared (see above); otherwise the
    // state-variable types and the allpass replace denormal state words by zero.
    void flushDenormals();

    // A factor the voice applies to its own cutoff smoothing once per control period (0.95).
    float smoothing() const { return smoothing_; }

protected:
    friend class VoiceLanes;

    Filter(int typeId, const FilterTables& tables, bool flushesDenormals)
        : tables_(&tables), typeId_(typeId), flushesDenormals_(flushesDenormals)
    {
    }

    // Cutoff and resonance as every type uses them: within 0..1, NaN as 0.
    static float clampUnit(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

    // The last step of every process(x): a non-finite input or result marks the filter for a
    // reset at the next control tick (an infinite input may otherwise be absorbed by a limiter
    // as a bounded but arbitrary kick); a non-finite result is replaced by 0.
    float guardOutput(float x, float y)
    {
        poisoned_ = poisoned_ || !std::isfinite(x + y);
        return std::isfinite(y) ? y : 0.0f;
    }

    const FilterTables& tables() const { return *tables_; }

    // Coefficient words; their meaning depends on the family (see each type).
    float coef_[4] = {};
    // Three groups of four state words, one group per cascaded stage or section.
    float state_[12] = {};
    float prevInput_ = 0.0f;  // previous input sample (state-variable types, allpass)

private:
    const FilterTables* tables_;
    int typeId_;
    float smoothing_ = 0.95f;
    bool flushesDenormals_;
    bool poisoned_ = false;
};

}  // namespace pelko
