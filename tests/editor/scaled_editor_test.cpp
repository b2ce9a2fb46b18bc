// The editor at 2×: the rule that picks the scale, bitmaps and fonts drawn at twice the pixels,
// the skin's 2x/ artwork with its fallback, the rectangle the host is told, and the mouse through
// a real window (a private X server), where a distance in screen pixels is half as many units.
#include "editor/editor_fixture.h"
#include "editor/test_skin.h"
#include "support/x_server.h"

#include "config/registry_store.h"
#include "editor/core/editor_scale.h"
#include "editor/toolkit/draw_context.h"
#include "platform/display_resolution.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kCutoff = 111;

// A w × h image whose pixel (x, y) has a colour of its own.
DecodedImage numberedImage(int width, int height)
{
    DecodedImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>((x * 16) << 16 | (y * 16) << 8 | 0x40));
        }
    }
    return image;
}

TEST(EditorScaleRule, TheSettingWinsAndAutoTakesTwoFrom144DpiOn)
{
    using S = std::optional<std::string_view>;
    EXPECT_EQ(chooseEditorScale(S("2"), 96.0), 2);
    EXPECT_EQ(chooseEditorScale(S(" 1\t"), 200.0), 1);
    for (S automatic : {S(), S("auto"), S("3"), S(""), S("2x")}) {
        EXPECT_EQ(chooseEditorScale(automatic, 143.9), 1);
        EXPECT_EQ(chooseEditorScale(automatic, 144.0), 2);
        EXPECT_EQ(chooseEditorScale(automatic, std::nullopt), 1);
    }

    // The resource database: Xft.dpi before the looser patterns, numbers only, sane values only.
    EXPECT_EQ(dpiFromResources("Xft.antialias:\t1\nXft.dpi:\t144\n"), 144.0);
    EXPECT_EQ(dpiFromResources("*dpi:\t96\nXft.dpi:\t192.5\n"), 192.5);
    EXPECT_EQ(dpiFromResources("*dpi: 120"), 120.0);
    EXPECT_FALSE(dpiFromResources("Xft.dpi:\t144dpi\n"));
    EXPECT_FALSE(dpiFromResources("Xft.dpi:\t0\n"));
    EXPECT_FALSE(dpiFromResources("Xft.dpi\n\n:"));
    EXPECT_FALSE(dpiFromResources(""));
    // The screen's size: 3840 pixels over 677 mm is 144 dpi; an unknown size tells nothing.
    EXPECT_NEAR(*dpiFromScreenSize(3840, 677), 144.07, 0.01);
    EXPECT_FALSE(dpiFromScreenSize(1920, 0));
    EXPECT_FALSE(dpiFromScreenSize(1920, 1));
}

TEST(ScaledDrawing, A2xBitmapIsCopiedPixelForPixelAndA1xBitmapIsDoubled)
{
    Ref<Bitmap> fine = Bitmap::fromImage(numberedImage(8, 6), 2);
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->width(), 4);
    EXPECT_EQ(fine->height(), 3);
    Ref<Bitmap> coarse = Bitmap::fromImage(numberedImage(4, 3));
    Offscreen target(10, 4, colours::kWhite, 2);
    ASSERT_EQ(target.pixelWidth(), 20);
    {
        DrawContext context(target);
        fine->draw(context, Rect::ofSize(1, 0, 4, 3));
        coarse->draw(context, Rect::ofSize(6, 0, 4, 3));
    }
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(target.pixel(2 + x, y), fine->pixel(x, y) & 0xFFFFFFu) << x << "," << y;
            ASSERT_EQ(target.pixel(12 + x, y), coarse->pixel(x / 2, y / 2) & 0xFFFFFFu) << x << "," << y;
        }
    }
    // A source offset in units starts at the doubled pixel; lines cover whole units.
    Offscreen second(2, 2, colours::kWhite, 2);
    {
        DrawContext context(second);
        fine->draw(context, Rect{0, 0, 1, 1}, Point{3, 2});
        context.setPenColour(colours::kBlack);
        context.moveTo(Point{0, 1});
        context.lineTo(Point{2, 1});
    }
    EXPECT_EQ(second.pixel(1, 1), fine->pixel(7, 5) & 0xFFFFFFu);
    EXPECT_EQ(second.pixel(0, 2), 0u);
    EXPECT_EQ(second.pixel(3, 3), 0u);
    EXPECT_EQ(second.pixel(2, 0), 0xFFFFFFu);
    // 2x artwork must cover whole units.
    EXPECT_FALSE(Bitmap::fromImage(numberedImage(7, 6), 2));
}

