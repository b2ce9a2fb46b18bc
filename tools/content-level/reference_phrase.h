// The reference phrase every factory program is levelled and compared on, and the loud chord its
// peak is checked on, played through a loaded module the way a host plays it (blocks of 256 at
// 44.1 kHz, MIDI events at their frames). Shared by the build-time levelling tool and the content
// tests, so both measure exactly the same sound.
#pragma once

#include "host_module.h"
#include "params/program.h"

#include <string>
#include <vector>

namespace pelko::content {

constexpr int kReferenceRate = 44100;

struct StereoRender {
    std::vector<float> left, right;
    std::vector<float> mono() const;
};

// The key the phrase is built on: bass programs play an octave and a half lower.
int referenceKey(const std::string& categoryPath);

// Overlapping single notes at velocities 100–120, then a held chord (root, third, fifth and
// octave; root, fifth and octave for basses), 2.6 seconds in all. The module must be resumed, its program selected and silent.
StereoRender renderReferencePhrase(host::HostModule& host, const std::string& categoryPath);

// Six notes at velocity 127 held for one second, with half a second of release.
StereoRender renderLoudChord(host::HostModule& host, const std::string& categoryPath);

// Makes `program` the current program of the module (instantiated and resumed at the reference
// rate on first use), by way of a default program whose effect slots are off, so that its effects
// start new and a measurement does not depend on what was played before. False when the module
// refuses.
bool startProgram(host::HostModule& host, const Program& program);

// Plays on with no notes until the output has been silent for 100 ms (at most 30 seconds), then
// resets both effect slots, so the next render starts from silence.
void settle(host::HostModule& host);

}  // namespace pelko::content
