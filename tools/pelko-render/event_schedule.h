// Splitting a sequence into process blocks: each event goes to the block holding its sample
// position with deltaFrames = its offset in that block, and each block gets the host time info a
// sequencer would report at its first sample.
#pragma once

#include "midi_file.h"
#include "plugin/vst2_abi.h"

#include <cstdint>
#include <vector>

namespace render {

struct TimedMessage {
    std::uint64_t sample = 0;  // absolute position from the start of the render
    std::uint8_t status = 0, data1 = 0, data2 = 0;
};

// The sequence's channel messages at their sample positions, in playing order.
std::vector<TimedMessage> placeMessages(const pelko::MidiSequence& sequence, const pelko::MidiTimeline& timeline);

// Hands out the messages of consecutive blocks. Blocks must be asked for in order.
class EventSchedule {
public:
    explicit EventSchedule(std::vector<TimedMessage> messages) : messages_(std::move(messages)) {}

    // Fills `out` with the messages in [blockStart, blockStart + frames). A message that an earlier
    // request skipped (a block asked for out of order) is delivered at delta 0 rather than lost.
    void blockEvents(std::uint64_t blockStart, int frames, std::vector<vst2::VstMidiEvent>& out);

    bool finished() const { return next_ >= messages_.size(); }
    // The sample after the last message (0 when there is none).
    std::uint64_t end() const { return messages_.empty() ? 0 : messages_.back().sample + 1; }

private:
    std::vector<TimedMessage> messages_;
    std::size_t next_ = 0;
};

// What the host reports for a block starting at `sample`: transport playing, sample position and
// rate, tempo, position in quarters, bar start and time signature, and the time in nanoseconds.
// `first` marks the first block after the transport started.
vst2::VstTimeInfo hostTimeInfo(const pelko::MidiTimeline& timeline, std::uint64_t sample, bool first);

}  // namespace render
