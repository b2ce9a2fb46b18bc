// What changed since the editor last looked: one atomic dirty flag per parameter, per patch
// object, for the program name, the current program and the bank. Any thread marks (the audio
// thread too: marking is one lock-free store, it never waits or allocates); only the
// user-interface thread drains, at its idle, and redraws what it is told.
#pragma once

#include "params/parameter_table.h"
#include "params/patch_object_table.h"

#include <array>
#include <atomic>

namespace pelko {

class ChangeQueue {
public:
    static_assert(std::atomic<bool>::is_always_lock_free, "marking must never wait");

    // [any thread]
    void markParameter(int index) noexcept { mark(parameters_, index); }
    void markObject(int index) noexcept { mark(objects_, index); }
    void markAllParameters() noexcept { markAll(parameters_); }
    void markAllObjects() noexcept { markAll(objects_); }
    void markProgramName() noexcept { set(programName_); }
    void markCurrentProgram() noexcept { set(currentProgram_); }
    void markBank() noexcept { set(bank_); }

    // [user-interface thread] Clears every flag that is set and reports it: visitor.parameter(i),
    // visitor.object(k), visitor.programName(), visitor.currentProgram(), visitor.bank(). A flag
    // set again while the drain runs is reported by the next drain. Returns whether anything was.
    template <class Visitor>
    bool drain(Visitor&& visitor)
    {
        if (!any_.exchange(false, std::memory_order_acquire)) {
            return false;
        }
        for (int i = 0; i < kParameters; ++i) {
            if (parameters_[static_cast<std::size_t>(i)].exchange(false, std::memory_order_acq_rel)) {
                visitor.parameter(i);
            }
        }
        for (int k = 0; k < kPatchObjects; ++k) {
            if (objects_[static_cast<std::size_t>(k)].exchange(false, std::memory_order_acq_rel)) {
                visitor.object(k);
            }
        }
        if (programName_.exchange(false, std::memory_order_acq_rel)) {
            visitor.programName();
        }
        if (currentProgram_.exchange(false, std::memory_order_acq_rel)) {
            visitor.currentProgram();
        }
        if (bank_.exchange(false, std::memory_order_acq_rel)) {
            visitor.bank();
        }
        return true;
    }

private:
    template <std::size_t N>
    void mark(std::array<std::atomic<bool>, N>& flags, int index) noexcept
    {
        if (index >= 0 && static_cast<std::size_t>(index) < N) {
            set(flags[static_cast<std::size_t>(index)]);
        }
    }
    template <std::size_t N>
    void markAll(std::array<std::atomic<bool>, N>& flags) noexcept
    {
        for (auto& flag : flags) {
            flag.store(true, std::memory_order_release);
        }
        any_.store(true, std::memory_order_release);
    }
    void set(std::atomic<bool>& flag) noexcept
    {
        flag.store(true, std::memory_order_release);
        any_.store(true, std::memory_order_release);
    }

    std::array<std::atomic<bool>, kParameters> parameters_{};
    std::array<std::atomic<bool>, kPatchObjects> objects_{};
    std::atomic<bool> programName_{false};
    std::atomic<bool> currentProgram_{false};
    std::atomic<bool> bank_{false};
    // Set after any flag: an idle with nothing to do costs one load.
    std::atomic<bool> any_{false};
};

}  // namespace pelko
