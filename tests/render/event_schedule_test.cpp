#include "demo_phrase.h"
#include "event_schedule.h"

#include <gtest/gtest.h>

#include <map>

using namespace render;

namespace {

pelko::MidiSequence sequenceAt(int ticksPerQuarter, std::vector<pelko::MidiFileEvent> events,
                               std::vector<pelko::MidiTempoChange> tempos = {})
{
    pelko::MidiSequence s;
    s.division.ticksPerQuarter = ticksPerQuarter;
    s.events = std::move(events);
    s.tempos = std::move(tempos);
    s.endTick = s.events.empty() ? 0 : s.events.back().tick;
    return s;
}

struct Delivered {
    std::uint64_t blockStart;
    int delta;
    int status, key;
};

std::vector<Delivered> deliverAll(EventSchedule& schedule, std::uint64_t total, int block)
{
    std::vector<Delivered> out;
    std::vector<vst2::VstMidiEvent> events;
    for (std::uint64_t start = 0; start < total; start += static_cast<std::uint64_t>(block)) {
        int frames = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(block), total - start));
        schedule.blockEvents(start, frames, events);
        for (const vst2::VstMidiEvent& e : events) {
            EXPECT_GE(e.deltaFrames, 0);
            EXPECT_LT(e.deltaFrames, frames);
            EXPECT_EQ(e.type, vst2::kVstMidiType);
            EXPECT_EQ(e.byteSize, 24);
            out.push_back({start, e.deltaFrames, static_cast<unsigned char>(e.midiData[0]),
                           static_cast<unsigned char>(e.midiData[1])});
        }
    }
    return out;
}

}  // namespace

TEST(EventSchedule, EveryEventLandsInItsBlockAtItsExactOffset)
{
    // 96 ticks per quarter at 120 BPM, 44.1 kHz: tick t lies at trunc(t x 229.6875).
    std::vector<pelko::MidiFileEvent> events;
    for (int i = 0; i < 40; ++i) {
        events.push_back({static_cast<std::uint64_t>(i * 7), 0x90, static_cast<std::uint8_t>(40 + i), 100, 0});
    }
    pelko::MidiSequence s = sequenceAt(96, events);
    pelko::MidiTimeline timeline(s, 44100);
    for (int block : {1, 7, 64, 256, 4096}) {
        SCOPED_TRACE(block);
        EventSchedule schedule(placeMessages(s, timeline));
        EXPECT_EQ(schedule.end(), timeline.samplePosition(273) + 1);
        std::vector<Delivered> delivered = deliverAll(schedule, schedule.end(), block);
        ASSERT_EQ(delivered.size(), events.size());
        for (std::size_t i = 0; i < delivered.size(); ++i) {
            std::uint64_t expected = static_cast<std::uint64_t>(i) * 7 * 2296875 / 10000;
            EXPECT_EQ(delivered[i].blockStart + static_cast<std::uint64_t>(delivered[i].delta), expected);
            EXPECT_EQ(delivered[i].key, 40 + static_cast<int>(i));
        }
        EXPECT_TRUE(schedule.finished());
    }
}

TEST(EventSchedule, SimultaneousEventsKeepTheirOrderAndLateOnesAreNotLost)
{
    pelko::MidiSequence s = sequenceAt(480, {{480, 0x80, 60, 0, 0}, {480, 0xC0, 3, 0, 0}, {480, 0x90, 62, 90, 0},
                                             {960, 0x90, 64, 90, 0}});
    pelko::MidiTimeline timeline(s, 48000);  // one quarter = 24000 samples
    EventSchedule schedule(placeMessages(s, timeline));
    std::vector<vst2::VstMidiEvent> events;
    schedule.blockEvents(23990, 100, events);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(static_cast<unsigned char>(events[0].midiData[0]), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(events[1].midiData[0]), 0xC0);
    EXPECT_EQ(static_cast<unsigned char>(events[2].midiData[0]), 0x90);
    for (const auto& e : events) {
        EXPECT_EQ(e.deltaFrames, 10);
    }
    // A block asked for past the next event still delivers it, at its start.
    schedule.blockEvents(50000, 100, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].deltaFrames, 0);
}

