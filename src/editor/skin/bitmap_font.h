// A bitmap font: a strip image whose top row marks where each glyph starts (pixels of the
// top-left pixel's colour). Glyph k is the character 32 + k and occupies the columns from its
// start to the next start and the rows below the marker row. At most 127 glyphs.
// A strip of 2× artwork has the same layout at twice the pixels: its marker row is two pixels
// high and each glyph starts at an even column (twice the 1× column); starts, widths and the
// height are kept in units, as for the 1× strip.
#pragma once

#include "editor/toolkit/bitmap.h"
#include "editor/toolkit/geometry.h"
#include "editor/toolkit/ref.h"

#include <string_view>
#include <vector>

namespace pelko {

class DrawContext;

class BitmapFont final : public RefCounted {
public:
    static constexpr int kMaxGlyphs = 127;

    // Holds a reference to the bitmap. None when there is no bitmap.
    static Ref<BitmapFont> build(Ref<Bitmap> bitmap);

    int glyphCount() const { return static_cast<int>(starts_.size()); }
    int glyphStart(int glyph) const { return starts_[static_cast<std::size_t>(glyph)]; }
    // Width of the glyph of a character; 0 for characters the strip does not hold.
    int charWidth(unsigned char c) const;
    int textWidth(std::string_view text) const;
    // 1 / (width of "0" + 1).
    float digitScale() const { return digitScale_; }
    int height() const { return bitmap_->height() - 1; }
    const Bitmap& bitmap() const { return *bitmap_; }

    // Draws the text from the rectangle's left and top, glyphs placed without gaps, leaving out
    // the bitmap's transparent colour; characters the strip does not hold are not drawn.
    // Returns the right edge of what was drawn (the last x - 1).
    int draw(DrawContext& context, std::string_view text, const Rect& r) const;

private:
    explicit BitmapFont(Ref<Bitmap> bitmap);
    ~BitmapFont() override = default;
    int glyphOf(unsigned char c) const;

    Ref<Bitmap> bitmap_;
    std::vector<int> starts_;  // glyph start columns
    float digitScale_ = 1.0f;
};

}  // namespace pelko
