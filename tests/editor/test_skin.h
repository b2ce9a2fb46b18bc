// The test skin: tests/editor/test_skin/skin.ini and skin.dat (every control type the editor
// registers, on the pages and panels) with their bitmaps drawn here, into an install folder.
#pragma once

#include "editor/control_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace editor_testing {

inline void drawSkinBitmap(const std::string& installFolder, const std::string& name, int width, int height,
                           const std::function<void(pelko::DrawContext&)>& paint)
{
    pelko::Offscreen image(width, height, pelko::colours::kWhite);
    {
        pelko::DrawContext context(image);
        paint(context);
    }
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(image.pixel(x, y));
        }
    }
    controls_testing::writeSkinBitmap(installFolder, name, width, height, pixels);
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
}

}  // namespace editor_testing