TEST(HostTimeInfo, ReportsTempoPositionAndMeterOfTheBlock)
{
    pelko::MidiSequence s = sequenceAt(480, {{0, 0x90, 60, 100, 0}}, {{0, 500000}, {1920, 1000000}});
    s.timeSignatures = {{0, 3, 4}};
    pelko::MidiTimeline timeline(s, 48000);
    vst2::VstTimeInfo first = hostTimeInfo(timeline, 0, true);
    EXPECT_EQ(first.flags & vst2::kVstTransportChanged, vst2::kVstTransportChanged);
    const vst2::VstInt32 wanted = vst2::kVstTransportPlaying | vst2::kVstTempoValid | vst2::kVstPpqPosValid |
                                  vst2::kVstTimeSigValid | vst2::kVstBarsValid;
    // Four quarters at 120 BPM (96000 samples), then 60 BPM: 120000 samples is quarter 4.5.
    vst2::VstTimeInfo later = hostTimeInfo(timeline, 120000, false);
    EXPECT_EQ(later.flags & wanted, wanted);
    EXPECT_EQ(later.flags & vst2::kVstTransportChanged, 0);
    EXPECT_DOUBLE_EQ(later.samplePos, 120000.0);
    EXPECT_DOUBLE_EQ(later.sampleRate, 48000.0);
    EXPECT_DOUBLE_EQ(later.tempo, 60.0);
    EXPECT_DOUBLE_EQ(later.ppqPos, 4.5);
    EXPECT_DOUBLE_EQ(later.barStartPos, 3.0);
    EXPECT_EQ(later.timeSigNumerator, 3);
    EXPECT_EQ(later.timeSigDenominator, 4);
    EXPECT_DOUBLE_EQ(later.nanoSeconds, 2.5e9);
    EXPECT_DOUBLE_EQ(hostTimeInfo(timeline, 48000, false).tempo, 120.0);
}

TEST(DemoPhrase, PlaysEveryProgramInTurnWithCleanSectionBoundaries)
{
    pelko::MidiSequence s = demoPhrase({7, 12, 30, 41, 5});
    const std::uint64_t section = kDemoBarsPerSection * 4 * kDemoTicksPerQuarter;
    EXPECT_EQ(s.endTick, 5 * section);  // five programs: five sections

    std::vector<std::pair<std::uint64_t, int>> changes;
    std::map<int, int> sounding;
    std::map<std::uint64_t, bool> notesSeenAtTick;
    for (const pelko::MidiFileEvent& e : s.events) {
        int kind = e.status & 0xF0;
        if (kind == 0xC0) {
            changes.emplace_back(e.tick, e.data1);
            // A program change comes before the notes of its tick, with nothing sounding.
            EXPECT_FALSE(notesSeenAtTick[e.tick]);
            for (const auto& [key, count] : sounding) {
                EXPECT_EQ(count, 0) << "key " << key << " still sounds at tick " << e.tick;
            }
        } else if (kind == 0x90 && e.data2 > 0) {
            ++sounding[e.data1];
            notesSeenAtTick[e.tick] = true;
            EXPECT_GE(e.data1, 36);
            EXPECT_LE(e.data1, 96);
        } else if (kind == 0x80) {
            --sounding[e.data1];
        }
    }
    for (const auto& [key, count] : sounding) {
        EXPECT_EQ(count, 0) << "key " << key << " never ends";
    }
    std::vector<std::pair<std::uint64_t, int>> expected = {
        {0, 7}, {section, 12}, {2 * section, 30}, {3 * section, 41}, {4 * section, 5}};
    EXPECT_EQ(changes, expected);

    // One program: no changes after the first; none at all without a list; at least four sections.
    pelko::MidiSequence single = demoPhrase({9});
    EXPECT_EQ(single.endTick, kDemoMinimumSections * section);
    int singleChanges = 0;
    for (const auto& e : single.events) {
        singleChanges += (e.status & 0xF0) == 0xC0;
    }
    EXPECT_EQ(singleChanges, 1);
    for (const auto& e : demoPhrase({}).events) {
        EXPECT_NE(e.status & 0xF0, 0xC0);
    }
}
