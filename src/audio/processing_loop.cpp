// The processing loop: host tempo, MIDI events applied at their sample positions, the voice sum
// with engine gain and balance, DC removal and the effect slots.
#include "plugin/synth_plugin.h"

#include "audio/controller_map.h"
#include "dsp/effects/tempo_sync.h"
#include "engine/voice_manager.h"
#include "platform/threads.h"

#include <cfenv>
#include <cmath>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace pelko {
namespace {

// Denormal numbers are flushed to zero (inputs and results) for the block and the host's setting
// is restored afterwards: decaying envelopes, filters and effect tails then never fall into the
// slow denormal range.
class FlushDenormals {
public:
#if defined(__SSE__)
    FlushDenormals() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); }
    ~FlushDenormals() { _mm_setcsr(saved_); }

private:
    unsigned saved_;
#endif
};

}  // namespace

void SynthPlugin::handleProcessEvents(const vst2::VstEvents* events)
{
    LockGuard lock(processLock_);
    // Events that arrive while a program is being selected are dropped, never replayed.
    if (events == nullptr || masterGain_.load(std::memory_order_relaxed) == 0.0f) {
        pendingEvents_ = nullptr;
        pendingEventCount_ = 0;
        nextEvent_ = 0;
        return;
    }
    pendingEvents_ = events;
    pendingEventCount_ = events->numEvents > 0 ? events->numEvents : 0;
    nextEvent_ = 0;
}

void SynthPlugin::processReplacing(float** outputs, int frames) { render(outputs, frames, false); }

void SynthPlugin::processAccumulating(float** outputs, int frames) { render(outputs, frames, true); }

void SynthPlugin::readHostTempo()
{
    auto* info = reinterpret_cast<const vst2::VstTimeInfo*>(
        hostCall(vst2::audioMasterGetTime, 0, vst2::kVstTempoValid));
    // A tempo outside the usable range is a host error: the last usable tempo stays.
    if (info == nullptr || (info->flags & vst2::kVstTempoValid) == 0 || !isUsableTempo(info->tempo)) {
        return;
    }
    auto tempo = static_cast<float>(info->tempo);
    LockGuard lock(processLock_);
    if (tempo != tempo_) {
        tempo_ = tempo;
        beatPeriod_ = 1.0f / tempo;
        voiceContext_.tempo = tempo;
        setParameter(166, editBuffer_.values[166]);
        effects_.setTempo(tempo);
    }
}

void SynthPlugin::render(float** outputs, int frames, bool accumulate)
{
    if (frames <= 0 || outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr) {
        pendingEvents_ = nullptr;
        pendingEventCount_ = 0;
        return;
    }
    AudioThreadScope audioThread;
    if (hostTempoFollowing_) {
        readHostTempo();
    }
    std::fesetround(FE_TONEAREST);
    FlushDenormals flushDenormals;

    float* left = outputs[0];
    float* right = outputs[1];
    LockGuard lock(processLock_);
    int position = 0;
    while (position < frames) {
        // Every event due at or before this position, in the host's order.
        int runEnd = frames;
        while (pendingEvents_ != nullptr && nextEvent_ < pendingEventCount_) {
            const vst2::VstEvent* event = pendingEvents_->events[nextEvent_];
            int due = event != nullptr ? event->deltaFrames : 0;
            if (due > position) {
                runEnd = due < frames ? due : frames;
                break;
            }
            ++nextEvent_;
            if (event != nullptr && event->type == vst2::kVstMidiType) {
                handleMidi(reinterpret_cast<const std::uint8_t*>(
                    reinterpret_cast<const vst2::VstMidiEvent*>(event)->midiData));
            }
        }
        const float gainLeft = engine_.engineGain * leftBalance_;
        const float gainRight = engine_.engineGain * rightBalance_;
        renderPosition_.store(position, std::memory_order_relaxed);
        for (; position < runEnd; ++position) {
            // No voices sound until the voice pool exists.
            float sumLeft = 0.0f;
            float sumRight = 0.0f;
            if (voices_ != nullptr) {
                voices_->renderSample(sumLeft, sumRight);
            }
            if (accumulate) {
                left[position] += sumLeft * gainLeft;
                right[position] += sumRight * gainRight;
            } else {
                left[position] = sumLeft * gainLeft;
                right[position] = sumRight * gainRight;
            }
        }
    }
    // Events beyond the block are dropped.
    pendingEvents_ = nullptr;
    pendingEventCount_ = 0;
    nextEvent_ = 0;

    if (engine_.dcRemove) {
        float xl = outputState_[0], yl = outputState_[1], xr = outputState_[2], yr = outputState_[3];
        const float c = dcCoefficient_;
        for (int i = 0; i < frames; ++i) {
            float inL = left[i];
            yl = yl * c + (inL - xl) + 1e-24f;
            xl = inL;
            left[i] = yl;
            float inR = right[i];
            yr = yr * c + (inR - xr) - 1e-24f;
            xr = inR;
            right[i] = yr;
        }
        outputState_ = {xl, yl, xr, yr};
    }
    if (!engine_.fxBypass) {
        effects_.process(left, right, frames);
    }
}

