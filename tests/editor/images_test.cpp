// Skin images: the BMP forms common tools write and PNG with alpha load; truncated, absurd,
// empty and foreign files are refused; transparent drawing leaves the white pixels unpainted.
#include "editor/skin/bitmap_font.h"
#include "editor/skin/skin_resources.h"
#include "editor/toolkit/bitmap.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/image_decoding.h"
#include "editor/toolkit/offscreen.h"
#include "editor/image_files.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>

using namespace pelko;
using editor_testing::bmpBytes;

namespace {

const std::vector<std::uint32_t> kPattern = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x000000};

std::vector<std::uint32_t> rgbOf(const DecodedImage& image)
{
    std::vector<std::uint32_t> rgb;
    for (std::uint32_t p : image.pixels) {
        rgb.push_back(p & 0xFFFFFF);
    }
    return rgb;
}

}  // namespace

TEST(SkinImages, BmpFormsOfCommonToolsDecodeToTheSamePixels)
{
    for (int bits : {24, 32, 8}) {
        for (bool topDown : {false, true}) {
            auto bytes = bmpBytes(3, 2, kPattern, bits, topDown);
            auto image = decodeImage(bytes);
            ASSERT_TRUE(image) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(image->width, 3);
            EXPECT_EQ(image->height, 2);
            EXPECT_EQ(rgbOf(*image), kPattern) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(image->pixels[0] >> 24, 0xFFu);
        }
    }
}

