// A small skin read from its files (a background, a knob strip, a bitmap font, text in the
// system fonts), laid out by skin.dat, drawn with no X server and written as PNG; the picture is
// read back and chosen pixels checked.
#include "editor/skin/skin_layout.h"
#include "editor/skin/skin_resources.h"
#include "editor/toolkit/control.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/frame.h"
#include "editor/image_files.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pelko;

namespace {

constexpr std::uint32_t kBack = 0x336699, kWhite = 0xFFFFFF, kInk = 0x000000, kMark = 0xFF0000;

// A knob strip of 3 frames, 8 x 8 each, stacked vertically: frame k has k + 1 dark columns on
// white (so transparent drawing shows the background elsewhere).
std::vector<std::uint32_t> knobStrip()
{
    std::vector<std::uint32_t> p(8 * 24, kWhite);
    for (int frame = 0; frame < 3; ++frame) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x <= frame; ++x) {
                p[static_cast<std::size_t>((frame * 8 + y) * 8 + x)] = 0x00AA00;
            }
        }
    }
    return p;
}

// Glyphs ' ' (3 wide, empty) and '!' (2 wide, solid ink), 4 rows below the marker row.
std::vector<std::uint32_t> fontStrip()
{
    std::vector<std::uint32_t> p(5 * 5, kWhite);
    p[0] = kMark;
    p[3] = kMark;
    for (int y = 1; y < 5; ++y) {
        p[static_cast<std::size_t>(y * 5 + 3)] = kInk;
        p[static_cast<std::size_t>(y * 5 + 4)] = kInk;
    }
    return p;
}

class KnobView : public Control {
public:
    KnobView(const Rect& r, Ref<Bitmap> strip, int frames) : Control(r, nullptr, 0, std::move(strip)), frames_(frames) {}
    void draw(DrawContext& context) override
    {
        if (background_ && frames_ > 0) {
            int frame = std::min(frames_ - 1, static_cast<int>(value_ * static_cast<float>(frames_ - 1) + 0.5f));
            background_->drawTransparent(context, rect_, Point{0, frame * rect_.height()});
        }
        setDirty(false);
    }
    int frames_;
};

class LabelView : public View {
public:
    LabelView(const Rect& r, Ref<BitmapFont> font, std::string text) : View(r), font_(std::move(font)), text_(std::move(text)) {}
    void draw(DrawContext& context) override
    {
        if (font_) {
            font_->draw(context, text_, rect_);
        }
        setDirty(false);
    }
    Ref<BitmapFont> font_;
    std::string text_;
};

class TextView : public View {
public:
    TextView(const Rect& r, int font, Colour fg, Colour bg) : View(r), font_(font), fg_(fg), bg_(bg) {}
    void draw(DrawContext& context) override
    {
        context.setFont(font_);
        context.setFontColour(fg_);
        context.setFillColour(bg_);
        context.drawString("Pelko", rect_, true, kAlignCenter);
        setDirty(false);
    }
    int font_;
    Colour fg_, bg_;
};

// Builds views for the test's control types from their skin.ini items.
class TestBuilder : public LayoutBuilder {
public:
    explicit TestBuilder(Frame& frame) : frame_(frame) {}
    void createControl(const std::string& type, const std::string& item, int, const std::vector<int>&) override
    {
        Rect r = Rect::ofSize(skin_.integer(item, "x"), skin_.integer(item, "y"), skin_.integer(item, "width"),
                              skin_.integer(item, "height"));
        View* view = nullptr;
        if (type == "Knob") {
            auto* knob = new KnobView(r, skin_.bitmap(item, "bitmap"), skin_.integer(item, "nknobs"));
            knob->setValue(static_cast<float>(skin_.integer(item, "percent")) / 100.0f);
            view = knob;
        } else if (type == "Label") {
            view = new LabelView(r, skin_.bitmapFont(item, "font"), skin_.text(item, "label"));
        } else if (type == "Text") {
            Colour fg = colours::kBlack, bg = colours::kWhite;
            skin_.colour(item, "fgColor", fg);
            skin_.colour(item, "bgColor", bg);
            view = new TextView(r, skin_.systemFont(item, "font"), fg, bg);
        } else {
            return;
        }
        (page_ != nullptr ? static_cast<Container*>(page_) : &frame_)->addView(view);
    }
    void openContainer(const std::string&, const std::string& item, int) override
    {
        page_ = new Container(Rect::ofSize(skin_.integer(item, "x"), skin_.integer(item, "y"),
                                           skin_.integer(item, "width"), skin_.integer(item, "height")));
        page_->setBackground(skin_.bitmap(item, "background"));
        page_->setOffscreenMode(skin_.integer(item, "offscreen") != 0);
        frame_.addView(page_);
    }
    void closeContainer() override { page_ = nullptr; }

private:
    Frame& frame_;
    SkinAttributes skin_;
    Container* page_ = nullptr;
};

}  // namespace

