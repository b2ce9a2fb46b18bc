// The test skin: tests/editor/test_skin/skin.ini and skin.dat (every control type the editor
// registers, on the pages and panels) with their bitmaps drawn here, into an install folder.
#pragma once

#include "editor/control_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace editor_testing {

// Draws a bitmap of the skin at 1x into skin/ and, with the same drawing at twice the pixels,
// into skin/2x/.
inline void drawSkinBitmap(const std::string& installFolder, const std::string& name, int width, int height,
                           const std::function<void(pelko::DrawContext&)>& paint)
{
    for (int scale : {1, 2}) {
        pelko::Offscreen image(width, height, pelko::colours::kWhite, scale);
        {
            pelko::DrawContext context(image);
            paint(context);
        }
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < image.pixelHeight(); ++y) {
            for (int x = 0; x < image.pixelWidth(); ++x) {
                pixels.push_back(image.pixel(x, y));
            }
        }
        std::filesystem::create_directories(installFolder + "skin/2x");
        controls_testing::writeSkinBitmap(installFolder, scale == 1 ? name : "2x/" + name, image.pixelWidth(),
                                          image.pixelHeight(), pixels);
    }
}

// ---- the 2x artwork of the strips and fonts ------------------------------------------------------
// A skin bitmap written again into skin/2x/ with every pixel doubled (the button strips: solid
// colours, the same at any size).
inline void writeDoubledBitmap(const std::string& installFolder, const std::string& name)
{
    pelko::Ref<pelko::Bitmap> original = pelko::Bitmap::load(installFolder + "skin/" + name);
    ASSERT_TRUE(original) << name;
    const int width = original->width() * 2;
    const int height = original->height() * 2;
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(original->pixel(x / 2, y / 2) & 0xFFFFFFu);
        }
    }
    std::filesystem::create_directories(installFolder + "skin/2x");
    controls_testing::writeSkinBitmap(installFolder, "2x/" + name, width, height, pixels);
}

// The 2x strip of a bitmap font written by writeBitmapFont: the same glyph starts and widths in
// units, each glyph drawn again with the system font at twice the pixels, the marker row two pixels
// high with the marker pixels at the doubled starts.
inline void writeBitmapFont2x(const std::string& installFolder, const std::string& name, std::uint32_t colour)
{
    pelko::Ref<pelko::BitmapFont> font = pelko::BitmapFont::build(pelko::Bitmap::load(installFolder + "skin/" + name));
    ASSERT_TRUE(font) << name;
    const int width = font->bitmap().width() * 2;
    const int rows = font->height() * 2;
    constexpr std::uint32_t kMarker = 0xFF00FF;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * (rows + 2)), 0xFFFFFF);
    for (int x = 0; x < width; ++x) {
        pixels[static_cast<std::size_t>(x)] = pixels[static_cast<std::size_t>(width + x)] = 0x000001;
    }
    const pelko::Colour ink{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                            static_cast<std::uint8_t>(colour), 0};
    for (int glyph = 0; glyph < font->glyphCount(); ++glyph) {
        const int start = font->glyphStart(glyph) * 2;
        const int glyphWidth = font->charWidth(static_cast<unsigned char>(32 + glyph));
        pixels[static_cast<std::size_t>(start)] = pixels[static_cast<std::size_t>(width + start)] = kMarker;
        pelko::Offscreen image(glyphWidth, font->height(), pelko::colours::kWhite, 2);
        {
            pelko::DrawContext context(image);
            context.setFont(5);
            context.setFontColour(ink);
            context.drawString(std::string(1, static_cast<char>(32 + glyph)), pelko::Rect{0, 0, glyphWidth, font->height()});
        }
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < glyphWidth * 2; ++x) {
                std::uint32_t p = image.pixel(x, y);
                const bool inked = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 700;
                pixels[static_cast<std::size_t>((y + 2) * width + start + x)] = inked ? colour : 0xFFFFFF;
            }
        }
    }
    controls_testing::writeSkinBitmap(installFolder, "2x/" + name, width, rows + 2, pixels);
}

inline void fill(pelko::DrawContext& c, pelko::Rect r, pelko::Colour colour)
{
    c.setFillColour(colour);
    c.fillRect(r);
}

