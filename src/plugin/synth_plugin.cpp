#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "config/data_locations.h"
#include "config/install_folder.h"
#include "dsp/filters/filter_tables.h"
#include "dsp/filters/filter_types.h"
#include "engine/additive_wave.h"
#include "engine/voice_manager.h"
#include "library/preset_programs.h"
#include "library/preset_rewrite.h"
#include "library/program_keywords.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "engine/tuning_scale.h"
#include "storage/additive_settings_object.h"
#include "storage/chunk_storage.h"
#include "storage/setting_objects.h"
#include "storage/text_object.h"
#include "storage/user_controls_assignment.h"
#include "storage/wave_name_object.h"
#include "wave/archive_errors.h"
#include "wave/wave_bank.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace pelko {
namespace {

std::mutex instancesMutex;
int liveInstances = 0;


// Copies text into a host buffer of `capacity` bytes (terminator included).
void copyOut(void* ptr, std::size_t capacity, std::string_view text)
{
    if (ptr == nullptr || capacity == 0) {
        return;
    }
    std::size_t n = std::min(text.size(), capacity - 1);
    if (n > 0) {
        std::memcpy(ptr, text.data(), n);
    }
    static_cast<char*>(ptr)[n] = '\0';
}

// What hosts are promised for each string opcode (terminator included).
constexpr std::size_t kParamLabelCapacity = 9;
constexpr std::size_t kParamDisplayCapacity = 9;
constexpr std::size_t kParamNameCapacity = 25;
constexpr std::size_t kProgramNameCapacity = 25;
constexpr std::size_t kEffectNameCapacity = 33;
constexpr std::size_t kVendorCapacity = 65;

bool saneSampleRate(float rate) { return std::isfinite(rate) && rate >= 1000.0f && rate <= 1536000.0f; }

}  // namespace

SynthPlugin* SynthPlugin::fromEffect(vst2::AEffect* effect)
{
    return effect != nullptr ? static_cast<SynthPlugin*>(effect->object) : nullptr;
}

int SynthPlugin::instanceCount()
{
    std::lock_guard<std::mutex> lock(instancesMutex);
    return liveInstances;
}

SynthPlugin::SynthPlugin(vst2::HostCallback host) : host_(host)
{
    // Step 1: the descriptor with 64 programs and 208 parameters; chunk buffers and events clear.
    effect_.magic = vst2::kEffectMagic;
    effect_.numPrograms = kProgramCount;
    effect_.numParams = kParameterCount;
    effect_.numInputs = 0;
    effect_.numOutputs = 2;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.version = 1;
    construct();
}

void SynthPlugin::construct()
{
    // Steps 2 and 3 (edit buffer, bank, settings, global objects) happened in the member
    // initialisers, in declaration order.

    // Step 4: the install folder.
    installFolder_ = findInstallFolder(settings_, moduleFolder());

    // Steps 5 and 6: the note pitch and pitch-bend tables are part of the object; processLock;
    // the effect slots build every effect type once, so that type changes never allocate later.
    applyTuningTable();
    effects_.prepareAllTypes();
    voiceContext_.program = &editBuffer_;
    voiceContext_.settings = &engine_;
    voiceContext_.frequencies = &notePitchTable_;
    voiceContext_.waves = waveSlots_.data();

    // Step 7.
    midiOutEnabled_ = settings_.readInteger(registry::kMidiOut, 0) != 0;
    masterGain_ = settings_.readFloat(registry::kDefaultGain, 1.0f);

    // Step 8.
    openPresetLibrary();

    // Step 9: process-wide state built by the first instance.
    {
        std::lock_guard<std::mutex> lock(instancesMutex);
        if (liveInstances == 0) {
            loadControllerAssignments(settings_);
        }
        ++liveInstances;
    }
    // The first instance reads the wave archives of the install folder; the others share them.
    waveBank_ = &WaveBank::acquire(installFolder_.value_or(std::string()));

    // Step 10.
    if (host_ != nullptr) {
        effect_.flags = vst2::effFlagsCanReplacing | vst2::effFlagsProgramChunks | vst2::effFlagsIsSynth;
        effect_.uniqueID = kUniqueId;
        rebuildPitchBendTable(12);
        voiceContext_.pitchBend = pitchBendTable_[64];
        sampleRate_ = 44100.0f;
        voiceContext_.sampleRate = sampleRate_;
        resetVoices();
        halfSamplePeriod_ = 0.5f / sampleRate_;
        resetOutputState();
        // The last state; without one (or without an install folder) the default program is
        // applied all the same, so that the engine follows its parameters from the start.
        if (!restoreState()) {
            selectProgram(0);
        }
    }

    // Steps 11–13.
    resetVoices();
    resetOutputState();
    initOk_ = true;
}