TEST(HeadlessRender, ASmallSkinDrawsToPngWithoutAnXServer)
{
    testing_support::TempFolder install;
    ASSERT_EQ(::mkdir(install.file("skin").c_str(), 0755), 0);
    editor_testing::writeFile(install.file("skin/back.bmp"),
                              editor_testing::bmpBytes(100, 60, std::vector<std::uint32_t>(6000, kBack)));
    editor_testing::writeFile(install.file("skin/knob.bmp"), editor_testing::bmpBytes(8, 24, knobStrip(), 32, true));
    editor_testing::writeFile(install.file("skin/font.bmp"), editor_testing::bmpBytes(5, 5, fontStrip(), 8));
    editor_testing::writeText(install.file("skin/skin.ini"),
                              "KnobLook: width=8, height=8, bitmap=knob.bmp, nknobs=3\n"
                              "FxPage: x=0, y=0, width=100, height=60, background=back.bmp, offscreen=1\n"
                              "KnobA: @=KnobLook, x=10, y=10, percent=0\n"
                              "KnobB: @=KnobLook, x=30, y=10, percent=100\n"
                              "Title: x=10, y=30, width=40, height=4, font=font.bmp, label=! !\n"
                              "Name: x=10, y=40, width=80, height=18, font=9, fgColor=FFFF00, bgColor=000080\n");
    editor_testing::writeText(install.file("skin/skin.dat"),
                              "ContainerPage FxPage(0) {\nKnob KnobA(1)\nKnob KnobB(2)\nLabel Title(3)\n}\nText Name(4)\n");
    SkinSession session(install.path());
    Frame* frame = new Frame(100, 60);
    TestBuilder builder(*frame);
    ASSERT_TRUE(readLayout(skinFilePath(install.path(), "skin.dat"), builder));
    std::string png = install.file("frame.png");
    ASSERT_TRUE(frame->renderToPng(png));
    frame->release();

    Ref<Bitmap> picture = Bitmap::load(png);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width(), 100);
    auto at = [&picture](int x, int y) { return picture->pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(at(2, 2), kBack);
    // Knob A shows the first frame (one column), knob B the last (three); white stays background.
    EXPECT_EQ(at(10, 12), 0x00AA00u);
    EXPECT_EQ(at(11, 12), kBack);
    EXPECT_EQ(at(32, 12), 0x00AA00u);
    EXPECT_EQ(at(33, 12), kBack);
    // "! !": ink at columns 0-1 and 5-6 from x 10 (the blank is 3 wide), rows 30-33.
    EXPECT_EQ(at(10, 31), kInk);
    EXPECT_EQ(at(11, 33), kInk);
    EXPECT_EQ(at(12, 31), kBack);
    EXPECT_EQ(at(15, 31), kInk);
    EXPECT_EQ(at(17, 31), kBack);
    // The system-font text: an opaque navy box with yellow ink somewhere near its middle.
    EXPECT_EQ(at(12, 42), 0x000080u);
    int yellow = 0;
    for (int x = 10; x < 90; ++x) {
        for (int y = 40; y < 58; ++y) {
            std::uint32_t p = at(x, y);
            yellow += (p >> 16) > 0xC0 && ((p >> 8) & 0xFF) > 0xC0 && (p & 0xFF) < 0x60;
        }
    }
    EXPECT_GT(yellow, 20);
}
