// The audio-rate envelopes of one note that change and must be stepped every sample. Filled at
// note start; stepping walks a short array of pointers. Never allocates.
#pragma once

#include "engine/envelope_runner.h"

#include <array>

namespace pelko {

class ActiveEnvelopes {
public:
    static constexpr int kCapacity = 32;

    void clear() { count_ = 0; }
    // Adds an envelope once; ignored when already listed or full.
    void add(EnvelopeRunner* envelope)
    {
        for (int i = 0; i < count_; ++i) {
            if (list_[static_cast<std::size_t>(i)] == envelope) {
                return;
            }
        }
        if (count_ < kCapacity) {
            list_[static_cast<std::size_t>(count_++)] = envelope;
        }
    }
    void stepAll()
    {
        for (int i = 0; i < count_; ++i) {
            list_[static_cast<std::size_t>(i)]->step();
        }
    }
    int count() const { return count_; }
    const EnvelopeRunner* at(int i) const { return list_[static_cast<std::size_t>(i)]; }

private:
    std::array<EnvelopeRunner*, kCapacity> list_{};
    int count_ = 0;
};

}  // namespace pelko
