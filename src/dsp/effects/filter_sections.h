// Small filters shared by several effects.
#pragma once

namespace pelko {

// One-pole lowpass at F Hz: g = sampleRate / (2π·F), y = (g·y + x + 1e-24) / (g + 1).
// The constant keeps the state away from denormals in silence.
class OnePoleLowpass {
public:
    void setCutoff(float hz, float invSampleRate);
    float process(float x)
    {
        y_ = (g_ * y_ + x + 1e-24f) * norm_;
        return y_;
    }
    void reset() { y_ = 0.0f; }
    float state() const { return y_; }

private:
    float g_ = 0.0f;
    float norm_ = 1.0f;
    float y_ = 0.0f;
};

// Pole of the damping filter s = (s − x)·pole + x of the delays: (1 − 2·F/sampleRate)².
// Cutoffs at or above half the sample rate give 0 (no damping) instead of a pole beyond 1,
// which would make the feedback path explode at low sample rates.
float dampingPole(float hz, float invSampleRate);

// Chamberlin state-variable section without oversampling:
//   low += f·band; high = u − q·band − low; band += f·high.
// `bandIn` is the band value the high output was formed from, so that
// low + q·bandIn + high reproduces the input exactly.
struct StateVariableSection {
    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;
    float bandIn = 0.0f;

    void process(float u, float f, float q)
    {
        low += f * band;
        bandIn = band;
        high = u - q * band - low;
        band += f * high;
    }
    void reset() { low = band = high = bandIn = 0.0f; }
};

// Frequency coefficient from a cutoff parameter v: 2·sin(π·(8100·v² + 50)/sampleRate), the
// cutoff limited to half the sample rate.
float svfFrequency(float v, float invSampleRate);
// Damping from a resonance parameter v: 1 − 0.99·v⁴.
float svfDamping(float v);
// The frequency coefficient limited so that the section stays stable with damping q
// (f² + 2·f·q < 4), with a small margin. Without it, high cutoffs at sample rates below about
// 35 kHz make the section blow up.
float stableSvfFrequency(float f, float q);

}  // namespace pelko
