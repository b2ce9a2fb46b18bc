#include "editor/controls/label_controls.h"

#include "editor/toolkit/draw_context.h"

#include <cctype>

namespace pelko {

void LabelLook::read(SkinAttributes& a, const std::string& item)
{
    background = a.bitmap(item, "background");
    backgroundDisabled = a.bitmap(item, "backgroundDisabled");
    font = a.bitmapFont(item, "font");
    fontDisabled = a.bitmapFont(item, "fontDisabled");
    hspace = a.integer(item, "hspace");
    vspace = a.integer(item, "vspace");
    uppercase = a.integer(item, "uppercase") != 0;
    label = a.text(item, "label");
    hasLabel = a.integer(item, "hasLabel") != 0;
}

const Bitmap* LabelLook::backgroundFor(bool disabled) const
{
    if (disabled && backgroundDisabled) {
        return backgroundDisabled.get();
    }
    return background.get();
}

const BitmapFont* LabelLook::fontFor(bool disabled) const
{
    if (disabled && fontDisabled) {
        return fontDisabled.get();
    }
    return font.get();
}

std::string padFront(std::string text, int width)
{
    if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    }
    return text;
}

std::string upperCase(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string_view fittingText(const BitmapFont& font, std::string_view text, int width)
{
    int used = 0;
    std::size_t n = 0;
    for (; n < text.size(); ++n) {
        used += font.charWidth(static_cast<unsigned char>(text[n]));
        if (used > width) {
            break;
        }
    }
    return text.substr(0, n);
}

void LabelControl::configure(SkinAttributes& attributes, const std::string& item)
{
    SkinControl::configure(attributes, item);
    look_.read(attributes, item);
}

std::string LabelControl::labelText() const
{
    std::string text = look_.label;
    if (text.empty() && look_.hasLabel && services_ != nullptr && isParameterTag(tag_)) {
        text = services_->parameterName(tag_);
    }
    return look_.uppercase ? upperCase(std::move(text)) : text;
}

void LabelControl::drawText(DrawContext& context, const std::string& text, int x)
{
    const BitmapFont* font = look_.fontFor(disabled());
    if (font == nullptr || text.empty()) {
        return;
    }
    Rect area{rect_.left + x, rect_.top + look_.vspace, rect_.right, rect_.bottom};
    if (!area.empty()) {
        font->draw(context, fittingText(*font, text, area.width()), area);
    }
}

void LabelControl::drawLabel(DrawContext& context)
{
    if (const Bitmap* background = look_.backgroundFor(disabled())) {
        background->draw(context, rect_);
    }
    drawText(context, labelText(), look_.hspace);
}

void LabelControl::draw(DrawContext& context)
{
    drawLabel(context);
    setDirty(false);
}

void ValueDisplay::configure(SkinAttributes& attributes, const std::string& item)
{
    LabelControl::configure(attributes, item);
    digits_ = attributes.integer(item, "ndigits");
    if (digits_ <= 0) {
        digits_ = 3;
    }
    valueX_ = attributes.integer(item, "valueX");
}

std::string ValueDisplay::shownValue() const
{
    return padFront(valueText(), digits_);
}

void ValueDisplay::draw(DrawContext& context)
{
    drawLabel(context);
    drawText(context, shownValue(), valueX_);
    setDirty(false);
}

float ValueDisplay::wheelScale(Point where) const
{
    int left = rect_.left + valueX_;
    int width = rect_.right - left;
    if (width <= 0 || where.h < left || where.h > rect_.right || where.v < rect_.top || where.v > rect_.bottom) {
        return 0.1f;
    }
    int offset = where.h - left;
    if (offset * 3 < width) {
        return 2.5f;
    }
    if (offset * 3 < width * 2) {
        return 1.0f;
    }
    return 0.1f;
}

bool ValueDisplay::wheel(DrawContext* context, Point where, float distance, int)
{
    if (changeValue(value_ + distance * wheelIncrement_ * wheelScale(where))) {
        notifyListener(context);
        redraw(context);
    }
    return true;
}

}  // namespace pelko