TEST(SkinImages, DamagedAbsurdAndForeignFilesAreRefused)
{
    auto good = bmpBytes(3, 2, kPattern);
    auto truncated = good;
    truncated.resize(good.size() - 5);
    EXPECT_FALSE(decodeImage(truncated));
    auto absurd = good;
    // Width 20000 in the info header.
    absurd[18] = 0x20;
    absurd[19] = 0x4E;
    EXPECT_FALSE(decodeImage(absurd));
    auto zeroWidth = good;
    zeroWidth[18] = zeroWidth[19] = 0;
    EXPECT_FALSE(decodeImage(zeroWidth));
    std::string text = "not an image at all";
    EXPECT_FALSE(decodeImage(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    EXPECT_FALSE(decodeImage({}));
    // A side above the caller's limit.
    EXPECT_FALSE(decodeImage(bmpBytes(5, 1, {1, 2, 3, 4, 5}), 4));
    EXPECT_FALSE(Bitmap::load("/nonexistent/skin/knob.bmp"));
}

TEST(SkinImages, TransparentDrawLeavesPureWhiteUnpaintedAndAMaskReplacesTheColour)
{
    DecodedImage image{2, 2, {0xFFFFFFFFu, 0xFFFF0000u, 0xFFFEFFFFu, 0xFF00FF00u}};
    Ref<Bitmap> bitmap = Bitmap::fromImage(image);
    ASSERT_TRUE(bitmap);
    Offscreen target(4, 2, colours::kBlue);
    {
        DrawContext context(target);
        bitmap->drawTransparent(context, Rect{0, 0, 2, 2});
        bitmap->draw(context, Rect{2, 0, 4, 2});
    }
    EXPECT_EQ(target.pixel(0, 0), 0x0000FFu);  // white left out
    EXPECT_EQ(target.pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(target.pixel(0, 1), 0xFEFFFFu);  // almost white is painted
    EXPECT_EQ(target.pixel(2, 0), 0xFFFFFFu);  // the opaque copy paints white
    // A mask: its white pixels are left out instead.
    bitmap->setMask(Bitmap::fromImage(DecodedImage{2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u}}));
    Offscreen masked(2, 2, colours::kBlue);
    {
        DrawContext context(masked);
        bitmap->drawTransparent(context, Rect{0, 0, 2, 2});
    }
    EXPECT_EQ(masked.pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(masked.pixel(1, 0), 0x0000FFu);
}

TEST(SkinImages, DrawsClipToTheDestinationAndTheSourceOffset)
{
    Ref<Bitmap> bitmap = Bitmap::fromImage(DecodedImage{3, 1, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}});
    Offscreen target(4, 1, colours::kBlack);
    {
        DrawContext context(target);
        bitmap->draw(context, Rect{0, 0, 1, 1}, Point{1, 0});
        bitmap->draw(context, Rect{2, 0, 4, 1}, Point{2, 0});  // second column past the image
    }
    EXPECT_EQ(target.pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(target.pixel(1, 0), 0x000000u);
    EXPECT_EQ(target.pixel(2, 0), 0x0000FFu);
    EXPECT_EQ(target.pixel(3, 0), 0x000000u);
}

TEST(BitmapFonts, MarkersStartGlyphsAndCharactersOutsideTheStripDrawNothing)
{
    // Marker colour red at columns 0, 2 and 5: glyphs ' ' (2 wide), '!' (3), '"' (to the edge, 2).
    const std::uint32_t M = 0xFFFF0000u, W = 0xFFFFFFFFu, K = 0xFF000000u;
    DecodedImage strip{7, 2, {M, W, M, W, W, M, W, K, K, W, K, W, K, K}};
    auto font = BitmapFont::build(Bitmap::fromImage(strip));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->glyphCount(), 3);
    EXPECT_EQ(font->charWidth('!'), 3);
    EXPECT_EQ(font->charWidth('"'), 2);
    EXPECT_EQ(font->charWidth('A'), 0);
    EXPECT_EQ(font->charWidth('\t'), 0);
    EXPECT_FLOAT_EQ(font->digitScale(), 1.0f);  // no "0" glyph
    Offscreen target(10, 1, colours::kBlue);
    int right = 0;
    {
        DrawContext context(target);
        right = font->draw(context, std::string("!\x01\xff" "A\"", 5), Rect{0, 0, 10, 1});
    }
    EXPECT_EQ(right, 4);
    EXPECT_EQ(target.pixel(0, 0), 0x0000FFu);  // white of '!' left out
    EXPECT_EQ(target.pixel(1, 0), 0x000000u);
    EXPECT_EQ(target.pixel(3, 0), 0x000000u);  // '"' follows at once
    EXPECT_EQ(target.pixel(5, 0), 0x0000FFu);

    // More than 127 markers: the first 127 count.
    DecodedImage many{300, 1, std::vector<std::uint32_t>(300, M)};
    EXPECT_EQ(BitmapFont::build(Bitmap::fromImage(many))->glyphCount(), 127);
    EXPECT_FALSE(BitmapFont::build({}));
}

TEST(BitmapFonts, TextIsCutAtTheRightAndBottomOfItsRectangle)
{
    // One glyph ' ' three columns wide and two rows tall, all black.
    const std::uint32_t M = 0xFFFF0000u, K = 0xFF000000u;
    DecodedImage strip{3, 3, {M, K, K, K, K, K, K, K, K}};
    auto font = BitmapFont::build(Bitmap::fromImage(strip));
    ASSERT_TRUE(font);
    Offscreen target(8, 3, colours::kBlue);
    int right = 0;
    {
        DrawContext context(target);
        right = font->draw(context, "  ", Rect{0, 0, 4, 1});
    }
    EXPECT_EQ(right, 3);
    EXPECT_EQ(target.pixel(3, 0), 0x000000u);  // the second glyph's first column still fits
    EXPECT_EQ(target.pixel(4, 0), 0x0000FFu);  // the rest of it does not
    EXPECT_EQ(target.pixel(0, 1), 0x0000FFu);  // nor the glyphs' second row
}

TEST(SkinCaches, RequestsShareOneBitmapAndCountReferencesUntilTheLastEditorGoes)
{
    testing_support::TempFolder install;
    ASSERT_EQ(::mkdir(install.file("skin").c_str(), 0755), 0);
    editor_testing::writeFile(install.file("skin/knob.bmp"), bmpBytes(3, 2, kPattern));
    editor_testing::writeText(install.file("skin/skin.ini"), "Knob: bitmap=knob.bmp, font=knob.bmp, missing=none.bmp\n");
    {
        SkinSession first(install.path());
        SkinSession second(install.path());
        EXPECT_EQ(SkinSession::count(), 2);
        SkinAttributes attributes;
        Ref<Bitmap> a = attributes.bitmap("Knob", "bitmap");
        Ref<Bitmap> b = attributes.bitmap("Knob", "bitmap");
        ASSERT_TRUE(a);
        EXPECT_EQ(a.get(), b.get());
        EXPECT_EQ(a->referenceCount(), 3);  // the cache and two holders
        b.reset();
        EXPECT_EQ(a->referenceCount(), 2);
        Ref<BitmapFont> font = attributes.bitmapFont("Knob", "font");
        ASSERT_TRUE(font);
        EXPECT_EQ(&font->bitmap(), a.get());
        EXPECT_FALSE(attributes.bitmap("Knob", "missing"));
        EXPECT_EQ(SkinResources::shared().cachedBitmaps(), 1u);
    }
    EXPECT_EQ(SkinSession::count(), 0);
    EXPECT_EQ(SkinResources::shared().cachedBitmaps(), 0u);
    EXPECT_EQ(SkinResources::shared().definitions().size(), 0u);
}

TEST(SkinImages, AStreamThatInflatesFarPastItsStatedSizeIsRefused)
{
    // A 4 × 3 PNG whose compressed rows would inflate to gigabytes (found by fuzzing). The file is
    // refused; the fuzz target, which runs with a memory limit, keeps it as a seed so that the
    // decoder's allocation cap is checked on every run.
    std::ifstream file(std::string(PELKO_SOURCE_DIR) + "/fuzz/corpus/bitmap/png-inflates-past-its-size", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 164u);
    EXPECT_FALSE(decodeImage(bytes));
}