TEST(ScaledDrawing, A2xFontKeepsItsLayoutInUnitsAndDrawsEveryPixel)
{
    // Three glyphs (blank, "!", the quote) starting at units 0, 2 and 5 of an 8-unit strip, three
    // units high below a marker band of two pixels; the ink is a one-pixel stripe.
    constexpr std::uint32_t kMarker = 0xFFFF00FFu;
    DecodedImage strip{16, 8, std::vector<std::uint32_t>(16 * 8, 0xFFFFFFFFu)};
    for (int x = 0; x < 16; ++x) {
        strip.pixels[static_cast<std::size_t>(x)] = strip.pixels[static_cast<std::size_t>(16 + x)] = 0xFF000001u;
    }
    for (int start : {0, 4, 10}) {
        strip.pixels[static_cast<std::size_t>(start)] = strip.pixels[static_cast<std::size_t>(start + 1)] = kMarker;
    }
    strip.pixels[static_cast<std::size_t>(3 * 16 + 5)] = 0xFF102030u;  // "!" at unit (0.5, 0.5)
    Ref<BitmapFont> font = BitmapFont::build(Bitmap::fromImage(std::move(strip), 2));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->glyphCount(), 3);
    EXPECT_EQ(font->glyphStart(2), 5);
    EXPECT_EQ(font->charWidth('!'), 3);
    EXPECT_EQ(font->charWidth('"'), 3);
    EXPECT_EQ(font->height(), 3);
    Offscreen target(6, 3, colours::kBlue, 2);
    {
        DrawContext context(target);
        EXPECT_EQ(font->draw(context, " !", Rect{0, 0, 6, 3}), 4);
    }
    EXPECT_EQ(target.pixel(5, 1), 0x102030u);
    EXPECT_EQ(target.pixel(4, 1), 0x0000FFu);  // white is left out, pixel by pixel
    EXPECT_EQ(target.pixel(5, 2), 0x0000FFu);
}

TEST(ScaledSkin, BitmapsComeFromThe2xFolderOrFromThe1xFileWithOneDiagnostic)
{
    testing_support::TempFolder folder;
    const std::string skin = folder.path() + "skin/";
    std::filesystem::create_directories(skin + "2x");
    auto write = [](const std::string& path, int width, int height) {
        writeFile(path, bmpBytes(width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0x336699)));
    };
    write(skin + "both.bmp", 4, 3);
    write(skin + "2x/both.bmp", 8, 6);
    write(skin + "only1x.bmp", 4, 3);
    write(skin + "odd.bmp", 4, 3);
    write(skin + "2x/odd.bmp", 7, 6);
    write(skin + "2x/only2x.bmp", 8, 6);
    write(skin + "small.bmp", 4, 3);
    write(skin + "2x/small.bmp", 6, 4);

    SkinResources resources;
    resources.setInstallFolder(folder.path());
    testing::internal::CaptureStderr();
    Ref<Bitmap> both = resources.bitmap("both.bmp", 2);
    Ref<Bitmap> fallback = resources.bitmap("only1x.bmp", 2);
    Ref<Bitmap> again = resources.bitmap("only1x.bmp", 2);
    Ref<Bitmap> odd = resources.bitmap("odd.bmp", 2);
    Ref<Bitmap> none = resources.bitmap("only2x.bmp", 1);
    Ref<Bitmap> small = resources.bitmap("small.bmp", 2);
    Ref<Bitmap> alone = resources.bitmap("only2x.bmp", 2);
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(both && fallback && odd);
    EXPECT_EQ(both->scale(), 2);
    EXPECT_EQ(both->width(), 4);
    EXPECT_NE(both.get(), resources.bitmap("both.bmp", 1).get());
    // The fallback is the 1x bitmap itself, shared with the 1x cache and asked for only once.
    EXPECT_EQ(fallback->scale(), 1);
    EXPECT_EQ(fallback.get(), again.get());
    EXPECT_EQ(fallback.get(), resources.bitmap("only1x.bmp", 1).get());
    EXPECT_EQ(odd->scale(), 1);
    EXPECT_FALSE(none);
    // A 2x file not twice the 1x size would misplace what is drawn over it; one without a 1x file
    // is taken as it is.
    ASSERT_TRUE(small && alone);
    EXPECT_EQ(small->scale(), 1);
    EXPECT_EQ(alone->scale(), 2);
    EXPECT_EQ(diagnostics,
              "skin: 2x/only1x.bmp is missing or unusable; only1x.bmp is drawn scaled up\n"
              "skin: 2x/odd.bmp is missing or unusable; odd.bmp is drawn scaled up\n"
              "skin: 2x/small.bmp is missing or unusable; small.bmp is drawn scaled up\n");
}

