#include "wave/additive_analysis.h"

#include "wave/harmonics.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace pelko {
namespace {

// Frames examined for the period: periods up to half of this are found.
constexpr std::size_t kPeriodFrame = 8192;
// A dip of the normalised difference below this is a period.
constexpr double kDipThreshold = 0.12;
// Without a clear dip, the deepest one still counts when it is below this.
constexpr double kWeakDipThreshold = 0.3;
// At most this many samples are taken as one cycle when no period is found.
constexpr std::size_t kLongestCycle = 65536;
// Nothing beyond this many samples from the start is ever used.
constexpr std::size_t kLongestSound = std::size_t(1) << 20;
constexpr int kMostCycles = 8;
// Points per cycle at least: harmonic 64 stays well below half the resampled rate.
constexpr std::size_t kPointsPerCycle = 256;
// Half width of the interpolation kernel, in input samples.
constexpr int kKernelHalfWidth = 16;
// Harmonics this far below the strongest (100 dB) are taken as absent.
constexpr double kSilentLevel = 1e-5;

// The vertex of the parabola through (−1, a), (0, b), (1, c), as an offset from 0.
double parabolicOffset(double a, double b, double c)
{
    const double curvature = a - 2.0 * b + c;
    if (!(curvature > 0.0)) {
        return 0.0;
    }
    return std::clamp(0.5 * (a - c) / curvature, -0.5, 0.5);
}

// Squared differences d(τ) = Σ (x[j] − x[j + τ])² over a window of frame − maxLag samples.
std::vector<double> differences(const float* x, std::size_t frame, std::size_t maxLag)
{
    const std::size_t window = frame - maxLag;
    std::vector<double> d(maxLag + 1, 0.0);
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        double sum = 0.0;
        for (std::size_t j = 0; j < window; ++j) {
            const double e = static_cast<double>(x[j]) - static_cast<double>(x[j + lag]);
            sum += e * e;
        }
        d[lag] = sum;
    }
    return d;
}

// Blackman-windowed sinc interpolation kernel at distance u (|u| < kKernelHalfWidth).
double kernel(double u)
{
    constexpr double pi = std::numbers::pi;
    const double width = kKernelHalfWidth;
    if (std::fabs(u) >= width) {
        return 0.0;
    }
    const double sinc = u == 0.0 ? 1.0 : std::sin(pi * u) / (pi * u);
    const double w = 0.42 + 0.5 * std::cos(pi * u / width) + 0.08 * std::cos(2.0 * pi * u / width);
    return sinc * w;
}

// The sound at fractional position t. Samples beyond either end are taken one analysed span
// further in (the sound repeats with that span), which makes a one-cycle file exactly periodic.
double sampleAt(const float* x, std::size_t count, double t, long long wrap)
{
    const auto base = static_cast<long long>(std::floor(t));
    const double frac = t - static_cast<double>(base);
    const auto n = static_cast<long long>(count);
    double sum = 0.0;
    double weights = 0.0;
    for (int k = -kKernelHalfWidth + 1; k <= kKernelHalfWidth; ++k) {
        long long j = base + k;
        while (j < 0) j += wrap;
        while (j >= n) j -= wrap;
        if (j < 0) continue;  // a span longer than the sound cannot occur; stay in bounds anyway
        const double w = kernel(frac - k);
        sum += w * static_cast<double>(x[j]);
        weights += w;
    }
    return weights != 0.0 ? sum / weights : 0.0;
}

std::size_t powerOfTwoAtLeast(std::size_t n)
{
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

}  // namespace

std::optional<double> detectPeriod(const float* x, std::size_t count)
{
    const std::size_t frame = std::min(count, kPeriodFrame);
    const std::size_t maxLag = frame / 2;
    if (maxLag < 2) {
        return std::nullopt;
    }
    const std::vector<double> d = differences(x, frame, maxLag);
    // Cumulative-mean normalisation: values near 0 at the period, near 1 elsewhere.
    std::vector<double> nd(maxLag + 1, 1.0);
    double running = 0.0;
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        running += d[lag];
        nd[lag] = running > 0.0 ? d[lag] * static_cast<double>(lag) / running : 1.0;
    }
    std::size_t best = 0;
    for (std::size_t lag = 2; lag <= maxLag; ++lag) {
        if (nd[lag] < kDipThreshold) {
            while (lag + 1 <= maxLag && nd[lag + 1] < nd[lag]) ++lag;
            best = lag;
            break;
        }
    }
    if (best == 0) {
        std::size_t deepest = 2;
        for (std::size_t lag = 3; lag <= maxLag; ++lag) {
            if (nd[lag] < nd[deepest]) deepest = lag;
        }
        if (nd[deepest] >= kWeakDipThreshold) {
            return std::nullopt;
        }
        best = deepest;
    }
    double period = static_cast<double>(best);
    if (best < maxLag) {
        period += parabolicOffset(nd[best - 1], nd[best], nd[best + 1]);
    }
    // Refine on the furthest multiple of the period the frame holds: its error is shared out
    // over all the cycles in between.
    const auto multiple = static_cast<std::size_t>(static_cast<double>(maxLag - 1) / period);
    if (multiple >= 2) {
        const auto centre = static_cast<std::size_t>(std::lround(period * static_cast<double>(multiple)));
        std::size_t at = centre;
        for (std::size_t lag = centre > 2 ? centre - 2 : 1; lag <= std::min(centre + 2, maxLag - 1); ++lag) {
            if (d[lag] < d[at]) at = lag;
        }
        if (at >= 2 && at < maxLag) {
            const double refined =
                (static_cast<double>(at) + parabolicOffset(d[at - 1], d[at], d[at + 1])) / static_cast<double>(multiple);
            if (std::fabs(refined - period) < 0.5) {
                period = refined;
            }
        }
    }
    return period;
}

