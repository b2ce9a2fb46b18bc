#include "dsp/effects/effect.h"

#include "dsp/effects/delay_line.h"
#include "dsp/effects/effect_display.h"
#include "dsp/effects/quadrature_lfo.h"
#include "dsp/effects/tempo_sync.h"

namespace pelko {
namespace {

float unit(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }
bool validIndex(int index) { return index >= 0 && index < kEffectParameters; }

}  // namespace

Effect::Effect(const EffectKind& kind, float sampleRate)
    : kind_(kind),
      sampleRate_(usableSampleRate(sampleRate, kDefaultSampleRate)),
      invSampleRate_(1.0f / sampleRate_),
      bpm_(kDefaultTempo),
      invBpm_(1.0f / kDefaultTempo)
{
}

void Effect::applyDefaults()
{
    for (int i = 0; i < kEffectParameters; ++i) {
        setParam(i, kind_.parameters[static_cast<std::size_t>(i)].defaultValue);
    }
}

float Effect::setParam(int index, float value)
{
    if (!validIndex(index)) {
        return 0.0f;
    }
    value = unit(value);
    params_[static_cast<std::size_t>(index)] = value;
    applyParam(index, value);
    return isSynced(index) ? syncStepValue(syncStepIndex(value)) : value;
}

float Effect::param(int index) const { return validIndex(index) ? params_[static_cast<std::size_t>(index)] : 0.0f; }

const char* Effect::paramName(int index) const
{
    return validIndex(index) ? kind_.parameters[static_cast<std::size_t>(index)].label : "";
}

void Effect::paramDisplay(int index, char* text, std::size_t size) const
{
    if (text == nullptr || size == 0) {
        return;
    }
    if (!validIndex(index)) {
        text[0] = '\0';
    } else if (isSynced(index)) {
        formatSyncStep(param(index), text, size);
    } else if (isBipolar(index)) {
        formatSignedValue(param(index), text, size);
    } else {
        formatPlainValue(param(index), text, size);
    }
}

bool Effect::isBipolar(int index) const
{
    return validIndex(index) && kind_.parameters[static_cast<std::size_t>(index)].bipolar;
}

bool Effect::isSynced(int index) const
{
    return tempoSync_ && validIndex(index) && kind_.parameters[static_cast<std::size_t>(index)].synced;
}

void Effect::setSampleRate(float sampleRate)
{
    const float rate = usableSampleRate(sampleRate, sampleRate_);
    if (rate != sampleRate_) {
        sampleRate_ = rate;
        invSampleRate_ = 1.0f / rate;
        sampleRateChanged();
    }
    for (int i = 0; i < kEffectParameters; ++i) {
        applyParam(i, params_[static_cast<std::size_t>(i)]);
    }
}

void Effect::setTempo(float bpm)
{
    if (!isUsableTempo(bpm)) {
        return;
    }
    bpm_ = bpm;
    invBpm_ = 1.0f / bpm;
    if (tempoSync_) {
        reapplySynced();
    }
}

void Effect::setTempoSync(bool on, float bpm)
{
    if (on == tempoSync_) {
        return;
    }
    tempoSync_ = on;
    if (isUsableTempo(bpm)) {
        bpm_ = bpm;
        invBpm_ = 1.0f / bpm;
    }
    reapplySynced();
}

void Effect::setMix(float mix) { mix_ = unit(mix); }

void Effect::reapplySynced()
{
    for (int i = 0; i < kEffectParameters; ++i) {
        if (kind_.parameters[static_cast<std::size_t>(i)].synced) {
            applyParam(i, params_[static_cast<std::size_t>(i)]);
        }
    }
}

int Effect::syncedDelaySamples(float value) const
{
    return delaySamples(syncStepBeats(syncStepIndex(value)) * invBpm_ * sampleRate_ * 60.0f);
}

int Effect::slowestSyncedDelaySamples(float value) const
{
    return delaySamples(syncStepBeats(syncStepIndex(value)) * (60.0f / kMinTempo) * sampleRate_) + 1;
}

float Effect::syncedRateHz(float value) const { return 30.0f * syncStepBeats(syncStepIndex(value)) * invBpm_; }

float Effect::rateCoefficient(int index, float value, float freeHz) const
{
    return coefficientForHz(isSynced(index) ? syncedRateHz(value) : freeHz);
}

float Effect::coefficientForHz(float hz) const { return lfoCoefficient(hz, invSampleRate_); }

void Effect::visitValues(EffectStateVisitor& visitor, std::initializer_list<float> values)
{
    visitor.visit(std::span<const float>(values.begin(), values.size()));
}

void Effect::visitLine(EffectStateVisitor& visitor, const DelayLine& line)
{
    visitor.visit(line.contents());
    visitor.lineCapacity(line.capacity());
}

}  // namespace pelko
