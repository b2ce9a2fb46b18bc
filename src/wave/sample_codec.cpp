#include "wave/sample_codec.h"

#include "wave/archive_format.h"

#include <bit>

namespace pelko {
namespace {

constexpr int kInitialK = 15;
constexpr unsigned kInitialAverage = 15 * 256;
constexpr unsigned kLargestMagnitude = 0x7FFF;
// k never drops below 1, so every sample costs at least k + 2 = 3 bits.
constexpr std::size_t kShortestCodeBits = 3;

// The adaptive parameter: after each sample the average moves halfway towards the bit count of
// that sample's magnitude (in 1/256 bits), and k is the rounded average.
class RiceParameter {
public:
    int k() const { return k_; }
    void update(unsigned magnitude)
    {
        unsigned bits = magnitude == 0 ? 1u : static_cast<unsigned>(std::bit_width(magnitude));
        average_ = (bits * 256 + average_) >> 1;
        k_ = static_cast<int>((average_ + 16) >> 8);
    }

private:
    unsigned average_ = kInitialAverage;
    int k_ = kInitialK;
};

// The second-order predictor over the three previous samples, in 16-bit wrapping arithmetic.
class Predictor {
public:
    std::uint16_t predict() const
    {
        return static_cast<std::uint16_t>(x3_ + 3u * static_cast<std::uint16_t>(x1_ - x2_));
    }
    void push(std::uint16_t x)
    {
        x3_ = x2_;
        x2_ = x1_;
        x1_ = x;
    }

private:
    std::uint16_t x1_ = 0, x2_ = 0, x3_ = 0;
};

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            putBit((value >> i) & 1u);
        }
    }
    void putBit(unsigned bit)
    {
        if (used_ == 0) {
            out_.push_back(0);
        }
        if (bit) {
            out_.back() = static_cast<std::uint8_t>(out_.back() | (0x80u >> used_));
        }
        used_ = (used_ + 1) & 7;
    }

private:
    std::vector<std::uint8_t>& out_;
    int used_ = 0;
};

class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), bitCount_(size * 8) {}
    bool get(int bits, std::uint32_t& value)
    {
        if (static_cast<std::size_t>(bits) > bitCount_ - position_) {
            return false;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < bits; ++i) {
            v = (v << 1) | nextBit();
        }
        value = v;
        return true;
    }
    bool getBit(unsigned& bit)
    {
        if (position_ >= bitCount_) {
            return false;
        }
        bit = nextBit();
        return true;
    }

private:
    unsigned nextBit()
    {
        unsigned bit = (data_[position_ >> 3] >> (7 - (position_ & 7))) & 1u;
        ++position_;
        return bit;
    }

    const std::uint8_t* data_;
    std::size_t bitCount_;
    std::size_t position_ = 0;
};

}  // namespace

std::vector<std::uint8_t> encodeSamples(const std::int16_t* samples, std::size_t count)
{
    std::vector<std::uint8_t> out;
    if (count > 0xFFFFFFFFu) {
        return out;
    }
    out.reserve(4 + count);
    appendLittleEndian32(out, static_cast<std::uint32_t>(count));
    BitWriter writer(out);
    Predictor predictor;
    RiceParameter parameter;
    for (std::size_t i = 0; i < count; ++i) {
        auto x = static_cast<std::uint16_t>(samples[i]);
        auto r = static_cast<std::uint16_t>(x - predictor.predict());
        bool negative = (r & 0x8000u) != 0;
        unsigned m = negative ? (~r & kLargestMagnitude) : r;
        int k = parameter.k();
        writer.put(m & ((1u << k) - 1u), k);
        for (unsigned q = m >> k; q > 0; --q) {
            writer.putBit(0);
        }
        writer.putBit(1);
        writer.putBit(negative ? 1 : 0);
        parameter.update(m);
        predictor.push(x);
    }
    return out;
}

std::vector<std::uint8_t> encodeSampleBytes(const std::uint8_t* bytes, std::size_t size)
{
    if (size % 2 != 0) {
        return {};
    }
    std::vector<std::int16_t> samples(size / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return encodeSamples(samples.data(), samples.size());
}

bool packedSizeConsistent(const std::uint8_t* packed, std::size_t packedSize, std::size_t unpackedBytes)
{
    if (packedSize < 4 || unpackedBytes % 2 != 0) {
        return false;
    }
    std::uint64_t count = readLittleEndian32(packed);
    if (count * 2 != unpackedBytes) {
        return false;
    }
    return count * kShortestCodeBits <= std::uint64_t(packedSize - 4) * 8;
}

bool decodeSamples(const std::uint8_t* packed, std::size_t packedSize, std::uint8_t* out,
                   std::size_t unpackedBytes)
{
    if (!packedSizeConsistent(packed, packedSize, unpackedBytes)) {
        return false;
    }
    std::size_t count = unpackedBytes / 2;
    BitReader reader(packed + 4, packedSize - 4);
    Predictor predictor;
    RiceParameter parameter;
    for (std::size_t i = 0; i < count; ++i) {
        int k = parameter.k();
        std::uint32_t low;
        if (!reader.get(k, low)) {
            return false;
        }
        // A magnitude has 15 bits: a unary part longer than that is no valid code, which also
        // bounds the zero run a damaged stream can make the decoder walk.
        const unsigned longestQuotient = kLargestMagnitude >> k;
        unsigned q = 0;
        for (;;) {
            unsigned bit;
            if (!reader.getBit(bit)) {
                return false;
            }
            if (bit) {
                break;
            }
            if (++q > longestQuotient) {
                return false;
            }
        }
        unsigned m = low + (q << k);
        if (m > kLargestMagnitude) {
            return false;
        }
        unsigned sign;
        if (!reader.getBit(sign)) {
            return false;
        }
        auto r = static_cast<std::uint16_t>(sign ? (~m | 0x8000u) : m);
        auto x = static_cast<std::uint16_t>(predictor.predict() + r);
        out[2 * i] = static_cast<std::uint8_t>(x & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(x >> 8);
        parameter.update(m);
        predictor.push(x);
    }
    return true;
}

}  // namespace pelko
