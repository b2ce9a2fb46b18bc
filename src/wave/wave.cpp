#include "wave/wave.h"

#include <cmath>
#include <new>

namespace pelko {

std::shared_ptr<const Wave> Wave::build(std::vector<ZoneSamples> zones, const KeyMap& keyMap, std::string* problem)
{
    auto fail = [problem](const char* reason) {
        if (problem != nullptr) {
            *problem = reason;
        }
        return std::shared_ptr<const Wave>();
    };
    if (zones.empty()) {
        return fail("the wave has no zone");
    }
    if (zones.size() > static_cast<std::size_t>(kMaxZones)) {
        return fail("the wave has more than 256 zones");
    }
    for (std::uint8_t index : keyMap) {
        if (index >= zones.size()) {
            return fail("the key map names a zone that does not exist");
        }
    }
    for (const ZoneSamples& zone : zones) {
        if (zone.samples.empty() || zone.samples.size() > 0x7FFFFFFFu - kGuardSamples) {
            return fail("a zone has no samples");
        }
        if (zone.loopStart < 0 || static_cast<std::size_t>(zone.loopStart) >= zone.samples.size()) {
            return fail("a loop start lies outside its zone");
        }
        if (!std::isfinite(zone.rootFrequency) || zone.rootFrequency <= 0.0f) {
            return fail("a root frequency is not a positive number");
        }
    }
    std::shared_ptr<Wave> wave;
    try {
        wave.reset(new Wave());
        wave->keyMap_ = keyMap;
        wave->buffers_.reserve(zones.size());
        wave->zones_.reserve(zones.size());
        for (ZoneSamples& zone : zones) {
            std::vector<std::int16_t> samples = std::move(zone.samples);
            const std::size_t length = samples.size();
            const std::size_t loopStart = static_cast<std::size_t>(zone.loopStart);
            const std::size_t loopLength = length - loopStart;
            // The guard samples continue the loop; a loop shorter than four samples repeats.
            for (int j = 0; j < kGuardSamples; ++j) {
                samples.push_back(samples[loopStart + static_cast<std::size_t>(j) % loopLength]);
            }
            WaveZone built;
            built.length = static_cast<std::uint32_t>(length);
            built.loopStart = zone.loopStart;
            built.rootFrequency = zone.rootFrequency;
            wave->buffers_.push_back(std::move(samples));
            built.samples = wave->buffers_.back().data();
            wave->zones_.push_back(built);
        }
    } catch (const std::bad_alloc&) {
        return fail(kOutOfMemory);
    }
    return wave;
}

}  // namespace pelko
