// Two plug-in instances writing the per-user settings at the same time from their own threads:
// every value written reaches the file and both instances read the same values.
#include "config/registry_store.h"
#include "plugin/synth_plugin.h"
#include "support/plugin_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>

using testing_support::InProcessPlugin;
using testing_support::PluginEnvironment;

namespace {

TEST(HostThreads, TwoInstancesWriteTheirSettingsAtOnceAndLoseNothing)
{
    PluginEnvironment environment;
    InProcessPlugin first;
    InProcessPlugin second;
    ASSERT_NE(first.plugin(), nullptr);
    ASSERT_NE(second.plugin(), nullptr);
    constexpr int kWrites = 40;

    std::thread one([&] {
        for (int i = 0; i < kWrites; ++i) {
            first.plugin()->settings().writeText(pelko::registry::kPatchPath, "/patches/" + std::to_string(i) + "/");
        }
    });
    std::thread two([&] {
        for (int i = 0; i < kWrites; ++i) {
            second.plugin()->settings().writeText(pelko::registry::kBankPath, "/banks/" + std::to_string(i) + "/");
            second.plugin()->setMidiOut(i % 2 == 0);
        }
    });
    one.join();
    two.join();

    const std::string lastPatches = "/patches/" + std::to_string(kWrites - 1) + "/";
    const std::string lastBanks = "/banks/" + std::to_string(kWrites - 1) + "/";
    for (InProcessPlugin* instance : {&first, &second}) {
        pelko::RegistryStore& settings = instance->plugin()->settings();
        EXPECT_EQ(settings.readText(pelko::registry::kPatchPath), lastPatches);
        EXPECT_EQ(settings.readText(pelko::registry::kBankPath), lastBanks);
        EXPECT_EQ(settings.readInteger(pelko::registry::kMidiOut, -1), 0);
        EXPECT_EQ(settings.readText(pelko::registry::kPath), environment.installFolder());
    }
    std::ifstream in(environment.config().registryFile(), std::ios::binary);
    const auto stored = pelko::parseRegistryText(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(stored.at(pelko::registry::kPatchPath), lastPatches);
    EXPECT_EQ(stored.at(pelko::registry::kBankPath), lastBanks);
    EXPECT_EQ(stored.at(pelko::registry::kMidiOut), "0");
    EXPECT_EQ(stored.at(pelko::registry::kPath), environment.installFolder());
}

}  // namespace
