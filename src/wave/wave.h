// A built wave, as the oscillators play it: a 128-entry key map (zone index per MIDI key) and a
// zone table. Each zone is a looped run of signed 16-bit samples followed by four guard samples
// that repeat the start of the loop, so interpolation across the loop end needs no wrap test.
// A Wave is immutable once built and is shared (slots, the wave bank's cache) by shared_ptr.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelko {

struct WaveZone {
    std::uint32_t length = 0;    // samples; the loop runs from loopStart to length
    std::int32_t loopStart = 0;  // sample index, 0 <= loopStart < length
    float rootFrequency = 0;     // Hz at which the zone sounds when read at one sample per sample at 44100 Hz
    const std::int16_t* samples = nullptr;  // length samples, then the guard samples
};

// Input for building one zone.
struct ZoneSamples {
    std::vector<std::int16_t> samples;  // without guard samples
    std::int32_t loopStart = 0;
    float rootFrequency = 0;  // Hz, positive
};

using KeyMap = std::array<std::uint8_t, 128>;

class Wave {
public:
    static constexpr int kKeyCount = 128;
    static constexpr int kGuardSamples = 4;
    static constexpr int kMaxZones = 256;  // the key map holds byte indices
    static constexpr const char* kOutOfMemory = "Out of memory";  // the problem when allocation fails

    // Builds a wave from its zones and key map, appending the guard samples to every zone.
    // Returns null (with the reason in problem) when there is no zone or more than kMaxZones, a
    // zone is empty, a loop start lies outside its zone, a root frequency is not a positive
    // finite number, or the key map names a zone that does not exist.
    static std::shared_ptr<const Wave> build(std::vector<ZoneSamples> zones, const KeyMap& keyMap,
                                             std::string* problem = nullptr);

    // Reading never allocates or locks: safe on the audio thread.
    int zoneCount() const noexcept { return static_cast<int>(zones_.size()); }
    const WaveZone& zone(int index) const noexcept { return zones_[static_cast<std::size_t>(index)]; }
    // The zone for a key; keys outside 0–127 are clamped.
    const WaveZone& zoneForKey(int key) const noexcept
    {
        key = key < 0 ? 0 : (key > 127 ? 127 : key);
        return zones_[keyMap_[static_cast<std::size_t>(key)]];
    }
    const KeyMap& keyMap() const noexcept { return keyMap_; }

private:
    Wave() = default;

    KeyMap keyMap_{};
    std::vector<WaveZone> zones_;
    std::vector<std::vector<std::int16_t>> buffers_;  // owned sample data, with guard samples
};

// The wave selected for one oscillator. wave() is what the audio thread reads: no allocation, no
// lock. The slot is changed off the audio thread, or under the processing lock when voices may be
// reading it. A voice that keeps reading a wave across such a change holds its own reference
// (copying the shared pointer does not allocate).
class WaveSlot {
public:
    const Wave* wave() const noexcept { return wave_.get(); }
    bool empty() const noexcept { return wave_ == nullptr; }
    const std::shared_ptr<const Wave>& shared() const noexcept { return wave_; }

    // Puts a wave in the slot and returns the previous one, so that a caller on the audio thread
    // can pass it to a thread that may free memory.
    std::shared_ptr<const Wave> replace(std::shared_ptr<const Wave> wave) noexcept
    {
        wave_.swap(wave);
        return wave;
    }
    std::shared_ptr<const Wave> clear() noexcept { return replace(nullptr); }

private:
    std::shared_ptr<const Wave> wave_;
};

}  // namespace pelko
