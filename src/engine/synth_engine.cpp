// The processing loop: MIDI events applied at their sample positions, the voice sum with engine
// gain and balance, DC removal and the effect slots.
#include "engine/synth_engine.h"

#include "dsp/filters/filter_tables.h"
#include "engine/voice_manager.h"
#include "platform/messages.h"

#include <array>
#include <cfenv>
#include <cmath>
#include <new>
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

constexpr int kDefaultBendRange = 12;  // semitones, until the program's Bend Range applies


}  // namespace

float panLaw(int position)
{
    static const std::array<float, 128> table = [] {
        std::array<float, 128> t{};
        for (int i = 0; i < 128; ++i) {
            t[static_cast<std::size_t>(i)] = 0.5f + 0.5f * std::cos(3.14159265358979f * static_cast<float>(i) / 127.0f);
        }
        return t;
    }();
    return table[static_cast<std::size_t>(position < 0 ? 0 : (position > 127 ? 127 : position))];
}

SynthEngine::SynthEngine()
{
    // Every effect type is built once, so that type changes never allocate later.
    effects_.prepareAllTypes();
    context_.settings = &settings_;
    context_.frequencies = &notePitchTable_;
    context_.waves = waveSlots_.data();
    context_.sampleRate = sampleRate_;
    computePitchBendTableForSemitones(pitchBendTable_, kDefaultBendRange);
    context_.pitchBend = pitchBendTable_[64];
}

SynthEngine::~SynthEngine()
{
    if (voices_ != nullptr) {
        voices_->resetAll();
    }
    voices_.reset();
    for (WaveSlot& slot : waveSlots_) {
        slot.clear();
    }
    for (auto& wave : retiredWaves_) {
        wave.reset();
    }
}

void SynthEngine::attachProgram(const Program& program) { context_.program = &program; }

// ---- processing ---------------------------------------------------------------------------------

