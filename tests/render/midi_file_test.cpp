#include "midi_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

using namespace pelko;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

Bytes chunk(const char* id, const Bytes& body)
{
    Bytes out(id, id + 4);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes header(int format, int tracks, std::uint16_t division)
{
    return chunk("MThd", {0, static_cast<std::uint8_t>(format), static_cast<std::uint8_t>(tracks >> 8),
                          static_cast<std::uint8_t>(tracks), static_cast<std::uint8_t>(division >> 8),
                          static_cast<std::uint8_t>(division)});
}

// A file from track bodies given as raw event bytes.
Bytes smf(int format, std::uint16_t division, std::initializer_list<Bytes> tracks)
{
    Bytes out = header(format, static_cast<int>(tracks.size()), division);
    for (const Bytes& t : tracks) {
        Bytes c = chunk("MTrk", t);
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

MidiSequence readOk(const Bytes& bytes)
{
    MidiFileResult result = readMidiFile(bytes);
    EXPECT_TRUE(result.sequence.has_value()) << result.error.text();
    return result.sequence.value_or(MidiSequence{});
}

MidiFileError readFails(const Bytes& bytes)
{
    MidiFileResult result = readMidiFile(bytes);
    EXPECT_FALSE(result.sequence.has_value());
    return result.error;
}

struct Brief {
    std::uint64_t tick;
    int status, data1, data2, track;
    bool operator==(const Brief&) const = default;
};

std::vector<Brief> brief(const MidiSequence& s)
{
    std::vector<Brief> out;
    for (const MidiFileEvent& e : s.events) {
        out.push_back({e.tick, e.status, e.data1, e.data2, e.track});
    }
    return out;
}

}  // namespace

TEST(MidiFileReader, RunningStatusTwoAndThreeByteMessages)
{
    // Note on, two more notes on running status, a program change and a pressure value on running
    // status (one data byte each), then note-offs as note-on with velocity 0.
    Bytes track = cat({{0x00, 0x90, 60, 100}, {0x10, 64, 90}, {0x00, 67, 80}, {0x05, 0xC1, 7}, {0x01, 9},
                       {0x00, 0xD2, 33}, {0x60, 0x90, 60, 0}, {0x00, 64, 0}, {0x00, 67, 0}, kEnd});
    MidiSequence s = readOk(smf(0, 96, {track}));
    std::vector<Brief> expected = {{0, 0x90, 60, 100, 0},  {16, 0x90, 64, 90, 0}, {16, 0x90, 67, 80, 0},
                                   {21, 0xC1, 7, 0, 0},    {22, 0xC1, 9, 0, 0},   {22, 0xD2, 33, 0, 0},
                                   {118, 0x90, 60, 0, 0},  {118, 0x90, 64, 0, 0}, {118, 0x90, 67, 0, 0}};
    EXPECT_EQ(brief(s), expected);
    EXPECT_EQ(s.format, 0);
    EXPECT_EQ(s.division.ticksPerQuarter, 96);
    EXPECT_EQ(s.endTick, 118u);
    EXPECT_TRUE(s.warnings.empty());
}

TEST(MidiFileReader, TempoChangesBecomeExactSamplePositions)
{
    // 96 ticks per quarter at 120 BPM: one tick lasts 5208.33 us, 229.6875 samples at 44.1 kHz.
    // At tick 96 the tempo drops to 60 BPM (one quarter = one second), at tick 192 it becomes
    // 0x07A121 = 500001 us.
    Bytes track = cat({{0x00, 0x90, 60, 100},
                       {0x05, 62, 100},
                       {0x5B, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},
                       {0x00, 0x90, 64, 100},
                       {0x60, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x21},
                       {0x30, 0x80, 60, 0},
                       kEnd});
    MidiSequence s = readOk(smf(0, 96, {track}));
    ASSERT_EQ(s.tempos.size(), 2u);
    MidiTimeline timeline(s, 44100);
    EXPECT_EQ(timeline.samplePosition(0), 0u);
    EXPECT_EQ(timeline.samplePosition(1), 229u);
    EXPECT_EQ(timeline.samplePosition(5), 1148u);    // 1148.4375, not 5 x 229
    EXPECT_EQ(timeline.samplePosition(96), 22050u);  // half a second
    EXPECT_EQ(timeline.samplePosition(144), 44100u); // + half a quarter at 60 BPM
    EXPECT_EQ(timeline.samplePosition(192), 66150u);
    // 48 ticks at 500001 us per quarter: 250000.5 us = 11025.022 samples.
    EXPECT_EQ(timeline.samplePosition(240), 77175u);
    MidiTimeline at48k(s, 48000);
    EXPECT_EQ(at48k.samplePosition(1), 250u);  // exactly 250
    EXPECT_EQ(at48k.samplePosition(240), 72000u + 12000u);

    MidiTimeline::Position p = timeline.positionAt(44100);
    EXPECT_DOUBLE_EQ(p.quarters, 1.5);
    EXPECT_DOUBLE_EQ(p.beatsPerMinute, 60.0);
    EXPECT_DOUBLE_EQ(timeline.positionAt(11025).quarters, 0.5);
    EXPECT_DOUBLE_EQ(timeline.positionAt(11025).beatsPerMinute, 120.0);
}

TEST(MidiFileReader, BarStartsFollowTimeSignatures)
{
    // 3/4 from the start, 6/8 after one bar (delta 0x8B 0x20 = 1440 ticks = 3 quarters).
    Bytes conductor = cat({{0x00, 0xFF, 0x58, 0x04, 3, 2, 24, 8}, {0x8B, 0x20, 0xFF, 0x58, 0x04, 6, 3, 24, 8}, kEnd});
    MidiSequence s = readOk(smf(1, 480, {conductor, kEnd}));
    ASSERT_EQ(s.timeSignatures.size(), 2u);
    EXPECT_EQ(s.timeSignatures[1].tick, 1440u);
    EXPECT_EQ(s.timeSignatures[1].denominator, 8);
    MidiTimeline timeline(s, 48000);  // 120 BPM: 24000 samples per quarter
    MidiTimeline::Position inFirstBar = timeline.positionAt(24000 * 2);
    EXPECT_DOUBLE_EQ(inFirstBar.barStartQuarters, 0.0);
    EXPECT_EQ(inFirstBar.numerator, 3);
    MidiTimeline::Position inSecondBar = timeline.positionAt(24000 * 4);  // quarter 4, 6/8 since 3
    EXPECT_EQ(inSecondBar.numerator, 6);
    EXPECT_EQ(inSecondBar.denominator, 8);
    EXPECT_DOUBLE_EQ(inSecondBar.barStartQuarters, 3.0);
    EXPECT_DOUBLE_EQ(timeline.positionAt(24000 * 6).barStartQuarters, 6.0);  // 6/8 bar = 3 quarters

    // A change whose sample lies a fraction before its exact time (tick 3 at 100 BPM is sample
    // 165.375 at 44.1 kHz): the bar still starts at or before the position reported there.
    MidiSequence odd = s;
    odd.tempos = {{0, 600000}};
    odd.timeSignatures = {{0, 4, 4}, {3, 5, 4}};
    MidiTimeline oddTimeline(odd, 44100);
    ASSERT_EQ(oddTimeline.samplePosition(3), 165u);
    MidiTimeline::Position atChange = oddTimeline.positionAt(165);
    EXPECT_EQ(atChange.numerator, 5);
    EXPECT_LE(atChange.barStartQuarters, atChange.quarters);
    EXPECT_DOUBLE_EQ(atChange.barStartQuarters, 3.0 / 480);
}

TEST(MidiFileReader, FormatOneTracksMergeInStableOrder)
{
    // Track 1 repeats C4: its second note starts where the first ends, but the file writes the
    // new note-on before the old note-off. Track 2 starts and ends a note on one tick, then plays
    // at tick 10 together with track 1's controller.
    Bytes conductor = cat({{0x00, 0xFF, 0x03, 4, 'S', 'o', 'n', 'g'}, kEnd});
    Bytes one = cat({{0x00, 0xFF, 0x03, 3, 'O', 'n', 'e'},
                     {0x00, 0x90, 60, 100},
                     {0x0A, 0xB0, 7, 90},
                     {0x00, 0x90, 60, 101},
                     {0x00, 0x80, 60, 0},
                     kEnd});
    Bytes two = cat({{0x0A, 0x91, 72, 50}, {0x00, 0x81, 72, 0}, {0x00, 0x91, 48, 40}, kEnd});
    MidiSequence s = readOk(smf(1, 480, {conductor, one, two}));
    std::vector<Brief> expected = {
        {0, 0x90, 60, 100, 1},
        {10, 0x80, 60, 0, 1},    // ends the note sounding since tick 0: first
        {10, 0xB0, 7, 90, 1},    // then track 1 in file order
        {10, 0x90, 60, 101, 1},
        {10, 0x91, 72, 50, 2},   // then track 2; its zero-length note keeps on before off
        {10, 0x81, 72, 0, 2},
        {10, 0x91, 48, 40, 2},
    };
    EXPECT_EQ(brief(s), expected);
    ASSERT_EQ(s.trackNames.size(), 3u);
    EXPECT_EQ(s.trackNames[0], "Song");
    EXPECT_EQ(s.trackNames[1], "One");
    EXPECT_EQ(s.trackNames[2], "");

    // Ordering is stable: ordering again changes nothing.
    std::vector<MidiFileEvent> again = s.events;
    orderMidiEvents(again);
    MidiSequence copy = s;
    copy.events = again;
    EXPECT_EQ(brief(copy), expected);
}

TEST(MidiFileReader, SmpteDivisionCountsRealTime)
{
    // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
    Bytes track = cat({{0x00, 0x90, 60, 100}, {0x87, 0x68, 0x80, 60, 0}, kEnd});  // delta 1000
    MidiSequence s = readOk(smf(0, 0xE728, {track}));
    EXPECT_TRUE(s.division.smpte());
    EXPECT_EQ(s.division.framesPerSecond, 25);
    EXPECT_EQ(s.division.ticksPerFrame, 40);
    MidiTimeline timeline(s, 44100);
    EXPECT_EQ(timeline.samplePosition(1000), 44100u);
    EXPECT_EQ(timeline.samplePosition(1), 44u);  // 44.1
    EXPECT_DOUBLE_EQ(timeline.positionAt(44100).quarters, 2.0);  // 120 BPM: two beats a second

    // 30 drop-frame runs at 29.97 frames per second.
    MidiSequence dropFrame = readOk(smf(0, 0xE302, {track}));  // -29, 2 ticks per frame
    MidiTimeline dropTimeline(dropFrame, 30000);
    EXPECT_EQ(dropTimeline.samplePosition(2 * 30), 30030u);  // 30 frames = 1.001 s
}

TEST(MidiFileReader, ToleratesWhatDoesNotChangeTheSound)
{
    Bytes track = cat({{0x00, 0xF0, 0x03, 0x43, 0x12, 0xF7},    // system exclusive, skipped
                       {0x00, 0xF7, 0x02, 0x01, 0x02},          // escaped continuation, skipped
                       {0x00, 0x90, 60, 100},
                       {0x00, 0xFF, 0x01, 0x02, 'h', 'i'},      // text meta between running status
                       {0x10, 62, 100},                         // still note on
                       {0x00, 0xFF, 0x58, 0x04, 0, 9, 24, 8},   // unusable time signature
                       {0x00, 0xFF, 0x7F, 0x00}});              // no end of track
    Bytes file = smf(0, 96, {track});
    Bytes unknown = chunk("XTRA", {1, 2, 3, 4, 5});
    file.insert(file.begin() + 14, unknown.begin(), unknown.end());  // between header and track
    MidiSequence s = readOk(file);
    std::vector<Brief> expected = {{0, 0x90, 60, 100, 0}, {16, 0x90, 62, 100, 0}};
    EXPECT_EQ(brief(s), expected);
    EXPECT_TRUE(s.timeSignatures.empty());
    EXPECT_EQ(s.warnings.size(), 2u);  // the time signature and the missing end of track
}

TEST(MidiFileReader, RefusesMalformedFilesNamingTheFault)
{
    struct Case {
        const char* name;
        Bytes bytes;
        const char* mentions;
        std::size_t offset;
    };
    Bytes oneNote = cat({{0x00, 0x90, 60, 100}, kEnd});
    Bytes lyingLength = smf(0, 96, {oneNote});
    lyingLength[14 + 7] = 0x40;  // MTrk length 64 bytes, 8 really there
    Bytes shortHeader = chunk("MThd", {0, 0, 0, 1});
    shortHeader.resize(14, 0);
    std::vector<Case> cases = {
        {"not a MIDI file", Bytes(20, 'x'), "no MThd", 0},
        {"empty", {}, "no MThd", 0},
        {"short header", shortHeader, "shorter than 6", 4},
        {"format 2", smf(2, 96, {oneNote}), "format 2", 8},
        {"format 7", smf(7, 96, {oneNote}), "unknown file format 7", 8},
        {"no tracks", header(0, 0, 96), "no tracks", 10},
        {"zero division", smf(0, 0, {oneNote}), "zero ticks per quarter", 12},
        {"odd SMPTE rate", smf(0, 0xE928, {oneNote}), "unknown SMPTE frame rate 23", 12},
        {"zero ticks per frame", smf(0, 0xE700, {oneNote}), "zero ticks per SMPTE frame", 13},
        {"chunk longer than file", lyingLength, "claims 64 bytes but only 8 remain", 18},
        {"missing track", cat({header(1, 2, 96), chunk("MTrk", oneNote)}), "announces 2 tracks but the file holds only 1", 30},
        {"truncated message", smf(0, 96, {{0x00, 0x90, 60}}), "track ends inside message 0x90", 23},
        {"truncated delta", smf(0, 96, {{0x00, 0x90, 60, 100, 0x81}}), "inside a delta time", 26},
        {"delta after last event", smf(0, 96, {{0x00, 0x90, 60, 100, 0x10}}), "before its event", 27},
        {"five-byte delta", smf(0, 96, {{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100}}), "longer than 4 bytes", 22},
        {"data byte first", smf(0, 96, {{0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00}}), "data byte 0x3C with no running status", 23},
        {"status inside message", smf(0, 96, {{0x00, 0x90, 60, 0x80, 0x00}}), "status byte 0x80 where a data byte of message 0x90", 25},
        {"system common in track", smf(0, 96, {{0x00, 0xF2, 0x00, 0x00}}), "status byte 0xF2 is not allowed", 23},
        {"tempo zero", smf(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0, 0, 0}}), "tempo of 0 microseconds", 23},
        {"tempo too fast", smf(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0, 0, 100}}), "600000 BPM is faster than 1000 BPM", 23},
        {"tempo of two bytes", smf(0, 96, {{0x00, 0xFF, 0x51, 0x02, 7, 0xA1}}), "tempo event with 2 data bytes", 23},
        {"meta past track end", smf(0, 96, {{0x00, 0xFF, 0x01, 0x20, 'a'}}), "meta event 0x01 of 32 bytes runs past", 23},
        {"sysex past track end", smf(0, 96, {{0x00, 0xF0, 0x7F, 0x01}}), "system exclusive event of 127 bytes", 23},
        {"huge delta", smf(0, 96, {{0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00}}), "plays for 388.4 hours", 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MidiFileError error = readFails(c.bytes);
        EXPECT_NE(error.what.find(c.mentions), std::string::npos) << error.what;
        EXPECT_EQ(error.offset, c.offset) << error.what;
        EXPECT_NE(error.text().find("(at byte " + std::to_string(c.offset) + ")"), std::string::npos);
    }
}

