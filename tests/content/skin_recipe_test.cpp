// The skin tool on small recipes: templates and repeats expand into named, moved controls, and a
// recipe that breaks a rule of the look (off the grid, a label too wide for its control, a
// control reaching past its section, text
// without enough contrast, an unknown widget) fails the build with a message naming the cause
// instead of writing a skin.
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

class SkinRecipe : public ::testing::Test {
protected:
    // Runs the tool on the factory look (with replacements) and the layout given; the exit
    // status and what it printed.
    int run(const std::string& layout, const std::string& lookChange = {})
    {
        std::string look = readText(std::string(PELKO_SOURCE_DIR) + "/content/skin/look.ini");
        if (!lookChange.empty()) {
            std::size_t equals = lookChange.find('=');
            std::regex line("\\n" + lookChange.substr(0, equals) + " *=[^\\n]*");
            look = std::regex_replace(look, line, "\n" + lookChange);
        }
        writeText(folder.path() + "look.ini", look);
        writeText(folder.path() + "pages.txt", layout);
        const std::string command = std::string(PELKO_BINARY_DIR) + "/tools/content-skin/content-skin " + folder.path() + "look.ini " +
                                    folder.path() + "pages.txt " + folder.path() + "skin > " + folder.path() + "out.txt 2>&1";
        int status = std::system(command.c_str());
        output = readText(folder.path() + "out.txt");
        return status;
    }
    std::string skinFile(const char* name) const { return readText(folder.path() + "skin/" + name); }

    testing_support::TempFolder folder;
    std::string output;
};

TEST_F(SkinRecipe, TemplatesAndRepeatsExpandIntoNamedMovedControls)
{
    ASSERT_EQ(run("frame 960 624\n"
                  "page Osc{i}Page 0 32 960 448 for i=1..2\n"
                  "  section \"Mix\" 8 8 240 96\n"
                  "  repeat k=1..3 dx=56\n"
                  "    knob SliderOrKnob FM{k}/{i} \"Osc {k}\" 16 32 value=MatrixParamDisplayer params=MATRIX_DISABLED_FM_SETTINGS\n"
                  "  endrepeat\n"
                  "  button OnOffButton {i+10081} \"Osc {i}\" 16 120 64\n"
                  "end\n"),
              0)
        << output;
    const std::string dat = skinFile("skin.dat");
    const std::string ini = skinFile("skin.ini");
    EXPECT_NE(dat.find("ContainerPage Osc2Page(0) {"), std::string::npos);
    EXPECT_NE(dat.find("(FM3/2) params(MATRIX_DISABLED_FM_SETTINGS)"), std::string::npos) << dat;
    EXPECT_NE(dat.find("OnOffButton Osc2Page.7(10083)"), std::string::npos) << dat;
    // The third copy of the knob sits two columns right of the first, centred in its column.
    EXPECT_NE(ini.find("Osc1Page.5: @=Knob, x=" + std::to_string(16 + 2 * 56 + 12) + ", y=48"), std::string::npos) << ini;
    // Both pages look alike: they share one background.
    EXPECT_NE(ini.find("Osc2Page: x=0, y=32, width=960, height=448, background=Osc1Page.png"), std::string::npos) << ini;
    EXPECT_EQ(readText(folder.path() + "skin/Osc2Page.png"), "");
    EXPECT_NE(readText(folder.path() + "skin/2x/Osc1Page.png"), "");
}

TEST_F(SkinRecipe, ARecipeThatBreaksTheLookFailsWithItsReason)
{
    const std::string page = "frame 960 624\npage BankPage 0 32 960 448\n";
    EXPECT_NE(run(page + "  knob SliderOrKnob MainLevel \"Level\" 20 32\nend\n"), 0);
    EXPECT_NE(output.find("layout line 3"), std::string::npos);
    EXPECT_NE(output.find("off the grid"), std::string::npos) << output;

    EXPECT_NE(run(page + "  knob SliderOrKnob MainLevel \"A very long label\" 16 32\nend\n"), 0);
    EXPECT_NE(output.find("wider than its 56 pixels"), std::string::npos) << output;

    EXPECT_NE(run(page + "  section \"Mix\" 8 8 120 96\n  knob SliderOrKnob MainLevel \"Level\" 72 32\nend\n"), 0);
    EXPECT_NE(output.find("the knob reaches 128,96, past its section"), std::string::npos) << output;

    EXPECT_NE(run(page + "  dial SliderOrKnob MainLevel \"Level\" 16 32\nend\n"), 0);
    EXPECT_NE(output.find("pages.txt:3: unknown widget kind 'dial'"), std::string::npos) << output;

    EXPECT_NE(run(page + "  knob SliderOrKnob MainLevel \"Level\" 16 32\nend\n", "textDim = 4A505A"), 0);
    EXPECT_NE(output.find("dim text on panel: contrast"), std::string::npos) << output;

    EXPECT_NE(run(page + "  knob SliderOrKnob MainLevel \"Level\" 16 32\n"), 0);
    EXPECT_NE(output.find("page without 'end'"), std::string::npos) << output;
    EXPECT_EQ(readText(folder.path() + "skin/skin.dat"), "");
}

}  // namespace
