// Instances that start with the same bank share its programs; whatever one instance does to its
// bank stays in that instance.
#include "params/patch_object_table.h"
#include "params/setting_objects.h"
#include "plugin/program_waves.h"
#include "plugin/synth_plugin.h"
#include "storage/program_format.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const pelko::Program& program)
{
    pelko::ByteWriter out;
    pelko::writeProgram(out, program);
    return out.take();
}

TEST(SharedPrograms, InstancesShareTheFactoryBankAndKeepTheirChangesApart)
{
    testing_support::PluginEnvironment environment(true, true);
    testing_support::InProcessPlugin a;
    testing_support::InProcessPlugin b;
    pelko::SynthPlugin& first = *a.plugin();
    pelko::SynthPlugin& second = *b.plugin();
    for (int slot = 0; slot < pelko::kProgramCount; ++slot) {
        EXPECT_EQ(&first.bank().program(slot), &second.bank().program(slot)) << slot;
    }
    const std::string name3(second.bank().program(3).name());
    const std::vector<std::uint8_t> factory5 = bytesOf(second.bank().program(5));
    const std::vector<std::uint8_t> factory6 = bytesOf(second.bank().program(6));
    const std::vector<std::uint8_t> factory9 = bytesOf(second.bank().program(9));

    // Every way the first instance changes its bank.
    first.renameProgram(3, "Renamed");
    first.setParameter(1, 0.123f);
    ASSERT_TRUE(first.copyEditBufferTo(5));
    first.copyProgram(0);
    first.pasteProgram(6);
    first.initialiseProgram(7, true);
    first.storeProgram(8, first.editBuffer());
    // The slot takes the category whether or not the library files it.
    first.storePresetInLibrary(9, 2);
    first.saveChunk(false);

    EXPECT_EQ(first.bank().program(3).name(), "Renamed");
    EXPECT_EQ(second.bank().program(3).name(), name3);
    EXPECT_EQ(bytesOf(second.bank().program(5)), factory5);
    EXPECT_EQ(bytesOf(second.bank().program(6)), factory6);
    EXPECT_EQ(bytesOf(second.bank().program(9)), factory9);
    EXPECT_EQ(first.bank().program(9).objectAs<pelko::IntegerObject>(pelko::object::kPresetCategory).value(), 2);
    EXPECT_NE(bytesOf(first.bank().program(5)), factory5);

    // The second instance plays the factory program, and a later instance starts with it too.
    second.selectProgram(5);
    EXPECT_EQ(second.editBuffer().name(), second.bank().program(5).name());
    EXPECT_EQ(second.getParameter(1), second.bank().program(5).values[1]);
    EXPECT_NE(second.getParameter(1), 0.123f);
    testing_support::InProcessPlugin c;
    EXPECT_EQ(bytesOf(c.plugin()->bank().program(5)), factory5);
    EXPECT_EQ(&c.plugin()->bank().program(5), &second.bank().program(5));
    EXPECT_EQ(c.plugin()->bank().program(3).name(), name3);
}

TEST(SharedPrograms, InstancesBuiltOnSeveralThreadsAtOnceEachHaveTheFactoryBank)
{
    testing_support::PluginEnvironment environment(true, true);
    std::vector<std::unique_ptr<testing_support::InProcessPlugin>> instances(3);
    std::vector<std::thread> threads;
    for (auto& instance : instances) {
        threads.emplace_back([&instance] { instance = std::make_unique<testing_support::InProcessPlugin>(); });
    }
    for (std::thread& t : threads) t.join();
    for (const auto& instance : instances) {
        ASSERT_NE(instance->plugin(), nullptr);
        for (int slot = 0; slot < pelko::kProgramCount; ++slot) {
            EXPECT_EQ(bytesOf(instance->plugin()->bank().program(slot)),
                      bytesOf(instances[0]->plugin()->bank().program(slot)));
        }
    }
}

// "User-Defined" waves are built once for each set of harmonics and shared by every slot and
// instance that plays them.
TEST(SharedPrograms, UserDefinedWavesAreSharedByTheirHarmonics)
{
    pelko::WaveKey key;
    key.names[0] = "User-Defined\\User1";
    key.additive[0][0] = 1.0f;
    key.additive[0][2] = 0.5f;
    pelko::WaveKey other = key;
    other.additive[0][2] = 0.25f;
    bool built = false;
    const auto wave = pelko::buildProgramWave(key, 0, nullptr, true, built);
    ASSERT_NE(wave, nullptr);
    EXPECT_TRUE(built);
    EXPECT_EQ(pelko::buildProgramWave(key, 0, nullptr, true, built), wave);
    const auto different = pelko::buildProgramWave(other, 0, nullptr, true, built);
    ASSERT_NE(different, nullptr);
    EXPECT_NE(different, wave);
    EXPECT_GT(wave->zoneCount(), 1);
    // Silent settings build no wave, shared or not.
    pelko::WaveKey silent;
    silent.names[0] = key.names[0];
    EXPECT_EQ(pelko::buildProgramWave(silent, 0, nullptr, true, built), nullptr);
}

}  // namespace
