#include "fake_program_host.h"
#include "program_fixtures.h"

#include "params/parameter_table.h"
#include "platform/file_system.h"
#include "storage/text_program.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace pelko;
using namespace fixtures;
using side_test::FakeProgramHost;
using side_test::ShownMessages;

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string textOf(const std::string& path)
{
    const auto bytes = readWholeFile(path).value_or(std::vector<std::uint8_t>{});
    return std::string(bytes.begin(), bytes.end());
}

// Values equal to six decimals, objects byte for byte, the same name.
void expectSameProgram(const Program& a, const Program& b)
{
    EXPECT_EQ(a.name(), b.name());
    for (int i = 0; i < kParameterCount; ++i) {
        EXPECT_NEAR(a.values[static_cast<std::size_t>(i)], b.values[static_cast<std::size_t>(i)], 5e-7f) << "parameter " << i;
    }
    for (int k = 0; k < kPatchObjectCount; ++k) {
        EXPECT_EQ(bytesOf(a.object(k)), bytesOf(b.object(k))) << "object " << k;
    }
}

class TextPrograms : public ::testing::Test {
protected:
    // Exports `program` as the current program of a host and imports the file into slot 5 of
    // another; returns the file's text.
    std::string roundTrip(const Program& program, Program& imported)
    {
        FakeProgramHost source;
        source.current = 7;
        source.edit() = program;
        const std::string path = folder.file("patch.txt");
        EXPECT_TRUE(exportProgramText(source, path));
        EXPECT_EQ(source.steps, std::vector<std::string>{"program 7"});  // the edit buffer went to its slot first
        FakeProgramHost target;
        EXPECT_TRUE(importProgramText(target, 5, path));
        EXPECT_EQ(target.steps, std::vector<std::string>{"program 5"});  // slot 5 is not the current program
        imported = target.bank().program(5);
        return textOf(path);
    }

    testing_support::TempFolder folder;
    ShownMessages shown;
};

TEST_F(TextPrograms, ExportAndImportReproduceTheProgram)
{
    Program program;
    changeEverything(program, 11);
    program.values[1] = 0.1234567f;  // more decimals than the text keeps
    Program imported;
    const std::string text = roundTrip(program, imported);
    expectSameProgram(program, imported);
    EXPECT_TRUE(shown.texts().empty());

    const std::vector<std::string> lines = linesOf(text);
    ASSERT_GT(lines.size(), 420u);
    EXPECT_EQ(lines[0], "Synth Id/Version: 1347114548/21");
    EXPECT_EQ(lines[1], "Changed 11");
    EXPECT_EQ(lines[2], "Voices");
    EXPECT_EQ(lines[5], "1:0.123457");
    EXPECT_EQ(lines[2 + 2 * 207], "UserSlider6");
    // Object 0: its name, its size, then its bytes, 32 to a line.
    EXPECT_EQ(lines[2 + 2 * 208], "Osc1 Level");
    const std::size_t size = program.object(0).storedSize(21);
    EXPECT_EQ(lines[3 + 2 * 208], "M0:" + std::to_string(size));
    EXPECT_EQ(lines[4 + 2 * 208].size(), 32u * 3);
    EXPECT_EQ(lines[4 + 2 * 208].substr(0, 12), " 00 00 00 06");  // six segments after the insert
    EXPECT_NE(text.find("\nOsc1 Shape\nM128:64\n*Analog\\Saw 139\n"), std::string::npos);
}

TEST_F(TextPrograms, NumbersDoNotFollowTheLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed (scripts/install-deps makes de_DE.UTF-8)";
    }
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5);  // the locale is really in force
    Program program;
    changeEverything(program, 4);
    program.values[3] = 0.75f;
    Program imported;
    const std::string text = roundTrip(program, imported);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("\n3:0.750000\n"), std::string::npos);
    expectSameProgram(program, imported);
}

TEST_F(TextPrograms, TheFirstLineGivesTheVersionToUpgradeFrom)
{
    const std::string body = "name\nPitchBendRange\n194:0.500000\n";
    Program old;
    EXPECT_EQ(readProgramText("Synth Id/Version: 1347114548/3\n" + body, old), 3);
    EXPECT_FLOAT_EQ(old.values[194], 0.02f);  // programs before version 4 get the default bend range
    EXPECT_FLOAT_EQ(old.values[196], 0.0f);   // and, before 3, no random pitch
    Program plain;
    EXPECT_EQ(readProgramText("just a title\n" + body, plain), 21);
    EXPECT_FLOAT_EQ(plain.values[194], 0.5f);
    EXPECT_EQ(plain.name(), "name");
    Program odd;
    EXPECT_EQ(readProgramText("Id/Version: 1/99\n" + body, odd), 21);
    EXPECT_EQ(readProgramText("Id/Version: 1/x\r\n" + body, odd), 21);
}