// The editor of the test skin (a 420 x 300 frame).
class ScaledEditor : public EditorFixture {
protected:
    void installSkin(const std::string& folder) override { installTestSkin(folder); }
    void setScaleSetting(const char* value) { plugin->plugin()->settings().writeText(registry::kEditorScale, value); }
    vst2::ERect rectangle()
    {
        vst2::ERect* r = nullptr;
        dispatch(vst2::effEditGetRect, 0, 0, &r);
        return r != nullptr ? *r : vst2::ERect{};
    }
};

TEST_F(ScaledEditor, TheSettingDoublesTheRectangleTheFrameAndItsPicture)
{
    const vst2::ERect normal = rectangle();
    EXPECT_EQ(normal.right - normal.left, 420);
    setScaleSetting("2");
    // Decided for the opening to come: the setting is read again only after closing.
    EXPECT_EQ(rectangle().right, normal.right);
    ASSERT_TRUE(openHeadless());
    dispatch(vst2::effEditClose);
    const vst2::ERect doubled = rectangle();
    EXPECT_EQ(doubled.top, 10);
    EXPECT_EQ(doubled.left, 10);
    EXPECT_EQ(doubled.right - doubled.left, 840);
    EXPECT_EQ(doubled.bottom - doubled.top, 600);

    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(openHeadless());
    const double openMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // The test skin has all its 2x artwork: nothing is reported.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Measured, not asserted: printed for the record.
    std::printf("editor open at 2x (bitmaps loaded) %.2f ms\n", openMs);
    Frame* frame = editor->frame();
    EXPECT_EQ(frame->scale(), 2);
    EXPECT_EQ(frame->rect().width(), 420);
    EXPECT_EQ(frame->backBuffer().pixelWidth(), 840);
    // The knob strip is drawn from its 2x file: the knob's pixels are not all doubled.
    auto* knob = dynamic_cast<Control*>(editor->controlUnderTag(kCutoff));
    ASSERT_NE(knob, nullptr);
    const Rect area = knob->frameRect();
    int unlikePairs = 0;
    for (int y = area.top * 2; y < area.bottom * 2; ++y) {
        for (int x = area.left * 2; x < area.right * 2; x += 2) {
            unlikePairs += frame->backBuffer().pixel(x, y) != frame->backBuffer().pixel(x + 1, y) ? 1 : 0;
        }
    }
    EXPECT_GT(unlikePairs, 0);
    // Clicks are in units, as at 1x.
    knob->setValue(0.2f);
    frame->pressMouse(centreOf(*knob), kMouseLeft, 1000);
    frame->moveMouse(Point{centreOf(*knob).h, centreOf(*knob).v - 50}, kMouseLeft);
    frame->releaseMouse(Point{centreOf(*knob).h, centreOf(*knob).v - 50}, 0);
    EXPECT_NEAR(knob->value(), 0.45f, 1e-3);
    dispatch(vst2::effEditClose);

    // A tool may force the scale whatever the setting says; "auto" without a window is 1x.
    setScaleSetting("auto");
    dispatch(vst2::effVendorSpecific, kEditorScaleCall, 2);
    EXPECT_EQ(rectangle().right - rectangle().left, 840);
    dispatch(vst2::effVendorSpecific, kEditorScaleCall, 0);
    ASSERT_TRUE(openHeadless());
    EXPECT_EQ(editor->frame()->scale(), 1);
    EXPECT_EQ(rectangle().right - rectangle().left, 420);
}

TEST_F(ScaledEditor, MissingArtworkFallsBackToThe1xBitmapsScaledUp)
{
    std::filesystem::remove(environment.installFolder() + "skin/2x/knob.bmp");
    setScaleSetting("2");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(openHeadless());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "skin: 2x/knob.bmp is missing or unusable; knob.bmp is drawn scaled up\n");
    auto* knob = dynamic_cast<Control*>(editor->controlUnderTag(kCutoff));
    ASSERT_NE(knob, nullptr);
    const Rect area = knob->frameRect();
    const Offscreen& picture = editor->frame()->backBuffer();
    for (int y = area.top * 2; y < area.bottom * 2; y += 2) {
        for (int x = area.left * 2; x < area.right * 2; x += 2) {
            ASSERT_EQ(picture.pixel(x, y), picture.pixel(x + 1, y + 1)) << x << "," << y;
        }
    }
}

class ScaledEditorInHostWindow : public ScaledEditor {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error();
        ScaledEditor::SetUp();
    }
    void idle() { dispatch(vst2::effEditIdle); }

    testing_support::XServer server{1280, 900};
};

