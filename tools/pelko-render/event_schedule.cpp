#include "event_schedule.h"

#include "host_module.h"

namespace render {

std::vector<TimedMessage> placeMessages(const pelko::MidiSequence& sequence, const pelko::MidiTimeline& timeline)
{
    std::vector<TimedMessage> messages;
    messages.reserve(sequence.events.size());
    for (const pelko::MidiFileEvent& e : sequence.events) {
        messages.push_back({timeline.samplePosition(e.tick), e.status, e.data1, e.data2});
    }
    return messages;
}

void EventSchedule::blockEvents(std::uint64_t blockStart, int frames, std::vector<vst2::VstMidiEvent>& out)
{
    out.clear();
    const std::uint64_t blockEnd = blockStart + static_cast<std::uint64_t>(frames > 0 ? frames : 0);
    while (next_ < messages_.size() && messages_[next_].sample < blockEnd) {
        const TimedMessage& m = messages_[next_++];
        int delta = m.sample > blockStart ? static_cast<int>(m.sample - blockStart) : 0;
        out.push_back(host::midiEvent(delta, m.status, m.data1, m.data2));
    }
}

vst2::VstTimeInfo hostTimeInfo(const pelko::MidiTimeline& timeline, std::uint64_t sample, bool first)
{
    const pelko::MidiTimeline::Position p = timeline.positionAt(sample);
    vst2::VstTimeInfo info{};
    info.samplePos = static_cast<double>(sample);
    info.sampleRate = timeline.sampleRate();
    info.nanoSeconds = static_cast<double>(sample) * 1e9 / timeline.sampleRate();
    info.ppqPos = p.quarters;
    info.tempo = p.beatsPerMinute;
    info.barStartPos = p.barStartQuarters;
    info.timeSigNumerator = p.numerator;
    info.timeSigDenominator = p.denominator;
    info.flags = vst2::kVstTransportPlaying | vst2::kVstNanosValid | vst2::kVstPpqPosValid | vst2::kVstTempoValid |
                 vst2::kVstBarsValid | vst2::kVstTimeSigValid | (first ? static_cast<vst2::VstInt32>(vst2::kVstTransportChanged) : 0);
    return info;
}

}  // namespace render
