// Counts heap allocations made by the calling thread while a counter is alive, for tests that
// check that audio paths never allocate. Linking this file replaces the global operator new
// with one that forwards to malloc and counts.
#pragma once

#include <cstddef>

namespace testing_support {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // Allocations on this thread since construction.
    std::size_t count() const;

private:
    std::size_t start_;
    bool previous_;
};

}  // namespace testing_support
