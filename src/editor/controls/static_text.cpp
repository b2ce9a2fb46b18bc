#include "editor/controls/static_text.h"

#include "editor/toolkit/draw_context.h"

namespace pelko {

void StaticText::configure(SkinAttributes& a, const std::string& item)
{
    SkinControl::configure(a, item);
    text_ = a.text(item, "text");
    if (text_.empty()) {
        text_ = a.text(item, "label");
    }
    align_ = a.integer(item, "align");
    font_ = a.systemFont(item, "font");
    a.colour(item, "fgColor", foreground_);
    fill_ = a.colour(item, "bgColor", background_);
}

void StaticText::draw(DrawContext& context)
{
    if (fill_) {
        context.setFillColour(background_);
        context.fillRect(rect_);
    }
    if (!text_.empty() && !rect_.empty()) {
        context.setFont(font_);
        context.setFontColour(foreground_);
        context.drawString(text_, rect_, false, align_);
    }
    setDirty(false);
}

}  // namespace pelko
