#include "reference_phrase.h"

#include "storage/chunk_storage.h"

#include <algorithm>
#include <cmath>

namespace pelko::content {
namespace {

constexpr int kBlock = 256;
constexpr int kFxSerialParameter = 181;

struct Note {
    double on, off;  // seconds
    int offset;      // semitones above the reference key
    int velocity;
};

StereoRender play(host::HostModule& host, const std::vector<Note>& notes, int key, double seconds)
{
    struct Event {
        int frame;
        std::uint8_t status, key, velocity;
    };
    std::vector<Event> events;
    for (const Note& n : notes) {
        const auto k = static_cast<std::uint8_t>(std::clamp(key + n.offset, 0, 127));
        events.push_back({static_cast<int>(n.on * kReferenceRate), 0x90, k, static_cast<std::uint8_t>(n.velocity)});
        events.push_back({static_cast<int>(n.off * kReferenceRate), 0x80, k, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.frame < b.frame; });
    const int total = static_cast<int>(seconds * kReferenceRate);
    StereoRender out;
    out.left.reserve(static_cast<std::size_t>(total));
    out.right.reserve(static_cast<std::size_t>(total));
    std::vector<float> left, right;
    std::size_t next = 0;
    for (int start = 0; start < total; start += kBlock) {
        const int frames = std::min(kBlock, total - start);
        std::vector<vst2::VstMidiEvent> block;
        for (; next < events.size() && events[next].frame < start + frames; ++next) {
            const Event& e = events[next];
            block.push_back(host::midiEvent(e.frame - start, e.status, e.key, e.velocity));
        }
        if (!block.empty()) {
            host.sendMidi(block);
        }
        host.processReplacing(left, right, frames);
        out.left.insert(out.left.end(), left.begin(), left.end());
        out.right.insert(out.right.end(), right.begin(), right.end());
    }
    return out;
}

bool isBass(const std::string& categoryPath) { return categoryPath.rfind("Basses", 0) == 0; }

}  // namespace

std::vector<float> StereoRender::mono() const
{
    std::vector<float> m(left.size());
    for (std::size_t i = 0; i < m.size(); ++i) {
        m[i] = 0.5f * (left[i] + right[i]);
    }
    return m;
}

int referenceKey(const std::string& categoryPath) { return isBass(categoryPath) ? 41 : 60; }

StereoRender renderReferencePhrase(host::HostModule& host, const std::string& categoryPath)
{
    // Played firmly, as a player tries a sound: overlapping single notes, then a held chord.
    const bool bass = isBass(categoryPath);
    const int third = bass ? 7 : 4;
    const int fifth = bass ? 12 : 7;
    std::vector<Note> notes = {
        {0.0, 0.45, 0, 110}, {0.4, 0.85, fifth, 100}, {0.8, 1.25, third, 120},
        {1.2, 2.2, 0, 115},  {1.2, 2.2, third, 105},  {1.2, 2.2, fifth, 105},
    };
    if (!bass) {
        notes.push_back({1.2, 2.2, 12, 100});
    }
    return play(host, notes, referenceKey(categoryPath), 2.6);
}

StereoRender renderLoudChord(host::HostModule& host, const std::string& categoryPath)
{
    std::vector<Note> notes;
    for (int offset : {0, 4, 7, 12, 16, 19}) {
        notes.push_back({0.0, 1.0, offset - (isBass(categoryPath) ? 0 : 12), 127});
    }
    return play(host, notes, referenceKey(categoryPath), 1.5);
}

namespace {

std::vector<std::uint8_t> programChunk(const Program& program)
{
    ProgramBank bank;
    bank.editProgram(0) = program;
    Program editBuffer = program;
    int current = 0;
    bool tuningOn = false;
    TuningScaleObject tuning = makeGlobalTuning();
    TextObject info = makeBankInfo();
    StorageState state{bank, editBuffer, current, {tuningOn, tuning, info}};
    return getChunk(state, true);
}

}  // namespace

bool startProgram(host::HostModule& host, const Program& program)
{
    if (host.effect() == nullptr) {
        if (host.instantiate() == nullptr) {
            return false;
        }
        host.open();
        host.setSampleRate(static_cast<float>(kReferenceRate));
        host.setBlockSize(kBlock);
        host.resume();
    }
    // A program change waits for the last notes to end; here they have.
    settle(host);
    // A default program first: its effect slots are off, so the program's effects start new.
    static const std::vector<std::uint8_t> blank = programChunk(Program());
    if (!host.setChunk(true, blank)) {
        return false;
    }
    settle(host);
    return host.setChunk(true, programChunk(program));
}

void settle(host::HostModule& host)
{
    std::vector<float> left, right;
    int quietBlocks = 0;
    for (int i = 0; i < 30 * kReferenceRate / kBlock && quietBlocks * kBlock < kReferenceRate / 10; ++i) {
        host.processReplacing(left, right, kBlock);
        float peak = 0.0f;
        for (std::size_t j = 0; j < left.size(); ++j) {
            peak = std::max({peak, std::abs(left[j]), std::abs(right[j])});
        }
        quietBlocks = peak < 1e-5f ? quietBlocks + 1 : 0;
    }
    // A round trip through the serial switch resets both effects.
    const float serial = host.getParameter(kFxSerialParameter);
    host.setParameter(kFxSerialParameter, serial != 0.0f ? 0.0f : 1.0f);
    host.setParameter(kFxSerialParameter, serial);
}

}  // namespace pelko::content
