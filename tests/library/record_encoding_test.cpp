#include "library/record_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes decode(const std::string& text)
{
    Bytes out(pelko::decodedCapacity(text.size()));
    int n = pelko::decodeRecord(text, out.data(), out.size());
    EXPECT_GE(n, 0) << "text of " << text.size() << " characters";
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

int decodedLength(std::string_view text, std::size_t capacity = 64)
{
    std::vector<std::uint8_t> out(capacity);
    return pelko::decodeRecord(text, out.data(), capacity);
}

std::size_t escapesFor(const Bytes& bytes, int offset)
{
    return static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [offset](std::uint8_t b) {
        auto shifted = static_cast<std::uint8_t>(b - offset);
        return shifted == 0 || shifted == 1 || shifted == 39;
    }));
}

TEST(RecordEncoding, EmptyInputIsX)
{
    EXPECT_EQ(pelko::encodeRecord(Bytes{}), "x");
    EXPECT_EQ(decodedLength("x"), 0);
    EXPECT_EQ(pelko::encodedBufferSize(0), 2u);
}

TEST(RecordEncoding, OffsetFirstThenShiftedBytes)
{
    // Most offsets escape none of these: the text is the offset and the shifted bytes.
    Bytes bytes = {10, 20, 200};
    std::string text = pelko::encodeRecord(bytes);
    std::uint8_t e = pelko::chooseRecordOffset(bytes);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(static_cast<std::uint8_t>(text[0]), e);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint8_t>(text[i + 1]), static_cast<std::uint8_t>(bytes[i] - e));
    }
}

TEST(RecordEncoding, EscapePairsForZeroOneAndQuote)
{
    // All 256 values are present, so every offset has exactly three bytes to escape.
    Bytes bytes(256);
    for (int i = 0; i < 256; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    std::string text = pelko::encodeRecord(bytes);
    auto e = static_cast<std::uint8_t>(text[0]);
    EXPECT_EQ(e, 1);  // the lowest allowed offset wins the tie
    EXPECT_EQ(text.size(), 1u + 256u + 3u);
    std::string expected(1, static_cast<char>(e));
    for (std::uint8_t b : bytes) {
        auto shifted = static_cast<std::uint8_t>(b - e);
        if (shifted == 0) {
            expected += "\x01\x01";
        } else if (shifted == 1) {
            expected += "\x01\x02";
        } else if (shifted == 39) {
            expected += "\x01\x03";
        } else {
            expected += static_cast<char>(shifted);
        }
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(decode(text), bytes);
}

TEST(RecordEncoding, OffsetNeedsTheFewestEscapesAndIsNeverNulOrQuote)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 50; ++trial) {
        // Skewed data: a few values dominate, as in program records (zeros, 0x3F floats...).
        Bytes bytes(1 + random() % 600);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : random() % 8);
        }
        int chosen = pelko::chooseRecordOffset(bytes);
        ASSERT_NE(chosen, 0);
        ASSERT_NE(chosen, 39);
        std::size_t fewest = SIZE_MAX;
        for (int e = 1; e < 256; ++e) {
            if (e != 39) {
                fewest = std::min(fewest, escapesFor(bytes, e));
            }
        }
        EXPECT_EQ(escapesFor(bytes, chosen), fewest);
        std::string text = pelko::encodeRecord(bytes);
        EXPECT_EQ(text.find('\0'), std::string::npos);
        EXPECT_EQ(text.find('\''), std::string::npos);
    }
}

TEST(RecordEncoding, RoundTripsRandomDataOfManySizesWithinTheBuffer)
{
    std::mt19937 random(2024);
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 600; ++n) {
        sizes.push_back(n);
    }
    for (std::size_t n : {1016u, 4095u, 4096u, 65536u, 254u * 257u}) {
        sizes.push_back(n);
    }
    for (std::size_t n : sizes) {
        Bytes bytes(n);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        std::vector<char> buffer(pelko::encodedBufferSize(n), '\x7f');
        std::size_t length = pelko::encodeRecord(bytes, buffer.data());
        ASSERT_LT(length, buffer.size()) << n;  // the NUL fits too
        ASSERT_EQ(buffer[length], '\0');
        ASSERT_EQ(decode(std::string(buffer.data(), length)), bytes) << n;
    }
}

TEST(RecordEncoding, WorstCasesFitTheBuffer)
{
    // Every value equally often: no offset does better than 3n / 256 escapes.
    for (std::size_t copies : {1u, 2u, 10u, 127u}) {
        Bytes bytes;
        for (std::size_t c = 0; c < copies; ++c) {
            for (int v = 0; v < 256; ++v) {
                bytes.push_back(static_cast<std::uint8_t>(v));
            }
        }
        std::vector<char> buffer(pelko::encodedBufferSize(bytes.size()));
        std::size_t length = pelko::encodeRecord(bytes, buffer.data());
        EXPECT_LT(length, buffer.size());
        EXPECT_EQ(decode(std::string(buffer.data(), length)), bytes);
    }
    // Data that offsets 0 and 39, which the encoder may not use, would escape nothing of: the
    // other offsets share all 3n escapes, the case the 257 / 254 bound is made for.
    for (std::size_t n : {254u, 255u, 508u, 2540u}) {
        Bytes bytes;
        int v = 0;
        while (bytes.size() < n) {
            auto b = static_cast<std::uint8_t>(v++ % 256);
            bool freeForZero = b == 0 || b == 1 || b == 39;
            bool freeForQuote = b == 39 || b == 40 || b == 78;
            if (!freeForZero && !freeForQuote) {
                bytes.push_back(b);
            }
        }
        std::vector<char> buffer(pelko::encodedBufferSize(n));
        std::size_t length = pelko::encodeRecord(bytes, buffer.data());
        EXPECT_LT(length, buffer.size()) << n;
        EXPECT_EQ(decode(std::string(buffer.data(), length)), bytes);
    }
}

TEST(RecordDecoding, RejectsBrokenText)
{
    EXPECT_EQ(decodedLength(""), -1);
    EXPECT_EQ(decodedLength(std::string_view("\0", 1)), -1);
    EXPECT_EQ(decodedLength("A\x01"), -1);        // escape at the end
    EXPECT_EQ(decodedLength("A\x01\x04"), -1);    // unknown escape code
    EXPECT_EQ(decodedLength(std::string_view("Ab\0c", 4)), -1);  // NUL inside
    EXPECT_EQ(decodedLength("A\x01\x01\x01\x02\x01\x03"), 3);
    // Every escape code, decoded with offset 'A'.
    std::uint8_t out[3];
    ASSERT_EQ(pelko::decodeRecord("A\x01\x01\x01\x02\x01\x03", out, 3), 3);
    EXPECT_EQ(out[0], 'A');
    EXPECT_EQ(out[1], 'A' + 1);
    EXPECT_EQ(out[2], 'A' + 39);
}

TEST(RecordDecoding, NeverWritesPastTheBuffer)
{
    std::array<std::uint8_t, 8> out{};
    out.fill(0xEE);
    EXPECT_EQ(pelko::decodeRecord("Aabcdef", out.data(), 4), -1);
    EXPECT_EQ(out[4], 0xEE);
    EXPECT_EQ(pelko::decodeRecord("Aabcd", out.data(), 4), 4);
    EXPECT_EQ(pelko::decodeRecord("x", nullptr, 0), 0);
    EXPECT_EQ(pelko::decodedCapacity(0), 0u);
    EXPECT_EQ(pelko::decodedCapacity(5), 4u);
}

}  // namespace
