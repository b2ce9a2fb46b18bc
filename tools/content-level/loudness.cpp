#include "loudness.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace pelko::content {
namespace {

// The analogue prototypes of the two stages; at 48 kHz their bilinear transforms are the
// coefficients the standard tabulates.
constexpr double kShelfFrequency = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kHighPassFrequency = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

constexpr double kBlockSeconds = 0.4;
constexpr int kBlockSteps = 4;  // a new block every 100 ms
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

double loudnessOf(double meanSquare) { return -0.691 + 10.0 * std::log10(meanSquare); }

// Filters one channel through both stages and returns the squared output.
std::vector<double> weightedSquares(std::span<const float> x, double sampleRate)
{
    const Biquad stages[2] = {kWeightingShelf(sampleRate), kWeightingHighPass(sampleRate)};
    std::vector<double> y(x.begin(), x.end());
    for (const Biquad& s : stages) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : y) {
            const double out = s.b0 * v + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = out;
            v = out;
        }
    }
    for (double& v : y) {
        v *= v;
    }
    return y;
}

}  // namespace

Biquad kWeightingShelf(double sampleRate)
{
    const double k = std::tan(std::numbers::pi * kShelfFrequency / sampleRate);
    const double vh = std::pow(10.0, kShelfGainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / kShelfQ + k * k;
    return {(vh + vb * k / kShelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / kShelfQ + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / kShelfQ + k * k) / a0};
}

Biquad kWeightingHighPass(double sampleRate)
{
    const double k = std::tan(std::numbers::pi * kHighPassFrequency / sampleRate);
    const double a0 = 1.0 + k / kHighPassQ + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kHighPassQ + k * k) / a0};
}

double integratedLoudness(std::span<const float> left, std::span<const float> right, double sampleRate)
{
    const std::size_t frames = std::min(left.size(), right.size());
    const std::vector<double> l = weightedSquares(left.first(frames), sampleRate);
    const std::vector<double> r = weightedSquares(right.first(frames), sampleRate);
    // Running sums make every block's mean square one subtraction.
    std::vector<double> sums(frames + 1, 0.0);
    for (std::size_t i = 0; i < frames; ++i) {
        sums[i + 1] = sums[i] + l[i] + r[i];
    }
    const auto blockLength = static_cast<std::size_t>(std::lround(kBlockSeconds * sampleRate));
    const std::size_t hop = blockLength / kBlockSteps;
    std::vector<double> blocks;
    for (std::size_t start = 0; blockLength > 0 && start + blockLength <= frames; start += hop) {
        const double meanSquare = (sums[start + blockLength] - sums[start]) / static_cast<double>(blockLength);
        if (meanSquare > 0.0 && loudnessOf(meanSquare) > kAbsoluteGate) {
            blocks.push_back(meanSquare);
        }
    }
    const auto gatedMean = [&blocks](double threshold) {
        double sum = 0.0;
        int count = 0;
        for (double z : blocks) {
            if (loudnessOf(z) > threshold) {
                sum += z;
                ++count;
            }
        }
        return count > 0 ? sum / count : 0.0;
    };
    const double ungated = gatedMean(kAbsoluteGate);
    if (ungated <= 0.0) {
        return -std::numeric_limits<double>::infinity();
    }
    return loudnessOf(gatedMean(loudnessOf(ungated) + kRelativeGate));
}

double samplePeakDb(std::span<const float> left, std::span<const float> right)
{
    float peak = 0.0f;
    for (float v : left) {
        peak = std::max(peak, std::abs(v));
    }
    for (float v : right) {
        peak = std::max(peak, std::abs(v));
    }
    return 20.0 * std::log10(static_cast<double>(peak));
}

}  // namespace pelko::content
