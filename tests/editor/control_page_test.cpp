// A page of parameter controls drawn headlessly: generated skin bitmaps (a knob strip, a slider,
// buttons, tabs) and a bitmap font, every kind of control placed on one frame and written as a
// PNG. Set PELKO_CONTROLS_PNG to a file name to keep the picture.
#include "control_fixture.h"

#include "editor/controls/name_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/controls/slider_or_knob.h"
#include "editor/toolkit/draw_context.h"
#include "editor/toolkit/offscreen.h"
#include "params/parameter_ids.h"
#include "params/patch_object_table.h"
#include "params/text_object.h"
#include "params/wave_name_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>

namespace {

using namespace pelko;

// Draws an image with the toolkit and writes it as a skin bitmap.
void writeDrawn(const std::string& folder, const std::string& name, int width, int height,
                const std::function<void(DrawContext&)>& paint)
{
    Offscreen image(width, height, colours::kWhite);
    {
        DrawContext context(image);
        paint(context);
    }
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(image.pixel(x, y));
        }
    }
    controls_testing::writeSkinBitmap(folder, name, width, height, pixels);
}

void writeSkinImages(const std::string& folder)
{
    constexpr int kKnobs = 31;
    writeDrawn(folder, "knob.bmp", 32, 32 * kKnobs, [](DrawContext& c) {
        for (int i = 0; i < kKnobs; ++i) {
            int top = i * 32;
            c.setFillColour(Colour{60, 60, 70, 0});
            c.fillEllipse(Rect::ofSize(2, top + 2, 28, 28));
            double degrees = 225.0 - 270.0 * i / (kKnobs - 1);
            double radians = degrees * std::numbers::pi / 180.0;
            c.setPenColour(Colour{255, 200, 40, 0});
            c.setLineWidth(3);
            c.moveTo(Point{16, top + 16});
            c.lineTo(Point{16 + static_cast<int>(std::lround(11 * std::cos(radians))),
                           top + 16 - static_cast<int>(std::lround(11 * std::sin(radians)))});
        }
    });
    writeDrawn(folder, "groove.bmp", 16, 100, [](DrawContext& c) {
        c.setFillColour(Colour{40, 40, 40, 0});
        c.fillRect(Rect{6, 4, 10, 96});
    });
    writeDrawn(folder, "handle.bmp", 16, 10, [](DrawContext& c) {
        c.setFillColour(Colour{200, 200, 210, 0});
        c.fillRect(Rect{0, 0, 16, 10});
        c.setFillColour(Colour{20, 20, 20, 0});
        c.fillRect(Rect{0, 4, 16, 6});
    });
    writeDrawn(folder, "onoff.bmp", 24, 24, [](DrawContext& c) {
        c.setFillColour(Colour{70, 70, 70, 0});
        c.fillRect(Rect::ofSize(1, 1, 22, 10));
        c.setFillColour(Colour{40, 200, 90, 0});
        c.fillRect(Rect::ofSize(1, 13, 22, 10));
    });
    writeDrawn(folder, "button.bmp", 24, 36, [](DrawContext& c) {
        const Colour states[3] = {Colour{70, 70, 70, 0}, Colour{230, 120, 20, 0}, Colour{240, 60, 40, 0}};
        for (int i = 0; i < 3; ++i) {
            c.setFillColour(states[i]);
            c.fillRect(Rect::ofSize(1, i * 12 + 1, 22, 10));
        }
    });
    writeDrawn(folder, "tabs.bmp", 240, 80, [](DrawContext& c) {
        const Colour bands[4] = {Colour{50, 50, 60, 0}, Colour{60, 80, 60, 0}, Colour{90, 90, 120, 0}, Colour{100, 130, 100, 0}};
        for (int band = 0; band < 4; ++band) {
            for (int tab = 0; tab < 6; ++tab) {
                Rect r = Rect::ofSize(tab * 40 + 1, band * 20 + 1, 38, 18);
                c.setFillColour(bands[band]);
                c.fillRect(r);
                c.setFillColour((band & 1) != 0 ? Colour{80, 255, 80, 0} : Colour{20, 40, 20, 0});
                c.fillRect(Rect::ofSize(r.left + 3, r.top + 6, 6, 6));
                c.setFont(5);
                c.setFontColour(colours::kWhite);
                c.drawString("Osc" + std::to_string(tab + 1), Rect::ofSize(r.left + 11, r.top, 27, 18));
            }
        }
    });
    writeDrawn(folder, "panel.bmp", 150, 14, [](DrawContext& c) {
        c.setFillColour(Colour{25, 25, 35, 0});
        c.fillRect(Rect{0, 0, 150, 14});
    });
    writeDrawn(folder, "infobg.bmp", 280, 100, [](DrawContext& c) {
        c.setFillColour(Colour{15, 20, 30, 0});
        c.fillRect(Rect{0, 0, 280, 100});
    });
    controls_testing::writeBitmapFont(folder, "font.bmp", 0xE0E0A0);
    controls_testing::writeBitmapFont(folder, "dim.bmp", 0x707070);
}

class ControlPage : public ::testing::Test, public controls_testing::ControlTest {};

