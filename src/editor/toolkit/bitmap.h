// A bitmap of a skin: its pixels, width and height, the transparent colour (white unless set)
// and an optional mask. Bitmaps are shared through the skin's cache, so they are reference
// counted and never copied per control.
//
// A bitmap of scale 2 is artwork for a 2× editor: it holds twice the pixels of its size in each
// direction and is drawn one pixel per device pixel of a 2× surface. Its width and height (and
// every rectangle and source point of a draw) are in units of its size, as for the 1× bitmap it
// stands for; only pixel() counts pixels.
#pragma once

#include "editor/toolkit/geometry.h"
#include "editor/toolkit/image_decoding.h"
#include "editor/toolkit/ref.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class DrawContext;

class Bitmap final : public RefCounted {
public:
    // None when the file cannot be read or is not an acceptable image (image_decoding.h).
    static Ref<Bitmap> load(const std::string& path, int maxDimension = kMaxImageDimension);
    // As load, for artwork of the scale given (1 or 2); none when a scale-2 image has an odd side.
    static Ref<Bitmap> loadScaled(const std::string& path, int scale);
    static Ref<Bitmap> fromImage(DecodedImage image, int scale = 1);

    int width() const { return width_ / scale_; }
    int height() const { return height_ / scale_; }
    int scale() const { return scale_; }
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    // The pixel at (x, y), counted in pixels, as 0xAARRGGBB (straight alpha); 0 outside the image.
    std::uint32_t pixel(int x, int y) const;

    Colour transparentColour() const { return transparent_; }
    void setTransparentColour(Colour c);
    // Mask pixels that are white mark the image's pixels that a transparent draw leaves out; the
    // mask is used in place of the transparent colour.
    void setMask(Ref<Bitmap> mask);
    const Bitmap* mask() const { return mask_.get(); }

    // Copies the area starting at source into dest, clipped to dest. Pixels with alpha (PNG) are
    // composed over what is there.
    void draw(DrawContext& context, const Rect& dest, Point source = {}) const;
    // As draw, leaving out the pixels of the transparent colour (or those the mask marks).
    void drawTransparent(DrawContext& context, const Rect& dest, Point source = {}) const;

    struct Native;

private:
    Bitmap(DecodedImage image, int scale);
    ~Bitmap() override;
    void paint(DrawContext& context, const Rect& dest, Point source, bool transparent) const;
    void buildKeyedSurface() const;

    int width_ = 0;   // in pixels
    int height_ = 0;
    int scale_ = 1;
    std::vector<std::uint32_t> pixels_;
    Colour transparent_ = colours::kWhite;
    Ref<Bitmap> mask_;
    std::unique_ptr<Native> native_;
};

}  // namespace pelko
