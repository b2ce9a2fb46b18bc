// Fixed text ("StaticText"): one line in a system font ("font", an index of the font table), in
// "fgColor" over "bgColor" (over what is behind when absent), aligned by "align" (1 centre,
// 2 right, otherwise left) and centred vertically. The text is the item's "text", else its
// "label".
#pragma once

#include "editor/controls/skin_control.h"

namespace pelko {

class StaticText final : public SkinControl {
public:
    StaticText(ControlListener* listener, int tag) : SkinControl(listener, tag) { setMouseEnabled(false); }

    void draw(DrawContext& context) override;
    const std::string& text() const { return text_; }

protected:
    ~StaticText() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;

private:
    std::string text_;
    int align_ = 0;
    int font_ = 0;
    Colour foreground_ = colours::kBlack;
    Colour background_ = colours::kWhite;
    bool fill_ = false;
};

}  // namespace pelko