TEST_F(ControlPage, EveryKindOfControlDrawsOnOnePage)
{
    writeSkinImages(folder.path());
    skin("Look: font=font.bmp, fontDisabled=dim.bmp, background=panel.bmp, hspace=3, vspace=1, width=150, height=14\n"
         "Tabs: x=10, y=5, ntabs=6, tabsWidth=40, tabsHeight=20, x1=0, y1=0, x2=40, y2=0, x3=80, y3=0, x4=120, y4=0, "
         "x5=160, y5=0, x6=200, y6=0, ledX=3, ledY=6, ledWidth=6, ledHeight=6, background=tabs.bmp\n"
         "Knob: mode=1, width=32, height=32, bitmap=knob.bmp, nknobs=31\n"
         "Knob1: @=Knob, x=20, y=40\nKnob2: @=Knob, x=60, y=40\nKnob3: @=Knob, x=100, y=40\n"
         "Slider: x=300, y=36, width=16, height=100, mode=0, spacing1=2, spacing2=2, sliderBackgroundBitmap=groove.bmp, "
         "sliderItemBitmap=handle.bmp\n"
         "Button1: x=180, y=40, bitmap=onoff.bmp\nButton2: x=210, y=40, bitmap=button.bmp\n"
         "Value: @=Look, x=20, y=90, label=Cutoff, valueX=100\n"
         "Matrix: @=Look, x=20, y=108, label=FM 3>5, valueX=100\n"
         "Name: @=Look, x=20, y=130\nAuthor: @=Look, x=20, y=148, label=By\n"
         "Shape: @=Look, x=20, y=166, label=Wave\n"
         "Text: x=180, y=70, width=100, height=16, align=1, font=0, fgColor=FFFFFF, bgColor=3050A0, text=Filter 1\n"
         "Info: @=Look, x=20, y=190, width=280, height=100, nitems=8, spacing=12, scrollbarPosition=270, "
         "scrollbarSpacing=2, handleWidth=6, scrollbarColor=404040, handleColor=C0C0C0, background=infobg.bmp\n");
    services.program.objectAs<WaveNameObject>(object::kOscShapeId + 2).setText("Off");
    services.program.objectAs<TextObject>(object::kPatchAuthor).setText("Ann Example");
    std::string switches(48, '1');
    switches[6 * 2 + 4] = '0';
    services.program.objectAs<TextObject>(object::kDisabledFm).setText(switches);
    services.values[param::kCutoff] = 0.42f;

    auto* tabs = make<PageSelector>("Tabs", 10000, "Tabs");
    tabs->setValue(2.0f);
    float knobValues[3] = {0.0f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        auto* knob = make<Control>("SliderOrKnob", param::kOscCoarse + i, "Knob" + std::to_string(i + 1));
        knob->setValue(knobValues[i]);
    }
    make<Control>("SliderOrKnob", param::kMainLevel, "Slider")->setValue(0.7f);
    make<Control>("OnOffButton", 10030, "Button1")->setValue(1.0f);
    make<Control>("ThreeStatesButton", 10031, "Button2")->setValue(0.5f);
    make<Control>("BitmapParamDisplayer", param::kCutoff, "Value");
    make<Control>("MatrixParamDisplayer", param::kFmMatrix + 6 * 2 + 4, "Matrix", {object::kDisabledFm});
    make<ProgramNameDisplay>("CurrentPresetNameDisplayer", 10001, "Name");
    make<Control>("PresetAuthorDisplayer", 208 + object::kPatchAuthor, "Author");
    make<Control>("OscShapeMenu", 208 + object::kOscShapeId, "Shape");
    make<Control>("StaticText", 10500, "Text");
    make<Control>("InfoScrollList", 10100, "Info");

    frame->redrawAll();
    std::string png = folder.file("page.png");
    ASSERT_TRUE(frame->renderToPng(png));
    if (const char* keep = std::getenv("PELKO_CONTROLS_PNG")) {
        frame->renderToPng(keep);
    }
    Offscreen& shown = frame->backBuffer();
    // The knobs' pointers differ, the selected tab shows its band, the fixed text its fill.
    EXPECT_NE(shown.pixel(20 + 12, 40 + 20), shown.pixel(60 + 12, 40 + 20));
    EXPECT_EQ(shown.pixel(10 + 40 + 20, 5 + 2), 0x5A5A78u);
    EXPECT_EQ(shown.pixel(182, 72), 0x3050A0u);
    // Text of the bitmap font lands in the value display.
    int ink = 0;
    for (int x = 20; x < 170; ++x) {
        for (int y = 90; y < 104; ++y) {
            ink += shown.pixel(x, y) == 0xE0E0A0u ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);

    // The wave menu opens below its display, its archives as submenus.
    click(Point{30, 170});
    ASSERT_NE(frame->popupMenu(), nullptr);
    frame->keyDown(kKeyDown);  // "Off"
    frame->keyDown(kKeyDown);  // "Single Cycle"
    frame->keyDown(kKeyRight);
    EXPECT_EQ(frame->popupMenu()->panelAreas().size(), 2u);
    EXPECT_TRUE(frame->renderToPng(folder.file("menu.png")));
    if (const char* keep = std::getenv("PELKO_CONTROLS_PNG")) {
        frame->renderToPng(std::string(keep) + ".menu.png");
    }
}

}  // namespace
