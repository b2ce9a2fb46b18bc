// Files dragged from another program onto the module's editor, through a private X server: each
// kind of file loads where it belongs, and whatever cannot be loaded is refused with a message
// while the loaded programs stay as they were.
#include "editor/editor_fixture.h"
#include "support/drag_source.h"
#include "support/test_folders.h"
#include "support/x_server.h"

#include "params/additive_settings_object.h"
#include "params/patch_object_table.h"
#include "platform/file_system.h"
#include "plugin/synth_plugin.h"
#include "storage/chunk_storage.h"
#include "storage/text_program.h"

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace pelko;
using namespace editor_testing;
using testing_support::DragSource;

namespace {

constexpr int kCutoff = 111;

// A "file://" address of a local path, every byte outside the unreserved set escaped.
std::string fileUri(const std::string& path)
{
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_TRUE(writeFileAtomically(path, bytes)) << path;
}

// A file of the kind the plug-in reads: a zeroed header of the file's size, then the chunk.
std::vector<std::uint8_t> withHeader(std::size_t header, const std::vector<std::uint8_t>& chunk)
{
    std::vector<std::uint8_t> file(header, 0);
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

// One second of a 16-bit mono sine at 220.5 Hz (a period of 200 samples).
std::vector<std::uint8_t> sineWav()
{
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                                  1,   0,   1,   0,   0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a'};
    const std::uint32_t frames = 4000;
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>((frames * 2) >> (8 * b)));
    for (std::uint32_t n = 0; n < frames; ++n) {
        auto s = static_cast<std::int16_t>(std::lround(16000.0 * std::sin(2 * std::numbers::pi * n / 200.0 + 1.0)));
        out.push_back(static_cast<std::uint8_t>(s & 0xFF));
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
    }
    const auto riff = static_cast<std::uint32_t>(out.size() - 8);
    for (int b = 0; b < 4; ++b) out[static_cast<std::size_t>(4 + b)] = static_cast<std::uint8_t>(riff >> (8 * b));
    return out;
}

class FilesDroppedOnTheEditor : public EditorFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error();
        EditorFixture::SetUp();
        parent = server.createParentWindow(300, 200, 0, 0);
        ASSERT_EQ(dispatch(vst2::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        idle();
        server.sync();
        ASSERT_EQ(server.children(parent).size(), 1u);
        window = server.children(parent)[0];
    }
    void idle() { dispatch(vst2::effEditIdle); }
    SynthPlugin& synth() { return *plugin->plugin(); }

    // Drags the list onto the editor at (150, 100) and drops it; returns what the editor answered.
    bool drop(const std::string& uris)
    {
        DragSource source(server, uris);
        source.enter(window);
        source.position(window, 150, 100);
        EXPECT_TRUE(testing_support::eventually([&] { return source.statusReplies == 1; }, [&] { serve(source); }));
        source.drop(window);
        EXPECT_TRUE(testing_support::eventually([&] { return source.finished; }, [&] { serve(source); }));
        return source.finishedAccepted;
    }
    void serve(DragSource& source)
    {
        idle();
        source.serve();
    }
    std::size_t messages() { return environment.ui().messages().size(); }
    std::string lastMessage()
    {
        auto shown = environment.ui().messages();
        return shown.empty() ? std::string() : shown.back().text;
    }

    testing_support::XServer server;
    testing_support::TempFolder folder;
    testing_support::XWindow parent = 0;
    testing_support::XWindow window = 0;
};

TEST_F(FilesDroppedOnTheEditor, ProgramBankAndTextFilesLoadWhereTheyBelong)
{
    // A program file under a path with blanks, a '#' and non-ASCII letters.
    ::mkdir(folder.file("My Sounds").c_str(), 0755);
    const std::string program = folder.file("My Sounds/été #1.FXP");
    synth().setParameter(kCutoff, 0.25f);
    synth().setProgramName("Dropped program");
    writeBytes(program, withHeader(kProgramFileHeaderSize, synth().saveChunk(true)));
    synth().setParameter(kCutoff, 0.75f);
    synth().setProgramName("Edited");
    const int slot = synth().currentProgram();

    EXPECT_TRUE(drop(fileUri(program) + "\r\n"));
    EXPECT_FLOAT_EQ(synth().getParameter(kCutoff), 0.25f);
    EXPECT_EQ(synth().programName(), "Dropped program");
    EXPECT_EQ(synth().bank().program(slot).name(), "Dropped program");
    // The editor shows it at once.
    EXPECT_FLOAT_EQ(editor->parameterValue(kCutoff), 0.25f);

    // A bank file replaces the bank.
    const std::string bank = folder.file("bank.fxb");
    synth().renameProgram(5, "Fifth");
    writeBytes(bank, withHeader(kBankFileHeaderSize, synth().saveChunk(false)));
    synth().renameProgram(5, "Renamed");
    EXPECT_TRUE(drop(fileUri(bank)));
    EXPECT_EQ(synth().programNameAt(5).value_or(""), "Fifth");

    // A text program goes into the current slot.
    const std::string text = folder.file("patch.txt");
    synth().setParameter(kCutoff, 0.5f);
    ASSERT_TRUE(exportProgramText(synth().programHost(), text));
    synth().setParameter(kCutoff, 0.0f);
    EXPECT_TRUE(drop(fileUri(text)));
    EXPECT_NEAR(synth().getParameter(kCutoff), 0.5f, 1e-3f);
    EXPECT_EQ(messages(), 0u);
}

TEST_F(FilesDroppedOnTheEditor, AWavOnTheAdditivePageBecomesTheSelectedOscillatorsHarmonics)
{
    const std::string wav = folder.file("tone.wav");
    writeBytes(wav, sineWav());
    auto level = [&](int oscillator, int harmonic) {
        return synth().editBuffer().objectAs<AdditiveSettingsObject>(object::kAdditiveSettings + oscillator).level(harmonic);
    };
    // Elsewhere a WAV file is refused.
    EXPECT_FALSE(drop(fileUri(wav)));
    EXPECT_EQ(messages(), 1u);

    editor->selectPage(page::kAdditive);
    editor->setCommandValue(10083, 1.0f);  // the page edits the second oscillator
    auto* second = dynamic_cast<Control*>(editor->controlUnderTag(10083));
    ASSERT_NE(second, nullptr);
    editor->valueChanged(nullptr, *second);
    EXPECT_TRUE(drop(fileUri(wav)));
    EXPECT_NEAR(level(1, 0), 1.0f, 1e-2f);
    EXPECT_LT(level(1, 1), 1e-2f);
    EXPECT_EQ(messages(), 1u);
}

TEST_F(FilesDroppedOnTheEditor, WhatCannotBeLoadedIsRefusedAndTheProgramStays)
{
    synth().setParameter(kCutoff, 0.3f);
    synth().setProgramName("Kept");
    auto intact = [&] {
        return synth().getParameter(kCutoff) == 0.3f && synth().programName() == "Kept";
    };
    std::size_t shown = 0;
    auto refusedWithAMessage = [&](const std::string& uris) {
        bool accepted = drop(uris);
        bool messaged = messages() == shown + 1;
        shown = messages();
        return !accepted && messaged && intact();
    };

    // Another kind of file: the message names it and says what may be dropped.
    const std::string picture = folder.file("picture.png");
    writeBytes(picture, {1, 2, 3});
    EXPECT_TRUE(refusedWithAMessage(fileUri(picture)));
    EXPECT_NE(lastMessage().find("picture.png"), std::string::npos);
    EXPECT_NE(lastMessage().find(".fxp"), std::string::npos);

    // A folder, a file gone before it is read, a damaged program, an empty bank.
    EXPECT_TRUE(refusedWithAMessage(fileUri(folder.path())));
    EXPECT_TRUE(refusedWithAMessage(fileUri(folder.file("vanished.fxp"))));
    const std::string damaged = folder.file("damaged.fxp");
    writeBytes(damaged, withHeader(kProgramFileHeaderSize, {0x43, 0x63, 0x6E, 0x4B, 0, 0, 0, 21, 0, 0}));
    EXPECT_TRUE(refusedWithAMessage(fileUri(damaged)));
    const std::string empty = folder.file("empty.fxb");
    writeBytes(empty, {});
    const std::string before = std::string(synth().bank().program(7).name());
    EXPECT_TRUE(refusedWithAMessage(fileUri(empty)));
    EXPECT_EQ(synth().bank().program(7).name(), before);

    // Fifty files at once: the first is taken (here a damaged one), the rest are left alone.
    std::string many = fileUri(damaged) + "\r\n";
    for (int i = 0; i < 49; ++i) {
        many += fileUri(folder.file("more " + std::to_string(i) + ".fxb")) + "\r\n";
    }
    EXPECT_TRUE(refusedWithAMessage(many));

    // Items of a drag inside the editor are no files: refused without a message.
    EXPECT_FALSE(editor->frame()->dropFiles({"program:3", "preset:12"}, Point{150, 100}));
    EXPECT_EQ(messages(), shown);
    EXPECT_TRUE(intact());
}

}  // namespace
