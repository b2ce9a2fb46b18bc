// The plug-in object: the program logic around one SynthEngine. It owns the edit buffer and the
// bank, the per-user settings, the preset library and the global objects; maps parameters into
// the engine; selects programs; loads and saves chunks and the state file; and reports every
// change to the editor through its change queue. It knows no plug-in format: a format adapter
// (plugin/vst2_adapter.h) drives it through PluginInterface and gives it HostServices.
//
// Threads: the host calls from its user-interface threads (sometimes several) and from its audio
// thread (process, receiveEvents). processLock serialises processing, parameter setting and
// program loading; it is re-entrant because a MIDI program change selects a program from inside
// the processing loop. The editor reads and edits through EditorPort (plugin/editor_port.h).
#pragma once

#include "config/registry_store.h"
#include "engine/synth_engine.h"
#include "library/preset_database.h"
#include "params/parameter_host.h"
#include "params/parameter_table.h"
#include "platform/threads.h"
#include "plugin/change_queue.h"
#include "plugin/plugin_interface.h"
#include "plugin/plugin_program_host.h"
#include "plugin/program_waves.h"
#include "storage/chunk_storage.h"
#include "params/program.h"
#include "params/text_object.h"
#include "params/tuning_scale_object.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vst2 {
struct AEffect;
}

namespace pelko {

class VoiceManager;
class WaveBank;

constexpr const char* kProductString = "Pelko 2.02";
constexpr const char* kVendorString = "Vantomo";
constexpr int kNoLearnTarget = kParameters;

class SynthPlugin final : public PluginInterface, public ParameterHost, private EngineOwner {
public:
    // host may be null (no host: nothing is restored and no program is applied).
    explicit SynthPlugin(HostServices* host);
    ~SynthPlugin() override;
    SynthPlugin(const SynthPlugin&) = delete;
    SynthPlugin& operator=(const SynthPlugin&) = delete;

    bool initOk() const { return initOk_; }
    // The plug-in behind a VST 2 descriptor made by the adapter (plugin/vst2_adapter.cpp).
    static SynthPlugin* fromEffect(vst2::AEffect* effect);

    // ---- PluginInterface ----------------------------------------------------------------------
    void userInterfaceCall() override;
    int currentProgram() const override { return currentProgram_.load(); }
    void selectProgram(int index) override;
    std::string programName() const override;
    void setProgramName(std::string_view name) override;
    std::optional<std::string> programNameAt(int index) const override;
    bool copyEditBufferTo(int index) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) const override;
    bool parameterDisplay(int index, std::string& text) const override;
    std::vector<std::uint8_t> saveChunk(bool programOnly) override;
    bool loadChunk(bool programOnly, const void* data, std::size_t size) override;
    void setSampleRate(float rate) override;
    void setBlockSize(int frames) override;
    void suspend() override;
    void resume() override;
    void receiveEvents(const MidiEventList& events) override;
    void process(float* left, float* right, int frames, bool accumulate) override;
    void processReplacing(float** outputs, int frames) { processOutputs(outputs, frames, false); }
    void processAccumulating(float** outputs, int frames) { processOutputs(outputs, frames, true); }

    // Sets the parameter, then sends it as a MIDI controller (MIDI out on) or informs the host.
    void setParameterAutomated(int index, float value);

    // ---- programs -----------------------------------------------------------------------------
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
    // Runs the apply step of patch object k (copies it into the engine) under processLock.
    // Waves (shape and additive objects) are built outside the lock and swapped in under it.
    void applyPatchObject(int index);

    // ---- operations the editor uses -----------------------------------------------------------
    void renameProgram(int index, std::string_view name);
    void copyProgram(int index);
    void pasteProgram(int index);
    bool clipboardPresent() const { return clipboardProgram_ != nullptr; }
    void initialiseProgram(int index, bool toDefaults);
    void setMidiOut(bool on);
    bool midiOut() const { return midiOutEnabled_; }
    void setLearnTarget(int parameter);
    int learnTarget() const { return learnTarget_.load(); }
    // "???" while the parameter waits for a controller, else its controller or "---".
    std::string controllerText(int parameter) const;
    // Global tuning on: the global scale replaces every program's scale.
    void setGlobalTuning(bool on);
    // What changed since the editor last drained it.
    ChangeQueue& changes() { return changes_; }
    HostServices* host() const { return host_; }
    RecursiveLock& processLock() const { return processLock_; }

    // ---- state other parts read ---------------------------------------------------------------
    float sampleRate() const override { return engine_.sampleRate(); }
    float tempo() const override { return engine_.tempo(); }
    float masterGain() const override { return masterGain_.load(std::memory_order_relaxed); }
    float dcCoefficient() const { return engine_.dcCoefficient(); }
    float halfSamplePeriod() const { return engine_.halfSamplePeriod(); }
    float leftBalance() const { return engine_.leftBalance(); }
    float rightBalance() const { return engine_.rightBalance(); }
    const std::optional<std::string>& installFolder() const { return installFolder_; }
    RegistryStore& settings() { return settings_; }
    const FrequencyTable& notePitchTable() const { return engine_.notePitchTable(); }
    bool globalTuningOn() const { return globalTuningOn_; }
    TuningScaleObject& globalTuning() { return globalTuning_; }
    TextObject& bankInfo() { return bankInfo_; }
    const EffectSlots& effects() const { return engine_.effects(); }
    // The voice pool, or null until the Voices parameter has been applied. Read it under the
    // processing lock.
    VoiceManager* voiceManager() const { return engine_.voiceManager(); }
    const WaveSlot& waveSlot(int oscillator) const { return engine_.waveSlot(oscillator); }
    // Voices in lanes (the default) or one sample at a time, the reference the lanes equal bit for
    // bit. For measurements and tests; call it between process calls.
    void setLaneRendering(bool on) { engine_.setLaneRendering(on); }

