// The plug-in object the host drives: it owns the edit buffer and the bank, the per-user
// settings, the engine state the parameters map into, and answers every dispatcher operation.
// The host-facing glue (AEffect, the C entry functions) is in host_adapter.h.
//
// Threads: the host calls the dispatcher and the parameter functions from its user-interface
// thread (sometimes from several), and the process functions from its audio thread. processLock
// serialises processing, parameter setting and program loading; it is re-entrant because a MIDI
// program change selects a program from inside the processing loop.
#pragma once

#include "config/registry_store.h"
#include "dsp/effects/effect_slots.h"
#include "engine/voice_context.h"
#include "library/preset_database.h"
#include "params/parameter_host.h"
#include "params/parameter_table.h"
#include "platform/threads.h"
#include "plugin/plugin_program_host.h"
#include "plugin/vst2_abi.h"
#include "storage/chunk_storage.h"
#include "storage/program.h"
#include "storage/text_object.h"
#include "storage/tuning_scale_object.h"
#include "wave/wave.h"

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelko {

class VoiceManager;
class WaveBank;

constexpr const char* kProductString = "Pelko 2.02";
constexpr const char* kVendorString = "Vantomo";
constexpr vst2::VstInt32 kUniqueId = vst2::fourCC('P', 'K', 'V', '4');
constexpr int kControlBlockLength = 64;
constexpr int kNoLearnTarget = 208;

class SynthPlugin final : public ParameterHost {
public:
    explicit SynthPlugin(vst2::HostCallback host);
    ~SynthPlugin() override;
    SynthPlugin(const SynthPlugin&) = delete;
    SynthPlugin& operator=(const SynthPlugin&) = delete;

    bool initOk() const { return initOk_; }
    vst2::AEffect* effect() { return &effect_; }
    static SynthPlugin* fromEffect(vst2::AEffect* effect);
    static int instanceCount();

    // ---- dispatcher --------------------------------------------------------------------------
    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                             float opt);

    // ---- parameters ---------------------------------------------------------------------------
    void setParameter(int index, float value) override;
    float getParameter(int index) const;
    // Sets the parameter, then sends it as a MIDI controller (MIDI out on) or informs the host.
    void setParameterAutomated(int index, float value);

    // ---- process ------------------------------------------------------------------------------
    void processReplacing(float** outputs, int frames);
    void processAccumulating(float** outputs, int frames);

    // ---- programs -----------------------------------------------------------------------------
    int currentProgram() const { return currentProgram_.load(); }
    void selectProgram(int index);
    const Program& editBuffer() const { return editBuffer_; }
    Program& editBuffer() { return editBuffer_; }
    ProgramBank& bank() { return bank_; }
    const ProgramBank& bank() const { return bank_; }
    // Copies `source` (an object of the same class) into object k of the edit buffer under
    // processLock, without running its apply step.
    void storePatchObject(int index, const PatchObject& source);
    // Replaces bank slot `slot` (0–63) with a copy of `program` under processLock; the edit
    // buffer is not touched (select the slot to hear it).
    void storeProgram(int slot, const Program& program);
    // What the text-program, side-file and system-exclusive commands work through.
    ProgramHost& programHost() { return programHost_; }
    // The preset library in the install folder, open from construction to destruction (closed
    // when there is no install folder; every operation then fails with message 14).
    PresetDatabase& presetLibrary() { return presetLibrary_; }
    // Reads preset `presetId` of the library into bank slot `slot` (0–63), which takes the
    // preset's category; the current slot is selected again so that it sounds. A missing or
    // damaged preset gives message 16 and changes nothing.
    bool loadPresetFromLibrary(int presetId, int slot);
    // Files the program of slot `slot` (the edited program when it is the current one) under
    // category catId; its category field takes catId first. The new id goes to *newId.
    bool storePresetInLibrary(int slot, int catId, int* newId = nullptr);

    // ---- operations the editor uses -----------------------------------------------------------
    std::optional<std::string> parameterDisplayName(int index) const;
    void incrementParameter(int index);
    void decrementParameter(int index);
    // False for indices outside 0–207; otherwise true, with discrete set for coarse/fine tune rows
    // and as the effect answers for rows 167–178.
    bool parameterIsDiscrete(int index, bool& discrete) const;
    void renameProgram(int index, std::string_view name);
    void copyProgram(int index);
    void pasteProgram(int index);
    bool clipboardPresent() const { return clipboardProgram_ != nullptr; }
    void initialiseProgram(int index, bool toDefaults);
    void setMidiOut(bool on);
    bool midiOut() const { return midiOutEnabled_; }
    void setLearnTarget(int parameter);
    int learnTarget() const { return learnTarget_; }
    // "???" while the parameter waits for a controller, else its controller or "---".
    std::string controllerText(int parameter) const;

    // ---- state other parts read ---------------------------------------------------------------
    float sampleRate() const override { return sampleRate_; }
    float tempo() const override { return tempo_; }
    float masterGain() const override { return masterGain_.load(std::memory_order_relaxed); }
    int blockSize() const { return blockSize_; }
    float dcCoefficient() const { return dcCoefficient_; }
    float halfSamplePeriod() const { return halfSamplePeriod_; }
    const std::optional<std::string>& installFolder() const { return installFolder_; }
    RegistryStore& settings() { return settings_; }
    const std::array<float, 128>& pitchBendTable() const { return pitchBendTable_; }
    const std::array<float, 128>& notePitchTable() const { return notePitchTable_; }
    bool globalTuningOn() const { return globalTuningOn_; }
    TuningScaleObject& globalTuning() { return globalTuning_; }
    TextObject& bankInfo() { return bankInfo_; }

    // ---- program storage ----------------------------------------------------------------------
    // The state file: restored at construction, saved at destruction.
    bool restoreState();
    bool saveState();
    // The view block the editor gets once there is one.
    const std::optional<EditorViewBlock>& editorView() const { return editorView_; }
    const EffectSlots& effects() const { return effects_; }
    float leftBalance() const { return leftBalance_; }
    float rightBalance() const { return rightBalance_; }

    // ---- ParameterHost ------------------------------------------------------------------------
    EngineSettings& engineSettings() override { return engine_; }
    const EngineSettings& engineSettings() const { return engine_; }
    float storedValue(int index) const override;
    bool routingCellOn(RoutingSwitch object, int cell) const override;
    const UserControlsAssignment& userAssignments() const override;
    void polyphonyChanged(int voices) override;
    void pitchBendRangeChanged(int semitones) override;
    void glideSwitched() override;
    void effectParameterChanged(int slot, int parameter, float value) override;
    void effectDryWetChanged(int slot, float value) override;
    void effectSyncChanged(int slot, bool on) override;
    void effectRoutingChanged(bool serial) override;
    void effectParameterDisplay(int slot, int parameter, float value, char* out) const override;

    // Runs the apply step of patch object k (copies it into the engine) under processLock.
    // Waves (shape and additive objects) are loaded outside the lock and swapped in under it.
    void applyPatchObject(int index);

    // ---- voices ---------------------------------------------------------------------------------
    // The voice pool, or null until the Voices parameter has been applied. Read it under the
    // processing lock.
    VoiceManager* voiceManager() const { return voices_.get(); }
    const WaveSlot& waveSlot(int oscillator) const { return waveSlots_[static_cast<std::size_t>(oscillator)]; }
    // Global tuning on: the global scale replaces every program's scale.
    void setGlobalTuning(bool on);

private:
    void construct();
    void openPresetLibrary();
    void setSampleRate(float rate);
    void setBlockSize(int frames);
    void suspend();
    void resume();
    void resetVoices();
    void releaseAllVoices();
    bool voicesSounding() const;
    void resetOutputState();
    void rebuildPitchBendTable(int semitones);
    void applyTuningTable();
    vst2::VstIntPtr getChunk(bool preset, void** data);
    vst2::VstIntPtr setChunk(bool preset, const void* data, vst2::VstIntPtr size);
    // Runs fn with the storage view of this plug-in's programs; the current index is copied in and
    // back around the call.
    template <class Fn>
    auto withStorage(Fn&& fn);
    void setProgramName(const char* name);
    vst2::VstIntPtr hostCall(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f);
    void tellEditor(int index, float value);
    void handleProcessEvents(const vst2::VstEvents* events);
    void render(float** outputs, int frames, bool accumulate);
    void handleMidi(const std::uint8_t* bytes);
    void handleController(int controller, int value);
    void readHostTempo();
    void sendControllerToHost(int parameter, float value);
    // Wave selection of oscillator i from its shape object (and the additive settings it names).
    void selectWave(int oscillator);
    void completeDeferredWaveLoads();
    void retireWave(std::shared_ptr<const Wave> wave);
    void dropRetiredWaves();
    void prefetchWaves(const Program& program);
    void applyFilterMode(int filter);
    void applyProductBus(int bus);

    vst2::AEffect effect_{};
    vst2::HostCallback host_ = nullptr;

    // Field order follows the construction order.
    std::vector<std::uint8_t> chunkBufferProgram_;
    std::vector<std::uint8_t> chunkBufferBank_;
    const vst2::VstEvents* pendingEvents_ = nullptr;
    int pendingEventCount_ = 0;
    int nextEvent_ = 0;
    bool midiOutEnabled_ = false;
    mutable RecursiveLock processLock_;
    FrequencyTable notePitchTable_{};
    std::array<float, 128> pitchBendTable_{};
    // Exactly 0 while a program is being selected: incoming events are then dropped.
    std::atomic<float> masterGain_{1.0f};
    Program editBuffer_;
    ProgramBank bank_;
    RegistryStore settings_;
    PresetDatabase presetLibrary_;
    PluginProgramHost programHost_{*this};
    std::unique_ptr<Program> clipboardProgram_;
    int learnTarget_ = kNoLearnTarget;
    int assignmentTarget_ = -1;
    float assignmentValue_ = 1.0f;
    bool initOk_ = false;
    bool hostTempoFollowing_ = true;
    float tempo_ = 120.0f;
    float beatPeriod_ = 1.0f / 120.0f;
    float leftBalance_ = 1.0f;
    float rightBalance_ = 1.0f;
    float halfSamplePeriod_ = 0.5f / 44100.0f;
    std::array<float, 4> outputState_{};
    float dcCoefficient_ = 0.99f;
    bool globalTuningOn_ = false;
    TuningScaleObject globalTuning_ = makeGlobalTuning();
    TextObject bankInfo_ = makeBankInfo();
    std::optional<EditorViewBlock> editorView_;
    EngineSettings engine_;
    std::optional<std::string> installFolder_;
    EffectSlots effects_;

    // Voices: what they read (pitch bend, pressure, sustain pedal and the previous note live
    // here), the six oscillators' waves and the pool.
    VoiceContext voiceContext_;
    std::array<WaveSlot, 6> waveSlots_;
    // Waves taken out of a slot while voices may still play them; dropped off the audio thread
    // once nothing else holds them.
    std::array<std::shared_ptr<const Wave>, 16> retiredWaves_;
    std::atomic<bool> wavesRetired_{false};
    // Slots whose wave could not be loaded on the audio thread: loaded at the next
    // user-interface call.
    std::array<bool, 6> waveLoadDeferred_{};
    std::atomic<bool> anyWaveLoadDeferred_{false};
    WaveBank* waveBank_ = nullptr;
    std::unique_ptr<VoiceManager> voices_;

    float sampleRate_ = 44100.0f;
    int blockSize_ = 1024;
    std::atomic<int> currentProgram_{0};
    // The sample being produced; also the time stamp of outgoing MIDI.
    std::atomic<int> renderPosition_{0};
};

}  // namespace pelko
