// An offscreen drawing surface: an image of a given size, filled with a background colour when
// made, that contexts draw into and that can be copied into another context or written as PNG.
//
// A surface of scale 2 holds twice as many pixels in each direction as its size: everything is
// drawn into it in units of its size (the drawing coordinates of every view), and each unit
// covers scale × scale pixels, so lines, text and 2× bitmaps come out at the full resolution.
#pragma once

#include "editor/toolkit/geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class DrawContext;

class Offscreen {
public:
    // A side outside 1 … 16384 pixels gives a surface that is not valid() and draws nothing.
    // A scale other than 2 is 1.
    Offscreen(int width, int height, Colour background = colours::kWhite, int scale = 1);
    ~Offscreen();
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;

    bool valid() const;
    int width() const { return width_; }
    int height() const { return height_; }
    int scale() const { return scale_; }
    // The size in pixels (the size times the scale).
    int pixelWidth() const { return width_ * scale_; }
    int pixelHeight() const { return height_ * scale_; }

    // Copies the area starting at source of this surface into dest of the context.
    void copyTo(DrawContext& context, const Rect& dest, Point source = {}) const;
    // The pixel at (x, y) as 0xRRGGBB, counted in pixels (not in units of the size); 0 outside
    // the surface.
    std::uint32_t pixel(int x, int y) const;
    // Every pixel as 0x00RRGGBB, row by row, stride() bytes apart, with all drawing so far in
    // them (for presenting the surface in a window); none when not valid.
    const std::uint32_t* pixels() const;
    int stride() const;
    // The whole surface as a PNG file, replaced atomically. False when it cannot be written.
    bool writePng(const std::string& path) const;

    struct Native;
    Native& native() const { return *native_; }

private:
    int width_;
    int height_;
    int scale_;
    std::unique_ptr<Native> native_;
};

}  // namespace pelko
