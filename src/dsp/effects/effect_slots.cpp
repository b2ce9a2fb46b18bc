#include "dsp/effects/effect_slots.h"

#include "dsp/effects/off_effect.h"
#include "dsp/effects/tempo_sync.h"
#include "platform/debug_output.h"
#include "platform/threads.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pelko {
namespace {

float unit(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

// x · 0 is 0 for every finite x and NaN otherwise.
bool allFinite(const float* left, const float* right, int frames)
{
    float sum = 0.0f;
    for (int i = 0; i < frames; ++i) {
        sum += left[i] * 0.0f + right[i] * 0.0f;
    }
    return sum == 0.0f;
}

void reportUnknownType(int typeId)
{
    char text[96];
    std::snprintf(text, sizeof text, "effect slot: unknown effect type id %d, the slot is set to Off", typeId);
    debugOutput(text);
}

}  // namespace

EffectSlots::EffectSlots()
    : scratch_(4 * static_cast<std::size_t>(kChunkFrames), 0.0f),
      sampleRate_(kDefaultSampleRate),
      tempo_(kDefaultTempo)
{
    for (Slot& slot : slots_) {
        slot.effect = createEffect(0, sampleRate_);
    }
}

EffectSlots::~EffectSlots() = default;

void EffectSlots::setType(int slotIndex, int typeId)
{
    if (!validSlot(slotIndex)) {
        return;
    }
    // Diagnostics are written off the audio thread only; one found there waits for the next
    // type change made elsewhere.
    const bool audio = onAudioThread();
    if (unreportedType_ && !audio) {
        unreportedType_ = false;
        reportUnknownType(unreportedTypeId_);
    }
    int menuIndex = effectMenuIndex(typeId);
    if (menuIndex < 0) {
        if (audio) {
            unreportedTypeId_ = typeId;
            unreportedType_ = true;
        } else {
            reportUnknownType(typeId);
        }
        menuIndex = 0;
    }
    Slot& slot = slots_[slotIndex];
    std::unique_ptr<Effect> next = std::move(slot.shelf[menuIndex]);
    if (slot.effect != nullptr) {
        const int current = effectMenuIndex(slot.effect->typeId());
        slot.shelf[current] = std::move(slot.effect);
        if (current == menuIndex) {
            next = std::move(slot.shelf[current]);
        }
    }
    if (next == nullptr) {
        next = createEffect(effectKindAtMenuIndex(menuIndex).typeId, sampleRate_);
    }
    install(slot, std::move(next));
}

void EffectSlots::install(Slot& slot, std::unique_ptr<Effect> effect)
{
    if (effect->sampleRate() != sampleRate_) {
        effect->setSampleRate(sampleRate_);
    }
    effect->setTempo(tempo_);
    effect->reset();
    for (int i = 0; i < kEffectParameters; ++i) {
        effect->setParam(i, slot.values[static_cast<std::size_t>(i)]);
    }
    effect->setMix(slot.mix);
    effect->setTempoSync(slot.sync, tempo_);
    slot.effect = std::move(effect);
}

void EffectSlots::prepareAllTypes()
{
    for (Slot& slot : slots_) {
        const int current = effectMenuIndex(slot.effect->typeId());
        for (int i = 0; i < kEffectTypeCount; ++i) {
            if (i != current && slot.shelf[i] == nullptr) {
                slot.shelf[i] = createEffect(effectKindAtMenuIndex(i).typeId, sampleRate_);
            }
        }
    }
}

void EffectSlots::reserveSyncedTimes(int slotIndex, int typeId, const std::array<float, kEffectParameters>& values)
{
    if (!validSlot(slotIndex)) {
        return;
    }
    Slot& slot = slots_[slotIndex];
    if (slot.effect != nullptr && slot.effect->typeId() == typeId) {
        slot.effect->reserveSyncedTimes(values);
    }
    for (std::unique_ptr<Effect>& shelved : slot.shelf) {
        if (shelved != nullptr && shelved->typeId() == typeId) {
            shelved->reserveSyncedTimes(values);
        }
    }
}

bool EffectSlots::linesShortened() const
{
    return slots_[0].effect->linesShortened() || slots_[1].effect->linesShortened();
}

void EffectSlots::growShortenedLines()
{
    for (Slot& slot : slots_) {
        slot.effect->growShortenedLines();
    }
}

void EffectSlots::swapSlots()
{
    // The shelves travel with their effects: each slot keeps at most one object per type.
    std::swap(slots_[0], slots_[1]);
}

float EffectSlots::setParameter(int slot, int index, float value)
{
    if (!validSlot(slot) || index < 0 || index >= kEffectParameters) {
        return 0.0f;
    }
    value = unit(value);
    slots_[slot].values[static_cast<std::size_t>(index)] = value;
    return slots_[slot].effect->setParam(index, value);
}

void EffectSlots::setDryWet(int slot, float value)
{
    if (validSlot(slot)) {
        slots_[slot].mix = unit(value);
        slots_[slot].effect->setMix(slots_[slot].mix);
    }
}

void EffectSlots::setTempoSync(int slot, bool on)
{
    if (validSlot(slot)) {
        slots_[slot].sync = on;
        slots_[slot].effect->setTempoSync(on, tempo_);
    }
}

void EffectSlots::setSerial(bool serial)
{
    if (serial != serial_) {
        serial_ = serial;
        reset();
    }
}

void EffectSlots::setBypass(bool bypass) { bypass_ = bypass; }

bool EffectSlots::setTempo(double bpm)
{
    if (!isUsableTempo(bpm) || static_cast<float>(bpm) == tempo_) {
        return false;
    }
    tempo_ = static_cast<float>(bpm);
    for (Slot& slot : slots_) {
        slot.effect->setTempo(tempo_);
    }
    return true;
}

void EffectSlots::setSampleRate(double sampleRate)
{
    const float rate = usableSampleRate(sampleRate, sampleRate_);
    if (rate == sampleRate_) {
        return;
    }
    sampleRate_ = rate;
    for (Slot& slot : slots_) {
        slot.effect->setSampleRate(rate);
        for (std::unique_ptr<Effect>& shelved : slot.shelf) {
            if (shelved != nullptr) {
                shelved->setSampleRate(rate);
            }
        }
    }
}

void EffectSlots::reset()
{
    for (Slot& slot : slots_) {
        slot.effect->reset();
    }
}

void EffectSlots::process(float* left, float* right, int frames)
{
    if (bypass_ || frames <= 0 || left == nullptr || right == nullptr) {
        return;
    }
    for (int done = 0; done < frames;) {
        const int n = std::min(kChunkFrames, frames - done);
        runChunk(left + done, right + done, n);
        done += n;
    }
}

void EffectSlots::runChunk(float* left, float* right, int frames)
{
    Effect& first = *slots_[0].effect;
    Effect& second = *slots_[1].effect;
    if (serial_) {
        first.process(left, right, left, right, frames);
        second.process(left, right, left, right, frames);
    } else {
        float* p = scratch_.data();
        float* q = p + kChunkFrames;
        float* s = q + kChunkFrames;
        float* t = s + kChunkFrames;
        // "Off" writes nothing: its pair must hold silence, not an older chunk.
        std::fill_n(p, 4 * kChunkFrames, 0.0f);
        first.process(left, right, p, q, frames);
        second.process(left, right, s, t, frames);
        for (int i = 0; i < frames; ++i) {
            left[i] = p[i] + s[i];
            right[i] = q[i] + t[i];
        }
    }
    if (!allFinite(left, right, frames)) {
        std::fill_n(left, frames, 0.0f);
        std::fill_n(right, frames, 0.0f);
        reset();
    }
}

int EffectSlots::effectType(int slot) const { return validSlot(slot) ? slots_[slot].effect->typeId() : 0; }

bool EffectSlots::bothSlotsHaveEffects() const { return effectType(0) != 0 && effectType(1) != 0; }

const Effect& EffectSlots::effect(int slot) const { return *slots_[validSlot(slot) ? slot : 0].effect; }

bool EffectSlots::isDiscrete(int slot, int index) const
{
    return validSlot(slot) && slots_[slot].effect->isSynced(index);
}

void EffectSlots::display(int slot, int index, char* text, std::size_t size) const
{
    if (text == nullptr || size == 0) {
        return;
    }
    if (!validSlot(slot)) {
        text[0] = '\0';
        return;
    }
    slots_[slot].effect->paramDisplay(index, text, size);
}

const char* EffectSlots::parameterName(int slot, int index) const
{
    return validSlot(slot) ? slots_[slot].effect->paramName(index) : "";
}

float EffectSlots::parameter(int slot, int index) const
{
    return validSlot(slot) && index >= 0 && index < kEffectParameters
               ? slots_[slot].values[static_cast<std::size_t>(index)]
               : 0.0f;
}

float EffectSlots::dryWet(int slot) const { return validSlot(slot) ? slots_[slot].mix : 0.0f; }
bool EffectSlots::tempoSync(int slot) const { return validSlot(slot) && slots_[slot].sync; }

}  // namespace pelko
