// An offscreen drawing surface: an image of a given size, filled with a background colour when
// made, that contexts draw into and that can be copied into another context or written as PNG.
#pragma once

#include "editor/toolkit/geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class DrawContext;

class Offscreen {
public:
    // A side outside 1 … 16384 gives a surface that is not valid() and draws nothing.
    Offscreen(int width, int height, Colour background = colours::kWhite);
    ~Offscreen();
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;

    bool valid() const;
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the area starting at source of this surface into dest of the context.
    void copyTo(DrawContext& context, const Rect& dest, Point source = {}) const;
    // The pixel at (x, y) as 0xRRGGBB; 0 outside the surface.
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
    std::unique_ptr<Native> native_;
};

}  // namespace pelko
