// The phrase played when no MIDI file is given: a chord progression in C major (C, Am, F, G) with
// a bass line and a melody at 120 BPM in 4/4. It is cut into sections of two bars; each section
// starts with a program change to the next program of the list, so every program is heard in turn.
#pragma once

#include "midi_file.h"

#include <vector>

namespace render {

constexpr int kDemoTicksPerQuarter = 480;
constexpr int kDemoBarsPerSection = 2;
constexpr int kDemoMinimumSections = 4;

// Sections = max(program count, 4); section k plays programs[k mod count]. An empty list plays
// without program changes.
pelko::MidiSequence demoPhrase(const std::vector<int>& programs);

}  // namespace render
