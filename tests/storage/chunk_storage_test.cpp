#include "program_fixtures.h"

#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "storage/chunk_storage.h"
#include "editor/core/storage_dialogs.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>
#include <memory>

using namespace pelko;
using namespace fixtures;

namespace {

// What a plug-in owns, for the storage functions.
struct Owner {
    ProgramBank bank;
    Program editBuffer;
    int current = 0;
    bool globalTuningOn = false;
    TuningScaleObject globalTuning = makeGlobalTuning();
    TextObject bankInfo = makeBankInfo();
    StorageState state{bank, editBuffer, current, {globalTuningOn, globalTuning, bankInfo}};
};

class ChunkStorage : public ::testing::Test {
protected:
    void SetUp() override { previous_ = setUserInterface(ui_); }
    void TearDown() override
    {
        failAtomicWritesAfter(-1);
        setUserInterface(previous_);
    }
    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const auto& m : ui_->messages()) texts.push_back(m.text);
        return texts;
    }
    std::shared_ptr<ScriptedUserInterface> ui_ = std::make_shared<ScriptedUserInterface>();
    std::shared_ptr<UserInterface> previous_;
};

std::vector<std::uint8_t> bankBytes(const ProgramBank& bank)
{
    ByteWriter out;
    writeBank(out, bank);
    return out.take();
}

void changeOwner(Owner& o)
{
    for (int slot = 0; slot < kProgramCount; slot += 9) changeEverything(o.bank.editProgram(slot), slot);
    changeEverything(o.editBuffer, 99);
    o.bank.setName("Changed Bank");
    o.current = 5;
    o.globalTuningOn = true;
    o.globalTuning.scale().setBaseFrequency(12.0f);
    o.bankInfo.setText("info text");
}

TEST_F(ChunkStorage, ProgramChunkRoundTrip)
{
    Owner a;
    changeOwner(a);
    EditorViewBlock view;
    view.oscillators[2].zoom = 2.5f;
    view.oscillators[4].values = {1, 2, 3, -4};
    view.page = 7;
    a.state.editorView = &view;
    std::vector<std::uint8_t> chunk = getChunk(a.state, true);
    EXPECT_EQ(chunk.size(), 12 + storedProgramSize(a.editBuffer) + 2 * globalBlockSize());
    EXPECT_EQ(bytesOf(a.bank.program(5)), bytesOf(a.editBuffer));  // the edit buffer went to its slot

    Owner b;
    b.current = 9;
    SetChunkResult result = setChunk(b.state, chunk.data(), chunk.size(), true);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.selectProgram, 9);
    ASSERT_TRUE(result.view.has_value());
    EXPECT_EQ(*result.view, view);
    EXPECT_EQ(bytesOf(b.editBuffer), bytesOf(a.editBuffer));
    EXPECT_EQ(bytesOf(b.bank.program(9)), bytesOf(a.editBuffer));
    EXPECT_FALSE(b.globalTuningOn);  // a program chunk steps over the global block
    EXPECT_TRUE(messages().empty());
}

TEST_F(ChunkStorage, BankChunkCarriesTheGlobalSettingsAndTheProgramToSelect)
{
    Owner a;
    changeOwner(a);
    std::vector<std::uint8_t> chunk = getChunk(a.state, false);
    EXPECT_EQ(chunk.size(), 12 + storedBankSize(a.bank) + 2 * globalBlockSize());
    Owner b;
    SetChunkResult result = setChunk(b.state, chunk.data(), chunk.size(), false);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.selectProgram, 5);
    EXPECT_EQ(bankBytes(b.bank), bankBytes(a.bank));
    EXPECT_TRUE(b.globalTuningOn);
    EXPECT_EQ(b.globalTuning.scale().baseFrequency(), 12.0f);
    EXPECT_EQ(b.bankInfo.text(), "info text");
    ASSERT_TRUE(result.view.has_value());
    EXPECT_EQ(*result.view, EditorViewBlock{});  // without an editor the defaults are stored

    // Into a bank other than the plug-in's, the global block is not taken.
    ProgramBank foreign;
    ChunkReadResult read = readBankChunk(chunk.data(), chunk.size(), foreign, nullptr);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(bankBytes(foreign), bankBytes(a.bank));
}

