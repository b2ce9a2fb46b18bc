// Signals, runners and measurements shared by the effect tests.
#pragma once

#include "dsp/effects/effect.h"
#include "dsp/effects/effect_factory.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace effect_tests {

using pelko::Effect;

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

inline std::unique_ptr<Effect> make(int typeId, float sampleRate = 44100.0f)
{
    return pelko::createEffect(typeId, sampleRate);
}

// Sets all six parameters, the mix and the sync flag.
inline void configure(Effect& e, std::initializer_list<float> values, float mix, bool sync = false, float bpm = 120.0f)
{
    e.setTempoSync(sync, bpm);
    int i = 0;
    for (float v : values) {
        e.setParam(i++, v);
    }
    e.setMix(mix);
}

inline Stereo run(Effect& e, const std::vector<float>& left, const std::vector<float>& right, int block = 256)
{
    Stereo out{std::vector<float>(left.size()), std::vector<float>(right.size())};
    const int frames = static_cast<int>(left.size());
    for (int start = 0; start < frames; start += block) {
        const int n = std::min(block, frames - start);
        e.process(left.data() + start, right.data() + start, out.left.data() + start, out.right.data() + start, n);
    }
    return out;
}

inline Stereo runMono(Effect& e, const std::vector<float>& input, int block = 256)
{
    return run(e, input, input, block);
}

inline std::vector<float> impulse(int frames, float level = 1.0f)
{
    std::vector<float> x(static_cast<std::size_t>(frames), 0.0f);
    if (frames > 0) {
        x[0] = level;
    }
    return x;
}

inline std::vector<float> constant(int frames, float level) { return std::vector<float>(static_cast<std::size_t>(frames), level); }

inline std::vector<float> sine(int frames, float hz, float sampleRate, float level = 1.0f)
{
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        x[static_cast<std::size_t>(i)] = level * static_cast<float>(std::sin(2.0 * M_PI * hz * i / sampleRate));
    }
    return x;
}

// A slow ramp: a delayed copy differs from the input by the delay times the slope, so the
// difference traces the delay over time (linear interpolation of a ramp is exact).
inline std::vector<float> ramp(int frames, float slope)
{
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        x[static_cast<std::size_t>(i)] = slope * static_cast<float>(i);
    }
    return x;
}

// Uniform noise in [-level, level] from a seeded linear congruential generator.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
    float unit() { return 0.5f * (next() + 1.0f); }
    std::vector<float> block(int frames, float level = 1.0f)
    {
        std::vector<float> x(static_cast<std::size_t>(frames));
        for (float& v : x) {
            v = level * next();
        }
        return x;
    }

private:
    std::uint32_t state_;
};

inline double mean(const std::vector<float>& x, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    to = std::min(to, x.size());
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += x[i];
    }
    return to > from ? sum / static_cast<double>(to - from) : 0.0;
}

inline double rms(const std::vector<float>& x, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    to = std::min(to, x.size());
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

// Frequency of a roughly periodic signal from its upward crossings of its own mean, between
// the first and the last crossing (sample rate in Hz). A crossing counts only once the signal
// has been below the mean by a quarter of its standard deviation, so that noise riding on a
// slow signal does not add crossings.
inline double crossingFrequency(const std::vector<float>& x, double sampleRate, std::size_t from = 0)
{
    const double centre = mean(x, from);
    double variance = 0.0;
    for (std::size_t i = from; i < x.size(); ++i) {
        variance += (x[i] - centre) * (x[i] - centre);
    }
    const double hysteresis = 0.25 * std::sqrt(variance / static_cast<double>(std::max<std::size_t>(1, x.size() - from)));
    long first = -1;
    long last = -1;
    int count = 0;
    bool armed = false;
    for (std::size_t i = from + 1; i < x.size(); ++i) {
        if (x[i] < centre - hysteresis) {
            armed = true;
        } else if (armed && x[i - 1] < centre && x[i] >= centre) {
            armed = false;
            if (first < 0) {
                first = static_cast<long>(i);
            }
            last = static_cast<long>(i);
            ++count;
        }
    }
    if (count < 2) {
        return 0.0;
    }
    return (count - 1) * sampleRate / static_cast<double>(last - first);
}

// Magnitude of the signal's component at one frequency (Goertzel sum with a Hann window),
// normalised so that a sine of amplitude A gives about A.
inline double magnitudeAt(const std::vector<float>& x, double hz, double sampleRate, std::size_t from = 0)
{
    const double w = 2.0 * M_PI * hz / sampleRate;
    const double n = static_cast<double>(x.size() - from);
    double re = 0.0;
    double im = 0.0;
    double weights = 0.0;
    for (std::size_t i = from; i < x.size(); ++i) {
        const double k = static_cast<double>(i - from);
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * k / n);
        re += hann * x[i] * std::cos(w * static_cast<double>(i));
        im += hann * x[i] * std::sin(w * static_cast<double>(i));
        weights += hann;
    }
    return 2.0 * std::sqrt(re * re + im * im) / weights;
}

inline std::vector<float> difference(const std::vector<float>& a, const std::vector<float>& b)
{
    std::vector<float> d(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        d[i] = a[i] - b[i];
    }
    return d;
}

// Counts what an effect's state holds.
class StateCensus final : public pelko::EffectStateVisitor {
public:
    void visit(std::span<const float> values) override
    {
        for (float v : values) {
            ++values_;
            if (std::fpclassify(v) == FP_SUBNORMAL) {
                ++denormals_;
            }
            if (!std::isfinite(v)) {
                ++nonFinite_;
            }
        }
    }
    void lineCapacity(int samples) override { capacity_ += samples; }
    long values() const { return values_; }
    // Samples of room in all delay lines together.
    long capacity() const { return capacity_; }
    long denormals() const { return denormals_; }
    long nonFinite() const { return nonFinite_; }

private:
    long values_ = 0;
    long denormals_ = 0;
    long nonFinite_ = 0;
    long capacity_ = 0;
};

inline StateCensus census(const Effect& e)
{
    StateCensus c;
    e.visitState(c);
    return c;
}

// Every effect type id except "Off", in menu order.
inline std::vector<int> effectTypeIds()
{
    std::vector<int> ids;
    for (int i = 1; i < pelko::kEffectTypeCount; ++i) {
        ids.push_back(pelko::effectKindAtMenuIndex(i).typeId);
    }
    return ids;
}

}  // namespace effect_tests
