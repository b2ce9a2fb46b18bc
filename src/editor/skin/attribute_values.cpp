#include "editor/skin/attribute_values.h"

#include <climits>

namespace pelko {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int parseSkinInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Values beyond the integer range stay at its ends.
        value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

std::optional<Colour> parseSkinColour(std::string_view text)
{
    int bytes[3] = {};
    std::size_t i = 0;
    for (int& byte : bytes) {
        // Each conversion skips blanks, then takes one or two hexadecimal digits.
        while (i < text.size() && isSpace(text[i])) {
            ++i;
        }
        int digits = 0;
        byte = 0;
        while (digits < 2 && i < text.size() && hexDigit(text[i]) >= 0) {
            byte = byte * 16 + hexDigit(text[i]);
            ++i;
            ++digits;
        }
        if (digits == 0) {
            return std::nullopt;
        }
    }
    return Colour{static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1]),
                  static_cast<std::uint8_t>(bytes[2]), 0};
}

}  // namespace pelko
