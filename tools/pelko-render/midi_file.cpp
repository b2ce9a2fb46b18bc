#include "midi_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace pelko {
namespace {

std::string hexByte(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

std::string chunkName(const std::uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i) {
        name += (id[i] >= 32 && id[i] < 127) ? static_cast<char>(id[i]) : '?';
    }
    return name;
}

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint16_t bigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool isNoteOff(const MidiFileEvent& e)
{
    int kind = e.status & 0xF0;
    return kind == 0x80 || (kind == 0x90 && e.data2 == 0);
}

bool isNoteOn(const MidiFileEvent& e) { return (e.status & 0xF0) == 0x90 && e.data2 != 0; }

// Reads the stored bytes of one file. The first failure is kept and ends the parse.
class MidiFileParser {
public:
    MidiFileParser(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    MidiFileResult run();

private:
    struct TrackEnd {
        std::uint64_t tick;
        std::size_t offset;
    };

    bool fail(std::size_t offset, std::string what)
    {
        if (!failed_) {
            failed_ = true;
            error_ = {offset, std::move(what)};
        }
        return false;
    }
    bool readHeader(std::size_t length, std::uint16_t& trackCount);
    bool readTrack(std::size_t begin, std::size_t end, std::uint16_t track);
    // A variable-length number of at most four bytes, ending before `end`.
    bool readNumber(std::size_t& pos, std::size_t end, std::uint32_t& value, const char* what);
    bool countEvent(std::size_t offset);
    bool checkDuration();

    const std::uint8_t* data_;
    std::size_t size_;
    bool failed_ = false;
    MidiFileError error_;
    MidiSequence sequence_;
    std::size_t eventCount_ = 0;
    TrackEnd latest_{0, 0};
};

MidiFileResult MidiFileParser::run()
{
    MidiFileResult result;
    if (size_ < 14 || std::string(reinterpret_cast<const char*>(data_), 4) != "MThd") {
        fail(0, "not a Standard MIDI File (no MThd header)");
        result.error = error_;
        return result;
    }
    std::size_t headerLength = bigEndian32(data_ + 4);
    std::uint16_t trackCount = 0;
    if (headerLength < 6) {
        fail(4, "header chunk length " + std::to_string(headerLength) + " is shorter than 6 bytes");
    } else if (headerLength > size_ - 8) {
        fail(4, "header chunk length " + std::to_string(headerLength) + " exceeds the file size");
    } else {
        readHeader(headerLength, trackCount);
    }

    std::size_t pos = 8 + headerLength;
    std::uint16_t tracksRead = 0;
    while (!failed_ && pos < size_) {
        if (size_ - pos < 8) {
            sequence_.warnings.push_back(std::to_string(size_ - pos) + " stray bytes at the end of the file ignored");
            break;
        }
        const std::uint8_t* id = data_ + pos;
        std::size_t length = bigEndian32(data_ + pos + 4);
        std::size_t bodyBegin = pos + 8;
        if (length > size_ - bodyBegin) {
            fail(pos + 4, "chunk '" + chunkName(id) + "' claims " + std::to_string(length) + " bytes but only " +
                              std::to_string(size_ - bodyBegin) + " remain in the file");
            break;
        }
        if (chunkName(id) == "MTrk") {
            if (tracksRead < trackCount) {
                readTrack(bodyBegin, bodyBegin + length, tracksRead);
                ++tracksRead;
            } else {
                sequence_.warnings.push_back("track chunk at byte " + std::to_string(pos) +
                                             " beyond the " + std::to_string(trackCount) +
                                             " announced tracks ignored");
            }
        }
        // Chunks of other kinds are skipped whole.
        pos = bodyBegin + length;
    }
    if (!failed_ && tracksRead < trackCount) {
        fail(size_, "the header announces " + std::to_string(trackCount) + " tracks but the file holds only " +
                        std::to_string(tracksRead));
    }
    if (!failed_) {
        checkDuration();
    }
    if (failed_) {
        result.error = error_;
        return result;
    }

    auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    // Several tracks may change tempo or meter on one tick: the one merged last wins.
    std::stable_sort(sequence_.tempos.begin(), sequence_.tempos.end(), byTick);
    std::stable_sort(sequence_.timeSignatures.begin(), sequence_.timeSignatures.end(), byTick);
    orderMidiEvents(sequence_.events);
    result.sequence = std::move(sequence_);
    return result;
}

bool MidiFileParser::readHeader(std::size_t length, std::uint16_t& trackCount)
{
    const std::uint8_t* h = data_ + 8;
    std::uint16_t format = bigEndian16(h);
    trackCount = bigEndian16(h + 2);
    std::uint16_t division = bigEndian16(h + 4);
    if (format == 2) {
        return fail(8, "format 2 (independent sequences) is not supported; only formats 0 and 1 can be played");
    }
    if (format > 2) {
        return fail(8, "unknown file format " + std::to_string(format));
    }
    if (trackCount == 0) {
        return fail(10, "the file has no tracks");
    }
    if (format == 0 && trackCount > 1) {
        sequence_.warnings.push_back("format 0 file announces " + std::to_string(trackCount) +
                                     " tracks; all are played together");
    }
    if (length > 6) {
        sequence_.warnings.push_back(std::to_string(length - 6) + " extra header bytes ignored");
    }
    sequence_.format = format;
    if (division & 0x8000) {
        int frames = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        int ticks = division & 0xFF;
        if (frames != 24 && frames != 25 && frames != 29 && frames != 30) {
            return fail(12, "unknown SMPTE frame rate " + std::to_string(frames) + " (24, 25, 29 or 30 expected)");
        }
        if (ticks == 0) {
            return fail(13, "zero ticks per SMPTE frame");
        }
        sequence_.division.framesPerSecond = frames;
        sequence_.division.ticksPerFrame = ticks;
    } else {
        if (division == 0) {
            return fail(12, "zero ticks per quarter note");
        }
        sequence_.division.ticksPerQuarter = division;
    }
    return true;
}

bool MidiFileParser::readNumber(std::size_t& pos, std::size_t end, std::uint32_t& value, const char* what)
{
    std::size_t start = pos;
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= end) {
            return fail(start, std::string("track ends inside a ") + what);
        }
        std::uint8_t byte = data_[pos++];
        value = (value << 7) | (byte & 0x7Fu);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return fail(start, std::string(what) + " is longer than 4 bytes");
}

bool MidiFileParser::countEvent(std::size_t offset)
{
    if (++eventCount_ > kMidiFileMaxEvents) {
        return fail(offset, "more than " + std::to_string(kMidiFileMaxEvents) + " events");
    }
    return true;
}

bool MidiFileParser::readTrack(std::size_t begin, std::size_t end, std::uint16_t track)
{
    sequence_.trackNames.emplace_back();
    std::size_t pos = begin;
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    bool ended = false;
    while (!ended && pos < end) {
        std::uint32_t delta = 0;
        if (!readNumber(pos, end, delta, "delta time")) {
            return false;
        }
        tick += delta;
        std::size_t eventOffset = pos;
        if (!countEvent(eventOffset)) {
            return false;
        }
        if (pos >= end) {
            return fail(eventOffset, "track ends after a delta time, before its event");
        }
        std::uint8_t status = data_[pos];
        if (status & 0x80) {
            ++pos;
        } else if (running == 0) {
            return fail(eventOffset, "data byte " + hexByte(status) + " with no running status");
        } else {
            status = running;
        }

        if (status == 0xFF) {
            if (pos >= end) {
                return fail(eventOffset, "track ends inside a meta event");
            }
            std::uint8_t type = data_[pos++];
            std::uint32_t length = 0;
            if (!readNumber(pos, end, length, "meta event length")) {
                return false;
            }
            if (length > end - pos) {
                return fail(eventOffset, "meta event " + hexByte(type) + " of " + std::to_string(length) +
                                             " bytes runs past the end of its track");
            }
            const std::uint8_t* body = data_ + pos;
            pos += length;
            switch (type) {
            case 0x2F:
                ended = true;
                break;
            case 0x51: {
                if (length != 3) {
                    return fail(eventOffset, "tempo event with " + std::to_string(length) + " data bytes (3 expected)");
                }
                std::uint32_t micros = (std::uint32_t(body[0]) << 16) | (std::uint32_t(body[1]) << 8) | body[2];
                if (micros == 0) {
                    return fail(eventOffset, "tempo of 0 microseconds per quarter note");
                }
                if (micros < kMidiFileMinMicrosPerQuarter) {
                    return fail(eventOffset, "tempo of " + std::to_string(60'000'000 / micros) +
                                                 " BPM is faster than 1000 BPM");
                }
                sequence_.tempos.push_back({tick, micros});
                break;
            }
            case 0x58:
                if (length < 2 || body[0] == 0 || body[1] > 6) {
                    sequence_.warnings.push_back("unusable time signature at byte " + std::to_string(eventOffset) +
                                                 " ignored");
                } else {
                    sequence_.timeSignatures.push_back({tick, body[0], 1 << body[1]});
                }
                break;
            case 0x03:
                if (sequence_.trackNames.back().empty()) {
                    sequence_.trackNames.back().assign(reinterpret_cast<const char*>(body), length);
                }
                break;
            default:
                break;  // text, markers, key signature and the rest do not change what is heard
            }
        } else if (status == 0xF0 || status == 0xF7) {
            // System exclusive data (or an escaped block) is skipped whole.
            std::uint32_t length = 0;
            if (!readNumber(pos, end, length, "system exclusive length")) {
                return false;
            }
            if (length > end - pos) {
                return fail(eventOffset, "system exclusive event of " + std::to_string(length) +
                                             " bytes runs past the end of its track");
            }
            pos += length;
        } else if (status >= 0xF0) {
            return fail(eventOffset, "status byte " + hexByte(status) + " is not allowed in a track");
        } else {
            // A channel message. Running status is kept across meta and system exclusive events:
            // a correct file never has a data byte there, and files that do mean the last status.
            running = status;
            int kind = status & 0xF0;
            int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            std::uint8_t bytes[2] = {0, 0};
            for (int i = 0; i < dataBytes; ++i) {
                if (pos >= end) {
                    return fail(eventOffset, "track ends inside message " + hexByte(status));
                }
                if (data_[pos] & 0x80) {
                    return fail(pos, "status byte " + hexByte(data_[pos]) + " where a data byte of message " +
                                         hexByte(status) + " was expected");
                }
                bytes[i] = data_[pos++];
            }
            sequence_.events.push_back({tick, status, bytes[0], bytes[1], track});
        }
    }
    if (!ended) {
        sequence_.warnings.push_back("track " + std::to_string(track + 1) + " has no end-of-track event");
    } else if (pos < end) {
        sequence_.warnings.push_back(std::to_string(end - pos) + " bytes after the end of track " +
                                     std::to_string(track + 1) + " ignored");
    }
    if (tick >= latest_.tick) {
        latest_ = {tick, pos};
    }
    sequence_.endTick = std::max(sequence_.endTick, tick);
    return true;
}

bool MidiFileParser::checkDuration()
{
    const MidiTimeDivision& d = sequence_.division;
    const std::uint64_t endTick = sequence_.endTick;
    long double seconds = 0.0L;
    if (d.smpte()) {
        long double framesPerSecond = d.framesPerSecond == 29 ? 30000.0L / 1001.0L : d.framesPerSecond;
        seconds = static_cast<long double>(endTick) / (framesPerSecond * d.ticksPerFrame);
    } else {
        std::vector<MidiTempoChange> tempos = sequence_.tempos;
        std::stable_sort(tempos.begin(), tempos.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
        unsigned __int128 tickMicros = 0;
        std::uint64_t tick = 0;
        std::uint32_t micros = kMidiFileDefaultMicrosPerQuarter;
        for (const MidiTempoChange& change : tempos) {
            if (change.tick >= endTick) {
                break;
            }
            tickMicros += static_cast<unsigned __int128>(change.tick - tick) * micros;
            tick = change.tick;
            micros = change.microsPerQuarter;
        }
        tickMicros += static_cast<unsigned __int128>(endTick - tick) * micros;
        seconds = static_cast<long double>(tickMicros) / (1e6L * d.ticksPerQuarter);
    }
    if (seconds > static_cast<long double>(kMidiFileMaxSeconds)) {
        char text[160];
        std::snprintf(text, sizeof text, "the file plays for %.1f hours (up to tick %llu); at most %llu hours can be rendered",
                      static_cast<double>(seconds / 3600.0L), static_cast<unsigned long long>(endTick),
                      static_cast<unsigned long long>(kMidiFileMaxSeconds / 3600));
        return fail(latest_.offset, text);
    }
    return true;
}

}  // namespace

std::string MidiFileError::text() const { return what + " (at byte " + std::to_string(offset) + ")"; }

MidiFileResult readMidiFile(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr) {
        size = 0;
        static const std::uint8_t nothing = 0;
        data = &nothing;
    }
    return MidiFileParser(data, size).run();
}

