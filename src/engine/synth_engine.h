// The sound engine a plug-in object owns: the voice pool and what the voices read (voice context,
// note pitch and pitch-bend tables, the six oscillators' wave slots, the engine settings the
// parameters map to), the two effect slots, the output DC filter and the event cursor, with the
// processing loop as its body.
//
// The engine knows no plug-in format and no program logic: a host's events reach it as a
// MidiEventList, and what belongs to the program logic (program changes, controllers that drive
// parameters) goes back to the owner through EngineOwner.
//
// Threads: every call is made under the owner's processing lock. The audio-thread calls (render
// and everything it reaches) never allocate, wait or touch files; the calls marked [ui] may.
#pragma once

#include "dsp/effects/effect_slots.h"
#include "engine/event_cursor.h"
#include "params/tuning_scale.h"
#include "engine/voice_context.h"
#include "engine/voice_lanes.h"
#include "params/engine_settings.h"
#include "wave/wave.h"

#include <array>
#include <atomic>
#include <memory>

namespace pelko {

class FilterTables;
class Program;
class VoiceManager;

// Left gain of the pan controller: entry i = 0.5 + 0.5·cos(π·i/127), 1 at 0 and 0 at 127; the
// right gain is 1 minus it.
float panLaw(int position);

// What the engine leaves to the program logic that owns it; called from inside render.
class EngineOwner {
public:
    virtual ~EngineOwner() = default;
    // A program-change message (0–127; the owner ignores numbers it has no program for).
    virtual void programChangeReceived(int program) = 0;
    // A controller message other than all-notes-off (123), sustain (64) and pan (10), which the
    // engine handles itself.
    virtual void controllerReceived(int controller, int value) = 0;
};

class SynthEngine {
public:
    // The DC filter's coefficient at a sample rate: 1 − 256 × half the sample period (0.99 before
    // the first rate is known).
    static float dcCoefficientFor(float halfSamplePeriod) { return 1.0f - 256.0f * halfSamplePeriod; }

    SynthEngine();
    ~SynthEngine();
    SynthEngine(const SynthEngine&) = delete;
    SynthEngine& operator=(const SynthEngine&) = delete;

    // The program the voices read (curves, envelopes, waveshapers); it must outlive the engine.
    void attachProgram(const Program& program);

    // ---- processing [audio] -------------------------------------------------------------------
    // The events of the next block; those beyond it are dropped at its end.
    void setEvents(const MidiEventList& events) noexcept { events_.set(events); }
    void dropEvents() noexcept { events_.clear(); }
    // Renders frames samples into left and right (overwriting them, or adding to them when
    // accumulate is set), applying each event at its frame, then DC removal and the effect slots.
    // A program change finishes the frames before it first, so a render does not depend on the
    // block size (controller changes of the DC or effect settings still apply from the block start).
    void render(float* left, float* right, int frames, bool accumulate, EngineOwner& owner);
    // The sample being produced in the current block; the time stamp of outgoing MIDI.
    int renderPosition() const { return renderPosition_.load(std::memory_order_relaxed); }

    // ---- host state ---------------------------------------------------------------------------
    // [ui] The new rate reaches the voices' filters (with the rate's tables, from filterTablesFor,
    // which the caller builds before it takes the processing lock) and the effect slots; the voices
    // are reset and the DC filter restarts. The owner re-applies its parameters afterwards, as rate-dependent
    // mappings change.
    void setSampleRate(float rate, const FilterTables& filterTables);
    // Blocks of any length render alike, so the size itself is not kept; a new one resets the voices.
    void setBlockSize(int frames);
    // Voices reset, DC filter cleared, effect tails cleared.
    void suspend();
    // Returns false when the tempo is the one in force already.
    bool setTempo(float beatsPerMinute);

    // ---- voices -------------------------------------------------------------------------------
    // The first call [ui] creates the pool (message 1 when memory runs out; a pool that memory
    // left too small for this many voices is dropped again, so the next call tries again). Later
    // calls [audio] only change the voice limit: the pool is never rebuilt or freed here.
    void setPolyphony(int voices);
    void resetVoices();
    void releaseAllVoices();
    // Every sounding voice is faded out over kVoiceFadeSeconds by the next blocks rendered, then
    // reset; voicesSounding() turns false once that has happened. A reset ends the fade at once.
    static constexpr float kVoiceFadeSeconds = 0.005f;
    void fadeOutVoices();
    bool voicesSounding() const;
    // Live cutoff and resonance changes reach the sounding voices, which glide to them.
    void broadcastCutoff(int filter);
    void broadcastResonance(int filter);
    void forgetLastNote() { context_.lastNote = kNoNote; }
    // Clears the DC filter's state and recomputes its coefficient.
    void restartOutput();

