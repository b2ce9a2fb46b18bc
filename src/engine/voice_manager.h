// The voice pool and its allocation rules. 128 voices are built once and live on three intrusive
// lists: free voices, playing voices (rendered every sample) and, in mono mode, held voices
// (keys still down but pushed aside by a newer note; newest at the head). New voices always go
// to the head of a list.
//
// Polyphony 2–32: when the limit is reached a new note first stops released copies of the same
// note, then steals one voice: never one playing the lowest note; among the others the oldest
// that sounds, else the softest. Polyphony 1 is mono mode: a new note pushes the sounding voice
// onto the held stack (its key still down) and takes over its filter envelopes; releasing the
// newest key brings the previous one back with a short rise (legato).
//
// Step-sequencer children (engine/step_sequencer.h) come through noteOn too; they are never
// stolen and note-offs leave them alone.
//
// A note-on when every voice of the pool is busy is ignored.
//
// Every operation runs under the owner's processing lock, normally on the audio thread, and none
// allocates, except construction and prepareFilters.
#pragma once

#include "engine/voice.h"
#include "engine/voice_lanes.h"

#include <memory>
#include <vector>

namespace pelko {

class FilterTables;

struct VoiceList {
    int count = 0;
    Voice* head = nullptr;
};

class VoiceManager {
public:
    static constexpr int kPoolSize = 128;

    // Builds the pool (fewer voices if memory runs out) with the voice limit `polyphony` (1–32).
    VoiceManager(VoiceContext& context, int polyphony, int poolSize = kPoolSize);
    ~VoiceManager();
    VoiceManager(const VoiceManager&) = delete;
    VoiceManager& operator=(const VoiceManager&) = delete;

    int polyphony() const { return polyphony_; }
    void setPolyphony(int voices);
    int poolSize() const { return static_cast<int>(pool_.size()); }

    // Velocity 0 is a note-off. Returns the started voice, or null when none could be had.
    Voice* noteOn(int note, int velocity);
    void noteOff(int note);
    // The sustain pedal went up: every sustained voice is released.
    void pedalUp();
    void allNotesOff();
    void broadcastPitchBend(float ratio);
    void broadcastAftertouch(int pressure);
    void polyAftertouch(int note, int pressure);
    void broadcastCutoff(int filterIndex, float value);
    void broadcastResonance(int filterIndex, float value);

    // One output sample: every playing voice renders and is summed; finished voices are unlinked.
    void renderSample(float& left, float& right)
    {
        float sumLeft = 0.0f;
        float sumRight = 0.0f;
        Voice* voice = playing_.head;
        while (voice != nullptr) {
            voice->render();
            sumLeft += voice->outLeft();
            sumRight += voice->outRight();
            voice = voice->finished() ? unlinkFinished(voice) : voice->next;
        }
        left = sumLeft;
        right = sumRight;
    }

    // The same for a run of samples (at most VoiceLanes::kMaxFrames): the playing voices render
    // in lanes (engine/voice_lanes.h), a block at a time, and their sums go to left and right in
    // the order of the playing list, so every sample equals what renderSample would give. The
    // voices that finished are unlinked in the order renderSample would have met them. Not while
    // the step sequencer runs: its voices start voices in the middle of a sample.
    void renderRun(float* left, float* right, int frames);

    // Moves a finished voice to its return list (resetting it when that is the free list) and
    // returns the voice that followed it.
    Voice* unlinkFinished(Voice* voice);

    // Every voice back to the free list, silent (program change, sample rate, suspend).
    void resetAll();
    // Every playing voice into its release and every held voice forgotten, whatever the pedal.
    void releaseAll();
    // Whether any voice is still on the playing list.
    bool anyPlaying() const { return playing_.count > 0; }

    void prepareFilters(const FilterTables& tables);
    // Whether any voice of the pool still plays from this wave.
    bool usesWave(const Wave* wave) const;

    const VoiceList& freeVoices() const { return free_; }
    const VoiceList& playingVoices() const { return playing_; }
    const VoiceList& heldVoices() const { return held_; }

private:
    static void link(VoiceList& list, Voice* voice);
    static void unlink(Voice* voice);
    void moveTo(VoiceList& list, Voice* voice);
    void toFree(Voice* voice);
    Voice* chooseVictim() const;
    bool mono() const { return polyphony_ == 1; }
    template <class Action>
    void forPlayingAndHeld(Action action)
    {
        for (VoiceList* list : {&playing_, &held_}) {
            for (Voice* v = list->head; v != nullptr; v = v->next) {
                action(*v);
            }
        }
    }

    VoiceContext& context_;
    int polyphony_;
    // Outputs of one block of voices for one run, and the playing list as the run found it.
    std::vector<float> blockOutput_;
    std::vector<Voice*> runOrder_;
    struct FinishedVoice {
        int frame = 0;
        Voice* voice = nullptr;
    };
    std::vector<FinishedVoice> finished_;
    std::vector<std::unique_ptr<Voice>> pool_;
    VoiceList free_;
    VoiceList playing_;
    VoiceList held_;
};

}  // namespace pelko
