// The factory skin as built into the install folder: it opens without a single diagnostic, no
// two controls of a page overlap and all lie inside their page, every parameter and patch
// object is bound by some control unless the skin's recipe lists it as left off, and every
// bitmap has its double-size twin.
#include "editor/editor_fixture.h"

#include "params/parameter_table.h"
#include "params/patch_object_table.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace pelko;
using namespace editor_testing;

namespace {

constexpr int kPageCount = 18;

class FactorySkin : public EditorFixture {
protected:
    // The install folder copy already holds the factory skin: nothing is written over it.
    void installSkin(const std::string&) override {}

    void SetUp() override
    {
        // The editor reads skin.ini when the plug-in builds it and skin.dat when it opens:
        // everything either writes to the debug channel is kept.
        testing::internal::CaptureStderr();
        EditorFixture::SetUp();
        auto start = std::chrono::steady_clock::now();
        opened = openHeadless();
        openMilliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        diagnostics = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(opened);
    }

    bool opened = false;
    double openMilliseconds = 0;
    std::string diagnostics;
};

// Names of the recipe's list of parameters and objects deliberately left unbound.
std::set<std::string> leftOff()
{
    std::ifstream in(std::string(PELKO_SOURCE_DIR) + "/content/skin/left-off.txt");
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        if (words >> name && name[0] != '#') {
            names.insert(name);
        }
    }
    return names;
}

// The size a PNG file states in its header (read without decoding the picture); 0 when the file
// is not a PNG.
struct PngSize {
    int width = 0, height = 0;
};
PngSize pngSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') {
        return {};
    }
    auto number = [&](int at) { return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3]; };
    return PngSize{number(16), number(20)};
}

TEST_F(FactorySkin, OpensWithoutAnyDiagnosticAndShowsTheBankPage)
{
    EXPECT_EQ(diagnostics, "");
    EXPECT_EQ(editor->currentPage(), 0);
    for (int p = 0; p < kPageCount; ++p) {
        EXPECT_NE(editor->page(p), nullptr) << "page " << p << " has no container";
    }
    std::printf("opening the editor with the factory skin: %.1f ms\n", openMilliseconds);
    RecordProperty("openMilliseconds", std::to_string(openMilliseconds));
}

TEST_F(FactorySkin, NoTwoControlsOfAPageOverlapAndAllLieInsideIt)
{
    for (int p = 0; p < kPageCount; ++p) {
        Container* page = editor->page(p);
        ASSERT_NE(page, nullptr);
        const Rect bounds{0, 0, page->rect().width(), page->rect().height()};
        const std::vector<View*>& views = page->views();
        EXPECT_GT(views.size(), 0u) << "page " << p << " is empty";
        for (std::size_t a = 0; a < views.size(); ++a) {
            Rect r = views[a]->rect();
            EXPECT_FALSE(r.empty()) << "page " << p << " control " << a << " has no size";
            EXPECT_TRUE(r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom)
                << "page " << p << " control " << a << " at " << r.left << "," << r.top << " leaves the page";
            for (std::size_t b = a + 1; b < views.size(); ++b) {
                Rect s = views[b]->rect();
                bool overlap = r.left < s.right && s.left < r.right && r.top < s.bottom && s.top < r.bottom;
                EXPECT_FALSE(overlap) << "page " << p << ": controls at " << r.left << "," << r.top << " and " << s.left << ","
                                      << s.top << " overlap";
            }
        }
    }
}

TEST_F(FactorySkin, EverySettingIsBoundSomewhereExceptTheWrittenList)
{
    const std::set<std::string> unbound = leftOff();
    ASSERT_GE(unbound.size(), 4u) << "the recipe's list was not read";
    std::set<std::string> known;
    for (int p = 0; p < kParameters; ++p) {
        const std::string name = parameterTable()[static_cast<std::size_t>(p)].identifier;
        known.insert(name);
        const bool bound = !editor->viewsUnderTag(p).empty();
        EXPECT_EQ(bound, unbound.count(name) == 0) << "parameter " << p << " " << name << (bound ? " is bound but listed as left off" : " is not bound");
    }
    for (int o = 0; o < kPatchObjects; ++o) {
        const std::string name = patchObjectTable()[static_cast<std::size_t>(o)].name;
        known.insert(name);
        const bool bound = !editor->viewsUnderTag(kFirstObjectTag + o).empty();
        EXPECT_EQ(bound, unbound.count(name) == 0) << "object " << o << " " << name << (bound ? " is bound but listed as left off" : " is not bound");
    }
    for (const std::string& name : unbound) {
        EXPECT_EQ(known.count(name), 1u) << name << " in the list is neither a parameter nor an object";
    }
}

TEST_F(FactorySkin, EveryBitmapHasItsTwinAtExactlyDoubleSize)
{
    const std::string skin = environment.installFolder() + "skin/";
    int bitmaps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(skin)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        ++bitmaps;
        const std::string name = entry.path().filename().string();
        const PngSize one = pngSize(skin + name);
        const PngSize two = pngSize(skin + "2x/" + name);
        ASSERT_GT(one.width, 0) << name;
        EXPECT_EQ(two.width, 2 * one.width) << name;
        EXPECT_EQ(two.height, 2 * one.height) << name;
    }
    EXPECT_GT(bitmaps, 20);
    // The font strips keep their glyph starts: every 1x marker has its 2x marker at double the column.
    for (const char* font : {"font.png", "fontdim.png"}) {
        Ref<Bitmap> one = Bitmap::load(skin + font);
        Ref<Bitmap> two = Bitmap::load(skin + "2x/" + font);
        ASSERT_TRUE(one && two);
        int markers = 0;
        for (int x = 0; x < one->width(); ++x) {
            const bool marked = one->pixel(x, 0) == one->pixel(0, 0);
            markers += marked ? 1 : 0;
            EXPECT_EQ(two->pixel(2 * x, 0) == two->pixel(0, 0), marked) << font << " column " << x;
            EXPECT_NE(two->pixel(2 * x + 1, 0), two->pixel(0, 0)) << font << " column " << x;
        }
        EXPECT_EQ(markers, 95) << font;
    }
}

TEST_F(FactorySkin, AnIdleWithNothingChangedIsCheap)
{
    dispatch(vst2::effEditIdle);
    constexpr int kIdles = 200;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kIdles; ++i) {
        dispatch(vst2::effEditIdle);
    }
    double each = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kIdles;
    std::printf("an idle with nothing changed: %.4f ms\n", each);
    RecordProperty("idleMilliseconds", std::to_string(each));
}

}  // namespace