TEST_F(ChunkStorage, OldMagicIsAcceptedAndTheProgramIndexUsesItsLowByte)
{
    Owner a;
    std::vector<std::uint8_t> chunk = getChunk(a.state, false);
    chunk[3] = '3';                // 'PKV3'
    chunk[10] = 0x7F;              // index 0x7F05: low byte 5
    chunk[11] = 5;
    Owner b;
    SetChunkResult result = setChunk(b.state, chunk.data(), chunk.size(), false);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.selectProgram, 5);
    chunk[11] = 64;
    EXPECT_EQ(setChunk(b.state, chunk.data(), chunk.size(), false).selectProgram, -1);
}

TEST_F(ChunkStorage, RefusedChunksChangeNothing)
{
    Owner a;
    changeOwner(a);
    std::vector<std::uint8_t> chunk = getChunk(a.state, true);
    Owner b;
    const std::vector<std::uint8_t> before = bytesOf(b.editBuffer);
    std::vector<std::uint8_t> newer = chunk;
    newer[7] = 22;
    EXPECT_FALSE(setChunk(b.state, newer.data(), newer.size(), true).ok);
    std::vector<std::uint8_t> foreign = chunk;
    foreign[0] = 'X';
    EXPECT_FALSE(setChunk(b.state, foreign.data(), foreign.size(), true).ok);
    std::vector<std::uint8_t> zero = chunk;
    zero[7] = 0;
    EXPECT_FALSE(setChunk(b.state, zero.data(), zero.size(), true).ok);
    EXPECT_FALSE(setChunk(b.state, nullptr, 100, true).ok);
    EXPECT_EQ(bytesOf(b.editBuffer), before);
    EXPECT_EQ(messages(), (std::vector<std::string>{"This file was created with a more recent version of the program.",
                                                    "Invalid patch/bank format", "Invalid patch/bank format",
                                                    "Invalid patch/bank format"}));
}

TEST_F(ChunkStorage, ChunkCutShortFailsWithTheFormatMessage)
{
    Owner a;
    changeOwner(a);
    std::vector<std::uint8_t> chunk = getChunk(a.state, true);
    const std::size_t viewEnd = chunk.size() - 2 * globalBlockSize() + globalBlockSize() + EditorViewBlock::kStoredSize;
    Owner b;
    for (std::size_t size = 0; size < viewEnd; size += 53) {
        ui_->clear();
        SetChunkResult result = setChunk(b.state, chunk.data(), size, true);
        const bool programAndGlobalBlockPresent = size >= chunk.size() - globalBlockSize();
        EXPECT_EQ(result.ok, programAndGlobalBlockPresent) << size;
        if (!result.ok) {
            EXPECT_EQ(messages(), std::vector<std::string>{"Invalid patch/bank format"}) << size;
        } else {
            EXPECT_FALSE(result.view.has_value()) << size;  // the view block is optional
        }
    }
}