TEST_F(ScaledEditorInHostWindow, TheWindowIsTwiceAsLargeAndAPointerDragCountsHalfTheDistance)
{
    setScaleSetting("2");
    const vst2::ERect r = rectangle();
    const testing_support::XWindow parent = server.createParentWindow(r.right - r.left, r.bottom - r.top, 0, 0);
    ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    idle();
    server.sync();
    const std::vector<testing_support::XWindow> children = server.children(parent);
    ASSERT_EQ(children.size(), 1u);
    const testing_support::XWindow window = children[0];

    auto* knob = dynamic_cast<Control*>(editor->controlUnderTag(kCutoff));
    ASSERT_NE(knob, nullptr);
    plugin->effect()->setParameter(plugin->effect(), kCutoff, 0.2f);
    idle();
    const Point centre = centreOf(*knob);
    // What the window shows at the knob's centre is the back buffer's pixel there.
    testing_support::eventually(
        [&] { return server.pixel(window, centre.h * 2, centre.v * 2) ==
                     static_cast<long>(editor->frame()->backBuffer().pixel(centre.h * 2, centre.v * 2)); },
        [&] { idle(); });
    EXPECT_EQ(server.pixel(window, centre.h * 2 + 1, centre.v * 2 + 1),
              static_cast<long>(editor->frame()->backBuffer().pixel(centre.h * 2 + 1, centre.v * 2 + 1)));
    // 100 screen pixels up are 50 units: a quarter of the range in linear knob mode.
    server.drag(window, centre.h * 2, centre.v * 2, centre.h * 2, centre.v * 2 - 100, 20, [&] { idle(); });
    testing_support::eventually([&] { return plugin->openGestures() == 0; }, [&] { idle(); });
    EXPECT_NEAR(plugin->plugin()->getParameter(kCutoff), 0.45f, 1e-3);

    // A popup menu's window has twice the pixels of its panel: its right edge shows the outline.
    Frame* frame = editor->frame();
    frame->openPopupMenu({MenuItem::entry("First"), MenuItem::entry("Second")}, Point{20, 20}, [](int) {});
    ASSERT_NE(frame->popupMenu(), nullptr);
    const Rect panel = frame->popupMenu()->panelAreas().at(0);
    idle();
    server.sync();
    const std::vector<testing_support::XWindow> popups = server.popupWindows();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(server.pixel(popups[0], panel.width() * 2 - 1, 10), 0x7F7F7F);
    EXPECT_EQ(server.pixel(popups[0], panel.width() * 2 - 3, 10), 0xF0F0F0);
    frame->closePopupMenu();
    dispatch(vst2::effEditClose);
}

}  // namespace

namespace {

TEST(ScaledDrawing, PopupMenusDrawAtTheFramesScaleAndTakeClicksInUnits)
{
    Ref<Frame> frame = Ref<Frame>::adopt(new Frame(200, 120, nullptr, 2));
    int chosen = -1;
    frame->openPopupMenu({MenuItem::entry("First"), MenuItem::line(), MenuItem::entry("Second")}, Point{20, 10},
                         [&](int index) { chosen = index; });
    ASSERT_NE(frame->popupMenu(), nullptr);
    const Rect panel = frame->popupMenu()->panelAreas().at(0);
    testing_support::TempFolder out;
    ASSERT_TRUE(frame->renderToPng(out.path() + "menu.png"));
    if (const char* keep = std::getenv("PELKO_EDITOR_SHOTS")) {
        std::filesystem::copy_file(out.path() + "menu.png", std::string(keep) + "menu2x.png",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    Ref<Bitmap> picture = Bitmap::load(out.path() + "menu.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 400);
    // The panel's grey outline is one unit wide: two pixels, and the panel colour inside it.
    EXPECT_EQ(picture->pixel(panel.left * 2, panel.top * 2 + 10) & 0xFFFFFFu, 0x7F7F7Fu);
    EXPECT_EQ(picture->pixel(panel.left * 2 + 1, panel.top * 2 + 10) & 0xFFFFFFu, 0x7F7F7Fu);
    EXPECT_EQ(picture->pixel(panel.left * 2 + 2, panel.top * 2 + 10) & 0xFFFFFFu, 0xF0F0F0u);
    // The second entry, below the separator, in units.
    const Point second{panel.left + 10, panel.top + 2 + 18 + 7 + 9};
    frame->pressMouse(second, kMouseLeft, 1000);
    frame->releaseMouse(second, 0);
    EXPECT_EQ(chosen, 1);
}

}  // namespace