namespace {

void putNumber(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    int count = 0;
    do {
        bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0 && count < 4);
    while (count > 0) {
        --count;
        out.push_back(static_cast<std::uint8_t>(bytes[count] | (count > 0 ? 0x80 : 0)));
    }
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Writes the delta from *last to tick; gaps longer than one stored delta are bridged with empty
// text events (which, as every meta event, end the running status for standard readers).
void putDelta(std::vector<std::uint8_t>& out, std::uint64_t& last, std::uint64_t tick, std::uint8_t& running)
{
    constexpr std::uint64_t kLongestDelta = 0x0FFFFFFF;
    while (tick - last > kLongestDelta) {
        putNumber(out, static_cast<std::uint32_t>(kLongestDelta));
        out.insert(out.end(), {0xFF, 0x01, 0x00});
        last += kLongestDelta;
        running = 0;
    }
    putNumber(out, static_cast<std::uint32_t>(tick - last));
    last = tick;
}

}  // namespace

std::vector<std::uint8_t> writeMidiFile(const MidiSequence& sequence)
{
    std::size_t trackCount = std::max<std::size_t>(sequence.trackNames.size(), 1);
    for (const MidiFileEvent& e : sequence.events) {
        trackCount = std::max<std::size_t>(trackCount, std::size_t(e.track) + 1);
    }
    trackCount = std::min<std::size_t>(trackCount, 0xFFFF);

    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    putBigEndian(out, trackCount == 1 ? 0 : 1, 2);
    putBigEndian(out, static_cast<std::uint32_t>(trackCount), 2);
    const MidiTimeDivision& d = sequence.division;
    if (d.smpte()) {
        out.push_back(static_cast<std::uint8_t>(-d.framesPerSecond));
        out.push_back(static_cast<std::uint8_t>(d.ticksPerFrame));
    } else {
        putBigEndian(out, static_cast<std::uint32_t>(d.ticksPerQuarter) & 0x7FFF, 2);
    }

    for (std::size_t track = 0; track < trackCount; ++track) {
        std::vector<std::uint8_t> body;
        std::uint64_t last = 0;
        std::uint8_t running = 0;
        if (track < sequence.trackNames.size() && !sequence.trackNames[track].empty()) {
            const std::string& name = sequence.trackNames[track];
            body.insert(body.end(), {0x00, 0xFF, 0x03});
            putNumber(body, static_cast<std::uint32_t>(name.size()));
            body.insert(body.end(), name.begin(), name.end());
        }
        std::size_t nextTempo = 0, nextMeter = 0;
        auto putMetaUpTo = [&](std::uint64_t tick) {
            if (track != 0) {
                return;
            }
            for (;;) {
                bool tempoDue = nextTempo < sequence.tempos.size() && sequence.tempos[nextTempo].tick <= tick;
                bool meterDue = nextMeter < sequence.timeSignatures.size() &&
                                sequence.timeSignatures[nextMeter].tick <= tick;
                if (tempoDue && (!meterDue || sequence.tempos[nextTempo].tick <= sequence.timeSignatures[nextMeter].tick)) {
                    const MidiTempoChange& t = sequence.tempos[nextTempo++];
                    putDelta(body, last, t.tick, running);
                    body.insert(body.end(), {0xFF, 0x51, 0x03});
                    putBigEndian(body, t.microsPerQuarter, 3);
                    running = 0;
                } else if (meterDue) {
                    const MidiTimeSignature& m = sequence.timeSignatures[nextMeter++];
                    int power = 0;
                    while ((1 << power) < m.denominator && power < 6) {
                        ++power;
                    }
                    putDelta(body, last, m.tick, running);
                    body.insert(body.end(), {0xFF, 0x58, 0x04, static_cast<std::uint8_t>(m.numerator),
                                             static_cast<std::uint8_t>(power), 24, 8});
                    running = 0;
                } else {
                    return;
                }
            }
        };
        for (const MidiFileEvent& e : sequence.events) {
            if (e.track != track || e.status < 0x80 || e.status >= 0xF0) {
                continue;
            }
            putMetaUpTo(e.tick);
            putDelta(body, last, e.tick, running);
            if (e.status != running) {
                body.push_back(e.status);
                running = e.status;
            }
            body.push_back(e.data1 & 0x7F);
            int kind = e.status & 0xF0;
            if (kind != 0xC0 && kind != 0xD0) {
                body.push_back(e.data2 & 0x7F);
            }
        }
        putMetaUpTo(std::numeric_limits<std::uint64_t>::max());
        putDelta(body, last, std::max(last, sequence.endTick), running);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});

        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        putBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

void orderMidiEvents(std::vector<MidiFileEvent>& events)
{
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
    // Notes sounding before the current tick, per channel and key.
    std::array<int, 16 * 128> sounding{};
    auto slot = [](const MidiFileEvent& e) { return (e.status & 0x0F) * 128 + (e.data1 & 0x7F); };
    std::vector<MidiFileEvent> group, rest;
    std::vector<int> available;
    for (std::size_t first = 0; first < events.size();) {
        std::size_t last = first;
        while (last < events.size() && events[last].tick == events[first].tick) {
            ++last;
        }
        group.clear();
        rest.clear();
        std::array<int, 16 * 128> claimable = sounding;
        for (std::size_t i = first; i < last; ++i) {
            const MidiFileEvent& e = events[i];
            if (isNoteOff(e) && claimable[static_cast<std::size_t>(slot(e))] > 0) {
                --claimable[static_cast<std::size_t>(slot(e))];
                group.push_back(e);
            } else {
                rest.push_back(e);
            }
        }
        group.insert(group.end(), rest.begin(), rest.end());
        for (std::size_t i = 0; i < group.size(); ++i) {
            const MidiFileEvent& e = group[i];
            int& count = sounding[static_cast<std::size_t>(slot(e))];
            if (isNoteOn(e)) {
                ++count;
            } else if (isNoteOff(e) && count > 0) {
                --count;
            }
            events[first + i] = e;
        }
        first = last;
    }
}

MidiTimeline::MidiTimeline(const MidiSequence& sequence, std::uint32_t sampleRate)
    : division_(sequence.division), sampleRate_(sampleRate == 0 ? 44100 : sampleRate)
{
    if (division_.smpte() && (division_.ticksPerFrame <= 0 || division_.framesPerSecond <= 0)) {
        division_ = MidiTimeDivision{};
    }
    if (!division_.smpte() && division_.ticksPerQuarter <= 0) {
        division_.ticksPerQuarter = 480;
    }
    tempo_.push_back({0, 0, 0, 0.0, 0.0, kMidiFileDefaultMicrosPerQuarter});
    for (const MidiTempoChange& change : sequence.tempos) {
        if (change.microsPerQuarter == 0) {
            continue;
        }
        TempoSegment& previous = tempo_.back();
        if (change.tick < previous.tick) {
            continue;  // out of order: not from the reader
        }
        if (change.tick == previous.tick) {
            previous.microsPerQuarter = change.microsPerQuarter;
            continue;
        }
        TempoSegment next;
        next.tick = change.tick;
        next.tickMicros = previous.tickMicros +
                          static_cast<unsigned __int128>(change.tick - previous.tick) * previous.microsPerQuarter;
        next.microsPerQuarter = change.microsPerQuarter;
        next.startSeconds = secondsAtTick(change.tick);
        next.startQuarters = quartersAtTick(change.tick);
        next.startSample = samplePosition(change.tick);
        tempo_.push_back(next);
    }
    meter_.push_back({0, 0.0, 4, 4});
    for (const MidiTimeSignature& signature : sequence.timeSignatures) {
        if (signature.numerator <= 0 || signature.denominator <= 0) {
            continue;
        }
        MeterSegment next{samplePosition(signature.tick), quartersAtTick(signature.tick), signature.numerator,
                          signature.denominator};
        if (next.startSample == meter_.back().startSample) {
            meter_.back() = next;
        } else if (next.startSample > meter_.back().startSample) {
            meter_.push_back(next);
        }
    }
}

const MidiTimeline::TempoSegment& MidiTimeline::segmentForTick(std::uint64_t tick) const
{
    auto it = std::upper_bound(tempo_.begin(), tempo_.end(), tick,
                               [](std::uint64_t t, const TempoSegment& s) { return t < s.tick; });
    return *(it - 1);
}

std::uint64_t MidiTimeline::samplePosition(std::uint64_t tick) const
{
    unsigned __int128 numerator = 0;
    unsigned __int128 denominator = 1;
    if (division_.smpte()) {
        if (division_.framesPerSecond == 29) {
            numerator = static_cast<unsigned __int128>(tick) * sampleRate_ * 1001u;
            denominator = static_cast<unsigned __int128>(30000u) * static_cast<unsigned>(division_.ticksPerFrame);
        } else {
            numerator = static_cast<unsigned __int128>(tick) * sampleRate_;
            denominator = static_cast<unsigned __int128>(static_cast<unsigned>(division_.framesPerSecond)) *
                          static_cast<unsigned>(division_.ticksPerFrame);
        }
    } else {
        // Tempo segments are not yet complete while the constructor builds them; the segment found is
        // always the one before the tick being added, which is what the sum needs.
        const TempoSegment& s = segmentForTick(tick);
        unsigned __int128 tickMicros = s.tickMicros + static_cast<unsigned __int128>(tick - s.tick) * s.microsPerQuarter;
        numerator = tickMicros * sampleRate_;
        denominator = static_cast<unsigned __int128>(1'000'000u) * static_cast<unsigned>(division_.ticksPerQuarter);
    }
    unsigned __int128 samples = numerator / denominator;
    return samples > std::numeric_limits<std::uint64_t>::max() ? std::numeric_limits<std::uint64_t>::max()
                                                              : static_cast<std::uint64_t>(samples);
}

double MidiTimeline::secondsAtTick(std::uint64_t tick) const
{
    if (division_.smpte()) {
        double framesPerSecond = division_.framesPerSecond == 29 ? 30000.0 / 1001.0 : division_.framesPerSecond;
        return static_cast<double>(tick) / (framesPerSecond * division_.ticksPerFrame);
    }
    const TempoSegment& s = segmentForTick(tick);
    unsigned __int128 tickMicros = s.tickMicros + static_cast<unsigned __int128>(tick - s.tick) * s.microsPerQuarter;
    return static_cast<double>(tickMicros) / (1e6 * division_.ticksPerQuarter);
}

double MidiTimeline::quartersAtTick(std::uint64_t tick) const
{
    if (!division_.smpte()) {
        return static_cast<double>(tick) / division_.ticksPerQuarter;
    }
    // Time-code files count in seconds; their tempo events still say where the beats are.
    const TempoSegment& s = segmentForTick(tick);
    return s.startQuarters + (secondsAtTick(tick) - s.startSeconds) * 1e6 / s.microsPerQuarter;
}

MidiTimeline::Position MidiTimeline::positionAt(std::uint64_t sample) const
{
    auto tempoIt = std::upper_bound(tempo_.begin(), tempo_.end(), sample,
                                    [](std::uint64_t x, const TempoSegment& s) { return x < s.startSample; });
    const TempoSegment& tempo = *(tempoIt - 1);
    double seconds = static_cast<double>(sample) / sampleRate_;
    Position position;
    position.quarters = std::max(0.0, tempo.startQuarters + (seconds - tempo.startSeconds) * 1e6 / tempo.microsPerQuarter);
    position.beatsPerMinute = 60e6 / tempo.microsPerQuarter;

    auto meterIt = std::upper_bound(meter_.begin(), meter_.end(), sample,
                                    [](std::uint64_t x, const MeterSegment& s) { return x < s.startSample; });
    const MeterSegment& meter = *(meterIt - 1);
    // The sample of a meter change may lie a fraction of a sample before the change's exact time;
    // the position is then taken as the change itself, so that a bar never starts after it.
    position.quarters = std::max(position.quarters, meter.startQuarters);
    position.numerator = meter.numerator;
    position.denominator = meter.denominator;
    double barLength = meter.numerator * 4.0 / meter.denominator;
    // A position a hair below a bar line (rounding) still belongs to the bar that starts there.
    double bars = std::floor((position.quarters - meter.startQuarters) / barLength + 1e-9);
    position.barStartQuarters = meter.startQuarters + std::max(0.0, bars) * barLength;
    return position;
}

}  // namespace pelko
