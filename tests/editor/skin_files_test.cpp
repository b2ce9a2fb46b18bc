// skin.ini and skin.dat: inclusion and replacement, value types, the layout's line forms, tags,
// params lists and the diagnostics on the debug channel.
#include "editor/skin/attribute_values.h"
#include "editor/skin/skin_definitions.h"
#include "editor/skin/skin_layout.h"
#include "editor/skin/skin_resources.h"
#include "params/parameter_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelko;

namespace {

std::string attribute(const SkinDefinitions& d, const std::string& item, const std::string& key)
{
    const AttributeSet* set = d.find(item);
    if (set == nullptr) {
        return "<no item>";
    }
    auto found = set->find(key);
    return found == set->end() ? "<none>" : found->second;
}

struct Created {
    std::string what;
    std::string type;
    std::string item;
    int tag = 0;
    std::vector<int> params;
};

class RecordingBuilder : public LayoutBuilder {
public:
    void createControl(const std::string& type, const std::string& item, int tag, const std::vector<int>& params) override
    {
        created.push_back({"control", type, item, tag, params});
    }
    void openContainer(const std::string& type, const std::string& item, int tag) override
    {
        created.push_back({"container", type, item, tag, {}});
    }
    void closeContainer() override { created.push_back({"close", "", "", 0, {}}); }
    std::vector<Created> created;
};

std::vector<Created> layout(const std::string& text, std::string* diagnostics = nullptr)
{
    RecordingBuilder builder;
    testing::internal::CaptureStderr();
    parseLayout(text, builder);
    std::string err = testing::internal::GetCapturedStderr();
    if (diagnostics != nullptr) {
        *diagnostics = err;
    }
    return builder.created;
}

}  // namespace

TEST(SkinIni, InclusionAppliesInLineOrderAndLaterLinesReplaceWholeItems)
{
    SkinDefinitions d;
    d.parse("Look: x=5, y=7, width=30\n"
            "Knob:  x=1 , @=Look, y=2\n"
            "Knob2: x=1, @=Look, @=Knob\n"
            "Look: height=4\n");
    EXPECT_EQ(attribute(d, "Knob", "x"), "5");
    EXPECT_EQ(attribute(d, "Knob", "y"), "2");
    EXPECT_EQ(attribute(d, "Knob", "width"), "30");
    EXPECT_EQ(attribute(d, "Knob2", "y"), "2");
    // The second definition of Look replaced the first entirely; copies made before stay.
    EXPECT_EQ(attribute(d, "Look", "x"), "<none>");
    EXPECT_EQ(attribute(d, "Look", "height"), "4");
    EXPECT_EQ(attribute(d, "Knob", "width"), "30");
}

