// The effect interface of the two effect slots.
//
// An effect processes a stereo block, has six parameters 0…1, a dry/wet mix and a tempo-sync
// switch. Each effect family declares an `EffectKind`: its stored type id, its name, and per
// parameter the label, the default, whether it is a time or rate that follows tempo sync, and
// whether it is shown as a signed value. The base class keeps the common state (parameters,
// sample rate, mix, tempo, sync flag, denormal guard), snaps synced values to the step table,
// formats displays from the kind, and re-applies parameters when the sample rate or the tempo
// changes. A family implements `applyParam` (recompute what depends on one parameter),
// `process`, `reset`, and, when lengths depend on the rate, `sampleRateChanged`.
//
// Adding an effect: write its unit (an EffectKind with its stored id, name and parameter list,
// and a class that reserves its lines in the constructor and `sampleRateChanged`, then calls
// applyDefaults), and add its row to the menu-ordered table in effect_factory.cpp. Stored ids
// never change once programs use them.
//
// Threads: an effect is not synchronised. Its owner (the effect slots) calls everything under
// the plug-in's processing lock. `process` never allocates. Parameter, tempo and sync changes
// do not allocate either, except that off the audio thread a synced delay line grows the first
// time a longer step is chosen; on the audio thread such a line keeps the longest time that fits
// and is marked shortened until growShortenedLines runs elsewhere. reserveSyncedTimes, sample-rate
// changes and construction allocate.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>

namespace pelko {

class DelayLine;

constexpr int kEffectParameters = 6;

struct EffectParameterInfo {
    const char* label = "";  // "" where the effect has fewer than six parameters
    float defaultValue = 0.0f;
    bool synced = false;   // a time or rate that snaps to the step table while tempo sync is on
    bool bipolar = false;  // displayed as a signed value
};

struct EffectKind {
    int typeId = 0;     // stored in programs
    const char* name = "";
    std::array<EffectParameterInfo, kEffectParameters> parameters{};
};

// Receives every piece of an effect's audio state (filter states, delay lines, LFOs), for
// checks such as "nothing is denormal" or "reset cleared everything".
class EffectStateVisitor {
public:
    virtual void visit(std::span<const float> values) = 0;
    // Called once per delay line with the samples it has room for.
    virtual void lineCapacity(int samples) { (void)samples; }

protected:
    ~EffectStateVisitor() = default;
};

class Effect {
public:
    virtual ~Effect() = default;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    const EffectKind& kind() const { return kind_; }
    int typeId() const { return kind_.typeId; }
    const char* name() const { return kind_.name; }

    // Stores v (clamped to 0…1; NaN becomes 0) and recomputes what depends on it. Returns the
    // value in effect: a synced parameter's value snapped to its step (k · 0.04) while tempo
    // sync is on, otherwise v. Indices outside 0…5 are ignored (returns 0).
    float setParam(int index, float value);
    float param(int index) const;
    const char* paramName(int index) const;
    // Display text: the step name for a synced parameter while sync is on, the signed format
    // for the bipolar parameter, the plain format otherwise.
    virtual void paramDisplay(int index, char* text, std::size_t size) const;
    bool isBipolar(int index) const;
    // True while the parameter snaps to the step table (sync on and the parameter is a synced
    // time or rate); the host then treats it as discrete.
    bool isSynced(int index) const;

    // Processes `frames` stereo frames; the outputs may be the inputs. Frames ≤ 0 do nothing.
    virtual void process(const float* inL, const float* inR, float* outL, float* outR, int frames) = 0;
    // Clears the audio state (delay lines, filter states); keeps the parameters.
    virtual void reset() = 0;

    // Unusable rates keep the current one (see usableSampleRate). A new rate re-sizes the
    // rate-dependent lines, then every parameter is re-applied in order.
    void setSampleRate(float sampleRate);
    // Unusable tempos are ignored (see isUsableTempo). While sync is on, the synced parameters
    // are re-applied for the new tempo.
    void setTempo(float bpm);
    // When `on` differs from the current flag: stores it and the tempo, and re-applies the
    // synced parameters. Otherwise nothing happens.
    void setTempoSync(bool on, float bpm);

    // Dry/wet: output = dry + (wet − dry) · mix (some effects use mix in their own way).
    void setMix(float mix);
    float mix() const { return mix_; }

    float sampleRate() const { return sampleRate_; }
    float tempo() const { return bpm_; }
    bool tempoSync() const { return tempoSync_; }

    virtual void visitState(EffectStateVisitor& visitor) const = 0;

    // Grows the lines that the synced times of these six parameter values can need at any usable
    // tempo, so that choosing them later (a program change on the audio thread) takes no memory.
    // The reservation only grows and is kept across sample-rate changes. Effects without synced
    // lines ignore it. [not audio]
    virtual void reserveSyncedTimes(const std::array<float, kEffectParameters>& values) { (void)values; }
    // True while a synced time chosen on the audio thread did not fit its line and plays shorter.
    virtual bool linesShortened() const { return false; }
    // Grows the shortened lines and re-applies their times. [not audio]
    virtual void growShortenedLines() {}

protected:
    Effect(const EffectKind& kind, float sampleRate);

    // Applies every default through setParam; the family's constructor calls it last.
    void applyDefaults();
    virtual void applyParam(int index, float value) = 0;
    // Called with the new rate already stored, before the parameters are re-applied.
    virtual void sampleRateChanged() {}

    float invSampleRate() const { return invSampleRate_; }
    float denormalGuard() const { return denormalGuard_; }
    void flipDenormalGuard() { denormalGuard_ = -denormalGuard_; }
    float mixed(float dry, float wet) const { return dry + (wet - dry) * mix_; }

    // A synced delay of the step of v: trunc(beats · 60 / bpm · sampleRate) samples.
    int syncedDelaySamples(float value) const;
    // The same step at the slowest usable tempo: what a synced line reserves so that tempo
    // changes never allocate.
    int slowestSyncedDelaySamples(float value) const;
    // A synced rate in Hz: 30 · beats / bpm.
    float syncedRateHz(float value) const;
    // LFO coefficient of parameter `index`: synced rate while it follows sync, else `freeHz`.
    float rateCoefficient(int index, float value, float freeHz) const;
    float coefficientForHz(float hz) const;

    static void visitValues(EffectStateVisitor& visitor, std::initializer_list<float> values);
    static void visitLine(EffectStateVisitor& visitor, const DelayLine& line);

private:
    void reapplySynced();

    const EffectKind& kind_;
    std::array<float, kEffectParameters> params_{};
    float sampleRate_;
    float invSampleRate_;
    float mix_ = 0.5f;
    float bpm_;
    float invBpm_;
    bool tempoSync_ = false;
    float denormalGuard_ = 1e-24f;
};

}  // namespace pelko
