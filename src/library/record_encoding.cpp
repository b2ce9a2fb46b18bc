#include "library/record_encoding.h"

#include <array>
#include <climits>
#include <limits>

namespace pelko {
namespace {

constexpr std::uint8_t kEscape = 0x01;
constexpr std::uint8_t kQuote = 39;

// The three shifted values that cannot appear as themselves and the escape pair's second byte.
constexpr std::uint8_t kEscapedValue[3] = {0, 1, kQuote};

bool isEscaped(std::uint8_t shifted) { return shifted == 0 || shifted == 1 || shifted == kQuote; }

std::uint8_t escapeCode(std::uint8_t shifted) { return shifted == 0 ? 1 : shifted == 1 ? 2 : 3; }

}  // namespace

std::size_t encodedBufferSize(std::size_t n)
{
    if (n > (std::numeric_limits<std::size_t>::max() - 2) / 257) {
        return 0;
    }
    return (n * 257) / 254 + 2;
}

std::uint8_t chooseRecordOffset(std::span<const std::uint8_t> bytes)
{
    std::array<std::size_t, 256> histogram{};
    for (std::uint8_t b : bytes) {
        ++histogram[b];
    }
    // Offset e escapes the bytes e, e + 1 and e + 39. Every byte value is escaped by exactly three
    // offsets, so over the 254 allowed offsets (0 would end the text, 39 is the quote) the best
    // one escapes at most 3n / 254 bytes: the bound behind encodedBufferSize.
    std::uint8_t best = 1;
    std::size_t bestEscapes = std::numeric_limits<std::size_t>::max();
    for (int e = 1; e < 256; ++e) {
        if (e == kQuote) {
            continue;
        }
        std::size_t escapes = 0;
        for (std::uint8_t value : kEscapedValue) {
            escapes += histogram[static_cast<std::uint8_t>(e + value)];
        }
        if (escapes < bestEscapes) {
            bestEscapes = escapes;
            best = static_cast<std::uint8_t>(e);
        }
    }
    return best;
}

std::size_t encodeRecord(std::span<const std::uint8_t> bytes, char* out)
{
    if (bytes.empty()) {
        out[0] = 'x';
        out[1] = '\0';
        return 1;
    }
    std::uint8_t offset = chooseRecordOffset(bytes);
    std::size_t length = 0;
    out[length++] = static_cast<char>(offset);
    for (std::uint8_t b : bytes) {
        auto shifted = static_cast<std::uint8_t>(b - offset);
        if (isEscaped(shifted)) {
            out[length++] = static_cast<char>(kEscape);
            out[length++] = static_cast<char>(escapeCode(shifted));
        } else {
            out[length++] = static_cast<char>(shifted);
        }
    }
    out[length] = '\0';
    return length;
}

std::string encodeRecord(std::span<const std::uint8_t> bytes)
{
    std::string text(encodedBufferSize(bytes.size()), '\0');
    text.resize(encodeRecord(bytes, text.data()));
    return text;
}

std::size_t decodedCapacity(std::size_t textLength) { return textLength > 0 ? textLength - 1 : 0; }

int decodeRecord(std::string_view text, std::uint8_t* out, std::size_t capacity)
{
    if (text.empty() || text[0] == '\0') {
        return -1;
    }
    auto offset = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        auto c = static_cast<std::uint8_t>(text[i]);
        if (c == 0) {
            return -1;
        }
        if (c == kEscape) {
            if (++i == text.size()) {
                return -1;
            }
            auto code = static_cast<std::uint8_t>(text[i]);
            if (code < 1 || code > 3) {
                return -1;
            }
            c = kEscapedValue[code - 1];
        }
        if (length == capacity || length == static_cast<std::size_t>(INT_MAX)) {
            return -1;
        }
        out[length++] = static_cast<std::uint8_t>(c + offset);
    }
    return static_cast<int>(length);
}

}  // namespace pelko