TEST(SkinIni, SyntaxErrorsAndUndefinedInclusionsAreReportedAndSkipped)
{
    SkinDefinitions d;
    testing::internal::CaptureStderr();
    d.parse("A: x=1,\n"
            "Empty:\n"
            "B: @=Later, y=3, junk\n"
            "Later: z=1\n"
            "Self: @=Self, q=1\n"
            "no colon here\n"
            "; C: x=1\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("x=1,: Syntax error near \n"), std::string::npos);
    EXPECT_NE(err.find(": Syntax error near \n"), std::string::npos);
    EXPECT_NE(err.find("@=Later, y=3, junk: Later is undefined\n"), std::string::npos);
    EXPECT_NE(err.find("@=Later, y=3, junk: Syntax error near  junk\n"), std::string::npos);
    EXPECT_NE(err.find("@=Self, q=1: Self is undefined\n"), std::string::npos);
    EXPECT_EQ(attribute(d, "A", "x"), "1");
    ASSERT_NE(d.find("Empty"), nullptr);
    EXPECT_TRUE(d.find("Empty")->empty());
    EXPECT_EQ(attribute(d, "B", "y"), "3");
    EXPECT_EQ(attribute(d, "B", "z"), "<none>");
    EXPECT_EQ(d.find("C"), nullptr);
    EXPECT_EQ(d.size(), 5u);
}

TEST(SkinIni, LongLinesCarriageReturnsAndNulBytesNeverReachPastTheLine)
{
    SkinDefinitions d;
    std::string longLine = "Long: a=" + std::string(600, 'v') + "\n";
    std::string text = "R: x=1\r\nS: y=2\rT: z=3" + std::string("\0hidden\n", 8) + longLine + "U: w=4";
    testing::internal::CaptureStderr();
    d.parse(text);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(attribute(d, "R", "x"), "1");
    EXPECT_EQ(attribute(d, "S", "y"), "2");
    EXPECT_EQ(attribute(d, "T", "z"), "3");
    // 511 characters of the long line form one line, the rest the next (which has no ':').
    EXPECT_EQ(attribute(d, "Long", "a").size(), 511u - 8u);
    EXPECT_EQ(attribute(d, "U", "w"), "4");  // no final newline
}

TEST(SkinValues, IntegersReadAsPercentDAndColoursAsThreeHexBytes)
{
    EXPECT_EQ(parseSkinInteger("12abc"), 12);
    EXPECT_EQ(parseSkinInteger("abc"), 0);
    EXPECT_EQ(parseSkinInteger("  -7"), -7);
    EXPECT_EQ(parseSkinInteger("+3"), 3);
    EXPECT_EQ(parseSkinInteger(""), 0);
    EXPECT_EQ(parseSkinInteger("99999999999999"), 2147483647);
    EXPECT_EQ(parseSkinColour("80FF00"), (Colour{128, 255, 0, 0}));
    EXPECT_EQ(parseSkinColour("80ff0a"), (Colour{128, 255, 10, 0}));
    EXPECT_FALSE(parseSkinColour("80FF"));
    EXPECT_FALSE(parseSkinColour("zz0000"));
}

TEST(SkinValues, AttributeReadersKeepDefaultsForMissingOrMalformedValues)
{
    SkinResources resources;
    resources.definitions().parse("Item: w=12px, c=80FF00, bad=80FF, t=hello world, f=9\n");
    SkinAttributes attributes(resources);
    EXPECT_EQ(attributes.integer("Item", "w"), 12);
    EXPECT_EQ(attributes.integer("Item", "missing"), 0);
    EXPECT_EQ(attributes.integer("Nobody", "w"), 0);
    Colour c = colours::kGrey;
    EXPECT_FALSE(attributes.colour("Item", "bad", c));
    EXPECT_EQ(c, colours::kGrey);
    EXPECT_FALSE(attributes.colour("Item", "missing", c));
    EXPECT_TRUE(attributes.colour("Item", "c", c));
    EXPECT_EQ(c, (Colour{128, 255, 0, 0}));
    EXPECT_EQ(attributes.text("Item", "t"), "hello world");
    EXPECT_EQ(attributes.text("Item", "missing"), "");
    EXPECT_EQ(attributes.systemFont("Item", "f"), 9);
    // No install folder: no bitmap can be found.
    EXPECT_FALSE(attributes.bitmap("Item", "t"));
    EXPECT_FALSE(attributes.bitmapFont("Item", "t"));
}

TEST(SkinDat, LineFormsCreateControlsAndContainersAndABlankLineEndsTheLayout)
{
    auto created = layout("; comment\n"
                          "ContainerPage FxPage(0) {  ignored\n"
                          "SliderOrKnob Knob1(MainLevel)\n"
                          "}\n"
                          "OscEnvDisplayer Env(OSC1_ENV)\n"
                          "KickButton Save(10043)\n"
                          "StaticText Nothing(NoSuchName)\n"
                          "   \n"
                          "SliderOrKnob After(1)\n");
    ASSERT_EQ(created.size(), 5u);
    EXPECT_EQ(created[0].what, "container");
    EXPECT_EQ(created[0].item, "FxPage");
    EXPECT_EQ(pageIndexOfName(created[0].item), 11);
    EXPECT_EQ(created[1].what, "control");
    EXPECT_EQ(created[1].tag, parameterIndexOfIdentifier("MainLevel"));
    EXPECT_EQ(created[2].what, "close");
    EXPECT_EQ(created[3].tag, 208);
    EXPECT_EQ(created[4].tag, 10043);
}

TEST(SkinDat, ParamsListsBindObjectsAndReportEntriesThatAreNotObjects)
{
    std::string err;
    auto created = layout("SliderOrKnob K(5) params(OSC1_ENV, 3)\n"
                          "SliderOrKnob L(6) params(Nope,OSC1_ENV ,9999999999, 225)\n", &err);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(created[0].tag, 5);
    EXPECT_EQ(created[0].params, (std::vector<int>{208, 211}));
    // Blanks before a ',' stay part of the entry.
    EXPECT_TRUE(created[1].params.empty());
    EXPECT_EQ(err, "2: can't convert Nope to a parameter name\n"
                   "2: can't convert OSC1_ENV  to a parameter name\n"
                   "2: can't convert 9999999999 to a parameter name\n"
                   "2: can't convert 225 to a parameter name\n");

    std::string many = "SliderOrKnob M(1) params(";
    for (int i = 0; i < 70; ++i) {
        many += (i > 0 ? "," : "") + std::to_string(i % 10);
    }
    created = layout(many + ")\n", &err);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].params.size(), 63u);
    EXPECT_NE(err.find("1: more than 63 params"), std::string::npos);
}

TEST(SkinDat, BadKeywordsSkipTheLineAndMalformedLinesEndTheLayout)
{
    std::string err;
    auto created = layout("A B(1) junk\nC D(2)\n", &err);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].item, "D");
    EXPECT_EQ(err, "1: bad keyword junk\n");

    EXPECT_TRUE(layout("OnlyType\nA B(1)\n").empty());
    EXPECT_TRUE(layout("A B\nC D(1)\n").empty());
    EXPECT_TRUE(layout("A B(1,2)\nC D(1)\n").empty());
    // One empty argument: not a tag, so the line is skipped and reading goes on.
    EXPECT_EQ(layout("A B()x\nC D(1)\n").size(), 1u);
    created = layout("A B(1)\nC D(1, \nE F(2)\n", &err);
    EXPECT_EQ(created.size(), 1u);
    EXPECT_EQ(err, "parse error at line 2\n");
    created = layout("; one\nA B(3\n", &err);
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(err, "parse error at line 2\n");
}

TEST(SkinDat, TagsAndNamesWithOddBytesAreTakenAsWritten)
{
    std::string odd = "T\xff\x01 N\xe9(-4)\r\nT2 N2(OSC6_SHAPE_ID)";
    auto created = layout(odd);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(created[0].type, "T\xff\x01");
    EXPECT_EQ(created[0].tag, -4);
    EXPECT_EQ(created[1].tag, 208 + 133);
    EXPECT_EQ(pageIndexOfName("StandalonePage"), 17);
    EXPECT_EQ(pageIndexOfName("fxpage"), -1);
}
