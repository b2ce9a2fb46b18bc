// Controls that show text in the skin's bitmap fonts.
//
// LabelControl (the label set): a background image, a label, a font, each with a disabled
// variant used while the bound thing is disabled. The label is the item's "label", or, when that
// is absent and "hasLabel" is not 0, the bound parameter's display name; "uppercase" converts it.
// Text is placed "hspace" pixels in from the left and "vspace" down from the top.
//
// ValueDisplay adds a value text drawn from "valueX" on, at most padded to "ndigits" characters
// (3 when 0), and the wheel: over the left third of the value area the increment counts 2.5
// times, over the middle third once, elsewhere a tenth.
#pragma once

#include "editor/controls/skin_control.h"
#include "editor/skin/bitmap_font.h"

#include <string>

namespace pelko {

struct LabelLook {
    Ref<Bitmap> background;
    Ref<Bitmap> backgroundDisabled;
    Ref<BitmapFont> font;
    Ref<BitmapFont> fontDisabled;
    int hspace = 0;
    int vspace = 0;
    bool uppercase = false;
    std::string label;
    bool hasLabel = false;

    void read(SkinAttributes& attributes, const std::string& item);
    const Bitmap* backgroundFor(bool disabled) const;
    const BitmapFont* fontFor(bool disabled) const;
};

// Text padded with blanks in front to at least `width` characters.
std::string padFront(std::string text, int width);
std::string upperCase(std::string text);
// The longest start of the text whose glyphs fit in the width (fonts draw past their rectangle).
std::string_view fittingText(const BitmapFont& font, std::string_view text, int width);

class LabelControl : public SkinControl {
public:
    LabelControl(ControlListener* listener, int tag) : SkinControl(listener, tag) {}

    void draw(DrawContext& context) override;
    const LabelLook& look() const { return look_; }
    // What the label shows.
    virtual std::string labelText() const;
    virtual bool disabled() const { return false; }

protected:
    ~LabelControl() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;
    // Background and label; the value displays draw their value after it.
    void drawLabel(DrawContext& context);
    // Draws text in the current font from x (relative to the control's left) at the text line.
    void drawText(DrawContext& context, const std::string& text, int x);

    LabelLook look_;
};

class ValueDisplay : public LabelControl {
public:
    ValueDisplay(ControlListener* listener, int tag) : LabelControl(listener, tag) {}

    void draw(DrawContext& context) override;
    bool wheel(DrawContext* context, Point where, float distance, int buttons) override;
    // The text of the value, before padding.
    virtual std::string valueText() const = 0;
    // The value text as drawn.
    std::string shownValue() const;
    int digits() const { return digits_; }
    int valueX() const { return valueX_; }
    // The wheel's scale at a point (container coordinates).
    float wheelScale(Point where) const;

protected:
    ~ValueDisplay() override = default;
    void configure(SkinAttributes& attributes, const std::string& item) override;

    int digits_ = 3;
    int valueX_ = 0;
};

}  // namespace pelko