TEST(MidiFileReader, LongFilesWithinTheLimitAreAccepted)
{
    // 3.9 hours at 120 BPM and 96 ticks per quarter, in deltas of at most 2^28 - 1 ticks.
    std::uint64_t ticks = 3'600ull * 39 / 10 * 2 * 96;
    Bytes track;
    std::uint64_t left = ticks;
    while (left > 0) {
        std::uint32_t delta = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, 0x0FFFFFFF));
        left -= delta;
        track.insert(track.end(), {static_cast<std::uint8_t>(0x80 | (delta >> 21)),
                                   static_cast<std::uint8_t>(0x80 | ((delta >> 14) & 0x7F)),
                                   static_cast<std::uint8_t>(0x80 | ((delta >> 7) & 0x7F)),
                                   static_cast<std::uint8_t>(delta & 0x7F), 0xFF, 0x01, 0x00});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    MidiSequence s = readOk(smf(0, 96, {track}));
    EXPECT_EQ(s.endTick, ticks);
    MidiTimeline timeline(s, 192000);
    EXPECT_EQ(timeline.samplePosition(ticks), 3'600ull * 39 / 10 * 192000);
}

TEST(MidiFileReader, RefusesMoreEventsThanTheLimit)
{
    // Empty text events are counted like every other event, without being kept.
    Bytes track;
    track.reserve((kMidiFileMaxEvents + 1) * 4);
    for (std::size_t i = 0; i <= kMidiFileMaxEvents; ++i) {
        track.insert(track.end(), {0x00, 0xFF, 0x01, 0x00});
    }
    MidiFileError error = readFails(smf(0, 96, {track}));
    EXPECT_NE(error.what.find("more than 5000000 events"), std::string::npos) << error.what;
    EXPECT_EQ(error.offset, 22 + kMidiFileMaxEvents * 4 + 1);
}