void SynthPlugin::openPresetLibrary()
{
    if (!installFolder_) {
        debugOutput("no install folder: the preset library stays closed\n");
        return;
    }
    // A library that cannot be opened has already been reported (message 14); the plug-in plays
    // on without it.
    const LibraryLocation library = libraryLocation(*installFolder_);
    if (presetLibrary_.open(library.file, library.copyFrom) && presetLibrary_.upgraded()) {
        runKeywordUpgrade(presetLibrary_, keywordsFromRecord);
    }
}

bool SynthPlugin::loadPresetFromLibrary(int presetId, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    const std::unique_ptr<Program> loaded = loadProgramFromLibrary(presetLibrary_, presetId);
    if (!loaded) {
        return false;
    }
    storeProgram(slot, *loaded);
    if (slot == currentProgram_) {
        selectProgram(slot);
    }
    return true;
}

bool SynthPlugin::storePresetInLibrary(int slot, int catId, int* newId)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    // The library may ask a question; the processing lock is held only while the program is
    // copied, never while a dialog is open.
    std::optional<Program> filed;
    {
        LockGuard lock(processLock_);
        Program& source = slot == currentProgram_ ? editBuffer_ : bank_.programs[static_cast<std::size_t>(slot)];
        if (catId != -1) {
            source.objectAs<IntegerObject>(object::kPresetCategory).setValue(catId);
        }
        filed.emplace(source);
    }
    return storeProgramInLibrary(presetLibrary_, catId, *filed, newId);
}

SynthPlugin::~SynthPlugin()
{
    resetVoices();
    voices_.reset();
    for (WaveSlot& slot : waveSlots_) {
        slot.clear();
    }
    for (auto& wave : retiredWaves_) {
        wave.reset();
    }
    if (waveBank_ != nullptr) {
        WaveBank::release();
        waveBank_ = nullptr;
    }
    clipboardProgram_.reset();
    saveState();
    presetLibrary_.close();
    std::lock_guard<std::mutex> lock(instancesMutex);
    --liveInstances;
}

