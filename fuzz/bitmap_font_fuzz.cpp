// Bitmap fonts: a strip image of any content (the first bytes give its size) made into a font,
// then every character code drawn, at 1x or (the top bit of the second byte) as 2x artwork.
#include "editor/skin/bitmap_font.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/offscreen.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const int scale = (data[1] & 0x80) != 0 ? 2 : 1;
    pelko::DecodedImage image;
    image.width = (1 + data[0] % 200) * scale;
    image.height = (1 + (data[1] & 0x7F) % 24) * scale;
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    // Pixels from the rest of the input, few colours so that markers repeat.
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        std::uint8_t b = 2 + i < size ? data[2 + i] : 0;
        image.pixels[i] = 0xFF000000u | ((b & 3u) * 0x555555u);
    }
    auto font = pelko::BitmapFont::build(pelko::Bitmap::fromImage(std::move(image), scale));
    if (!font || font->glyphCount() < 1 || font->glyphCount() > pelko::BitmapFont::kMaxGlyphs) {
        std::abort();
    }
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all.push_back(static_cast<char>(c));
    }
    pelko::Offscreen target(64, 16, pelko::colours::kWhite, scale);
    pelko::DrawContext context(target);
    // Text is cut at the rectangle's right edge: the last column drawn is the text's or the edge's.
    int right = font->draw(context, all, pelko::Rect{0, 0, 64, 16});
    if (right != std::min(font->textWidth(all), 64) - 1) {
        std::abort();
    }
    return 0;
}
