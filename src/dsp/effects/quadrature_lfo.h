// The low-frequency oscillator of the modulation effects: a coupled-form ("magic circle")
// quadrature oscillator. Per sample a += k·b, then b −= k·a, with k = 2·sin(π·f/sampleRate);
// b follows a sine and a the matching cosine, both with amplitude close to 1.
//
// The recurrence keeps a² + b² + k·a·b exactly constant (up to rounding), so the amplitude is
// held by pulling that quantity back to 1 once per block. For slow rates it equals a² + b²;
// for fast ones (the ring modulator's carrier) correcting a² + b² instead would wobble the
// amplitude from block to block and could even run away.
#pragma once

namespace pelko {

// k for a rate in Hz. Rates are limited to a quarter of the sample rate, where the oscillator
// is still well inside its stable range (k < 2).
float lfoCoefficient(float hz, float invSampleRate);

class QuadratureLfo {
public:
    void setCoefficient(float k) { k_ = k; }
    float coefficient() const { return k_; }

    void step()
    {
        a_ += k_ * b_;
        b_ -= k_ * a_;
    }
    float a() const { return a_; }  // cosine-like output, starts at 1
    float b() const { return b_; }  // sine-like output, starts at 0

    // Once per processed block.
    void renormalise()
    {
        const float g = 1.5f - 0.5f * (a_ * a_ + b_ * b_ + k_ * a_ * b_);
        a_ *= g;
        b_ *= g;
    }

    void restart()
    {
        a_ = 1.0f;
        b_ = 0.0f;
    }

private:
    float k_ = 0.0f;
    float a_ = 1.0f;
    float b_ = 0.0f;
};

}  // namespace pelko
