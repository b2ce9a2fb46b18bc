#include "look.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace skin_content {
namespace {

std::string trim(const std::string& s)
{
    std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) {
        return {};
    }
    std::size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

double channel(double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double luminance(const Rgb& c) { return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b); }

std::string hexOf(const Rgb& c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", static_cast<int>(std::lround(c.r * 255)),
                  static_cast<int>(std::lround(c.g * 255)), static_cast<int>(std::lround(c.b * 255)));
    return text;
}

}  // namespace

bool Look::read(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (std::size_t comment = line.find(';'); comment != std::string::npos) {
            line.erase(comment);
        }
        line = trim(line);
        if (line.empty()) {
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            error = path + ":" + std::to_string(number) + ": expected NAME = VALUE";
            return false;
        }
        std::string key = trim(line.substr(0, equals));
        if (values_.count(key) != 0) {
            error = path + ":" + std::to_string(number) + ": " + key + " is set twice";
            return false;
        }
        values_[key] = trim(line.substr(equals + 1));
    }
    return true;
}

std::string Look::text(const std::string& name) const
{
    auto found = values_.find(name);
    if (found == values_.end()) {
        missing_ += " " + name;
        return {};
    }
    return found->second;
}

int Look::number(const std::string& name) const
{
    std::string value = text(name);
    int n = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (error != std::errc() || end != value.data() + value.size()) {
        missing_ += " " + name + "(not a number)";
        return 0;
    }
    return n;
}

Rgb Look::colour(const std::string& name) const
{
    std::string value = text(name);
    unsigned bytes = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bytes, 16);
    if (value.size() != 6 || error != std::errc() || end != value.data() + value.size()) {
        missing_ += " " + name + "(not RRGGBB)";
        return {};
    }
    Rgb c{((bytes >> 16) & 0xFF) / 255.0, ((bytes >> 8) & 0xFF) / 255.0, (bytes & 0xFF) / 255.0, value};
    return c;
}

double contrast(const Rgb& a, const Rgb& b)
{
    double la = luminance(a);
    double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    Rgb c{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, {}};
    // Rounded to bytes so the colour drawn and the colour written into skin.ini agree.
    c.r = std::lround(c.r * 255) / 255.0;
    c.g = std::lround(c.g * 255) / 255.0;
    c.b = std::lround(c.b * 255) / 255.0;
    c.hex = hexOf(c);
    return c;
}

}  // namespace skin_content