std::optional<HarmonicAnalysis> analyseHarmonics(const float* samples, std::size_t count)
{
    if (samples == nullptr || count < 4) {
        return std::nullopt;
    }
    count = std::min(count, kLongestSound);
    float peak = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isfinite(samples[i])) peak = std::max(peak, std::fabs(samples[i]));
    }
    if (!(peak > 0.0f)) {
        return std::nullopt;
    }
    std::vector<float> sound;
    {
        // Leading silence is skipped; a few quiet samples (a wave starting at a zero crossing)
        // are not, so that the phases refer to the file's first sample.
        std::size_t start = 0;
        while (start < count && !(std::fabs(samples[start]) > 0.01f * peak)) ++start;
        if (start < 16) start = 0;
        sound.reserve(count - start);
        for (std::size_t i = start; i < count; ++i) {
            sound.push_back(std::isfinite(samples[i]) ? samples[i] : 0.0f);
        }
    }
    std::size_t n = sound.size();
    if (n < 4) {
        return std::nullopt;
    }

    HarmonicAnalysis result;
    std::optional<double> period = detectPeriod(sound.data(), n);
    if (!period) {
        n = std::min(n, kLongestCycle);
        period = static_cast<double>(n);
    }
    int cycles = 1;
    while (cycles * 2 <= kMostCycles && static_cast<double>(cycles * 2) * *period <= static_cast<double>(n)) {
        cycles *= 2;
    }
    const double span = static_cast<double>(cycles) * *period;
    const std::size_t points = powerOfTwoAtLeast(
        std::max(static_cast<std::size_t>(std::ceil(span)), kPointsPerCycle * static_cast<std::size_t>(cycles)));
    const long long wrap = std::max(1LL, std::llround(span));

    std::vector<std::complex<double>> data(points);
    const double step = span / static_cast<double>(points);
    for (std::size_t i = 0; i < points; ++i) {
        data[i] = sampleAt(sound.data(), n, static_cast<double>(i) * step, wrap);
    }
    fourierTransform(data, false);

    std::array<double, HarmonicAnalysis::kHarmonics> level{};
    double strongest = 0.0;
    for (int h = 1; h <= HarmonicAnalysis::kHarmonics; ++h) {
        const std::size_t bin = static_cast<std::size_t>(h * cycles);
        if (bin >= points / 2) break;
        level[static_cast<std::size_t>(h - 1)] = 2.0 * std::abs(data[bin]) / static_cast<double>(points);
        strongest = std::max(strongest, level[static_cast<std::size_t>(h - 1)]);
    }
    if (!(strongest > 0.0)) {
        return std::nullopt;
    }
    constexpr double twoPi = 2.0 * std::numbers::pi;
    for (int h = 1; h <= HarmonicAnalysis::kHarmonics; ++h) {
        const auto i = static_cast<std::size_t>(h - 1);
        const double relative = level[i] / strongest;
        if (relative < kSilentLevel) {
            continue;
        }
        // a·sin(θ + ωn) lands in its bin as −i·a·N/2·e^{iθ}.
        const std::complex<double> bin = data[static_cast<std::size_t>(h * cycles)];
        double phase = (std::arg(bin) + 0.5 * std::numbers::pi) / twoPi;
        phase -= std::floor(phase);
        if (phase >= 1.0) phase = 0.0;
        result.levels[i] = static_cast<float>(relative);
        result.phases[i] = static_cast<float>(phase);
    }
    result.periodSamples = *period;
    result.cycles = cycles;
    return result;
}

std::optional<HarmonicAnalysis> analyseHarmonics(const std::int16_t* samples, std::size_t count)
{
    if (samples == nullptr) {
        return std::nullopt;
    }
    count = std::min(count, kLongestSound);
    std::vector<float> x(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(samples[i]) / 32768.0f;
    }
    return analyseHarmonics(x.data(), count);
}

}  // namespace pelko
