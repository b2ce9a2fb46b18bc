// The editor's shared geometry: rectangles, points, colours and the mouse-state bits.
// Rectangles are in pixels; a point is inside when it lies on or between both pairs of edges.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pelko {

struct Point {
    std::int32_t h = 0;  // horizontal
    std::int32_t v = 0;  // vertical
    bool operator==(const Point&) const = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    static Rect ofSize(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
    {
        return Rect{x, y, x + width, y + height};
    }
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    // Both edges inclusive.
    bool contains(Point p) const { return p.h >= left && p.h <= right && p.v >= top && p.v <= bottom; }
    bool overlaps(const Rect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect offsetBy(std::int32_t dx, std::int32_t dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
    Rect intersection(const Rect& o) const
    {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        if (r.empty()) {
            return Rect{};
        }
        return r;
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect unionWith(const Rect& o) const
    {
        if (empty()) {
            return o;
        }
        if (o.empty()) {
            return *this;
        }
        return Rect{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    bool operator==(const Rect&) const = default;
};

// Red, green, blue; the fourth byte is always 0.
struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused = 0;
    bool operator==(const Colour&) const = default;
    std::uint32_t rgb() const { return (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue; }
};

namespace colours {
constexpr Colour kWhite{255, 255, 255, 0};
constexpr Colour kBlack{0, 0, 0, 0};
constexpr Colour kGrey{127, 127, 127, 0};
constexpr Colour kRed{255, 0, 0, 0};
constexpr Colour kGreen{0, 255, 0, 0};
constexpr Colour kBlue{0, 0, 255, 0};
constexpr Colour kYellow{255, 255, 0, 0};
constexpr Colour kButtonFace{212, 208, 200, 0};  // window background
}  // namespace colours

// Mouse state bits (buttons are the logical ones: with swapped buttons the physical right
// button is the left button).
enum MouseBits : int {
    kMouseLeft = 1,
    kMouseMiddle = 2,
    kMouseRight = 4,
    kMouseShift = 8,
    kMouseControl = 16,
    kMouseAlt = 32,
    kMouseButtons = kMouseLeft | kMouseMiddle | kMouseRight,
};

// Key codes passed to key down / key up: printable characters as their code, the editing keys
// as their ASCII control codes, and the arrows and other navigation keys in a range of their own.
enum KeyCodes : int {
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeyDelete = 127,
    kKeyLeft = 0x1001,
    kKeyUp = 0x1002,
    kKeyRight = 0x1003,
    kKeyDown = 0x1004,
    kKeyHome = 0x1005,
    kKeyEnd = 0x1006,
    kKeyPageUp = 0x1007,
    kKeyPageDown = 0x1008,
};

// The wheel distance in notches for a signed wheel delta (120 per notch).
constexpr float wheelNotches(int delta) { return static_cast<float>(delta) * (1.0f / 120.0f); }

}  // namespace pelko