    // ---- what the voices read -----------------------------------------------------------------
    EngineSettings& settings() { return settings_; }
    const EngineSettings& settings() const { return settings_; }
    void setPitchBendRange(int semitones);
    // Fills the note pitch table from the scale in force (the global one when globalOn).
    void applyTuning(bool globalOn, const TuningScale& global, const TuningScale& program);
    void setFilterType(int filter, int typeId);
    void setProductBusInputs(int bus, const std::array<int, 3>& oscillators);
    // Puts a wave in oscillator osc's slot [audio: never frees]; the wave it held is kept until
    // dropRetiredWaves finds no voice using it.
    void setWave(int osc, std::shared_ptr<const Wave> wave) noexcept;
    const WaveSlot& waveSlot(int osc) const { return waveSlots_[static_cast<std::size_t>(osc)]; }
    // [ui] Frees the retired waves no voice plays any more.
    void dropRetiredWaves();
    bool wavesRetired() const { return wavesRetired_.load(); }

    EffectSlots& effects() { return effects_; }
    const EffectSlots& effects() const { return effects_; }
    VoiceManager* voiceManager() const { return voices_.get(); }
    // Voices render in lanes (the default) or one sample at a time through Voice::render, the
    // reference the lanes must equal bit for bit. Call between render calls.
    void setLaneRendering(bool on) { lanes_ = on; }
    bool laneRendering() const { return lanes_; }

    float sampleRate() const { return sampleRate_; }
    float tempo() const { return context_.tempo; }
    float halfSamplePeriod() const { return halfSamplePeriod_; }
    float dcCoefficient() const { return dcCoefficient_; }
    float leftBalance() const { return leftBalance_; }
    float rightBalance() const { return rightBalance_; }
    const FrequencyTable& notePitchTable() const { return notePitchTable_; }

private:
    void handleMidi(const std::uint8_t* bytes, EngineOwner& owner);
    void handleController(int controller, int value, EngineOwner& owner);
    // DC removal and the effect slots over the block's frames not finished yet, up to upTo.
    void finishOutput(float* left, float* right, int upTo);
    void removeDc(float* left, float* right, int frames);
    void retireWave(std::shared_ptr<const Wave> wave) noexcept;
    // One sample of the voice sum through the fade; the voices are reset when it reaches 0.
    void fadeVoiceSample(float& left, float& right);

    EngineSettings settings_;
    FrequencyTable notePitchTable_{};
    PitchBendTable pitchBendTable_{};
    EffectSlots effects_;
    VoiceContext context_;
    std::array<WaveSlot, kOscillators> waveSlots_;
    // Waves taken out of a slot while voices may still play them; freed off the audio thread.
    std::array<std::shared_ptr<const Wave>, 16> retiredWaves_;
    std::atomic<bool> wavesRetired_{false};
    std::unique_ptr<VoiceManager> voices_;
    EventCursor events_;

    float sampleRate_ = 44100.0f;
    float halfSamplePeriod_ = 0.5f / 44100.0f;
    float dcCoefficient_ = 0.99f;
    // Previous input and output of the DC filter: left input, left output, right input, right output.
    std::array<float, 4> outputState_{};
    float leftBalance_ = 1.0f;
    float rightBalance_ = 1.0f;
    std::atomic<int> renderPosition_{0};
    // The block being rendered, for an event that must finish the frames before it.
    struct BlockPosition {
        float* left = nullptr;
        float* right = nullptr;
        int position = 0;
    } out_;
    int finishedUpTo_ = 0;
    // The fade of fadeOutVoices: the voice sum's gain while it runs, and its fall per sample.
    bool voicesFading_ = false;
    // Whether voices render in lanes (the fast path) or one sample at a time (the reference).
    bool lanes_ = true;
    std::array<float, VoiceLanes::kMaxFrames> runLeft_{};
    std::array<float, VoiceLanes::kMaxFrames> runRight_{};
    float fadeGain_ = 1.0f;
    float fadeStep_ = 0.0f;
};

}  // namespace pelko