    // ---- program storage ----------------------------------------------------------------------
    // The state file: restored at construction, saved at destruction.
    bool restoreState();
    bool saveState();
    // Bank and program files the user chose: a bank file replaces the bank (and selects the
    // program stored in it); a program file goes into slot `slot` after the edit buffer was kept
    // in its own slot, and the current slot is selected again when it was the one loaded.
    // Failures are reported by the storage layer and change nothing.
    bool loadBankFromFile(const std::string& path);
    bool saveBankToFile(const std::string& path);
    bool loadProgramFromFile(const std::string& path, int slot);
    bool saveProgramToFile(const std::string& path);
    std::string bankName() const;
    // The view block the editor gets once there is one.
    const std::optional<EditorViewBlock>& editorView() const { return editorView_; }

    // ---- ParameterHost ------------------------------------------------------------------------
    EngineSettings& engineSettings() override { return engine_.settings(); }
    const EngineSettings& engineSettings() const { return engine_.settings(); }
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

private:
    // A program ready to be committed: its copy and its six waves, built off the lock.
    struct PreparedProgram {
        Program program;
        ProgramWaves waves;
    };

    void construct();
    void openPresetLibrary();
    void applyTuningTable();
    // Runs fn with the storage view of this plug-in's programs; the current index is copied in and
    // back around the call.
    template <class Fn>
    auto withStorage(Fn&& fn);
    // Runs fn with a storage view for saving: the bank as it is, the edit buffer copied into its
    // slot and copies of the global objects, taken in short sections under the processing lock;
    // fn itself runs outside it.
    template <class Fn>
    auto withSavedState(Fn&& fn);
    // After a chunk, the state file or a bank file was read: the editor view, the tuning and the
    // program to select.
    void finishBankLoad(int selectIndex, const std::optional<EditorViewBlock>& view);
    // Changes bank slot `slot` through fn, which runs under the processing lock on a copy of the
    // slot made before the lock is taken; the program the copy replaces is let go after the lock
    // is released. The caller holds bankLock_.
    template <class Fn>
    void changeBankSlot(int slot, Fn&& fn);

    // program_selection.cpp
    void prepareProgram(int index, PreparedProgram& prepared);
    void commitProgram(int index, Program* prepared, const ProgramWaves* waves);
    void commitMidiProgramChange(int index);
    // Recorded by every process call; whether a thread other than the caller renders blocks now.
    void noteProcessing();
    bool processingElsewhere() const;
    void selectWave(int oscillator);
    void applyObjectToEngine(int index);
    void completeDeferredWaveLoads();
    void refreshBankWaves();
    // Under the lock: room in the effect slots for the synced delay times of every bank program.
    void reserveBankEffects();
    void markBankChanged();

    // plugin_processing.cpp
    void processOutputs(float** outputs, int frames, bool accumulate);
    void followHostTempo();
    void programChangeReceived(int program) override;
    void controllerReceived(int controller, int value) override;
    void sendControllerToHost(int parameter, float value);
    void tellHostDisplayChanged();

    HostServices* host_ = nullptr;

    // Field order follows the construction order.
    bool midiOutEnabled_ = false;
    mutable RecursiveLock processLock_;
    // Held, before the processing lock, by everything that changes the bank or the global objects
    // stored with it, and by saving for as long as it writes the bank out; never on the audio
    // thread, which only reads the bank.
    std::mutex bankLock_;
    // Exactly 0 while a program is being selected: incoming events are then dropped.
    std::atomic<float> masterGain_{1.0f};
    Program editBuffer_;
    ProgramBank bank_;
    RegistryStore settings_;
    PresetDatabase presetLibrary_;
    PluginProgramHost programHost_{*this};
    std::unique_ptr<Program> clipboardProgram_;
    // Set by the editor, taken by the audio thread when the next controller arrives.
    std::atomic<int> learnTarget_{kNoLearnTarget};
    bool initOk_ = false;
    bool globalTuningOn_ = false;
    TuningScaleObject globalTuning_ = makeGlobalTuning();
    TextObject bankInfo_ = makeBankInfo();
    std::optional<EditorViewBlock> editorView_;
    std::optional<std::string> installFolder_;
    SynthEngine engine_;
    ChangeQueue changes_;

    // The waves every bank slot names, ready for program changes on the audio thread.
    BankWaves bankWaves_;
    WaveBank* waveBank_ = nullptr;
    // Slots whose wave could not be set on the audio thread: built at the next user-interface call.
    std::array<bool, kProgramOscillators> waveLoadDeferred_{};
    std::atomic<bool> anyWaveLoadDeferred_{false};
    // A program change on the audio thread found its waves not ready; reported at the next
    // user-interface call (the debug channel is not written from the audio thread).
    std::atomic<int> unpreparedProgramChange_{-1};
    // Set on the audio thread when an effect plays a synced time shorter than chosen; its lines
    // grow at the next user-interface call.
    std::atomic<bool> effectLinesShortened_{false};
    // Set on the audio thread when the host should refresh its display after the block.
    std::atomic<bool> hostDisplayStale_{false};

    std::atomic<int> currentProgram_{0};
    // When the last block was rendered (steady clock, ns; 0: never) and by which thread.
    std::atomic<std::int64_t> lastProcessNs_{0};
    std::atomic<std::uintptr_t> processThread_{0};
};

}  // namespace pelko
