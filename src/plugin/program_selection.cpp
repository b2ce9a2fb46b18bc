// Program selection in two halves, and the apply steps of patch objects.
//
// The sounding voices are faded out first (a few milliseconds on the audio thread; at once when no
// other thread processes). Prepare (user-interface thread, without the processing lock): copy the
// bank slot and build its six waves. Commit (under the lock): swap the copy and the waves in, run
// the other objects' apply steps and re-apply every parameter. The host is told after the lock is
// released.
//
// A program change that arrives as MIDI commits on the audio thread, inside the processing loop.
// It must not allocate or wait, so the waves of every bank slot are kept ready (BankWaves,
// refreshed whenever the bank changes) and only swapped in. A slot whose waves are not ready (its
// wave could not be read when the bank changed) falls back to the waves already decoded in the
// wave bank; the rest load at the next user-interface call, and the debug channel says so.
#include "plugin/synth_plugin.h"

#include "dsp/filters/filter_types.h"
#include "engine/additive_wave.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "platform/threads.h"
#include "params/setting_objects.h"
#include "params/wave_name_object.h"
#include "wave/wave_bank.h"

#include <chrono>
#include <cstdint>

namespace pelko {
namespace {

// How long a program change waits at most for the audio thread to fade the voices out: a few
// blocks of the usual sizes, short enough for the caller to return within 20 ms.
constexpr auto kFadeWait = std::chrono::milliseconds(15);
// Processing counts as running when a block was rendered this recently.
constexpr std::int64_t kProcessingRecentNs = 200'000'000;

// A token per thread: the address of a thread-local object.
std::uintptr_t threadToken()
{
    thread_local char token = 0;
    return reinterpret_cast<std::uintptr_t>(&token);
}

std::int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool isWaveObject(int index)
{
    return (index >= object::kOscShapeId && index < object::kOscShapeId + kProgramOscillators) ||
           (index >= object::kAdditiveSettings && index < object::kAdditiveSettings + kProgramOscillators);
}

}  // namespace

void SynthPlugin::selectProgram(int index)
{
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    if (onAudioThread()) {
        commitMidiProgramChange(index);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    {
        LockGuard lock(processLock_);
        engine_.fadeOutVoices();
    }
    auto prepared = std::make_unique<PreparedProgram>();
    prepareProgram(index, *prepared);
    // While another thread processes, it fades the voices out within a few blocks; without one
    // nothing would ever end the fade, and the commit below silences the voices at once.
    if (processingElsewhere()) {
        while (std::chrono::steady_clock::now() - start < kFadeWait) {
            {
                LockGuard lock(processLock_);
                if (!engine_.voicesSounding()) {
                    break;
                }
            }
            sleepMilliseconds(1);
        }
    }
    {
        LockGuard lock(processLock_);
        commitProgram(index, &prepared->program, &prepared->waves);
    }
    // prepared now holds the previous edit buffer, freed here, off the lock.
    prepared.reset();
    tellHostDisplayChanged();
}

void SynthPlugin::noteProcessing()
{
    lastProcessNs_.store(steadyNanoseconds(), std::memory_order_relaxed);
    processThread_.store(threadToken(), std::memory_order_relaxed);
}

bool SynthPlugin::processingElsewhere() const
{
    const std::int64_t last = lastProcessNs_.load(std::memory_order_relaxed);
    return last != 0 && steadyNanoseconds() - last < kProcessingRecentNs &&
           processThread_.load(std::memory_order_relaxed) != threadToken();
}

void SynthPlugin::prepareProgram(int index, PreparedProgram& prepared)
{
    {
        LockGuard lock(processLock_);
        prepared.program = bank_.program(index);
    }
    prepared.waves = buildProgramWaves(WaveKey::of(prepared.program), waveBank_, false);
}

void SynthPlugin::commitMidiProgramChange(int index)
{
    engine_.releaseAllVoices();
    const Program& next = bank_.program(index);
    const ProgramWaves* waves = bankWaves_.ready(index, next);
    commitProgram(index, nullptr, waves);
    if (waves == nullptr) {
        for (int osc = 0; osc < kProgramOscillators; ++osc) {
            selectWave(osc);
        }
        unpreparedProgramChange_.store(index);
    }
    tellHostDisplayChanged();
}

void SynthPlugin::commitProgram(int index, Program* prepared, const ProgramWaves* waves)
{
    LockGuard lock(processLock_);
    // Muted: the processing loop drops incoming events while the master gain is 0.
    const float savedGain = masterGain_.exchange(0.0f);
    engine_.resetVoices();
    setParameter(param::kFxBypass, 1.0f);
    currentProgram_.store(index);
    if (prepared != nullptr) {
        editBuffer_.swap(*prepared);
    } else {
        editBuffer_ = bank_.program(index);
    }
    engine_.restartOutput();
    for (int k = 0; k < kPatchObjectCount; ++k) {
        if (!isWaveObject(k)) {
            applyObjectToEngine(k);
        }
    }
    if (waves != nullptr) {
        for (int osc = 0; osc < kProgramOscillators; ++osc) {
            engine_.setWave(osc, waves->waves[static_cast<std::size_t>(osc)]);
            waveLoadDeferred_[static_cast<std::size_t>(osc)] = false;
        }
    }
    for (int i = 0; i < kParameterCount; ++i) {
        setParameter(i, editBuffer_.values[static_cast<std::size_t>(i)]);
    }
    // Without an effect in both slots there is nothing to run in parallel.
    if (!engine_.effects().bothSlotsHaveEffects()) {
        setParameter(param::kFxSerialMode, 1.0f);
    }
    masterGain_ = savedGain;
    setParameter(param::kMainLevel, editBuffer_.values[param::kMainLevel]);
    changes_.markCurrentProgram();
    changes_.markProgramName();
    changes_.markAllObjects();
}

void SynthPlugin::applyPatchObject(int index)
{
    if (index < 0 || index >= kPatchObjectCount) {
        return;
    }
    if (index >= object::kOscShapeId && index < object::kOscShapeId + kProgramOscillators) {
        selectWave(index - object::kOscShapeId);
    } else if (index >= object::kAdditiveSettings && index < object::kAdditiveSettings + kProgramOscillators) {
        // Every oscillator playing these settings gets the one wave built from them.
        WaveKey key;
        std::array<bool, kProgramOscillators> uses{};
        int first = -1;
        {
            LockGuard lock(processLock_);
            key = WaveKey::of(editBuffer_);
            for (int osc = 0; osc < kProgramOscillators; ++osc) {
                uses[static_cast<std::size_t>(osc)] =
                    additiveSettingsOfWaveName(key.names[static_cast<std::size_t>(osc)]) == index - object::kAdditiveSettings;
                if (uses[static_cast<std::size_t>(osc)] && first < 0) {
                    first = osc;
                }
            }
        }
        if (first >= 0) {
            bool built = false;
            std::shared_ptr<const Wave> wave = buildProgramWave(key, first, waveBank_, false, built);
            LockGuard lock(processLock_);
            for (int osc = 0; osc < kProgramOscillators; ++osc) {
                if (uses[static_cast<std::size_t>(osc)]) {
                    engine_.setWave(osc, wave);
                    waveLoadDeferred_[static_cast<std::size_t>(osc)] = false;
                }
            }
            engine_.dropRetiredWaves();
        }
    } else {
        LockGuard lock(processLock_);
        applyObjectToEngine(index);
    }
    changes_.markObject(index);
}

void SynthPlugin::applyObjectToEngine(int index)
{
    switch (index) {
    case object::kFilterMode:
    case object::kFilterMode + 1: {
        static const char* const names[2] = {"Filter1", "Filter2"};
        const int filter = index - object::kFilterMode;
        engine_.setFilterType(filter, playableFilterType(editBuffer_.objectAs<IntegerObject>(index).value(), names[filter]));
        break;
    }
    case object::kAmSettings:
    case object::kAmSettings + 1: {
        const auto& settings = editBuffer_.objectAs<ProductBusObject>(index);
        std::array<int, 3> inputs{};
        for (int input = 0; input < ProductBusObject::kInputs; ++input) {
            const int osc = settings.oscillator(input);
            inputs[static_cast<std::size_t>(input)] = osc >= 0 && osc < kProgramOscillators ? osc : -1;
        }
        engine_.setProductBusInputs(index - object::kAmSettings, inputs);
        break;
    }
    case object::kMicrotuningScale:
        applyTuningTable();
        break;
    case object::kFxType:
    case object::kFxType + 1:
        engine_.effects().setType(index - object::kFxType, editBuffer_.objectAs<IntegerObject>(index).value());
        break;
    case object::kDisabledFm:
        for (int cell = 0; cell < 48; ++cell) {
            mapParameter(*this, param::kFmMatrix + cell, getParameter(param::kFmMatrix + cell));
        }
        break;
    case object::kDisabledOscOut:
        for (int cell = 0; cell < 18; ++cell) {
            mapParameter(*this, param::kOscToFilter1 + cell, getParameter(param::kOscToFilter1 + cell));
        }
        break;
    case object::kDisabledFltOut:
        for (int cell = 0; cell < 6; ++cell) {
            mapParameter(*this, param::kBusOut + cell, getParameter(param::kBusOut + cell));
        }
        break;
    default:
        break;
    }
}

void SynthPlugin::selectWave(int oscillator)
{
    const auto o = static_cast<std::size_t>(oscillator);
    if (onAudioThread()) {
        // Only a wave the wave bank holds decoded can be taken here; the rest is built at the next
        // call from the user interface, and the oscillator is silent meanwhile.
        LockGuard lock(processLock_);
        std::string_view name = editBuffer_.objectAs<WaveNameObject>(object::kOscShapeId + oscillator).text();
        engine_.setWave(oscillator, nullptr);
        waveLoadDeferred_[o] = false;
        if (!WaveNameObject::namesWave(name)) {
            return;
        }
        WaveSlot cached;
        std::shared_ptr<const Wave> previous;
        if (additiveSettingsOfWaveName(name) < 0 && waveBank_ != nullptr &&
            waveBank_->loadCachedWave(name, cached, previous)) {
            engine_.setWave(oscillator, cached.shared());
            return;
        }
        waveLoadDeferred_[o] = true;
        anyWaveLoadDeferred_.store(true);
        return;
    }
    WaveKey key;
    {
        LockGuard lock(processLock_);
        key = WaveKey::of(editBuffer_);
        waveLoadDeferred_[o] = false;
    }
    bool built = false;
    std::shared_ptr<const Wave> wave = buildProgramWave(key, oscillator, waveBank_, false, built);
    LockGuard lock(processLock_);
    engine_.setWave(oscillator, std::move(wave));
    engine_.dropRetiredWaves();
}

void SynthPlugin::completeDeferredWaveLoads()
{
    if (engine_.wavesRetired()) {
        LockGuard lock(processLock_);
        engine_.dropRetiredWaves();
    }
    if (!anyWaveLoadDeferred_.exchange(false)) {
        return;
    }
    for (int osc = 0; osc < kProgramOscillators; ++osc) {
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

void SynthPlugin::refreshBankWaves()
{
    // Heap-held: a bank's keys are too large for a host thread's stack.
    auto update = std::make_unique<BankWaves::Update>();
    auto installed = std::make_unique<std::array<WaveKey, kProgramCount>>();
    std::array<bool, kProgramCount> valid{};
    {
        LockGuard lock(processLock_);
        BankWaves::keysOf(bank_, update->keys);
        *installed = bankWaves_.keys();
        valid = bankWaves_.valid();
    }
    BankWaves::build(*update, *installed, valid, waveBank_);
    {
        LockGuard lock(processLock_);
        bankWaves_.install(*update);
        reserveBankEffects();
    }
    // update now holds the waves replaced, freed here, off the lock.
}

void SynthPlugin::reserveBankEffects()
{
    // A synced delay of any bank program then fits its line when the program is selected on the
    // audio thread, at every tempo the host may later choose.
    for (int bankSlot = 0; bankSlot < kProgramCount; ++bankSlot) {
        const Program& program = bank_.program(bankSlot);
        for (int slot = 0; slot < EffectSlots::kSlots; ++slot) {
            if (program.values[static_cast<std::size_t>(param::kFxTempoSync + slot)] == 0.0f) {
                continue;
            }
            std::array<float, kEffectParameters> values{};
            for (int i = 0; i < kEffectParameters; ++i) {
                values[static_cast<std::size_t>(i)] =
                    program.values[static_cast<std::size_t>(param::kFxParameter + slot * param::kFxParametersPerSlot + i)];
            }
            engine_.effects().reserveSyncedTimes(slot, program.objectAs<IntegerObject>(object::kFxType + slot).value(), values);
        }
    }
}

void SynthPlugin::markBankChanged()
{
    changes_.markBank();
    refreshBankWaves();
}

}  // namespace pelko
