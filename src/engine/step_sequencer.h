// The step sequencer: every key voice whose key is held counts steps of the sequencer's step
// length; at each step it starts a child voice, through the manager's note-on path, whose note
// and velocity are the key's shifted by that step's offsets (clamped to 0–127). A child releases
// (or waits for the sustain pedal) when its step's gate time has run out.
//
// Steps run in order (1, 2, …, stepCount − 1, 0, 1, …: the first child, one step length after
// the key, plays step 1) or in random order from the engine's shared generator: index =
// state >> 12 (0–15), minus the step count when not below it, so with fewer than 16 steps the
// settings of steps past the count can be played too.
//
// A step whose velocity comes out as 0 starts no child: a note-on at velocity 0 would be a
// note-off and release another held key of that note.
//
// Children are ordinary playing voices that note-offs and voice stealing leave alone.
#pragma once

namespace pelko {

class Voice;
class VoiceManager;
struct SequencerSettings;

class StepSequencer {
public:
    // One sample of the sequencer for `voice`; called from the voice's render while the
    // sequencer has steps. Never allocates.
    static void advance(Voice& voice, VoiceManager& manager, const SequencerSettings& settings);
};

}  // namespace pelko
