// Preallocated storage for one of a voice's filters. A slot holds at most one filter of any type,
// built in place from a stored type id, so starting a note allocates nothing: the storage is
// sized for the largest type and the comb's delay line is allocated with the slot.
//
// Who calls what:
//   - construction, prepare(): off the audio thread (voice pool creation, sample-rate change);
//   - create(), clear(), filter(): the audio thread (note start, voice return); no allocation.
#pragma once

#include "dsp/filters/filter.h"

#include <cstddef>
#include <vector>

namespace pelko {

class FilterTables;

class FilterSlot {
public:
    // Uses the tables for every filter it builds and sizes the comb line for their sample rate.
    explicit FilterSlot(const FilterTables& tables);
    FilterSlot();  // with the tables of 44100 Hz (defaultFilterTables())
    ~FilterSlot();
    FilterSlot(const FilterSlot&) = delete;
    FilterSlot& operator=(const FilterSlot&) = delete;

    // Adopts new tables (normally the same tables after a sample-rate change): destroys the
    // current filter and resizes the comb line. Allocates; never call it on the audio thread.
    void prepare(const FilterTables& tables);

    // Destroys the current filter and builds a fresh one of this type (zeroed state, coefficients
    // meaningful after the first cutoff update). Returns null, leaving the slot empty, for "Off"
    // and for every id without a filter.
    Filter* create(int typeId);

    void clear();
    Filter* filter() const { return filter_; }

private:
    static constexpr std::size_t kStorageSize = 128;

    alignas(std::max_align_t) std::byte storage_[kStorageSize];
    Filter* filter_ = nullptr;
    const FilterTables* tables_;
    std::vector<float> combLine_;
};

}  // namespace pelko