TEST_F(TextPrograms, UnknownObjectsAndLinesThatDoNotParseAreSkipped)
{
    Program program;
    const std::vector<std::uint8_t> before = bytesOf(program);
    const std::string text =
        "Synth Id/Version: 1347114548/21\n"
        "A name that is longer than twenty-four characters\n"
        "Something\n"
        "M300:4\n"         // no such object: nothing is read for it
        " 00 00 00 05\n"   // its data is stepped over
        "Voices\n0:0.700000\n"
        "Bad\nzero:1\n"
        "Bad\n5:abc\n"
        "Bad\n999:0.5\n"
        "Bad\n-1:0.5\n"
        "Bad\n3:nan\n"
        "Bad\n4 0.5\n"
        "Coarse3\n 4: +0.25\n"
        "Bad\nM-2:4\n"
        "Bad\nMxy\n"
        "Fine1\n8:1e-1\n"
        "MainLevel\n1:7.5\n";  // stored values stay within 0–1
    readProgramText(text, program);
    EXPECT_EQ(program.name(), "A name that is longer th");
    EXPECT_FLOAT_EQ(program.values[0], 0.7f);
    EXPECT_FLOAT_EQ(program.values[4], 0.25f);
    EXPECT_FLOAT_EQ(program.values[8], 0.1f);
    EXPECT_FLOAT_EQ(program.values[1], 1.0f);
    Program expected;
    expected.setName("A name that is longer th");
    expected.values[0] = 0.7f;
    expected.values[4] = 0.25f;
    expected.values[8] = 0.1f;
    expected.values[1] = 1.0f;
    EXPECT_EQ(bytesOf(program), bytesOf(expected));
    EXPECT_NE(bytesOf(program), before);
}

TEST_F(TextPrograms, MalformedObjectDataKeepsTheObject)
{
    Program source;
    changeObject(source, object::kOscKeyLevel, 2);  // a curve of two segments
    changeObject(source, object::kFixedPitchValues, 2);
    const std::string curve = source.object(object::kOscKeyLevel).toText();
    const std::string fixed = source.object(object::kFixedPitchValues).toText();
    const std::size_t curveSize = source.object(object::kOscKeyLevel).storedSize(21);
    const std::size_t fixedSize = source.object(object::kFixedPitchValues).storedSize(21);
    auto item = [](int k, std::size_t n, const std::string& data) {
        return "Object\nM" + std::to_string(k) + ":" + std::to_string(n) + "\n" + data;
    };
    std::string badDigit = curve;
    badDigit[4] = 'G';
    std::string loneDigit = curve;
    loneDigit.insert(1, "7");
    const std::string text = "Id/Version: 0/21\nname\n" + item(object::kOscKeyLevel, curveSize + 1, curve) +  // too few bytes
                             item(object::kOscKeyLevel, curveSize - 1, curve) +  // too many
                             item(object::kOscKeyLevel, curveSize, badDigit) + item(object::kOscKeyLevel, curveSize, loneDigit) +
                             item(object::kFixedPitchValues, fixedSize, fixed);  // a good one after them
    Program target;
    readProgramText(text, target);
    EXPECT_EQ(bytesOf(target.object(object::kOscKeyLevel)), bytesOf(Program().object(object::kOscKeyLevel)));
    EXPECT_EQ(bytesOf(target.object(object::kFixedPitchValues)), bytesOf(source.object(object::kFixedPitchValues)));

    // The good data alone is read.
    readProgramText("Id/Version: 0/21\nname\n" + item(object::kOscKeyLevel, curveSize, curve), target);
    EXPECT_EQ(bytesOf(target.object(object::kOscKeyLevel)), bytesOf(source.object(object::kOscKeyLevel)));
}

TEST_F(TextPrograms, TextsWithLineBreaksStayOnOneLine)
{
    Program program;
    program.objectAs<TextObject>(object::kPatchComment).setText("two\nlines\r");
    program.objectAs<TextObject>(object::kPatchAuthor).setText("");
    program.setName("new\nline");
    changeObject(program, object::kPresetCategory, 5);
    Program imported;
    roundTrip(program, imported);
    EXPECT_EQ(imported.objectAs<TextObject>(object::kPatchComment).text(), "two lines ");
    EXPECT_EQ(imported.objectAs<TextObject>(object::kPatchAuthor).text(), "");
    EXPECT_EQ(imported.name(), "new line");
    // Everything after them still arrives.
    EXPECT_EQ(bytesOf(imported.object(object::kPresetCategory)), bytesOf(program.object(object::kPresetCategory)));
}

TEST_F(TextPrograms, ImportingTheCurrentProgramSelectsItAgain)
{
    Program program;
    changeEverything(program, 2);
    const std::string path = folder.file("p.txt");
    ASSERT_TRUE(writeFileAtomically(path, std::string_view(programText(program))));
    FakeProgramHost host;
    host.current = 9;
    ASSERT_TRUE(importProgramText(host, 9, path));
    EXPECT_EQ(host.steps, (std::vector<std::string>{"program 9", "select 9"}));
    expectSameProgram(host.editBuffer(), program);

    // Files that cannot be read or written change nothing and say nothing.
    host.steps.clear();
    EXPECT_FALSE(importProgramText(host, 9, folder.file("missing.txt")));
    EXPECT_FALSE(importProgramText(host, 64, path));
    EXPECT_TRUE(host.steps.empty());
    EXPECT_FALSE(exportProgramText(host, folder.file("no/folder/p.txt")));
    EXPECT_TRUE(shown.texts().empty());
}

}  // namespace
