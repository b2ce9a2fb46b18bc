// The look of the factory skin, read from the recipe's look file: the palette, the grid, the
// fonts and the sizes of every kind of control. Every drawing function takes its colours and
// sizes from here, so the look changes in one place.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace skin_content {

struct Rgb {
    double r = 0, g = 0, b = 0;  // 0..1
    std::string hex;             // RRGGBB, as written into skin.ini
};

class Look {
public:
    // False (with a message naming the line) when the file cannot be read or a line is malformed.
    bool read(const std::string& path, std::string& error);

    // The named colour or size; a name missing from the file is a fault of the recipe, reported
    // once and remembered so the tool fails at the end instead of drawing with invented values.
    Rgb colour(const std::string& name) const;
    int number(const std::string& name) const;
    std::string text(const std::string& name) const;
    const std::string& missing() const { return missing_; }

private:
    std::map<std::string, std::string> values_;
    mutable std::string missing_;
};

// WCAG contrast ratio of two colours (1 to 21).
double contrast(const Rgb& a, const Rgb& b);
// A colour between a and b (t = 0: a, 1: b).
Rgb mix(const Rgb& a, const Rgb& b, double t);

}  // namespace skin_content