vst2::VstIntPtr SynthPlugin::hostCall(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                      float opt)
{
    return host_ != nullptr ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

// ---- dispatcher ---------------------------------------------------------------------------------

vst2::VstIntPtr SynthPlugin::dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                      float opt)
{
    if (!onAudioThread()) {
        showDeferredMessages();
        completeDeferredWaveLoads();
    }
    switch (opcode) {
    case vst2::effOpen:
    case vst2::effClose:
        return 0;
    case vst2::effSetProgram:
        if (value >= 0 && value < kProgramCount) {
            selectProgram(static_cast<int>(value));
        }
        return 0;
    case vst2::effGetProgram:
        return currentProgram();
    case vst2::effSetProgramName:
        if (ptr != nullptr) {
            char name[kProgramNameLength + 1] = {};
            std::strncpy(name, static_cast<const char*>(ptr), kProgramNameLength);
            setProgramName(name);
        }
        return 0;
    case vst2::effGetProgramName: {
        LockGuard lock(processLock_);
        copyOut(ptr, kProgramNameCapacity, editBuffer_.name());
        return 0;
    }
    case vst2::effGetParamLabel:
        if (index >= 0 && index < kParameterCount) {
            copyOut(ptr, kParamLabelCapacity, parameterTable()[static_cast<std::size_t>(index)].label);
        }
        return 0;
    case vst2::effGetParamDisplay: {
        char text[kDisplayTextSize] = {};
        if (index >= 0 && index < kParameterCount) {
            formatParameter(this, index, getParameter(index), text);
        } else {
            debugOutput("out of range parameter\n");
        }
        copyOut(ptr, kParamDisplayCapacity, text);
        return 0;
    }
    case vst2::effGetParamName:
        if (index >= 0 && index < kParameterCount) {
            copyOut(ptr, kParamNameCapacity, parameterTable()[static_cast<std::size_t>(index)].identifier);
        }
        return 0;
    case vst2::effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case vst2::effSetBlockSize:
        setBlockSize(static_cast<int>(value));
        return 0;
    case vst2::effMainsChanged:
        if (value == 0) {
            suspend();
        } else {
            resume();
        }
        return 0;
    case vst2::effGetChunk:
        return getChunk(index != 0, static_cast<void**>(ptr));
    case vst2::effSetChunk:
        return setChunk(index != 0, ptr, value);
    case vst2::effProcessEvents:
        handleProcessEvents(static_cast<const vst2::VstEvents*>(ptr));
        return 1;
    case vst2::effCanBeAutomated:
        return 1;
    case vst2::effIdentify:
        return vst2::fourCC('N', 'v', 'E', 'f');
    case vst2::effGetProgramNameIndexed:
        if (index < 0 || index >= kProgramCount) {
            return 0;
        }
        {
            LockGuard lock(processLock_);
            copyOut(ptr, kProgramNameCapacity, bank_.programs[static_cast<std::size_t>(index)].name());
        }
        return 1;
    case vst2::effCopyProgram:
        if (index < 0 || index >= kProgramCount) {
            return 0;
        }
        {
            LockGuard lock(processLock_);
            bank_.programs[static_cast<std::size_t>(index)] = editBuffer_;
        }
        return 1;
    case vst2::effGetOutputProperties: {
        if (index < 0 || index > 1 || ptr == nullptr) {
            return 0;
        }
        auto* pin = static_cast<vst2::VstPinProperties*>(ptr);
        std::snprintf(pin->label, sizeof pin->label, "PLKO%1d", index + 1);
        std::snprintf(pin->shortLabel, sizeof pin->shortLabel, "PLKO%1d", index + 1);
        pin->flags = vst2::kVstPinIsActive | vst2::kVstPinIsStereo;
        return 1;
    }
    case vst2::effGetPlugCategory:
        return vst2::kPlugCategSynth;
    case vst2::effGetEffectName:
        copyOut(ptr, kEffectNameCapacity, kProductString);
        return 1;
    case vst2::effGetProductString:
        copyOut(ptr, kVendorCapacity, kProductString);
        return 1;
    case vst2::effGetVendorString:
        copyOut(ptr, kVendorCapacity, kVendorString);
        return 1;
    case vst2::effGetVendorVersion:
        return effect_.version;
    case vst2::effVendorSpecific:
        // The mouse-wheel message ('stCA', 'Whee') belongs to the editor; without one nothing
        // handles it.
        return 0;
    case vst2::effCanDo: {
        if (ptr == nullptr) {
            return -1;
        }
        static const char* const yes[] = {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                                          "sendVstMidiEvent", "receiveVstTimeInfo", "conformsToWindowRules"};
        const char* text = static_cast<const char*>(ptr);
        for (const char* what : yes) {
            if (std::strcmp(text, what) == 0) {
                return 1;
            }
        }
        return -1;
    }
    case vst2::effGetParameterProperties:
        return 0;
    case vst2::effKeysRequired:
        // Keyboard input is wanted whenever an editor exists.
        return 1;
    case vst2::effGetVstVersion:
        return 2300;
    default:
        return 0;
    }
}

// ---- parameters -----------------------------------------------------------------------------------

void SynthPlugin::setParameter(int index, float value)
{
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    // A host that sends a value that is not a number changes nothing; values outside 0–1 are
    // taken as the nearest end, as every mapping is defined over 0–1 only.
    if (!std::isfinite(value)) {
        return;
    }
    value = std::clamp(value, 0.0f, 1.0f);
    float stored;
    {
        LockGuard lock(processLock_);
        stored = mapParameter(*this, index, value);
        editBuffer_.values[static_cast<std::size_t>(index)] = stored;
        // Live cutoff and resonance changes reach the sounding voices (which glide to them).
        if (voices_ != nullptr && index >= 111 && index <= 114) {
            if (index <= 112) {
                voices_->broadcastCutoff(index - 111, engine_.cutoff[static_cast<std::size_t>(index - 111)]);
            } else {
                voices_->broadcastResonance(index - 113, engine_.resonance[static_cast<std::size_t>(index - 113)]);
            }
        }
    }
    tellEditor(index, stored);
}

float SynthPlugin::getParameter(int index) const
{
    if (index < 0 || index >= kParameterCount) {
        return 0.0f;
    }
    LockGuard lock(processLock_);
    return editBuffer_.values[static_cast<std::size_t>(index)];
}

