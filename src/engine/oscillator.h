// One of the six oscillators of a voice. It plays a looped 16-bit zone of its wave (the zone
// chosen by key) with linear interpolation; the read position is the running phase plus a
// phase-offset envelope plus this sample's phase-modulation (FM) input. The raw sample, ±0.5 at
// full scale, goes through the optional waveshaper table blended in by the waveshaper envelope
// and is scaled by the amplitude envelope. Four envelopes per oscillator: amplitude, waveshaper,
// pitch (a frequency ratio, 1 = no change) and phase (an offset in samples).
//
// Units: phase, length and increment are in samples of the zone; the increment is samples per
// output sample at the current rate. Everything runs on the audio thread and allocates nothing.
#pragma once

#include "engine/active_envelopes.h"
#include "params/curve.h"
#include "engine/envelope_runner.h"
#include "engine/voice_context.h"
#include "wave/wave.h"

#include <array>
#include <cstdint>
#include <memory>

namespace pelko {

// What an oscillator needs to know about the note it starts.
struct NoteStart {
    const VoiceContext& context;
    int note = 0;             // 0–127
    int velocity = 0;         // 0–127
    float randomValue = 0.0f;  // the voice's random draw, in [−2, 2)
};

class Oscillator {
public:
    static constexpr float kSampleScale = 1.0f / 65536.0f;  // int16 → ±0.5

    // Prepares oscillator `index` (0–5) for the note and registers its changing envelopes (and
    // always its amplitude envelope, which decides when the oscillator ends).
    void start(const NoteStart& note, int index, ActiveEnvelopes& active);

    // Portamento: the pitch starts at `ratio` times its own and reaches it in `samples` samples.
    void setGlide(float ratio, int samples, float reciprocal);
    void resetGlide();

    // Aftertouch (0–127): waveshaper amount and FM depth follow the oscillator's pressure curves.
    void setAftertouch(int pressure, const VoiceContext& context, int index);

    // fmInput = fmDepth · Σ gain·modValues[source] over the sources with a non-zero gain (their
    // indices and gains listed in sources/gains, count of them), from the previous sample.
    void computeFmInput(const std::uint8_t* sources, const float* gains, int count, const float* modValues)
    {
        float sum = 0.0f;
        for (int k = 0; k < count; ++k) {
            sum += gains[k] * modValues[sources[k]];
        }
        fmInput_ = fmDepth_ * sum;
    }

    // One output sample. pitchFactor: the voice's global pitch envelope and pitch bend.
    [[gnu::always_inline]] float render(float pitchFactor)
    {
        if (silent_) {
            // Zero level for the whole note: every sample would be 0, so none is computed; the
            // amplitude envelope still decides when the oscillator ends.
            if (!amp_.running()) {
                active_ = false;
            }
            return 0.0f;
        }
        const float amp = amp_.output();
        if (glideSamplesLeft_ > 0) {
            // The last step lands exactly on the note (summing the steps would miss it slightly).
            glideRatio_ = --glideSamplesLeft_ > 0 ? glideRatio_ + glideStep_ : 1.0f;
        }
        const float pitchRatio = pitchMoves_ ? pitch_.output() : heldPitch_;
        const float phaseOffset = phaseMoves_ ? phaseEnvelope_.output() : heldPhase_;
        float newPhase = phase_ + glideRatio_ * pitchRatio * increment_ * pitchFactor;
        float pos = phaseOffset + fmInput_ + newPhase;
        if (pos < 0.0f) {
            pos += length_;
        }
        if (pos >= length_) {
            pos -= loopLength_;
        }
        if (!(pos >= 0.0f && pos < length_)) {
            pos = wrap(pos);
        }
        if (newPhase >= length_) {
            newPhase -= loopLength_;
        }
        if (!(newPhase >= 0.0f && newPhase < length_)) {
            newPhase = wrap(newPhase);
        }
        phase_ = newPhase;

        const auto i = static_cast<std::int32_t>(pos);  // pos ≥ 0: truncation is the floor
        const float s0 = samples_[i];
        const float s1 = samples_[i + 1];
        float s = (s0 + (s1 - s0) * (pos - static_cast<float>(i))) * kSampleScale;
        if (const float* table = shaperTable()) {
            const float p = (s + 0.5f) * 255.0f;
            std::int32_t k = static_cast<std::int32_t>(p);
            k = k < 0 ? 0 : (k > 255 ? 255 : k);
            const float y = table[k] + (table[k + 1] - table[k]) * (p - static_cast<float>(k));
            s += ((y - 0.5f) - s) * shaperAmount_ * (shaperMoves_ ? shaper_.output() : heldShaper_);
        }
        if (!amp_.running()) {
            active_ = false;
        }
        return s * amp;
    }

    // Note-off: every envelope goes into its release.
    void release();
    // Voice stolen or parked: the amplitude envelope fades out in 4000 samples.
    void fastFade();
    // Back from a fade: an enabled oscillator becomes active again and its amplitude rises back
    // to the interrupted segment's level in 100 samples.
    void resume();
    // Clears the running state after a non-finite value: phase and FM input start again from 0.
    void clearState();
    // Forgets the wave and the envelopes' shapes (the voice went back to the free pool).
    void dropWave();

    const Wave* wave() const { return wave_.get(); }
    bool enabled() const { return enabled_; }
    bool active() const { return active_; }
    float phase() const { return phase_; }
    float increment() const { return increment_; }
    float length() const { return length_; }

private:
    friend class VoiceLanes;

    const float* shaperTable() const { return shaperCurve_ != nullptr ? shaperCurve_->activeTable() : nullptr; }
    // Brings a position into 0 ≤ pos < length: negative positions wrap by the whole length,
    // positions past the end by the loop length; a non-finite one becomes 0.
    float wrap(float pos) const;
    void disable();

    // Hot fields first: render reads these every sample.
    float phase_ = 0.0f;
    float increment_ = 0.0f;
    float length_ = 1.0f;
    float loopLength_ = 1.0f;
    float fmInput_ = 0.0f;
    float fmDepth_ = 0.0f;
    float glideRatio_ = 1.0f;
    float glideStep_ = 0.0f;
    std::int32_t glideSamplesLeft_ = 0;
    float shaperAmount_ = 1.0f;
    const std::int16_t* samples_ = nullptr;
    const WaveshaperCurve* shaperCurve_ = nullptr;
    // Outputs of the envelopes that stay constant for the note, kept here so that rendering does
    // not reach into their runners.
    float heldPitch_ = 1.0f;
    float heldPhase_ = 0.0f;
    float heldShaper_ = 1.0f;
    bool pitchMoves_ = false;
    bool phaseMoves_ = false;
    bool shaperMoves_ = false;
    bool enabled_ = false;
    bool active_ = false;
    bool silent_ = false;  // the amplitude envelope's level scale is 0 for this note

    float fmDepthAtStart_ = 0.0f;
    float invRoot_ = 0.0f;
    // The voice's own reference: the wave stays valid while the note plays, whatever happens to
    // the slot.
    std::shared_ptr<const Wave> wave_;

    EnvelopeRunner amp_;
    EnvelopeRunner shaper_;
    EnvelopeRunner pitch_;
    EnvelopeRunner phaseEnvelope_;
};

}  // namespace pelko
