#include "editor/controls/numeric_displays.h"

#include "editor/toolkit/geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pelko {
namespace {

std::string fixed(double value, int decimals)
{
    char text[48];
    auto result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

// The fixed-pitch settings keep frequencies within 0–100000 Hz; the display takes the same range so
// that opening and applying the panel never changes a stored value.
constexpr double kMaxRatio = 1000.0;
constexpr double kMaxFrequency = 100000.0;

}  // namespace

std::string formatRatio(double ratio)
{
    std::string text = fixed(ratio, 3);
    return ratio < 10.0 ? "0" + text : text;
}

std::string formatFrequency(double hertz)
{
    std::string text = fixed(hertz, 2);
    if (hertz < 10.0) {
        return "000" + text;
    }
    if (hertz < 100.0) {
        return "00" + text;
    }
    if (hertz < 1000.0) {
        return "0" + text;
    }
    return text;
}

NumericPanelDisplay::NumericPanelDisplay(ControlListener* listener, int tag, Format format)
    : ValueDisplay(listener, tag), format_(format)
{
}

void NumericPanelDisplay::setNumber(double number)
{
    if (!std::isfinite(number)) {
        number = 0.0;
    }
    number_ = std::clamp(number, 0.0, format_ == Format::kRatio ? kMaxRatio : kMaxFrequency);
    setDirty(true);
}

void NumericPanelDisplay::setMode(int mode)
{
    mode_ = mode;
    setDirty(true);
}

std::string NumericPanelDisplay::valueText() const
{
    return format_ == Format::kRatio ? formatRatio(number_) : formatFrequency(number_);
}

bool NumericPanelDisplay::wheel(DrawContext* context, Point where, float distance, int buttons)
{
    double step = format_ == Format::kRatio ? 0.01 : 1.0;
    step *= wheelScale(where);
    if ((buttons & kMouseShift) != 0) {
        step *= 0.1;
    }
    double before = number_;
    setNumber(number_ + static_cast<double>(distance) * step);
    if (number_ != before) {
        notifyListener(context);
        redraw(context);
    }
    return true;
}

}  // namespace pelko