inline void installTestSkin(const std::string& installFolder)
{
    using pelko::Colour;
    using pelko::Rect;
    const std::string skin = installFolder + "skin/";
    std::filesystem::create_directories(skin);
    const std::string source = std::string(PELKO_SOURCE_DIR) + "/tests/editor/test_skin/";
    for (const char* file : {"skin.ini", "skin.dat"}) {
        std::filesystem::copy_file(source + file, skin + file, std::filesystem::copy_options::overwrite_existing);
    }
    drawSkinBitmap(installFolder, "back.bmp", 420, 300, [](auto& c) { fill(c, Rect{0, 0, 420, 300}, Colour{30, 34, 44, 0}); });
    drawSkinBitmap(installFolder, "page.bmp", 420, 220, [](auto& c) {
        fill(c, Rect{0, 0, 420, 220}, Colour{44, 52, 66, 0});
        fill(c, Rect{220, 0, 222, 220}, Colour{70, 80, 100, 0});
    });
    drawSkinBitmap(installFolder, "panel.bmp", 200, 80, [](auto& c) {
        fill(c, Rect{0, 0, 200, 80}, Colour{90, 60, 40, 0});
        fill(c, Rect{2, 2, 198, 78}, Colour{60, 40, 30, 0});
    });
    drawSkinBitmap(installFolder, "label.bmp", 200, 14, [](auto& c) { fill(c, Rect{0, 0, 200, 14}, Colour{20, 24, 32, 0}); });
    constexpr int kKnobs = 16;
    drawSkinBitmap(installFolder, "knob.bmp", 24, 24 * kKnobs, [](auto& c) {
        for (int i = 0; i < kKnobs; ++i) {
            const int top = i * 24;
            c.setFillColour(Colour{80, 80, 96, 0});
            c.fillEllipse(Rect::ofSize(1, top + 1, 22, 22));
            // The pointer: a bar whose length grows with the value.
            fill(c, Rect{11, top + 20 - i, 13, top + 20}, Colour{255, 200, 40, 0});
        }
    });
    drawSkinBitmap(installFolder, "groove.bmp", 12, 60, [](auto& c) { fill(c, Rect{5, 2, 7, 58}, Colour{10, 10, 10, 0}); });
    drawSkinBitmap(installFolder, "handle.bmp", 12, 8, [](auto& c) {
        fill(c, Rect{0, 0, 12, 8}, Colour{200, 200, 210, 0});
        fill(c, Rect{0, 3, 12, 5}, Colour{20, 20, 20, 0});
    });
    drawSkinBitmap(installFolder, "tabs.bmp", 420, 80, [](auto& c) {
        const Colour bands[4] = {Colour{50, 50, 60, 0}, Colour{60, 80, 60, 0}, Colour{90, 90, 130, 0}, Colour{100, 140, 100, 0}};
        for (int band = 0; band < 4; ++band) {
            for (int tab = 0; tab < 6; ++tab) {
                Rect r = Rect::ofSize(tab * 70 + 1, band * 20 + 1, 68, 18);
                fill(c, r, bands[band]);
                fill(c, Rect::ofSize(r.left + 2, r.top + 6, 6, 6), (band & 1) != 0 ? Colour{80, 255, 80, 0} : Colour{20, 40, 20, 0});
                c.setFont(5);
                c.setFontColour(pelko::colours::kWhite);
                c.drawString("Osc" + std::to_string(tab + 1), Rect::ofSize(r.left + 12, r.top, 54, 18));
            }
        }
    });
    controls_testing::writeStrip(installFolder, "onoff.bmp", 24, 12, {0x464646, 0x28C85A});
    controls_testing::writeStrip(installFolder, "button.bmp", 24, 12, {0x505070, 0xE07820});
    controls_testing::writeStrip(installFolder, "three.bmp", 24, 12, {0x464646, 0xE07814, 0xF03C28});
    controls_testing::writeBitmapFont(installFolder, "font.bmp", 0xE0E0A0);
    controls_testing::writeBitmapFont(installFolder, "dim.bmp", 0x707070);
    // The 2x artwork of the strips and fonts (the drawn bitmaps have theirs already).
    for (const char* strip : {"onoff.bmp", "button.bmp", "three.bmp"}) {
        writeDoubledBitmap(installFolder, strip);
    }
    writeBitmapFont2x(installFolder, "font.bmp", 0xE0E0A0);
    writeBitmapFont2x(installFolder, "dim.bmp", 0x707070);
}

}  // namespace editor_testing
