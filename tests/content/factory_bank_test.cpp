// The factory bank as it ships: loaded into the built module, every designed program is named,
// filed in a category, plays a C major chord at velocity 100 audibly and without clipping.
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "params/text_object.h"
#include "platform/file_system.h"
#include "plugin/synth_plugin.h"
#include "storage/chunk_storage.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing_support::InProcessPlugin;
using testing_support::LoadedModule;
using testing_support::PluginEnvironment;

constexpr int kSampleRate = 44100;
constexpr float kPeakLimit = 0.9f;
constexpr float kRmsFloor = 0.005f;  // about −46 dBFS

std::string factoryBankPath(const PluginEnvironment& environment)
{
    return environment.installFolder() + "presets/Factory.fxb";
}

// The slots holding designed programs: every one not left at the default name.
std::vector<int> designedSlots(const pelko::ProgramBank& bank)
{
    std::vector<int> slots;
    for (int i = 0; i < pelko::kProgramCount; ++i) {
        if (bank.program(i).name().rfind("program ", 0) != 0) {
            slots.push_back(i);
        }
    }
    return slots;
}

struct Level {
    float peak = 0.0f;
    float rms = 0.0f;
};

// Plays C4, E4, G4 at velocity 100 for two seconds, releases them and lets them ring out for
// three; the peak covers everything, the RMS the held part.
Level playChord(host::HostModule& host)
{
    const int keys[] = {60, 64, 67};
    std::vector<vst2::VstMidiEvent> on, off;
    for (int key : keys) {
        on.push_back(host::midiEvent(0, 0x90, static_cast<std::uint8_t>(key), 100));
        off.push_back(host::midiEvent(0, 0x80, static_cast<std::uint8_t>(key), 0));
    }
    Level level;
    double sumSquares = 0.0;
    long heldFrames = 0;
    std::vector<float> left, right;
    auto run = [&](int seconds, bool held) {
        for (int done = 0; done < seconds * kSampleRate; done += 512) {
            host.processReplacing(left, right, 512);
            for (std::size_t i = 0; i < left.size(); ++i) {
                level.peak = std::max({level.peak, std::abs(left[i]), std::abs(right[i])});
                if (held) {
                    sumSquares += 0.5 * (double(left[i]) * left[i] + double(right[i]) * right[i]);
                    ++heldFrames;
                }
            }
        }
    };
    // The harness keeps the events valid until the next process call has returned.
    host.sendMidi(on);
    run(2, true);
    host.sendMidi(off);
    run(3, false);
    level.rms = static_cast<float>(std::sqrt(sumSquares / static_cast<double>(std::max(1L, heldFrames))));
    return level;
}

TEST(FactoryBank, EveryDesignedProgramHasANameAnAuthorAndACategory)
{
    PluginEnvironment environment(true, true);
    pelko::ProgramBank bank;
    ASSERT_TRUE(pelko::loadForeignBankFile(factoryBankPath(environment), bank));
    EXPECT_EQ(bank.name(), "Factory");
    const std::vector<int> slots = designedSlots(bank);
    ASSERT_GE(slots.size(), 16u);
    // The designed programs come first; the rest of the bank is left for the user.
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(slots[i], static_cast<int>(i));
    }
    std::vector<std::string> names;
    for (int slot : slots) {
        const pelko::Program& program = bank.program(slot);
        std::string name(program.name());
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << "duplicate name " << name;
        names.push_back(name);
        EXPECT_GE(program.objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value(), 1) << name;
        EXPECT_FALSE(program.objectAs<pelko::TextObject>(pelko::object::kPatchAuthor).text().empty()) << name;
        EXPECT_FALSE(program.objectAs<pelko::TextObject>(pelko::object::kPatchComment).text().empty()) << name;
    }
    EXPECT_EQ(slots.size(), static_cast<std::size_t>(pelko::kProgramCount));  // a full bank
}

TEST(FactoryBank, EveryDesignedProgramSoundsWithoutClippingOnAChord)
{
    PluginEnvironment environment(true, true);
    pelko::ProgramBank bank;
    ASSERT_TRUE(pelko::loadForeignBankFile(factoryBankPath(environment), bank));
    std::optional<std::vector<std::uint8_t>> file = pelko::readWholeFile(factoryBankPath(environment), 16u << 20);
    ASSERT_TRUE(file.has_value());
    ASSERT_GT(file->size(), pelko::kBankFileHeaderSize);

    LoadedModule module;
    ASSERT_NE(module.effect(), nullptr);
    host::HostModule& host = module.host();
    host.setSampleRate(static_cast<float>(kSampleRate));
    host.setBlockSize(512);
    host.resume();
    // What a host does with a bank file: the chunk after the file's header.
    ASSERT_TRUE(host.setChunk(false, std::vector<std::uint8_t>(file->begin() + pelko::kBankFileHeaderSize, file->end())));

    for (int slot : designedSlots(bank)) {
        host.setProgram(slot);
        const std::string name(bank.program(slot).name());
        EXPECT_EQ(host.getProgramName(), name);
        Level level = playChord(host);
        std::printf("%2d %-24s peak %.3f rms %.4f\n", slot, name.c_str(), level.peak, level.rms);
        EXPECT_LE(level.peak, kPeakLimit) << name;
        EXPECT_GE(level.rms, kRmsFloor) << name;
    }
}

// A first start (no saved state in the install folder) begins with the factory bank; once the
// state has been saved, the next start takes the saved state instead.
TEST(FactoryBank, IsTheStateOfAFirstStartOnly)
{
    PluginEnvironment environment(true, true);
    // The copied build folder may hold the state of an earlier run of the module.
    std::filesystem::remove(pelko::stateFilePath(environment.installFolder()));
    pelko::ProgramBank bank;
    ASSERT_TRUE(pelko::loadForeignBankFile(factoryBankPath(environment), bank));
    {
        InProcessPlugin instance;
        ASSERT_NE(instance.plugin(), nullptr);
        EXPECT_EQ(instance.plugin()->bank().name(), "Factory");
        EXPECT_EQ(instance.plugin()->editBuffer().name(), bank.program(0).name());
        instance.plugin()->renameProgram(0, "Mine");
        instance.plugin()->selectProgram(0);
    }
    ASSERT_TRUE(pelko::fileExists(pelko::stateFilePath(environment.installFolder())));
    InProcessPlugin again;
    ASSERT_NE(again.plugin(), nullptr);
    EXPECT_EQ(again.plugin()->bank().program(0).name(), "Mine");
}

}  // namespace
