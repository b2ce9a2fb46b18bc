#include "wave/sample_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using pelko::decodeSamples;
using pelko::encodeSamples;

std::vector<std::int16_t> roundTrip(const std::vector<std::int16_t>& samples, std::size_t* packedSize = nullptr)
{
    std::vector<std::uint8_t> packed = encodeSamples(samples.data(), samples.size());
    if (packedSize != nullptr) {
        *packedSize = packed.size();
    }
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    EXPECT_TRUE(decodeSamples(packed.data(), packed.size(), bytes.data(), bytes.size()));
    std::vector<std::int16_t> out(samples.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return out;
}

TEST(SampleCodec, LosslessOnRandomSilentFullScaleAndSquareSignals)
{
    std::mt19937 generator(1234);
    std::uniform_int_distribution<int> any(-32768, 32767);
    std::vector<std::int16_t> random(20000), silent(5000, 0), fullScale, square;
    for (auto& s : random) {
        s = static_cast<std::int16_t>(any(generator));
    }
    // Extremes in every order: the predictor's 16-bit arithmetic must wrap exactly.
    for (int i = 0; i < 4000; ++i) {
        static const std::int16_t kExtremes[] = {32767, -32768, -32768, 32767, 32767, 32767, -32768, 0, -1};
        fullScale.push_back(kExtremes[(i * 7 + i / 9) % 9]);
    }
    for (int i = 0; i < 8000; ++i) {
        square.push_back((i / 37) % 2 == 0 ? 32767 : -32768);
    }
    for (const auto* signal : {&random, &silent, &fullScale, &square}) {
        EXPECT_EQ(roundTrip(*signal), *signal);
    }
    EXPECT_TRUE(roundTrip({}).empty());
}

TEST(SampleCodec, BitStreamLayoutOfSingleSamples)
{
    // −1 is magnitude 0 with the sign bit: 15 low bits of 0, the closing 1, the sign 1.
    std::int16_t minusOne = -1;
    EXPECT_EQ(encodeSamples(&minusOne, 1), (std::vector<std::uint8_t>{1, 0, 0, 0, 0x00, 0x01, 0x80}));
    // +1: low bits 000000000000001, the closing 1, sign 0.
    std::int16_t plusOne = 1;
    EXPECT_EQ(encodeSamples(&plusOne, 1), (std::vector<std::uint8_t>{1, 0, 0, 0, 0x00, 0x03, 0x00}));
}

TEST(SampleCodec, PolynomialRunsCostNoMoreThanSilenceAfterThreeSamples)
{
    const int n = 10000;
    std::vector<std::int16_t> zeros(n, 0), constant(n, -12345), ramp, parabola;
    for (int i = 0; i < n; ++i) {
        ramp.push_back(static_cast<std::int16_t>(-20000 + 3 * i));
        parabola.push_back(static_cast<std::int16_t>((i - 5000) * (i - 5000) / 1024 - 12000));
    }
    std::size_t silence = 0;
    roundTrip(zeros, &silence);
    // Silence settles at k = 1: three bits per sample.
    EXPECT_LE(silence, 4u + (3u * n + 200) / 8);
    for (const auto* signal : {&constant, &ramp}) {
        std::size_t size = 0;
        EXPECT_EQ(roundTrip(*signal, &size), *signal);
        EXPECT_LE(size, silence + 16) << "residuals after the first three samples must be 0";
    }
    // The parabola above is only piecewise quadratic (integer division); an exact one:
    std::vector<std::int16_t> exact;
    for (int i = 0; i < n; ++i) {
        exact.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(7 * i * i - 3 * i + 100)));
    }
    std::size_t size = 0;
    EXPECT_EQ(roundTrip(exact, &size), exact);
    EXPECT_LE(size, silence + 16);
}

TEST(SampleCodec, RejectsInconsistentOrDamagedStreams)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 3000; ++i) {
        samples.push_back(static_cast<std::int16_t>((i * 7919) % 4001 - 2000));
    }
    std::vector<std::uint8_t> packed = encodeSamples(samples.data(), samples.size());
    std::vector<std::uint8_t> out(samples.size() * 2);

    // The stream ends early.
    EXPECT_FALSE(decodeSamples(packed.data(), packed.size() - 8, out.data(), out.size()));
    EXPECT_FALSE(decodeSamples(packed.data(), 3, out.data(), out.size()));
    // The unpacked size does not match the stored sample count, or is odd.
    EXPECT_FALSE(decodeSamples(packed.data(), packed.size(), out.data(), out.size() - 2));
    EXPECT_FALSE(pelko::packedSizeConsistent(packed.data(), packed.size(), out.size() + 2));
    EXPECT_FALSE(pelko::packedSizeConsistent(packed.data(), packed.size(), out.size() - 1));
    // A count no stream of that length can hold (at least 3 bits a sample) is refused up front.
    std::vector<std::uint8_t> absurd{0xFF, 0xFF, 0xFF, 0x7F, 0x12, 0x34};
    EXPECT_FALSE(pelko::packedSizeConsistent(absurd.data(), absurd.size(), 2ull * 0x7FFFFFFF));

    // A unary run that never ends: a valid start, then only zero bits.
    std::vector<std::uint8_t> endless(packed.begin(), packed.begin() + 40);
    endless.resize(200000, 0);
    std::vector<std::uint8_t> many(2 * 400000);
    endless[0] = 0x80;
    endless[1] = 0x1A;
    endless[2] = 0x06;
    endless[3] = 0x00;  // 400000 samples
    EXPECT_FALSE(decodeSamples(endless.data(), endless.size(), many.data(), many.size()));

    // Every truncation and every single flipped byte either decodes or fails; none reads past the
    // end (checked under the sanitizers).
    for (std::size_t cut = 4; cut < packed.size(); cut += 97) {
        std::vector<std::uint8_t> shortened(packed.begin(), packed.begin() + static_cast<long>(cut));
        decodeSamples(shortened.data(), shortened.size(), out.data(), out.size());
    }
    for (std::size_t i = 4; i < packed.size(); i += 13) {
        std::vector<std::uint8_t> damaged = packed;
        damaged[i] ^= 0x5A;
        decodeSamples(damaged.data(), damaged.size(), out.data(), out.size());
    }
}

TEST(SampleCodec, OddByteCountsCannotBeEncoded)
{
    std::uint8_t bytes[3] = {1, 2, 3};
    EXPECT_TRUE(pelko::encodeSampleBytes(bytes, 3).empty());
    EXPECT_EQ(pelko::encodeSampleBytes(bytes, 2).size(), 4u + 3u);
}

}  // namespace