void SynthPlugin::setParameterAutomated(int index, float value)
{
    setParameter(index, value);
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    if (midiOutEnabled_) {
        sendControllerToHost(index, getParameter(index));
    } else {
        hostCall(vst2::audioMasterAutomate, index, 0, nullptr, getParameter(index));
    }
}

void SynthPlugin::sendControllerToHost(int parameter, float value)
{
    std::uint8_t cc = controllerOfParameter(parameter);
    if (cc == kNoController) {
        return;
    }
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = 24;
    event.deltaFrames = renderPosition_.load(std::memory_order_relaxed);
    event.midiData[0] = static_cast<char>(0xB0);
    event.midiData[1] = static_cast<char>(cc);
    event.midiData[2] = static_cast<char>(static_cast<int>(value * 127.0f));
    struct {
        vst2::VstInt32 numEvents;
        vst2::VstIntPtr reserved;
        vst2::VstEvent* events[2];
    } block{1, 0, {reinterpret_cast<vst2::VstEvent*>(&event), nullptr}};
    hostCall(vst2::audioMasterProcessEvents, 0, 0, &block);
}

float SynthPlugin::storedValue(int index) const { return getParameter(index); }

bool SynthPlugin::routingCellOn(RoutingSwitch object, int cell) const
{
    const auto* switches = dynamic_cast<const TextObject*>(&editBuffer_.object(object));
    if (switches == nullptr) {
        return true;
    }
    std::string_view cells = switches->text();
    return cell < 0 || static_cast<std::size_t>(cell) >= cells.size() || cells[static_cast<std::size_t>(cell)] != '0';
}

const UserControlsAssignment& SynthPlugin::userAssignments() const
{
    static const UserControlsAssignment none;
    const auto* assignments =
        dynamic_cast<const UserControlsAssignment*>(&editBuffer_.object(object::kUserControlsAssignment));
    return assignments != nullptr ? *assignments : none;
}

std::optional<std::string> SynthPlugin::parameterDisplayName(int index) const
{
    if (index < 0 || index >= kParameterCount) {
        return std::nullopt;
    }
    return std::string(parameterTable()[static_cast<std::size_t>(index)].displayName);
}

void SynthPlugin::incrementParameter(int index)
{
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    float v = getParameter(index) + parameterTable()[static_cast<std::size_t>(index)].step;
    if (v >= 0.0f && v <= 1.0f) {
        setParameterAutomated(index, v);
    }
}

void SynthPlugin::decrementParameter(int index)
{
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    float v = getParameter(index) - parameterTable()[static_cast<std::size_t>(index)].step;
    if (v >= 0.0f && v <= 1.0f) {
        setParameterAutomated(index, v);
    }
}

bool SynthPlugin::parameterIsDiscrete(int index, bool& discrete) const
{
    if (index < 0 || index >= kParameterCount) {
        return false;
    }
    if (index >= 167 && index <= 178) {
        LockGuard lock(processLock_);
        discrete = effects_.isDiscrete((index - 167) / 6, (index - 167) % 6);
    } else {
        discrete = index >= 2 && index <= 13;
    }
    return true;
}

// ---- programs ---------------------------------------------------------------------------------------

void SynthPlugin::setProgramName(const char* name)
{
    {
        LockGuard lock(processLock_);
        editBuffer_.setName(name);
    }
    hostCall(vst2::audioMasterUpdateDisplay);
}

void SynthPlugin::selectProgram(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    // 1. Let the voices fall silent. Inside the processing loop (a MIDI program change) no voice is
    // rendered meanwhile, so the wait could only run to its bound and hold the audio thread: the
    // voices are cut instead (step 2 resets them).
    releaseAllVoices();
    if (!onAudioThread()) {
        // Decoding the program's waves now lets the apply steps below take them from memory.
        prefetchWaves(bank_.programs[static_cast<std::size_t>(index)]);
        for (int poll = 0; poll < 1000 && voicesSounding(); ++poll) {
            sleepMilliseconds(1);
        }
    }
    LockGuard lock(processLock_);
    // 2. Mute: the processing loop drops incoming events while the master gain is 0.
    float savedGain = masterGain_.exchange(0.0f);
    resetVoices();
    // 3.
    setParameter(182, 1.0f);
    // 4.
    currentProgram_.store(index);
    editBuffer_ = bank_.programs[static_cast<std::size_t>(index)];
    // 5.
    resetOutputState();
    dcCoefficient_ = 1.0f - 256.0f * halfSamplePeriod_;
    // 6.
    char name[kProgramNameLength + 1] = {};
    std::memcpy(name, editBuffer_.nameBytes(), kProgramNameLength);
    setProgramName(name);
    for (int k = 0; k < kPatchObjectCount; ++k) {
        applyPatchObject(k);
    }
    for (int i = 0; i < kParameterCount; ++i) {
        setParameter(i, editBuffer_.values[static_cast<std::size_t>(i)]);
    }
    // Without an effect in both slots there is nothing to run in parallel.
    if (!effects_.bothSlotsHaveEffects()) {
        setParameter(181, 1.0f);
    }
    // 7.
    masterGain_ = savedGain;
    setParameter(1, editBuffer_.values[1]);
    hostCall(vst2::audioMasterUpdateDisplay);
}

