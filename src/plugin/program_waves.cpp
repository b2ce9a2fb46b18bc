#include "plugin/program_waves.h"

#include "engine/additive_wave.h"
#include "params/patch_object_table.h"
#include "params/additive_settings_object.h"
#include "params/wave_name_object.h"
#include "wave/archive_errors.h"
#include "wave/wave_bank.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace pelko {
namespace {

// "User-Defined" waves of the process, by the settings they were built from, so that instances
// (and bank slots) playing the same settings hold one wave. A wave depends on its settings alone,
// not on the sample rate. The waves are held weakly: one no slot or oscillator plays any more is
// let go, and its entry swept out as new ones arrive.
class AdditiveWaves {
public:
    std::shared_ptr<const Wave> wave(const WaveKey::Harmonics& harmonics)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const Entry& e : entries_) {
                // Compared bit for bit: equal bits build equal waves.
                if (std::memcmp(e.harmonics.data(), harmonics.data(), sizeof harmonics) == 0) {
                    if (std::shared_ptr<const Wave> held = e.wave.lock()) {
                        return held;
                    }
                }
            }
        }
        AdditiveSettingsObject settings;
        for (int h = 0; h < AdditiveSettingsObject::kHarmonics; ++h) {
            settings.setLevel(h, harmonics[static_cast<std::size_t>(h)]);
            settings.setPhase(h, harmonics[static_cast<std::size_t>(AdditiveSettingsObject::kHarmonics + h)]);
        }
        std::shared_ptr<const Wave> built = buildAdditiveWave(settings);
        if (built) {
            std::lock_guard<std::mutex> lock(mutex_);
            std::erase_if(entries_, [](const Entry& e) { return e.wave.expired(); });
            entries_.push_back({harmonics, built});
        }
        return built;
    }

private:
    struct Entry {
        WaveKey::Harmonics harmonics;
        std::weak_ptr<const Wave> wave;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

AdditiveWaves& additiveWaves()
{
    static AdditiveWaves waves;
    return waves;
}

std::string_view waveNameOf(const Program& program, int osc)
{
    return program.objectAs<WaveNameObject>(object::kOscShapeId + osc).text();
}

// The additive settings a wave name uses, or null.
const AdditiveSettingsObject* additiveSettingsOf(const Program& program, std::string_view name)
{
    const int settings = additiveSettingsOfWaveName(name);
    return settings >= 0 ? &program.objectAs<AdditiveSettingsObject>(object::kAdditiveSettings + settings) : nullptr;
}

void harmonicsOf(const AdditiveSettingsObject& settings, WaveKey::Harmonics& out)
{
    for (int h = 0; h < AdditiveSettingsObject::kHarmonics; ++h) {
        out[static_cast<std::size_t>(h)] = settings.level(h);
        out[static_cast<std::size_t>(AdditiveSettingsObject::kHarmonics + h)] = settings.phase(h);
    }
}

bool sameHarmonics(const AdditiveSettingsObject& settings, const WaveKey::Harmonics& harmonics)
{
    for (int h = 0; h < AdditiveSettingsObject::kHarmonics; ++h) {
        if (settings.level(h) != harmonics[static_cast<std::size_t>(h)] ||
            settings.phase(h) != harmonics[static_cast<std::size_t>(AdditiveSettingsObject::kHarmonics + h)]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ProgramWaves::complete() const
{
    for (bool b : built) {
        if (!b) {
            return false;
        }
    }
    return true;
}

WaveKey WaveKey::of(const Program& program)
{
    WaveKey key;
    for (int osc = 0; osc < kProgramOscillators; ++osc) {
        const auto o = static_cast<std::size_t>(osc);
        key.names[o] = std::string(waveNameOf(program, osc));
        if (const AdditiveSettingsObject* settings = additiveSettingsOf(program, key.names[o])) {
            harmonicsOf(*settings, key.additive[o]);
        }
    }
    return key;
}

bool WaveKey::matches(const Program& program) const
{
    for (int osc = 0; osc < kProgramOscillators; ++osc) {
        const auto o = static_cast<std::size_t>(osc);
        const std::string_view name = waveNameOf(program, osc);
        if (name != names[o]) {
            return false;
        }
        const AdditiveSettingsObject* settings = additiveSettingsOf(program, name);
        if (settings != nullptr && !sameHarmonics(*settings, additive[o])) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<const Wave> buildProgramWave(const WaveKey& key, int osc, WaveBank* bank, bool quiet, bool& built)
{
    const auto o = static_cast<std::size_t>(osc);
    const std::string& name = key.names[o];
    built = true;
    if (!WaveNameObject::namesWave(name)) {
        return nullptr;  // the slot stays empty
    }
    if (additiveSettingsOfWaveName(name) >= 0) {
        return additiveWaves().wave(key.additive[o]);
    }
    if (name.rfind(kAdditiveWavePrefix, 0) == 0 || bank == nullptr) {
        // A user-defined name without a valid settings number, or no bank: nothing to build.
        return nullptr;
    }
    std::shared_ptr<const Wave> wave;
    if (quiet) {
        built = bank->findWave(name, wave) == kArchiveOk;
    } else {
        WaveSlot loaded;
        built = bank->loadWave(name, loaded) == kArchiveOk;
        wave = loaded.shared();
    }
    return wave;
}

ProgramWaves buildProgramWaves(const WaveKey& key, WaveBank* bank, bool quiet)
{
    ProgramWaves result;
    for (int osc = 0; osc < kProgramOscillators; ++osc) {
        const auto o = static_cast<std::size_t>(osc);
        bool built = false;
        result.waves[o] = buildProgramWave(key, osc, bank, quiet, built);
        result.built[o] = built;
    }
    return result;
}

void BankWaves::keysOf(const ProgramBank& bank, std::array<WaveKey, kProgramCount>& keys)
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        keys[static_cast<std::size_t>(slot)] = WaveKey::of(bank.program(slot));
    }
}

void BankWaves::build(Update& update, const std::array<WaveKey, kProgramCount>& installed,
                      const std::array<bool, kProgramCount>& installedValid, WaveBank* waveBank)
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        update.changed[s] = !installedValid[s] || !(update.keys[s] == installed[s]);
        if (!update.changed[s]) {
            continue;
        }
        // A slot with the key of a slot built earlier in this pass shares its waves.
        bool shared = false;
        for (std::size_t earlier = 0; earlier < s && !shared; ++earlier) {
            if (update.changed[earlier] && update.keys[earlier] == update.keys[s]) {
                update.waves[s] = update.waves[earlier];
                shared = true;
            }
        }
        if (!shared) {
            update.waves[s] = buildProgramWaves(update.keys[s], waveBank, true);
        }
    }
}

void BankWaves::install(Update& update)
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        if (update.changed[s]) {
            keys_[s].names.swap(update.keys[s].names);
            keys_[s].additive.swap(update.keys[s].additive);
            std::swap(waves_[s], update.waves[s]);
            valid_[s] = true;
        }
    }
}

void BankWaves::clear()
{
    for (int slot = 0; slot < kProgramCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        waves_[s] = ProgramWaves();
        valid_[s] = false;
    }
}

const ProgramWaves* BankWaves::ready(int slot, const Program& program) const
{
    if (slot < 0 || slot >= kProgramCount) {
        return nullptr;
    }
    const auto s = static_cast<std::size_t>(slot);
    if (!valid_[s] || !waves_[s].complete() || !keys_[s].matches(program)) {
        return nullptr;
    }
    return &waves_[s];
}

}  // namespace pelko
