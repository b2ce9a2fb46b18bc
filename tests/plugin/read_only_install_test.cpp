// The plug-in installed in a folder the user cannot write, run as a host runs it: open, play,
// rename and file a preset, save the state, close, open again. Nothing is shown, nothing is lost,
// and the shipped files stay byte for byte as they were installed.
//
// Tests run as root, where permission bits stop no write, so the folder is both made read-only
// and reported as such through the file layer's simulation; the package test runs the module
// from a read-only folder as an ordinary user instead.
#include "platform/file_system.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"
#include "support/signal_analysis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

namespace {

namespace fs = std::filesystem;

void setWritable(const std::string& folder, bool writable)
{
    const auto change = writable ? fs::perm_options::add : fs::perm_options::remove;
    const auto bits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(), bits, change);
    }
    fs::permissions(folder, bits, change);
}

// Makes the environment's install folder read-only for the object's lifetime.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& folder) : folder_(folder)
    {
        setWritable(folder_, false);
        pelko::simulateReadOnlyFolder(folder_);
    }
    ~ReadOnlyFolder()
    {
        pelko::simulateReadOnlyFolder("");
        setWritable(folder_, true);
    }

private:
    std::string folder_;
};

std::vector<float> playChord(vst2::AEffect* effect)
{
    std::vector<vst2::VstMidiEvent> notes;
    for (std::uint8_t key : {48, 60, 64, 67}) {
        notes.push_back(host::midiEvent(0, 0x90, key, 100));
    }
    host::MidiEventBlock block(notes);
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, const_cast<vst2::VstEvents*>(block.events()), 0.0f);
    std::vector<float> left(4096), right(4096);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, nullptr, outputs, 4096);
    return left;
}

TEST(ReadOnlyInstall, APluginInAFolderTheUserCannotWriteKeepsEverythingInTheUsersFolders)
{
    PluginEnvironment environment(true, true);
    const std::string install = environment.installFolder();
    const auto shipped = testing_support::filesBelow(install);
    ASSERT_TRUE(shipped.count("pelko.db") == 1 && shipped.count("presets/Factory.fxb") == 1);
    ReadOnlyFolder readOnly(install);

    int filedId = -1;
    {
        InProcessPlugin instance;
        ASSERT_NE(instance.plugin(), nullptr);
        vst2::AEffect* effect = instance.effect();
        effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
        effect->dispatcher(effect, vst2::effSetProgram, 0, 3, nullptr, 0.0f);
        EXPECT_GT(testing_support::peak(playChord(effect)), 1e-3);
        char name[] = "Kept Across Sessions";
        effect->dispatcher(effect, vst2::effSetProgramName, 0, 0, name, 0.0f);
        ASSERT_TRUE(instance.plugin()->storePresetInLibrary(3, -1, &filedId));
        effect->dispatcher(effect, vst2::effMainsChanged, 0, 0, nullptr, 0.0f);
    }  // closing saves the state
    EXPECT_TRUE(environment.ui().messages().empty()) << environment.ui().messages()[0].text;
    EXPECT_TRUE(pelko::fileExists(environment.config().stateHome() + "Vantomo/Pelko2/tmp.sav"));
    EXPECT_TRUE(pelko::fileExists(environment.config().dataHome() + "Vantomo/Pelko2/pelko.db"));

    {
        InProcessPlugin instance;
        ASSERT_NE(instance.plugin(), nullptr);
        vst2::AEffect* effect = instance.effect();
        EXPECT_EQ(effect->dispatcher(effect, vst2::effGetProgram, 0, 0, nullptr, 0.0f), 3);
        char name[64] = {};
        effect->dispatcher(effect, vst2::effGetProgramName, 0, 0, name, 0.0f);
        EXPECT_STREQ(name, "Kept Across Sessions");
        pelko::LibraryRow row;
        ASSERT_TRUE(instance.plugin()->presetLibrary().getPreset(filedId, row));
        EXPECT_EQ(row.name, "Kept Across Sessions");
    }
    EXPECT_TRUE(environment.ui().messages().empty());
    EXPECT_TRUE(testing_support::filesBelow(install) == shipped) << "the install folder changed";
}

}  // namespace