void SynthEngine::render(float* left, float* right, int frames, bool accumulate, EngineOwner& owner)
{
    std::fesetround(FE_TONEAREST);
    FlushDenormals flushDenormals;

    int position = 0;
    finishedUpTo_ = 0;
    while (position < frames) {
        // Every event due at or before this position, in the host's order.
        int runEnd = frames;
        TimedMidi event;
        bool isMidi = false;
        while (events_.peek(event, isMidi)) {
            if (event.frame > position) {
                runEnd = event.frame < frames ? event.frame : frames;
                break;
            }
            events_.advance();
            if (isMidi) {
                out_ = {left, right, position};
                handleMidi(event.bytes, owner);
            }
        }
        const float gainLeft = settings_.engineGain * leftBalance_;
        const float gainRight = settings_.engineGain * rightBalance_;
        renderPosition_.store(position, std::memory_order_relaxed);
        // Voices in lanes, a run at a time, whenever nothing needs the voices sample by sample.
        while (voices_ != nullptr && lanes_ && !voicesFading_ && settings_.sequencer.steps == 0 &&
               position < runEnd) {
            const int run = std::min(runEnd - position, static_cast<int>(runLeft_.size()));
            voices_->renderRun(runLeft_.data(), runRight_.data(), run);
            for (int n = 0; n < run; ++n, ++position) {
                if (accumulate) {
                    left[position] += runLeft_[static_cast<std::size_t>(n)] * gainLeft;
                    right[position] += runRight_[static_cast<std::size_t>(n)] * gainRight;
                } else {
                    left[position] = runLeft_[static_cast<std::size_t>(n)] * gainLeft;
                    right[position] = runRight_[static_cast<std::size_t>(n)] * gainRight;
                }
            }
        }
        for (; position < runEnd; ++position) {
            // No voices sound until the voice pool exists.
            float sumLeft = 0.0f;
            float sumRight = 0.0f;
            if (voices_ != nullptr) {
                voices_->renderSample(sumLeft, sumRight);
                if (voicesFading_) {
                    fadeVoiceSample(sumLeft, sumRight);
                }
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
    events_.clear();
    finishOutput(left, right, frames);
}

void SynthEngine::finishOutput(float* left, float* right, int upTo)
{
    const int from = finishedUpTo_;
    if (upTo <= from) {
        return;
    }
    finishedUpTo_ = upTo;
    if (settings_.dcRemove) {
        removeDc(left + from, right + from, upTo - from);
    }
    if (!settings_.fxBypass) {
        effects_.process(left + from, right + from, upTo - from);
    }
}

void SynthEngine::removeDc(float* left, float* right, int frames)
{
    // y = y₋₁·c + (x − x₋₁) ± 1e-24: the opposite tiny offsets keep both states out of the
    // denormal range.
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

void SynthEngine::handleMidi(const std::uint8_t* bytes, EngineOwner& owner)
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
        context_.aftertouch = 0;
        if (voices != nullptr) {
            voices->polyAftertouch(d1, d2);
        }
        break;
    case 0xB:
        handleController(d1, d2, owner);
        break;
    case 0xC:
        // What was rendered before the change is finished with the old program's DC filter and
        // effects, so that the output does not depend on where the host's blocks begin. The rest
        // of the block's events (often the notes that follow the change) still play.
        finishOutput(out_.left, out_.right, out_.position);
        owner.programChangeReceived(d1);
        break;
    case 0xD:
        context_.aftertouch = d1;
        if (voices != nullptr) {
            voices->broadcastAftertouch(d1);
        }
        break;
    case 0xE:
        context_.pitchBend = pitchBendTable_[static_cast<std::size_t>(d2)];
        if (voices != nullptr) {
            voices->broadcastPitchBend(context_.pitchBend);
        }
        break;
    default:
        break;  // system messages are ignored
    }
}

void SynthEngine::handleController(int controller, int value, EngineOwner& owner)
{
    switch (controller) {
    case 123:
        context_.sustainPedal = false;
        if (voices_ != nullptr) {
            voices_->allNotesOff();
        }
        return;
    case 64:
        context_.sustainPedal = value > 63;
        if (value <= 63 && voices_ != nullptr) {
            voices_->pedalUp();
        }
        return;
    case 10:
        leftBalance_ = panLaw(value);
        rightBalance_ = 1.0f - leftBalance_;
        return;
    default:
        owner.controllerReceived(controller, value);
        return;
    }
}

// ---- host state -----------------------------------------------------------------------------------

void SynthEngine::setSampleRate(float rate, const FilterTables& filterTables)
{
    sampleRate_ = rate;
    context_.sampleRate = rate;
    context_.filterTables = &filterTables;
    resetVoices();
    if (voices_ != nullptr) {
        voices_->prepareFilters(filterTables);
    }
    halfSamplePeriod_ = 0.5f / rate;
    effects_.setSampleRate(rate);
    restartOutput();
}

void SynthEngine::setBlockSize(int /*frames*/)
{
    resetVoices();
}

void SynthEngine::suspend()
{
    resetVoices();
    effects_.reset();
    restartOutput();
}

bool SynthEngine::setTempo(float beatsPerMinute)
{
    if (beatsPerMinute == context_.tempo) {
        return false;
    }
    context_.tempo = beatsPerMinute;
    effects_.setTempo(beatsPerMinute);
    return true;
}

void SynthEngine::restartOutput()
{
    outputState_.fill(0.0f);
    dcCoefficient_ = dcCoefficientFor(halfSamplePeriod_);
}

// ---- voices ---------------------------------------------------------------------------------------

void SynthEngine::setPolyphony(int voices)
{
    // Once built, the pool stays for the engine's life and only its limit changes, so that a host
    // value arriving on the audio thread neither allocates nor frees, and sounding voices go on.
    if (voices_ != nullptr) {
        voices_->setPolyphony(voices);
        return;
    }
    try {
        voices_ = std::make_unique<VoiceManager>(context_, voices);
    } catch (const std::bad_alloc&) {
        showMessage(kMsgOutOfMemory);
        return;
    }
    // Memory ran out while the pool was built: it is dropped at once, by the call that built it,
    // and the next call tries again.
    if (voices_->poolSize() < voices) {
        voices_.reset();
    }
}

void SynthEngine::resetVoices()
{
    if (voices_ != nullptr) {
        voices_->resetAll();
    }
    voicesFading_ = false;
    fadeGain_ = 1.0f;
}

void SynthEngine::fadeOutVoices()
{
    if (!voicesSounding() || voicesFading_) {
        return;
    }
    voicesFading_ = true;
    fadeGain_ = 1.0f;
    fadeStep_ = 1.0f / (kVoiceFadeSeconds * sampleRate_);
}

void SynthEngine::fadeVoiceSample(float& left, float& right)
{
    fadeGain_ -= fadeStep_;
    if (fadeGain_ <= 0.0f) {
        left = right = 0.0f;
        resetVoices();
        return;
    }
    left *= fadeGain_;
    right *= fadeGain_;
}

void SynthEngine::releaseAllVoices()
{
    if (voices_ != nullptr) {
        voices_->releaseAll();
    }
}

bool SynthEngine::voicesSounding() const { return voices_ != nullptr && voices_->anyPlaying(); }

void SynthEngine::broadcastCutoff(int filter)
{
    if (voices_ != nullptr) {
        voices_->broadcastCutoff(filter, settings_.cutoff[static_cast<std::size_t>(filter)]);
    }
}

void SynthEngine::broadcastResonance(int filter)
{
    if (voices_ != nullptr) {
        voices_->broadcastResonance(filter, settings_.resonance[static_cast<std::size_t>(filter)]);
    }
}

// ---- what the voices read -------------------------------------------------------------------------

void SynthEngine::setPitchBendRange(int semitones) { computePitchBendTableForSemitones(pitchBendTable_, semitones); }

void SynthEngine::applyTuning(bool globalOn, const TuningScale& global, const TuningScale& program)
{
    pelko::applyTuning(notePitchTable_, globalOn, global, program);
    // Keys whose pitch comes out as 0 Hz, negative or infinite play their equal-tempered pitch.
    makePlayable(notePitchTable_);
}

void SynthEngine::setFilterType(int filter, int typeId) { context_.filterTypes[static_cast<std::size_t>(filter)] = typeId; }

void SynthEngine::setProductBusInputs(int bus, const std::array<int, 3>& oscillators)
{
    context_.busInputs[static_cast<std::size_t>(bus)] = oscillators;
}

void SynthEngine::setWave(int osc, std::shared_ptr<const Wave> wave) noexcept
{
    retireWave(waveSlots_[static_cast<std::size_t>(osc)].replace(std::move(wave)));
}

void SynthEngine::retireWave(std::shared_ptr<const Wave> wave) noexcept
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

void SynthEngine::dropRetiredWaves()
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

}  // namespace pelko
