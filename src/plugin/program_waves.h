// The six waves a program plays, built off the processing lock, and the waves of every bank slot,
// kept ready so that a program change arriving as MIDI on the audio thread only swaps them in.
//
// A wave is named by its oscillator's shape object: a wave of the wave bank (shared by name through
// the bank's cache), a "User-Defined" wave built from the program's additive settings, or none.
#pragma once

#include "params/program.h"
#include "wave/wave.h"

#include <array>
#include <memory>
#include <string>

namespace pelko {

class WaveBank;

constexpr int kProgramOscillators = 6;

struct ProgramWaves {
    std::array<std::shared_ptr<const Wave>, kProgramOscillators> waves;
    // False where a wave is named but could not be built (its file is missing or damaged).
    std::array<bool, kProgramOscillators> built{};
    bool complete() const;
};

// What a program's waves are made from: the six names and, for a "User-Defined" wave, the
// additive settings it is built from (64 levels, then 64 phases). Equal keys give equal waves.
struct WaveKey {
    using Harmonics = std::array<float, 128>;
    std::array<std::string, kProgramOscillators> names;
    std::array<Harmonics, kProgramOscillators> additive{};

    static WaveKey of(const Program& program);
    bool operator==(const WaveKey&) const = default;
    // Whether program still has this key; compares in place, without allocating.
    bool matches(const Program& program) const;
};

// [ui] Builds the wave of oscillator osc. A wave of the bank that cannot be loaded shows message
// 19 unless quiet. Never called with the processing lock held: decoding and building take time.
std::shared_ptr<const Wave> buildProgramWave(const WaveKey& key, int osc, WaveBank* bank, bool quiet, bool& built);
ProgramWaves buildProgramWaves(const WaveKey& key, WaveBank* bank, bool quiet);

// The waves of the 64 bank slots. Refreshing rebuilds only the slots whose key changed and shares
// equal waves between slots; reading a slot on the audio thread copies shared pointers only.
class BankWaves {
public:
    // [ui] The keys of the bank's slots; the caller holds the processing lock.
    static void keysOf(const ProgramBank& bank, std::array<WaveKey, kProgramCount>& keys);
    struct Update {
        std::array<bool, kProgramCount> changed{};
        std::array<WaveKey, kProgramCount> keys;
        std::array<ProgramWaves, kProgramCount> waves;
    };
    // [ui, no lock] Builds, quietly, the waves of every slot whose key differs from the installed
    // one (`installed`: a copy of keys() taken under the lock with `keys`). Equal keys share waves.
    // `update.keys` holds the bank's keys on entry.
    static void build(Update& update, const std::array<WaveKey, kProgramCount>& installed,
                      const std::array<bool, kProgramCount>& installedValid, WaveBank* waveBank);
    // [under the lock] Installs an update; what it replaces goes back in the update, to be freed
    // after the lock is released.
    void install(Update& update);

    // [audio, under the lock] The waves of slot `slot` if they are ready for the program it holds.
    const ProgramWaves* ready(int slot, const Program& program) const;
    const std::array<WaveKey, kProgramCount>& keys() const { return keys_; }
    // Forgets every slot (the waves are let go).
    void clear();
    const std::array<bool, kProgramCount>& valid() const { return valid_; }

private:
    std::array<WaveKey, kProgramCount> keys_;
    std::array<ProgramWaves, kProgramCount> waves_;
    std::array<bool, kProgramCount> valid_{};
};

}  // namespace pelko
