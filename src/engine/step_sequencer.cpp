#include "engine/step_sequencer.h"

#include "engine/engine_random.h"
#include "engine/voice_manager.h"
#include "params/engine_settings.h"

#include <algorithm>

namespace pelko {
namespace {

int clampMidi(int value) { return std::clamp(value, 0, 127); }

int nextStep(int current, const SequencerSettings& s)
{
    const int count = std::clamp(s.steps, 1, kSequencerSteps);
    if (!s.randomOrder) {
        const int next = current + 1;
        return next >= count ? 0 : next;
    }
    const int drawn = nextEngineRandom() >> 12;
    return drawn >= count ? drawn - count : drawn;
}

}  // namespace

void StepSequencer::advance(Voice& voice, VoiceManager& manager, const SequencerSettings& s)
{
    if (!voice.keyDown_) {
        return;
    }
    if (voice.parentNote_ != kKeyVoice) {
        if (--voice.gateCountdown_ <= 0) {
            voice.keyUp();
        }
        return;
    }
    if (--voice.stepCountdown_ > 0) {
        return;
    }
    // A step length below one sample (settings not yet derived) still steps once per sample.
    voice.stepCountdown_ = std::max(s.samplesPerStep, 1);
    voice.stepIndex_ = nextStep(voice.stepIndex_, s);
    const auto at = static_cast<std::size_t>(voice.stepIndex_);
    const int note = clampMidi(voice.note() + s.transpose[at]);
    const int velocity = clampMidi(voice.velocity() + s.velocityOffset[at]);
    if (velocity == 0) {
        return;
    }
    // While it spawns, the key voice is neither a stealing candidate nor a target of the
    // same-note rule.
    voice.parentNote_ = kSpawningVoice;
    Voice* child = manager.noteOn(note, velocity);
    voice.parentNote_ = kKeyVoice;
    if (child != nullptr) {
        child->parentNote_ = static_cast<std::uint8_t>(voice.note());
        child->gateCountdown_ = s.gateSamples[at];
    }
}

}  // namespace pelko
