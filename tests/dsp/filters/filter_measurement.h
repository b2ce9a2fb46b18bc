// Sound measurements and reference responses for the filter tests.
//
// measureGain drives a filter with a sine at the centre of a DFT bin, lets it settle and takes
// one DFT bin of input and output: the ratio is the filter's complex gain at that frequency,
// free of leakage. The reference responses evaluate the filters' transfer functions in double
// precision, written from the coefficient formulas independently of the filter code.
#pragma once

#include "dsp/filters/filter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace filter_test {

using Complex = std::complex<double>;

constexpr int kBinCount = 4096;
constexpr int kControlPeriod = 64;

// The nearest frequency that falls exactly on a DFT bin of kBinCount samples.
inline double binFrequency(double hz, double sampleRate)
{
    const double bin = std::max(1.0, std::round(hz * kBinCount / sampleRate));
    return bin * sampleRate / kBinCount;
}

// Complex gain at `hz` (moved onto a bin centre) with the coefficients already set. The filter
// runs the way a voice runs it: flushDenormals once per control period.
inline Complex measureGain(pelko::Filter& filter, double hz, double sampleRate, double amplitude = 1e-5,
                           int settleSamples = 30000)
{
    const double w = 2.0 * std::numbers::pi * binFrequency(hz, sampleRate) / sampleRate;
    Complex in = 0.0;
    Complex out = 0.0;
    const int total = settleSamples + kBinCount;
    for (int n = 0; n < total; ++n) {
        const float x = static_cast<float>(amplitude * std::sin(w * n));
        const float y = filter.process(x);
        if (n % kControlPeriod == kControlPeriod - 1) {
            filter.flushDenormals();
        }
        if (n >= settleSamples) {
            const Complex e = std::polar(1.0, -w * n);
            in += static_cast<double>(x) * e;
            out += static_cast<double>(y) * e;
        }
    }
    return out / in;
}

inline double decibels(double gain) { return 20.0 * std::log10(gain); }

inline Complex zInverse(double hz, double sampleRate)
{
    return std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate);
}

// ---- state-variable types -----------------------------------------------------------------------

enum class SvfTap { low, high, band, notch };

struct SvfCoefficients {
    double f;
    double q;
};

inline SvfCoefficients svfCoefficients(double fc, double r, double sampleRate)
{
    const double scale = std::numbers::pi / 8.0 * 44100.0 / sampleRate;
    const double f = std::min(2.0 * std::sin((0.999 * fc + 0.001) * scale), 0.5);
    const double q = std::min({2.0 * (1.0 - std::pow(r, 0.25)), 2.0 / f - f / 2.0, 2.0});
    return {f, q};
}

// Small-signal response (the cubic limit is negligible at small levels) of `stages` cascaded
// two-half-step stages. A half-step maps state (L, B) and input u to
//     s' = A·s + b·u,   A = [[1, f], [−f, 1 − f·q − f²]],   b = (0, f)
// and its output, written in the old state, is c·s + d·u.
inline Complex svfResponse(SvfTap tap, int stages, double fc, double r, double hz, double sampleRate)
{
    const auto [f, q] = svfCoefficients(fc, r, sampleRate);
    const double a11 = 1.0, a12 = f, a21 = -f, a22 = 1.0 - f * q - f * f;
    const double b2 = f;
    double c1 = 0, c2 = 0, d = 0;
    switch (tap) {
    case SvfTap::low: c1 = 1; c2 = f; d = 0; break;
    case SvfTap::high: c1 = -1; c2 = -q - f; d = 1; break;
    case SvfTap::band: c1 = -f; c2 = 1.0 - f * q - f * f; d = f; break;
    case SvfTap::notch: c1 = 0; c2 = -q; d = 1; break;
    }
    const Complex zi = zInverse(hz, sampleRate);
    const Complex z = 1.0 / zi;
    Complex total = 1.0;
    for (int stage = 0; stage < stages; ++stage) {
        // Inputs of the two half-steps per unit of stage input.
        const Complex u1 = stage == 0 ? (1.0 + zi) / 2.0 : Complex(1.0);
        const Complex u2 = 1.0;
        // A² and A·b.
        const double m11 = a11 * a11 + a12 * a21, m12 = a11 * a12 + a12 * a22;
        const double m21 = a21 * a11 + a22 * a21, m22 = a21 * a12 + a22 * a22;
        const double ab1 = a12 * b2, ab2 = a22 * b2;
        // (z·I − A²)·s = A·b·u1 + b·u2
        const Complex r1 = ab1 * u1;
        const Complex r2 = ab2 * u1 + b2 * u2;
        const Complex p11 = z - m11, p12 = -m12, p21 = -m21, p22 = z - m22;
        const Complex det = p11 * p22 - p12 * p21;
        const Complex s1 = (p22 * r1 - p12 * r2) / det;
        const Complex s2 = (p11 * r2 - p21 * r1) / det;
        const Complex mid1 = a11 * s1 + a12 * s2;
        const Complex mid2 = a21 * s1 + a22 * s2 + b2 * u1;
        const Complex y = 0.5 * (c1 * s1 + c2 * s2 + d * u1) + 0.5 * (c1 * mid1 + c2 * mid2 + d * u2);
        total *= y;
    }
    return total;
}

// Cutoff in Hz that a normalised cutoff gives the state-variable types, at any sample rate.
inline double svfCutoffHz(double fc) { return (0.999 * fc + 0.001) * 44100.0 / 4.0; }

// ---- analog types -------------------------------------------------------------------------------

// The prewarped term read the way the filters read their tables: linear interpolation between
// 100 steps of tan (or 1/tan), the top step repeated.
inline double analogFrequencyTerm(bool highpass, double fc, double sampleRate)
{
    const double w = 44100.0 / sampleRate * std::numbers::pi;
    auto entry = [&](int i) {
        const int step = std::min(i, 99);
        const double t = std::tan((0.01 * step + 0.0025) * w * 100.0 / 401.0);
        return highpass ? t : 1.0 / t;
    };
    const double x = 100.0 * std::clamp(fc, 0.0, 1.0);
    const int i = static_cast<int>(x);
    return entry(i) + (x - i) * (entry(i + 1) - entry(i));
}

inline Complex analogResponse(bool highpass, int sections, double fc, double r, double hz, double sampleRate)
{
    const double k = analogFrequencyTerm(highpass, fc, sampleRate);
    const double d = 1.01 - 0.93 * r;
    const double a0 = k * k + d * k + 1.0, a1 = 2.0 - 2.0 * k * k, a2 = k * k - d * k + 1.0;
    const Complex zi = zInverse(hz, sampleRate);
    const Complex section = highpass ? (1.0 - 2.0 * zi + zi * zi) / (a0 - a1 * zi + a2 * zi * zi)
                                     : (1.0 + 2.0 * zi + zi * zi) / (a0 + a1 * zi + a2 * zi * zi);
    return std::pow(section, sections);
}

// Cutoff in Hz of the analog types (where the prototype's s = 1 lands).
inline double analogCutoffHz(double fc) { return (fc + 0.0025) * 44100.0 * 100.0 / 401.0; }

}  // namespace filter_test
