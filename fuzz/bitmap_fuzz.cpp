// Skin images: any bytes as a BMP or PNG file, then drawn opaque and transparent.
#include "editor/toolkit/bitmap.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/image_decoding.h"
#include "editor/toolkit/offscreen.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A smaller side limit than the editor's keeps each run fast; the checks are the same.
    auto image = pelko::decodeImage(std::span<const std::uint8_t>(data, size), 2048);
    if (!image) {
        return 0;
    }
    if (image->width <= 0 || image->height <= 0 || image->width > 2048 || image->height > 2048 ||
        image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) {
        std::abort();
    }
    pelko::Ref<pelko::Bitmap> bitmap = pelko::Bitmap::fromImage(std::move(*image));
    pelko::Offscreen target(32, 32);
    pelko::DrawContext context(target);
    bitmap->draw(context, pelko::Rect{0, 0, 32, 32}, pelko::Point{3, 2});
    bitmap->drawTransparent(context, pelko::Rect{-5, -5, 40, 40});
    return 0;
}