void SynthPlugin::applyPatchObject(int index)
{
    if (index < 0 || index >= kPatchObjectCount) {
        return;
    }
    // Waves: loaded outside the lock, swapped in under it.
    if (index >= object::kOscShapeId && index < object::kOscShapeId + 6) {
        selectWave(index - object::kOscShapeId);
        return;
    }
    if (index >= object::kAdditiveSettings && index < object::kAdditiveSettings + 6) {
        for (int osc = 0; osc < 6; ++osc) {
            bool uses;
            {
                LockGuard lock(processLock_);
                uses = additiveSettingsOfWaveName(
                           editBuffer_.objectAs<WaveNameObject>(object::kOscShapeId + osc).text()) ==
                       index - object::kAdditiveSettings;
            }
            if (uses) {
                selectWave(osc);
            }
        }
        return;
    }
    LockGuard lock(processLock_);
    switch (index) {
    case object::kFilterMode:
    case object::kFilterMode + 1:
        applyFilterMode(index - object::kFilterMode);
        break;
    case object::kAmSettings:
    case object::kAmSettings + 1:
        applyProductBus(index - object::kAmSettings);
        break;
    case object::kMicrotuningScale:
        applyTuningTable();
        break;
    case object::kFxType:
    case object::kFxType + 1:
        effects_.setType(index - object::kFxType, editBuffer_.objectAs<IntegerObject>(index).value());
        break;
    case object::kDisabledFm:
        for (int cell = 0; cell < 48; ++cell) {
            mapParameter(*this, 26 + cell, getParameter(26 + cell));
        }
        break;
    case object::kDisabledOscOut:
        for (int cell = 0; cell < 18; ++cell) {
            mapParameter(*this, 80 + cell, getParameter(80 + cell));
        }
        break;
    case object::kDisabledFltOut:
        for (int cell = 0; cell < 6; ++cell) {
            mapParameter(*this, 105 + cell, getParameter(105 + cell));
        }
        break;
    default:
        break;
    }
}

void SynthPlugin::renameProgram(int index, std::string_view name)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    {
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)].setName(name);
        if (index == currentProgram_) {
            editBuffer_.setName(name);
        }
    }
    hostCall(vst2::audioMasterUpdateDisplay);
}

void SynthPlugin::copyProgram(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    if (!clipboardProgram_) {
        clipboardProgram_ = std::make_unique<Program>();
    }
    LockGuard lock(processLock_);
    *clipboardProgram_ = index == currentProgram_ ? editBuffer_ : bank_.programs[static_cast<std::size_t>(index)];
}

void SynthPlugin::pasteProgram(int index)
{
    if (!clipboardProgram_ || index < 0 || index >= kProgramCount) {
        return;
    }
    {
        LockGuard lock(processLock_);
        bank_.programs[static_cast<std::size_t>(index)] = *clipboardProgram_;
    }
    if (index == currentProgram_) {
        selectProgram(index);
    }
}

void SynthPlugin::storePatchObject(int index, const PatchObject& source)
{
    if (index < 0 || index >= kPatchObjectCount) {
        return;
    }
    LockGuard lock(processLock_);
    editBuffer_.object(index).copyFrom(source);
}

void SynthPlugin::storeProgram(int slot, const Program& program)
{
    if (slot < 0 || slot >= kProgramCount) {
        return;
    }
    LockGuard lock(processLock_);
    bank_.programs[static_cast<std::size_t>(slot)] = program;
}

void SynthPlugin::initialiseProgram(int index, bool toDefaults)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    Program fresh;
    bool loaded = false;
    if (!toDefaults && installFolder_) {
        // A missing or invalid default patch leaves the slot with the default program.
        Program fromFile;
        loaded = loadProgramFile(*installFolder_ + "presets/" + "default.fxp", fromFile).ok;
        if (loaded) {
            fresh = fromFile;
        }
    }
    LockGuard lock(processLock_);
    bank_.programs[static_cast<std::size_t>(index)] = fresh;
}

