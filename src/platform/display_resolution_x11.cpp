#include "platform/display_resolution.h"

#include <X11/Xlib.h>

#include <charconv>

namespace pelko {
namespace {

// Anything outside this range is a damaged setting, not a screen.
constexpr double kLowestDpi = 20.0;
constexpr double kHighestDpi = 2000.0;

std::optional<double> sane(double dpi)
{
    if (dpi >= kLowestDpi && dpi <= kHighestDpi) {
        return dpi;
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<double> dpiFromResources(std::string_view resources)
{
    // The most specific name wins, whatever the order of the lines.
    constexpr std::string_view kNames[] = {"Xft.dpi", "Xft*dpi", "*dpi"};
    std::optional<double> found[3];
    while (!resources.empty()) {
        std::size_t end = resources.find('\n');
        std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string_view name = trimmed(line.substr(0, colon));
        std::string_view value = trimmed(line.substr(colon + 1));
        for (std::size_t i = 0; i < 3; ++i) {
            if (name != kNames[i]) {
                continue;
            }
            double dpi = 0.0;
            auto [next, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
            if (error == std::errc{} && next == value.data() + value.size()) {
                found[i] = sane(dpi);
            }
        }
    }
    for (const auto& dpi : found) {
        if (dpi) {
            return dpi;
        }
    }
    return std::nullopt;
}

std::optional<double> dpiFromScreenSize(int pixels, int millimetres)
{
    if (pixels <= 0 || millimetres <= 0) {
        return std::nullopt;
    }
    return sane(pixels * 25.4 / millimetres);
}

std::optional<double> displayDpi(const std::string& display)
{
    Display* connection = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (connection == nullptr) {
        return std::nullopt;
    }
    std::optional<double> dpi;
    if (const char* resources = XResourceManagerString(connection)) {
        dpi = dpiFromResources(resources);
    }
    if (!dpi) {
        int screen = DefaultScreen(connection);
        dpi = dpiFromScreenSize(DisplayWidth(connection, screen), DisplayWidthMM(connection, screen));
    }
    XCloseDisplay(connection);
    return dpi;
}

}  // namespace pelko
