// The locking and waiting primitives the system uses.
#pragma once

#include <chrono>
#include <mutex>
#include <thread>

namespace pelko {

// Re-entrant: program changes that arrive as MIDI run inside the processing loop, which already
// holds the processing lock.
using RecursiveLock = std::recursive_mutex;
using LockGuard = std::lock_guard<RecursiveLock>;

inline void sleepMilliseconds(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Marks the calling thread as the audio thread for the lifetime of the scope, so that work that
// must never run there (dialogs, message boxes) can be deferred.
class AudioThreadScope {
public:
    AudioThreadScope();
    ~AudioThreadScope();
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;

private:
    bool previous_;
};

bool onAudioThread();

}  // namespace pelko