void SynthPlugin::setMidiOut(bool on)
{
    if (on != midiOutEnabled_) {
        midiOutEnabled_ = on;
        settings_.writeInteger(registry::kMidiOut, on ? 1 : 0);
    }
}

void SynthPlugin::setLearnTarget(int parameter)
{
    learnTarget_ = parameter >= 0 && parameter < kParameterCount ? parameter : kNoLearnTarget;
}

std::string SynthPlugin::controllerText(int parameter) const
{
    if (parameter == learnTarget_) {
        return "???";
    }
    return controllerAssignmentText(parameter);
}

// ---- engine hooks ---------------------------------------------------------------------------------

void SynthPlugin::polyphonyChanged(int voices)
{
    // Called under processLock by the Voices parameter: the first application creates the pool.
    if (voices_ != nullptr && voices_->polyphony() != voices) {
        voices_->setPolyphony(voices);
    }
    if (voices_ == nullptr) {
        try {
            voices_ = std::make_unique<VoiceManager>(voiceContext_, voices);
        } catch (const std::bad_alloc&) {
            showMessage(1);
        }
    }
    // A pool that cannot give this many voices is dropped; the next application tries again.
    if (voices_ != nullptr && voices_->freeVoices().count < voices) {
        voices_.reset();
    }
}

void SynthPlugin::pitchBendRangeChanged(int semitones) { rebuildPitchBendTable(semitones); }
void SynthPlugin::glideSwitched() { voiceContext_.lastNote = kNoNote; }
void SynthPlugin::effectParameterChanged(int slot, int parameter, float value) { effects_.setParameter(slot, parameter, value); }
void SynthPlugin::effectDryWetChanged(int slot, float value) { effects_.setDryWet(slot, value); }
void SynthPlugin::effectSyncChanged(int slot, bool on) { effects_.setTempoSync(slot, on); }
void SynthPlugin::effectRoutingChanged(bool serial) { effects_.setSerial(serial); }

void SynthPlugin::effectParameterDisplay(int slot, int parameter, float, char* out) const
{
    // The effect formats the value it holds, which is the stored one.
    LockGuard lock(processLock_);
    effects_.display(slot, parameter, out, kDisplayTextSize);
}

void SynthPlugin::rebuildPitchBendTable(int semitones) { computePitchBendTableForSemitones(pitchBendTable_, semitones); }

void SynthPlugin::applyTuningTable()
{
    LockGuard lock(processLock_);
    applyTuning(notePitchTable_, globalTuningOn_, globalTuning_.scale(),
                editBuffer_.objectAs<TuningScaleObject>(object::kMicrotuningScale).scale());
    // Keys whose pitch comes out as 0 Hz, negative or infinite play their equal-tempered pitch.
    makePlayable(notePitchTable_);
}

// ---- program storage --------------------------------------------------------------------------------

template <class Fn>
auto SynthPlugin::withStorage(Fn&& fn)
{
    int current = currentProgram_.load();
    StorageState state{bank_, editBuffer_, current, {globalTuningOn_, globalTuning_, bankInfo_}, nullptr};
    auto result = fn(state);
    currentProgram_.store(current);
    return result;
}

vst2::VstIntPtr SynthPlugin::getChunk(bool preset, void** data)
{
    if (data == nullptr) {
        return 0;
    }
    LockGuard lock(processLock_);
    std::vector<std::uint8_t>& buffer = preset ? chunkBufferProgram_ : chunkBufferBank_;
    buffer = withStorage([&](StorageState& state) { return pelko::getChunk(state, preset); });
    *data = buffer.empty() ? nullptr : buffer.data();
    return static_cast<vst2::VstIntPtr>(buffer.size());
}

vst2::VstIntPtr SynthPlugin::setChunk(bool preset, const void* data, vst2::VstIntPtr size)
{
    if (data == nullptr || size <= 0) {
        return 0;
    }
    SetChunkResult result;
    {
        LockGuard lock(processLock_);
        result = withStorage([&](StorageState& state) {
            return pelko::setChunk(state, data, static_cast<std::size_t>(size), preset);
        });
    }
    if (!result.ok) {
        return 0;
    }
    if (result.view) {
        editorView_ = result.view;
    }
    applyTuningTable();
    if (result.selectProgram >= 0 && result.selectProgram < kProgramCount) {
        selectProgram(result.selectProgram);
    }
    return 1;
}

