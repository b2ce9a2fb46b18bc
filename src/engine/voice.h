// One note: six oscillators with their envelopes, two filter slots with their cutoff and
// resonance envelopes, the global pitch envelope and the small per-note state that ties them
// together. The voice renders one stereo sample per render() call:
//
//   oscillators 1–6 ──► modValues[0..5] ──► FM inputs of the next sample
//        │                 └──► product buses A, B ──► modValues[6], modValues[7]
//        ├──► filter-1 sum ──► filter 1 ──┐
//        ├──► filter-2 sum ──► filter 2 ──┼──► pan gains ──► outLeft, outRight
//        └──► direct sum ─────────────────┘
//
// Filter envelopes and filter coefficients advance at the control rate, one tick every 64
// samples; the routing and FM gains are also taken from the engine settings at each tick.
//
// Recovery from non-finite values: a sample that comes out non-finite is replaced by silence and
// the voice is marked; its next control tick clears the oscillators' phases and FM inputs, the
// modulation values and both filters' states, so the note carries on (or ends) normally.
//
// Lists: the voice is linked into one of its manager's lists (voice_manager.h) through next/prev.
// All operations run on the audio thread under the owner's processing lock; none allocates, except
// construction and prepareFilters.
#pragma once

#include "dsp/filters/filter_slot.h"
#include "engine/active_envelopes.h"
#include "engine/envelope_runner.h"
#include "engine/oscillator.h"
#include "engine/voice_context.h"

#include <array>
#include <cstdint>

namespace pelko {

class FilterTables;
class VoiceManager;
struct VoiceList;

constexpr int kKeyVoice = 255;     // parentNote of a voice started from the keyboard
constexpr int kSpawningVoice = 254;

class Voice {
public:
    explicit Voice(VoiceContext& context);
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    void start(int note, int velocity);
    void keyUp();
    void setPitchBend(float ratio);
    void setAftertouch(int pressure);  // 0–127
    void setCutoff(int filterIndex, float value);
    void setResonance(int filterIndex, float value);
    void release();
    void stop(VoiceList* returnList);
    void resume(VoiceList* returnList);
    void render();

    // Portamento from the owner's previous note to this voice's note; the previous note becomes
    // this one.
    void setGlide();
    // Legato: the filter envelopes continue from where `from`'s are.
    void takeFilterEnvelopesFrom(const Voice& from);
    // Back to the free pool: silent, no envelopes, no filters, no glide, no wave references.
    void reset();
    // Gives both filter slots new tables (sample-rate change). Allocates: not on the audio thread.
    void prepareFilters(const FilterTables& tables);

    int note() const { return note_; }
    int velocity() const { return velocity_; }
    int parentNote() const { return parentNote_; }
    bool keyDown() const { return keyDown_; }
    bool sustained() const { return sustained_; }
    bool sounding() const { return sounding_; }
    bool finished() const { return finished_; }
    bool stopped() const { return stopped_; }
    bool resumed() const { return resumed_; }
    std::uint32_t age() const { return age_; }
    float outLeft() const { return outLeft_; }
    float outRight() const { return outRight_; }
    float modValue(int i) const { return modValues_[static_cast<std::size_t>(i)]; }
    float randomValue() const { return randomValue_; }
    int stepIndex() const { return stepIndex_; }
    const Oscillator& oscillator(int i) const { return oscillators_[static_cast<std::size_t>(i)]; }
    const Filter* filter(int i) const { return filterSlots_[static_cast<std::size_t>(i)].filter(); }
    const EnvelopeRunner& cutoffEnvelope(int i) const { return cutoffEnvelope_[static_cast<std::size_t>(i)]; }
    // The cutoff last given to filter i (0–1 before the filter's own clamping).
    float filterCutoff(int i) const { return appliedCutoff_[static_cast<std::size_t>(i)]; }

    // List links, kept by the manager.
    Voice* next = nullptr;
    Voice* prev = nullptr;
    VoiceList* currentList = nullptr;
    VoiceList* returnList = nullptr;

private:
    friend class VoiceManager;
    friend class StepSequencer;
    friend class VoiceLanes;

    void controlTick();
    void takeGains();
    void recover();

    VoiceContext& context_;
    // The pool this voice belongs to: the step sequencer starts its children there.
    VoiceManager* manager_ = nullptr;

    // Per-sample state first.
    std::int32_t controlCountdown_ = kControlPeriod;
    float pitchBend_ = 1.0f;
    float globalPitchDepth_ = 1.0f;
    float outLeft_ = 0.0f;
    float outRight_ = 0.0f;
    bool poisoned_ = false;
    std::array<float, 8> modValues_{};
    // Constants the product-bus inputs point at when an input names no oscillator.
    float one_ = 1.0f;
    float zero_ = 0.0f;
    std::array<std::array<const float*, 3>, 2> busInputs_{};
    std::array<float, 2> filterPanLeft_{};
    std::array<float, 2> filterPanRight_{};
    // Gains taken from the engine settings at each control tick, non-finite ones as 0.
    // FM sources of each oscillator with a non-zero gain: their modValues indices and gains.
    std::array<std::array<std::uint8_t, 8>, 6> fmSources_{};
    std::array<std::array<float, 8>, 6> fmGains_{};
    std::array<int, 6> fmSourceCount_{};
    std::array<std::array<float, 3>, 6> oscSends_{};  // to filter 1, to filter 2, direct
    std::array<std::array<float, 3>, 2> busSends_{};
    float vibratoDepth_ = 1.0f;
    ActiveEnvelopes active_;

    std::uint8_t note_ = 0;
    std::int8_t velocity_ = 0;
    std::uint8_t parentNote_ = kKeyVoice;
    bool keyDown_ = false;
    bool sustained_ = false;
    bool sounding_ = false;
    bool finished_ = false;
    bool stopped_ = false;
    bool resumed_ = false;
    std::uint32_t age_ = 0;
    float randomValue_ = 0.0f;

    // Filter control state.
    std::array<float, 2> baseCutoff_{};
    std::array<float, 2> cutoffGlide_{};
    std::array<float, 2> baseResonance_{};
    std::array<float, 2> aftertouchCutoff_{{1.0f, 1.0f}};
    std::array<float, 2> aftertouchResonance_{{1.0f, 1.0f}};
    std::array<float, 2> appliedCutoff_{};
    std::array<float, 2> appliedResonance_{};

    // Step sequencer state (engine/step_sequencer.h drives it).
    int stepIndex_ = 0;
    int stepCountdown_ = 0;
    int gateCountdown_ = 0;

    std::array<Oscillator, 6> oscillators_;
    std::array<EnvelopeRunner, 2> cutoffEnvelope_;
    std::array<EnvelopeRunner, 2> resonanceEnvelope_;
    EnvelopeRunner globalPitchEnvelope_;
    std::array<FilterSlot, 2> filterSlots_;
};

}  // namespace pelko
