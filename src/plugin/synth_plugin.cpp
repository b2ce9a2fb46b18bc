// Construction and destruction, parameters, the engine hooks of the parameter table, chunks and
// the state file, sample rate and suspend/resume.
#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "config/data_locations.h"
#include "config/install_folder.h"
#include "dsp/filters/filter_types.h"
#include "library/preset_rewrite.h"
#include "library/program_keywords.h"
#include "dsp/filters/filter_tables.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "params/setting_objects.h"
#include "params/user_controls_assignment.h"
#include "wave/wave_bank.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace pelko {
namespace {

std::mutex instancesMutex;
int liveInstances = 0;

bool saneSampleRate(float rate) { return std::isfinite(rate) && rate >= 1000.0f && rate <= 1536000.0f; }

}  // namespace

SynthPlugin::SynthPlugin(HostServices* host) : host_(host) { construct(); }

void SynthPlugin::construct()
{
    // The edit buffer, bank, settings and global objects are built by the member initialisers, in
    // declaration order.
    installFolder_ = findInstallFolder(settings_, moduleFolder());

    // The note pitch and pitch-bend tables and the effect slots are part of the engine.
    engine_.attachProgram(editBuffer_);
    applyTuningTable();

    midiOutEnabled_ = settings_.readInteger(registry::kMidiOut, 0) != 0;
    masterGain_ = settings_.readFloat(registry::kDefaultGain, 1.0f);

    openPresetLibrary();

    // Process-wide state built by the first instance.
    {
        std::lock_guard<std::mutex> lock(instancesMutex);
        if (liveInstances == 0) {
            loadControllerAssignments(settings_);
        }
        ++liveInstances;
    }
    // The first instance reads the wave archives of the install folder; the others share them.
    waveBank_ = &WaveBank::acquire(installFolder_.value_or(std::string()));

    if (host_ != nullptr) {
        engine_.resetVoices();
        engine_.restartOutput();
        // The last state; without one (or without an install folder) the default program is
        // applied all the same, so that the engine follows its parameters from the start.
        if (!restoreState()) {
            refreshBankWaves();
            selectProgram(0);
        }
    }
    // Slots no bank read has filled still hold their default programs, which the process builds
    // when they are first read: here, not on the audio thread at a program change.
    bank_.buildDefaults();
    engine_.resetVoices();
    engine_.restartOutput();
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

SynthPlugin::~SynthPlugin()
{
    {
        LockGuard lock(processLock_);
        engine_.resetVoices();
        for (int osc = 0; osc < kProgramOscillators; ++osc) {
            engine_.setWave(osc, nullptr);
        }
        engine_.dropRetiredWaves();
    }
    bankWaves_.clear();
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

void SynthPlugin::userInterfaceCall()
{
    showDeferredMessages();
    const int unprepared = unpreparedProgramChange_.exchange(-1);
    if (unprepared >= 0) {
        debugOutput("program change to " + std::to_string(unprepared) +
                    " on the audio thread: its waves were not ready and load now\n");
    }
    completeDeferredWaveLoads();
    if (effectLinesShortened_.exchange(false)) {
        LockGuard lock(processLock_);
        engine_.effects().growShortenedLines();
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
    {
        LockGuard lock(processLock_);
        editBuffer_.values[static_cast<std::size_t>(index)] = mapParameter(*this, index, value);
        // Live cutoff and resonance changes reach the sounding voices (which glide to them).
        if (index == param::kCutoff || index == param::kCutoff + 1) {
            engine_.broadcastCutoff(index - param::kCutoff);
        } else if (index == param::kResonance || index == param::kResonance + 1) {
            engine_.broadcastResonance(index - param::kResonance);
        }
    }
    changes_.markParameter(index);
}

float SynthPlugin::getParameter(int index) const
{
    if (index < 0 || index >= kParameterCount) {
        return 0.0f;
    }
    LockGuard lock(processLock_);
    return editBuffer_.values[static_cast<std::size_t>(index)];
}

bool SynthPlugin::parameterDisplay(int index, std::string& text) const
{
    char out[kDisplayTextSize] = {};
    if (index < 0 || index >= kParameterCount) {
        text.clear();
        return false;
    }
    formatParameter(this, index, getParameter(index), out);
    text = out;
    return true;
}

void SynthPlugin::setParameterAutomated(int index, float value)
{
    setParameter(index, value);
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    if (midiOutEnabled_) {
        sendControllerToHost(index, getParameter(index));
    } else if (host_ != nullptr) {
        host_->automate(index, getParameter(index));
    }
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

void SynthPlugin::setMidiOut(bool on)
{
    if (on != midiOutEnabled_) {
        midiOutEnabled_ = on;
        settings_.writeInteger(registry::kMidiOut, on ? 1 : 0);
    }
}

// ---- engine hooks (called by the parameter table under processLock) ---------------------------

void SynthPlugin::polyphonyChanged(int voices) { engine_.setPolyphony(voices); }
void SynthPlugin::pitchBendRangeChanged(int semitones) { engine_.setPitchBendRange(semitones); }
void SynthPlugin::glideSwitched() { engine_.forgetLastNote(); }
void SynthPlugin::effectParameterChanged(int slot, int parameter, float value)
{
    engine_.effects().setParameter(slot, parameter, value);
}
void SynthPlugin::effectDryWetChanged(int slot, float value) { engine_.effects().setDryWet(slot, value); }
void SynthPlugin::effectSyncChanged(int slot, bool on) { engine_.effects().setTempoSync(slot, on); }
void SynthPlugin::effectRoutingChanged(bool serial) { engine_.effects().setSerial(serial); }

void SynthPlugin::effectParameterDisplay(int slot, int parameter, float, char* out) const
{
    // The effect formats the value it holds, which is the stored one.
    LockGuard lock(processLock_);
    engine_.effects().display(slot, parameter, out, kDisplayTextSize);
}

void SynthPlugin::setGlobalTuning(bool on)
{
    std::lock_guard<std::mutex> bankGuard(bankLock_);
    LockGuard lock(processLock_);
    globalTuningOn_ = on;
    applyTuningTable();
}

void SynthPlugin::applyTuningTable()
{
    LockGuard lock(processLock_);
    engine_.applyTuning(globalTuningOn_, globalTuning_.scale(),
                        editBuffer_.objectAs<TuningScaleObject>(object::kMicrotuningScale).scale());
}

// ---- program storage ------------------------------------------------------------------------------

template <class Fn>
auto SynthPlugin::withStorage(Fn&& fn)
{
    int current = currentProgram_.load();
    StorageState state{bank_, editBuffer_, current, {globalTuningOn_, globalTuning_, bankInfo_}, nullptr};
    auto result = fn(state);
    currentProgram_.store(current);
    return result;
}

template <class Fn>
auto SynthPlugin::withSavedState(Fn&& fn)
{
    // No other thread changes the bank while it is written out (bank writers hold bankLock_ as
    // well as the processing lock), so only the edit buffer and the global objects need copying
    // under the processing lock, which the audio thread then waits for a few microseconds at most.
    std::lock_guard<std::mutex> bankGuard(bankLock_);
    auto snapshot = std::make_unique<Program>();
    auto stored = std::make_shared<Program>();
    TuningScaleObject tuning = makeGlobalTuning();
    TextObject info = makeBankInfo();
    bool tuningOn = false;
    int current = 0;
    {
        LockGuard lock(processLock_);
        *snapshot = editBuffer_;
        tuningOn = globalTuningOn_;
        tuning.copyFrom(globalTuning_);
        info.copyFrom(bankInfo_);
        current = currentProgram_.load();
    }
    // What a save has always done: the edit buffer goes into its slot in its stored form.
    Program* saved = snapshot.get();
    if (current >= 0 && current < kProgramCount) {
        pelko::copyProgram(*snapshot, *stored);
        std::shared_ptr<const Program> previous;
        {
            LockGuard lock(processLock_);
            previous = bank_.replaceProgram(current, std::move(stored));
        }
        // The slot's previous contents are freed here, off the lock.
        previous.reset();
        saved = &bank_.editProgram(current);
    }
    StorageState state{bank_, *saved, current, {tuningOn, tuning, info}, nullptr};
    return fn(state);
}

std::vector<std::uint8_t> SynthPlugin::saveChunk(bool programOnly)
{
    return withSavedState([&](StorageState& state) { return pelko::getChunk(state, programOnly); });
}

bool SynthPlugin::loadChunk(bool programOnly, const void* data, std::size_t size)
{
    if (data == nullptr || size == 0) {
        return false;
    }
    SetChunkResult result;
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        result = withStorage([&](StorageState& state) { return pelko::setChunk(state, data, size, programOnly); });
    }
    if (!result.ok) {
        return false;
    }
    finishBankLoad(result.selectProgram, result.view);
    return true;
}

void SynthPlugin::finishBankLoad(int selectIndex, const std::optional<EditorViewBlock>& view)
{
    if (view) {
        editorView_ = view;
    }
    applyTuningTable();
    // A program chunk may change the edit buffer without selecting a slot.
    changes_.markAllParameters();
    changes_.markAllObjects();
    changes_.markProgramName();
    markBankChanged();
    if (selectIndex >= 0 && selectIndex < kProgramCount) {
        selectProgram(selectIndex);
    }
}

bool SynthPlugin::restoreState()
{
    if (!installFolder_) {
        return false;
    }
    FileLoadResult result;
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        result = withStorage([&](StorageState& state) {
            // The first start has no saved state yet: it begins with the factory bank.
            const std::string saved = stateFilePath(stateFolder(*installFolder_));
            return loadBankFile(state, fileExists(saved) ? saved : *installFolder_ + "presets/Factory.fxb");
        });
    }
    if (!result.ok) {
        return false;
    }
    finishBankLoad(result.selectProgram >= 0 && result.selectProgram < kProgramCount ? result.selectProgram : 0,
                   result.view);
    return true;
}

namespace {

constexpr std::size_t kLargestProgramOrBankFile = std::size_t(64) << 20;

}  // namespace

bool SynthPlugin::loadBankFromFile(const std::string& path)
{
    // The file is read before the locks are taken; only its decoding runs under them.
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestProgramOrBankFile);
    if (!bytes || bytes->empty()) {
        showMessage(kMsgErrorOpening, path);
        return false;
    }
    // The bank is parsed into a copy of its own first: a damaged file changes nothing.
    auto checked = std::make_unique<ProgramBank>();
    {
        const std::size_t skip = std::min(kBankFileHeaderSize, bytes->size());
        if (!readBankChunk(bytes->data() + skip, bytes->size() - skip, *checked, nullptr).ok) {
            return false;  // the reader has said why
        }
    }
    FileLoadResult result;
    {
        std::lock_guard<std::mutex> bankGuard(bankLock_);
        LockGuard lock(processLock_);
        result = withStorage([&](StorageState& state) {
            return readBankFileBytes(state, bytes->data(), bytes->size(), fileNamePart(path));
        });
    }
    if (!result.ok) {
        return false;
    }
    finishBankLoad(result.selectProgram >= 0 && result.selectProgram < kProgramCount ? result.selectProgram : currentProgram_.load(),
                   result.view);
    return true;
}

bool SynthPlugin::saveBankToFile(const std::string& path)
{
    return withSavedState([&](StorageState& state) { return saveBankFile(state, path); });
}

bool SynthPlugin::loadProgramFromFile(const std::string& path, int slot)
{
    if (slot < 0 || slot >= kProgramCount) {
        return false;
    }
    Program loaded;
    if (!loadProgramFile(path, loaded).ok) {
        return false;
    }
    const int current = currentProgram_.load();
    copyEditBufferTo(current);
    storeProgram(slot, loaded);
    if (slot == current) {
        selectProgram(slot);
    }
    return true;
}

bool SynthPlugin::saveProgramToFile(const std::string& path)
{
    return withSavedState([&](StorageState& state) { return saveProgramFile(state, path); });
}

std::string SynthPlugin::bankName() const
{
    LockGuard lock(processLock_);
    return std::string(bank_.name());
}

bool SynthPlugin::saveState()
{
    if (!installFolder_) {
        return false;
    }
    return withSavedState([&](StorageState& state) { return saveBankFile(state, stateFilePath(stateFolder(*installFolder_))); });
}

// ---- sample rate, block size, suspend/resume --------------------------------------------------------

void SynthPlugin::setSampleRate(float rate)
{
    // A host that reports a rate of 0, a negative or non-finite rate would make every rate-dependent
    // quantity meaningless: such a call is ignored and the previous rate kept.
    if (!saneSampleRate(rate)) {
        debugOutput("ignored sample rate\n");
        return;
    }
    // The filter tables of the new rate are built (once per rate) before the processing lock is taken.
    const FilterTables& filterTables = filterTablesFor(rate);
    LockGuard lock(processLock_);
    engine_.setSampleRate(rate, filterTables);
    for (int i = 0; i < kParameterCount; ++i) {
        setParameter(i, editBuffer_.values[static_cast<std::size_t>(i)]);
    }
}

void SynthPlugin::setBlockSize(int frames)
{
    LockGuard lock(processLock_);
    engine_.setBlockSize(frames);
}

void SynthPlugin::suspend()
{
    LockGuard lock(processLock_);
    engine_.suspend();
}

void SynthPlugin::resume()
{
    if (host_ != nullptr) {
        host_->wantMidi();
    }
}

}  // namespace pelko
