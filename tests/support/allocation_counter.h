// Counts heap allocations and releases made by the calling thread while a counter is alive, for
// tests that check that audio paths never allocate or free. Linking this file replaces the global
// operator new and delete with ones that forward to malloc and free and count.
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
    // Releases (of memory, not of null pointers) on this thread since construction.
    std::size_t frees() const;

private:
    std::size_t start_;
    std::size_t freeStart_;
    bool previous_;
};

}  // namespace testing_support