TEST_F(ChunkStorage, BankChunksOfOldVersions)
{
    Owner a;
    changeOwner(a);
    for (int version : {15, 17, 18}) {
        ByteWriter out;
        out.putInt32(static_cast<std::int32_t>(kChunkMagic));
        out.putInt32(version);
        out.putInt32(3);
        for (int bankSlot = 0; bankSlot < kProgramCount; ++bankSlot) {
            const Program& p = a.bank.program(bankSlot);
            std::vector<std::uint8_t> bytes = storedAsVersion(p, version);
            out.putBytes(bytes.data(), bytes.size());
        }
        if (version >= 18) out.putBytes("Old Bank\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24);
        if (version >= 16) {
            out.putInt32(1);
            a.globalTuning.write(out);
            a.bankInfo.write(out);
        }
        Owner b;
        SetChunkResult result = setChunk(b.state, out.bytes().data(), out.size(), false);
        ASSERT_TRUE(result.ok) << version;
        EXPECT_EQ(b.bank.name(), version >= 18 ? "Old Bank" : "") << version;
        EXPECT_EQ(b.globalTuningOn, version >= 16) << version;
        EXPECT_FALSE(result.view.has_value());
        EXPECT_EQ(b.bank.program(9).objectAs<IntegerObject>(object::kPresetCategory).value(), -1);  // upgraded
    }
}

TEST_F(ChunkStorage, ProgramAndBankFiles)
{
    Owner a;
    changeOwner(a);
    std::vector<std::uint8_t> fxp = buildProgramFile(a.state);
    ASSERT_GT(fxp.size(), kProgramFileHeaderSize);
    EXPECT_EQ(std::string(fxp.begin(), fxp.begin() + 4), "CcnK");
    EXPECT_EQ(std::string(fxp.begin() + 8, fxp.begin() + 12), "FPCh");
    EXPECT_EQ(std::string(fxp.begin() + 16, fxp.begin() + 20), "PKV4");
    EXPECT_EQ(fxp[27], 208);
    // The name field holds the slot's name, which is the edit buffer's after the copy.
    EXPECT_EQ(std::string(fxp.begin() + 28, fxp.begin() + 37), "Changed 9");
    EXPECT_EQ(fxp[52] | fxp[53] | fxp[54] | fxp[55], 0);
    ByteReader sizeField(fxp.data() + 56, 4);
    EXPECT_EQ(static_cast<std::size_t>(sizeField.int32()), fxp.size() - 60);

    std::vector<std::uint8_t> fxb = buildBankFile(a.state);
    EXPECT_EQ(std::string(fxb.begin() + 8, fxb.begin() + 12), "FBCh");
    EXPECT_EQ(fxb[27], 64);
    Owner b;
    FileLoadResult loaded = readBankFileBytes(b.state, fxb.data(), fxb.size(), "file.fxb");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.selectProgram, 5);
    b.current = loaded.selectProgram;  // what selecting the program does to the edit buffer
    copyProgram(b.bank.program(5), b.editBuffer);
    EXPECT_EQ(buildBankFile(b.state), fxb);  // bank → .fxb → bank → .fxb is byte-identical

    Program target;
    ASSERT_TRUE(readProgramFileBytes(fxp.data(), fxp.size(), target).ok);
    EXPECT_EQ(bytesOf(target), bytesOf(a.editBuffer));

    Owner unnamed;
    Owner source;
    source.bank.setName("");
    std::vector<std::uint8_t> noName = buildBankFile(source.state);
    ASSERT_TRUE(readBankFileBytes(unnamed.state, noName.data(), noName.size(), "Strings.fxb").ok);
    EXPECT_EQ(unnamed.bank.name(), "Strings.fxb");
}

TEST_F(ChunkStorage, DefaultBankThroughAFileIsByteIdentical)
{
    Owner a;
    a.bank.setName("Factory");
    std::vector<std::uint8_t> fxb = buildBankFile(a.state);
    Owner b;
    changeOwner(b);
    ASSERT_TRUE(readBankFileBytes(b.state, fxb.data(), fxb.size(), "x").ok);
    EXPECT_EQ(bankBytes(b.bank), bankBytes(a.bank));
}

TEST_F(ChunkStorage, StateFileSavedAtomicallyAndRestored)
{
    testing_support::TempFolder folder;
    Owner a;
    changeOwner(a);
    const std::string path = stateFilePath(folder.path());
    ASSERT_TRUE(saveBankFile(a.state, path));
    const auto saved = readWholeFile(path);
    ASSERT_TRUE(saved.has_value());

    Owner b;
    FileLoadResult restored = loadBankFile(b.state, path);
    ASSERT_TRUE(restored.ok);
    EXPECT_EQ(restored.selectProgram, 5);
    EXPECT_EQ(bankBytes(b.bank), bankBytes(a.bank));

    // A write that fails half-way leaves the previous file and says so.
    Owner c;
    failAtomicWritesAfter(1000);
    EXPECT_FALSE(saveBankFile(c.state, path));
    failAtomicWritesAfter(-1);
    EXPECT_EQ(readWholeFile(path), saved);
    EXPECT_FALSE(saveBankFile(c.state, folder.path() + "missing/tmp.sav"));
    EXPECT_EQ(messages()[0].substr(0, 18), "Error writing file");
    EXPECT_EQ(messages()[1].substr(0, 18), "Error opening file");

    // A missing state file loads nothing and says nothing.
    ui_->clear();
    Owner d;
    EXPECT_FALSE(loadBankFile(d.state, folder.file("none.sav")).ok);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(loadProgramFile(folder.file("none.fxp"), d.editBuffer).ok);
    EXPECT_EQ(messages().size(), 1u);
}

// A dialog that answers with a queued path and records what it was asked.
class FakeDialogs : public StorageDialogHost {
public:
    std::optional<std::string> chooseFile(bool save, const FileDialogOptions& options) override
    {
        requests.push_back({save, options.title, options.filterDescription, options.extension, options.folderValue});
        return answer;
    }
    struct Request {
        bool save;
        std::string title, filter, extension, folderValue;
    };
    std::vector<Request> requests;
    std::optional<std::string> answer;
};