bool SynthPlugin::restoreState()
{
    if (!installFolder_) {
        return false;
    }
    FileLoadResult result;
    {
        LockGuard lock(processLock_);
        result = withStorage([&](StorageState& state) {
            // The first start has no saved state yet: it begins with the factory bank.
            const std::string saved = stateFileLocation(*installFolder_);
            return loadBankFile(state, fileExists(saved) ? saved : *installFolder_ + "presets/Factory.fxb");
        });
    }
    if (!result.ok) {
        return false;
    }
    if (result.view) {
        editorView_ = result.view;
    }
    applyTuningTable();
    selectProgram(result.selectProgram >= 0 && result.selectProgram < kProgramCount ? result.selectProgram : 0);
    return true;
}

bool SynthPlugin::saveState()
{
    if (!installFolder_) {
        return false;
    }
    LockGuard lock(processLock_);
    return withStorage([&](StorageState& state) { return saveBankFile(state, stateFileLocation(*installFolder_)); });
}

// ---- sample rate, block size, suspend/resume ---------------------------------------------------------

void SynthPlugin::setSampleRate(float rate)
{
    // A host that reports a rate of 0, a negative or non-finite rate would make every rate-dependent
    // quantity meaningless: such a call is ignored and the previous rate kept.
    if (!saneSampleRate(rate)) {
        debugOutput("ignored sample rate\n");
        return;
    }
    // The filter tables first, off the audio thread, then every voice's filter slots.
    const FilterTables& filterTables = filterTablesFor(rate);
    LockGuard lock(processLock_);
    sampleRate_ = rate;
    voiceContext_.sampleRate = rate;
    voiceContext_.filterTables = &filterTables;
    resetVoices();
    if (voices_ != nullptr) {
        voices_->prepareFilters(filterTables);
    }
    halfSamplePeriod_ = 0.5f / rate;
    effects_.setSampleRate(rate);
    for (int i = 0; i < kParameterCount; ++i) {
        setParameter(i, editBuffer_.values[static_cast<std::size_t>(i)]);
    }
    resetOutputState();
    dcCoefficient_ = 1.0f - 256.0f * halfSamplePeriod_;
}

void SynthPlugin::setBlockSize(int frames)
{
    LockGuard lock(processLock_);
    blockSize_ = frames;
    resetVoices();
}

void SynthPlugin::suspend()
{
    LockGuard lock(processLock_);
    resetVoices();
    resetOutputState();
    effects_.reset();
    dcCoefficient_ = 1.0f - 256.0f * halfSamplePeriod_;
}

void SynthPlugin::resume() { hostCall(vst2::audioMasterWantMidi, 0, 1); }

void SynthPlugin::resetVoices()
{
    LockGuard lock(processLock_);
    if (voices_ != nullptr) {
        voices_->resetAll();
    }
}

void SynthPlugin::releaseAllVoices()
{
    LockGuard lock(processLock_);
    if (voices_ != nullptr) {
        voices_->releaseAll();
    }
}

bool SynthPlugin::voicesSounding() const
{
    LockGuard lock(processLock_);
    return voices_ != nullptr && voices_->anyPlaying();
}

// ---- voices: tuning, filters, product buses, waves ------------------------------------------------

void SynthPlugin::setGlobalTuning(bool on)
{
    LockGuard lock(processLock_);
    globalTuningOn_ = on;
    applyTuningTable();
}

void SynthPlugin::applyFilterMode(int filter)
{
    static const char* const names[2] = {"Filter1", "Filter2"};
    const int stored = editBuffer_.objectAs<IntegerObject>(object::kFilterMode + filter).value();
    voiceContext_.filterTypes[static_cast<std::size_t>(filter)] = playableFilterType(stored, names[filter]);
}

void SynthPlugin::applyProductBus(int bus)
{
    const auto& settings = editBuffer_.objectAs<ProductBusObject>(object::kAmSettings + bus);
    for (int input = 0; input < ProductBusObject::kInputs; ++input) {
        const int osc = settings.oscillator(input);
        voiceContext_.busInputs[static_cast<std::size_t>(bus)][static_cast<std::size_t>(input)] =
            osc >= 0 && osc < 6 ? osc : -1;
    }
}