void SynthPlugin::handleMidi(const std::uint8_t* bytes)
{
    int status = bytes[0] >> 4;
    int d1 = bytes[1] & 0x7F;
    int d2 = bytes[2] & 0x7F;
    // Notes and pressure are ignored while no voice pool exists.
    VoiceManager* voices = voices_.get();
    switch (status) {
    case 0x8:
        if (voices != nullptr) {
            voices->noteOff(d1);
        }
        break;
    case 0x9:
        if (voices != nullptr) {
            if (d2 == 0) {
                voices->noteOff(d1);
            } else {
                voices->noteOn(d1, d2);
            }
        }
        break;
    case 0xA:
        voiceContext_.aftertouch = 0;
        if (voices != nullptr) {
            voices->polyAftertouch(d1, d2);
        }
        break;
    case 0xB:
        handleController(d1, d2);
        break;
    case 0xC:
        if (d1 < kProgramCount) {
            // The rest of the block's events (often the notes that follow the change) still play.
            dispatch(vst2::effSetProgram, 0, d1, nullptr, 0.0f);
        }
        break;
    case 0xD:
        voiceContext_.aftertouch = d1;
        if (voices != nullptr) {
            voices->broadcastAftertouch(d1);
        }
        break;
    case 0xE:
        voiceContext_.pitchBend = pitchBendTable_[static_cast<std::size_t>(d2)];
        if (voices != nullptr) {
            voices->broadcastPitchBend(voiceContext_.pitchBend);
        }
        break;
    default:
        break;  // system messages are ignored
    }
}

void SynthPlugin::handleController(int controller, int value)
{
    switch (controller) {
    case 123:
        voiceContext_.sustainPedal = false;
        if (voices_ != nullptr) {
            voices_->allNotesOff();
        }
        return;
    case 64:
        voiceContext_.sustainPedal = value > 63;
        if (value <= 63 && voices_ != nullptr) {
            voices_->pedalUp();
        }
        return;
    case 10:
        leftBalance_ = panLaw(value);
        rightBalance_ = 1.0f - leftBalance_;
        return;
    case 96:
    case 97: {
        std::uint8_t p = parameterOfController(value);
        if (p == kNoController) {
            return;
        }
        float stored = editBuffer_.values[p];
        float step = parameterTable()[p].step;
        float v = controller == 96 ? std::min(stored + step, 1.0f) : std::max(stored - step, 0.0f);
        if (v != stored) {
            setParameter(p, v);
        }
        return;
    }
    default:
        break;
    }
    if (learnTarget_ != kNoLearnTarget) {
        assignController(learnTarget_, controller);
        learnTarget_ = kNoLearnTarget;
        return;
    }
    std::uint8_t p = parameterOfController(controller);
    if (p != kNoController) {
        setParameter(p, static_cast<float>(value) * 0.007874016f);
    }
}

}  // namespace pelko