TEST(MidiFileWriter, WritesWhatTheReaderReadsBack)
{
    MidiSequence s;
    s.format = 1;
    s.division.ticksPerQuarter = 480;
    s.trackNames = {"Conductor", "Bass", "Lead"};
    s.tempos = {{0, 500000}, {1920, 400000}};
    s.timeSignatures = {{0, 4, 4}, {3840, 7, 8}};
    s.events = {{0, 0xC0, 5, 0, 1},    {0, 0x90, 36, 100, 1}, {0, 0x91, 72, 90, 2},
                {480, 0x80, 36, 0, 1}, {480, 0xE1, 0, 64, 2}, {960, 0x81, 72, 0, 2}};
    s.endTick = 4000;
    MidiFileResult back = readMidiFile(writeMidiFile(s));
    ASSERT_TRUE(back.sequence) << back.error.text();
    const MidiSequence& r = *back.sequence;
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.trackNames, s.trackNames);
    EXPECT_EQ(brief(r), brief(s));
    ASSERT_EQ(r.tempos.size(), 2u);
    EXPECT_EQ(r.tempos[1].tick, 1920u);
    EXPECT_EQ(r.tempos[1].microsPerQuarter, 400000u);
    ASSERT_EQ(r.timeSignatures.size(), 2u);
    EXPECT_EQ(r.timeSignatures[1].numerator, 7);
    EXPECT_EQ(r.timeSignatures[1].denominator, 8);
    EXPECT_EQ(r.endTick, 4000u);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(MidiFileWriter, BridgesGapsLongerThanOneStoredDelta)
{
    // At 32767 ticks per quarter and 1000 BPM, 2^29 ticks last 983 s: playable, but more than one
    // stored delta can hold.
    MidiSequence s;
    s.division.ticksPerQuarter = 0x7FFF;
    s.tempos = {{0, 60000}};
    s.events = {{0, 0x90, 60, 100, 0}, {0x20000000, 0x80, 60, 0, 0}};
    s.endTick = 0x20000000;
    MidiFileResult back = readMidiFile(writeMidiFile(s));
    ASSERT_TRUE(back.sequence) << back.error.text();
    EXPECT_EQ(back.sequence->format, 0);
    EXPECT_EQ(brief(*back.sequence), brief(s));
}
