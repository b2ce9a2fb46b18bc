// The MIDI events of one audio block, read in place in the order the host gave them. The owner
// hands in its event list as an opaque pointer, a count and a function that reads entry i, so the
// engine needs no host type and nothing is copied (the audio path never allocates).
#pragma once

#include <cstdint>

namespace pelko {

// One channel message at a sample offset of the block.
struct TimedMidi {
    int frame = 0;  // sample offset in the block; 0 or less: at the block start
    std::uint8_t bytes[3] = {};
};

// Reads entry `index` of `list`: its frame always, its bytes when it is a MIDI message. False for
// any other kind of entry (it is skipped, but still holds the run until its frame).
using MidiEventReader = bool (*)(const void* list, int index, TimedMidi& out) noexcept;

struct MidiEventList {
    const void* list = nullptr;
    int count = 0;
    MidiEventReader reader = nullptr;
};

class EventCursor {
public:
    // Audio thread or under the processing lock.
    void set(const MidiEventList& events) noexcept
    {
        events_ = events.list != nullptr && events.reader != nullptr && events.count > 0 ? events : MidiEventList{};
        next_ = 0;
    }
    void clear() noexcept { set({}); }

    // The next entry, whatever its kind, if there is one.
    bool peek(TimedMidi& out, bool& isMidi) const noexcept
    {
        if (next_ >= events_.count) {
            return false;
        }
        out = TimedMidi{};
        isMidi = events_.reader(events_.list, next_, out);
        return true;
    }
    void advance() noexcept { ++next_; }

private:
    MidiEventList events_;
    int next_ = 0;
};

}  // namespace pelko