TEST_F(ChunkStorage, DialogCommandsLoadAndSave)
{
    testing_support::TempFolder folder;
    Owner a;
    changeOwner(a);
    FakeDialogs dialogs;
    dialogs.answer = folder.path() + "bank.fxb";
    EXPECT_EQ(saveBankWithDialog(a.state, dialogs), "bank.fxb");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].title, "Save FX Bank");
    EXPECT_EQ(dialogs.requests[0].filter, "FX Banks");
    EXPECT_EQ(dialogs.requests[0].extension, ".fxb");
    EXPECT_EQ(dialogs.requests[0].folderValue, "BankPath");

    Owner b;
    FileLoadResult loaded = loadBankWithDialog(b.state, dialogs);
    ASSERT_TRUE(loaded.ok);
    EXPECT_FALSE(dialogs.requests[1].save);
    EXPECT_EQ(dialogs.requests[1].title, "Load FX Bank");
    EXPECT_EQ(bankBytes(b.bank), bankBytes(a.bank));

    dialogs.answer = folder.path() + "one.fxp";
    EXPECT_EQ(savePatchWithDialog(a.state, dialogs), "one.fxp");
    EXPECT_EQ(dialogs.requests[2].title, "Save FX Patch");
    EXPECT_EQ(dialogs.requests[2].filter, "FX Patches");
    EXPECT_EQ(dialogs.requests[2].folderValue, "PatchPath");

    // Loading a patch into another slot keeps the edit buffer's changes in its own slot.
    Owner c;
    c.current = 2;
    c.editBuffer.setName("Being edited");
    FileLoadResult patch = loadPatchWithDialog(c.state, dialogs, 40);
    ASSERT_TRUE(patch.ok);
    EXPECT_EQ(patch.selectProgram, 2);
    EXPECT_EQ(dialogs.requests[3].title, "Load FX Patch");
    EXPECT_EQ(bytesOf(c.bank.program(40)), bytesOf(a.editBuffer));
    EXPECT_EQ(c.bank.program(2).name(), "Being edited");

    dialogs.answer.reset();  // cancelled
    EXPECT_FALSE(loadBankWithDialog(b.state, dialogs).ok);
    EXPECT_FALSE(savePatchWithDialog(a.state, dialogs).has_value());

    // Through the plug-in's dialog: the path and extension come from the user interface, the
    // folder is remembered in the registry store.
    RegistryStore settings(folder.file("registry"));
    RegistryDialogHost host(settings);
    ui_->queueFileName(folder.path() + "through");
    EXPECT_EQ(saveBankWithDialog(a.state, host), "through.fxb");
    EXPECT_TRUE(fileExists(folder.file("through.fxb")));
    EXPECT_EQ(settings.readText("BankPath").value_or("") + "/", folder.path());
}

TEST_F(ChunkStorage, LoadDialogsStartInTheInstallFoldersExamplesUntilAFolderIsRemembered)
{
    testing_support::TempFolder folder;
    const std::string install = folder.file("install/");
    ::mkdir(install.c_str(), 0755);
    ::mkdir((install + "presets").c_str(), 0755);
    ::mkdir((install + "Sequencer Settings").c_str(), 0755);
    EXPECT_EQ(exampleFolder(install, ".seq"), install + "Sequencer Settings/");
    EXPECT_EQ(exampleFolder(install, "fxb"), install + "presets/");
    EXPECT_EQ(exampleFolder(install, ".env"), "");  // not installed
    EXPECT_EQ(exampleFolder(install, ".txt"), "");  // no examples of this kind
    EXPECT_EQ(exampleFolder("", ".seq"), "");

    RegistryStore settings(folder.file("registry"));
    RegistryDialogHost host(settings, install);
    const FileDialogOptions load{"Load FX Bank", "FX Banks", ".fxb", "BankPath"};
    ui_->queueFileName(std::nullopt);
    EXPECT_FALSE(host.chooseFile(false, load));
    // Saving starts where the user last was (nowhere yet), not among the examples.
    ui_->queueFileName(folder.path() + "mine");
    EXPECT_TRUE(host.chooseFile(true, load));
    ui_->queueFileName(std::nullopt);
    host.chooseFile(false, load);
    const std::vector<FileDialogRequest> requests = ui_->fileRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].initialFolder, install + "presets/");
    EXPECT_EQ(requests[1].initialFolder, "");
    EXPECT_EQ(requests[2].initialFolder + "/", folder.path());  // remembered now
}

}  // namespace