void SynthPlugin::selectWave(int oscillator)
{
    const auto slotIndex = static_cast<std::size_t>(oscillator);
    if (onAudioThread()) {
        // A program change from MIDI: only waves already in memory can be taken here. The rest is
        // loaded at the next call from the user interface; the oscillator is silent meanwhile.
        LockGuard lock(processLock_);
        std::string_view name = editBuffer_.objectAs<WaveNameObject>(object::kOscShapeId + oscillator).text();
        retireWave(waveSlots_[slotIndex].clear());
        if (name.empty() || name == "Off") {
            waveLoadDeferred_[slotIndex] = false;
            return;
        }
        std::shared_ptr<const Wave> previous;
        if (additiveSettingsOfWaveName(name) < 0 && waveBank_ != nullptr &&
            waveBank_->loadCachedWave(name, waveSlots_[slotIndex], previous)) {
            retireWave(std::move(previous));
            waveLoadDeferred_[slotIndex] = false;
            return;
        }
        waveLoadDeferred_[slotIndex] = true;
        anyWaveLoadDeferred_.store(true);
        return;
    }

    std::string name;
    int additive;
    std::unique_ptr<AdditiveSettingsObject> settings;
    {
        LockGuard lock(processLock_);
        name = std::string(editBuffer_.objectAs<WaveNameObject>(object::kOscShapeId + oscillator).text());
        additive = additiveSettingsOfWaveName(name);
        if (additive >= 0) {
            settings = std::make_unique<AdditiveSettingsObject>(
                editBuffer_.objectAs<AdditiveSettingsObject>(object::kAdditiveSettings + additive));
        }
        waveLoadDeferred_[slotIndex] = false;
    }
    std::shared_ptr<const Wave> wave;
    if (name.empty() || name == "Off") {
        // The slot stays empty.
    } else if (settings != nullptr) {
        wave = buildAdditiveWave(*settings);
    } else if (name.rfind(kAdditiveWavePrefix, 0) == 0) {
        // A user-defined name without a valid settings number: nothing to build.
    } else if (waveBank_ != nullptr) {
        WaveSlot loaded;
        if (waveBank_->loadWave(name, loaded) == kArchiveOk) {
            wave = loaded.shared();
        }
    }
    LockGuard lock(processLock_);
    retireWave(waveSlots_[slotIndex].replace(std::move(wave)));
    dropRetiredWaves();
}

void SynthPlugin::completeDeferredWaveLoads()
{
    if (wavesRetired_.load()) {
        LockGuard lock(processLock_);
        dropRetiredWaves();
    }
    if (!anyWaveLoadDeferred_.exchange(false)) {
        return;
    }
    for (int osc = 0; osc < 6; ++osc) {
        bool deferred;
        {
            LockGuard lock(processLock_);
            deferred = waveLoadDeferred_[static_cast<std::size_t>(osc)];
        }
        if (deferred) {
            selectWave(osc);
        }
    }
}

void SynthPlugin::retireWave(std::shared_ptr<const Wave> wave)
{
    if (wave == nullptr) {
        return;
    }
    for (auto& entry : retiredWaves_) {
        if (entry == nullptr) {
            entry = std::move(wave);
            wavesRetired_.store(true);
            return;
        }
    }
    // All entries in use (many wave changes while notes ring): the wave is let go here.
}

void SynthPlugin::dropRetiredWaves()
{
    bool kept = false;
    for (auto& entry : retiredWaves_) {
        if (entry != nullptr && (voices_ == nullptr || !voices_->usesWave(entry.get()))) {
            entry.reset();
        }
        kept = kept || entry != nullptr;
    }
    wavesRetired_.store(kept);
}

void SynthPlugin::prefetchWaves(const Program& program)
{
    if (waveBank_ == nullptr) {
        return;
    }
    std::array<std::string, 6> names;
    {
        LockGuard lock(processLock_);
        for (int osc = 0; osc < 6; ++osc) {
            names[static_cast<std::size_t>(osc)] =
                std::string(program.objectAs<WaveNameObject>(object::kOscShapeId + osc).text());
        }
    }
    for (const std::string& name : names) {
        std::shared_ptr<const Wave> wave;
        if (!name.empty() && name != "Off" && additiveSettingsOfWaveName(name) < 0) {
            waveBank_->findWave(name, wave);
        }
    }
}
void SynthPlugin::resetOutputState() { outputState_.fill(0.0f); }
void SynthPlugin::tellEditor(int, float) {}

}  // namespace pelko
