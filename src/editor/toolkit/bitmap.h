// A bitmap of a skin: its pixels, width and height, the transparent colour (white unless set)
// and an optional mask. Bitmaps are shared through the skin's cache, so they are reference
// counted and never copied per control.
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
    static Ref<Bitmap> fromImage(DecodedImage image);

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel at (x, y) as 0xAARRGGBB (straight alpha); 0 outside the image.
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
    explicit Bitmap(DecodedImage image);
    ~Bitmap() override;
    void paint(DrawContext& context, const Rect& dest, Point source, bool transparent) const;
    void buildKeyedSurface() const;

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    Colour transparent_ = colours::kWhite;
    Ref<Bitmap> mask_;
    std::unique_ptr<Native> native_;
};

}  // namespace pelko
