// Standard MIDI Files: any bytes either fail with an error inside the file or give a sequence in
// playing order whose ticks map to non-decreasing sample positions, and which the writer stores so
// that the reader reads back the same events.
#include "midi_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool sameEvents(const pelko::MidiSequence& a, const pelko::MidiSequence& b)
{
    if (a.events.size() != b.events.size() || a.endTick != b.endTick) {
        return false;
    }
    for (std::size_t i = 0; i < a.events.size(); ++i) {
        const pelko::MidiFileEvent& x = a.events[i];
        const pelko::MidiFileEvent& y = b.events[i];
        if (x.tick != y.tick || x.status != y.status || x.data1 != y.data1 || x.data2 != y.data2 || x.track != y.track) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::MidiFileResult result = pelko::readMidiFile(data, size);
    if (!result.sequence) {
        if (result.error.what.empty() || result.error.offset > size) {
            std::abort();
        }
        return 0;
    }
    const pelko::MidiSequence& sequence = *result.sequence;
    for (std::uint32_t rate : {44100u, 96000u}) {
        pelko::MidiTimeline timeline(sequence, rate);
        std::uint64_t previousTick = 0, previousSample = 0;
        for (const pelko::MidiFileEvent& event : sequence.events) {
            std::uint64_t sample = timeline.samplePosition(event.tick);
            if (event.tick < previousTick || sample < previousSample || event.status < 0x80 || event.status >= 0xF0) {
                std::abort();
            }
            previousTick = event.tick;
            previousSample = sample;
        }
        std::uint64_t end = timeline.samplePosition(sequence.endTick);
        if (end < previousSample || end > std::uint64_t(pelko::kMidiFileMaxSeconds + 1) * rate) {
            std::abort();
        }
        pelko::MidiTimeline::Position position = timeline.positionAt(end);
        if (!std::isfinite(position.quarters) || position.barStartQuarters > position.quarters + 1e-6) {
            std::abort();
        }
    }
    pelko::MidiFileResult again = pelko::readMidiFile(pelko::writeMidiFile(sequence));
    if (!again.sequence || !sameEvents(sequence, *again.sequence)) {
        std::abort();
    }
    return 0;
}
