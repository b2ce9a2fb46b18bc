#include "editor/skin/bitmap_font.h"

#include <algorithm>

namespace pelko {

Ref<BitmapFont> BitmapFont::build(Ref<Bitmap> bitmap)
{
    if (!bitmap || bitmap->width() <= 0 || bitmap->height() <= 0) {
        return {};
    }
    return Ref<BitmapFont>::adopt(new BitmapFont(std::move(bitmap)));
}

BitmapFont::BitmapFont(Ref<Bitmap> bitmap) : bitmap_(std::move(bitmap))
{
    // The marker row is read at the first pixel of every unit.
    const int scale = bitmap_->scale();
    std::uint32_t marker = bitmap_->pixel(0, 0);
    for (int x = 0; x < bitmap_->width() && glyphCount() < kMaxGlyphs; ++x) {
        if (bitmap_->pixel(x * scale, 0) == marker) {
            starts_.push_back(x);
        }
    }
    digitScale_ = 1.0f / static_cast<float>(charWidth('0') + 1);
}

int BitmapFont::glyphOf(unsigned char c) const
{
    int glyph = static_cast<int>(c) - 32;
    return glyph >= 0 && glyph < glyphCount() ? glyph : -1;
}

int BitmapFont::charWidth(unsigned char c) const
{
    int glyph = glyphOf(c);
    if (glyph < 0) {
        return 0;
    }
    // The last glyph ends at the bitmap's right edge.
    int end = glyph + 1 < glyphCount() ? starts_[static_cast<std::size_t>(glyph) + 1] : bitmap_->width();
    return end - starts_[static_cast<std::size_t>(glyph)];
}

int BitmapFont::textWidth(std::string_view text) const
{
    int width = 0;
    for (unsigned char c : text) {
        width += charWidth(c);
    }
    return width;
}

int BitmapFont::draw(DrawContext& context, std::string_view text, const Rect& r) const
{
    int x = r.left;
    // Glyphs are cut at the rectangle: nothing reaches past its right or bottom edge.
    int rows = std::min(height(), r.height());
    for (unsigned char c : text) {
        int glyph = glyphOf(c);
        if (glyph < 0) {
            continue;
        }
        int width = std::min(charWidth(c), r.right - x);
        if (width <= 0) {
            break;
        }
        if (rows > 0) {
            bitmap_->drawTransparent(context, Rect::ofSize(x, r.top, width, rows),
                                     Point{starts_[static_cast<std::size_t>(glyph)], 1});
        }
        x += width;
    }
    return x - 1;
}

}  // namespace pelko
