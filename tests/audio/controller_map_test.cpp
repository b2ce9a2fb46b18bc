#include "audio/controller_map.h"
#include "config/registry_store.h"
#include "support/test_folders.h"

#include <gtest/gtest.h>

namespace {

// The controller map is process-wide: every test starts from the stored default text.
class ControllerMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string none;
        for (int p = 0; p < 208; ++p) none += p == 1 ? "07" : "FF";
        config.writeRegistry("midicfg=" + none + "\n");
        pelko::loadControllerAssignments(pelko::RegistryStore());
    }
    testing_support::IsolatedConfig config;
};

TEST_F(ControllerMap, AssigningTakesTheControllerAwayFromItsOldParameter)
{
    EXPECT_EQ(pelko::parameterOfController(7), 1);
    pelko::assignController(111, 7);
    EXPECT_EQ(pelko::parameterOfController(7), 111);
    EXPECT_EQ(pelko::controllerOfParameter(1), pelko::kNoController);
    EXPECT_EQ(pelko::controllerAssignmentText(111), "07");
    EXPECT_EQ(pelko::controllerAssignmentText(1), "---");
    pelko::assignController(111, 255);
    EXPECT_EQ(pelko::parameterOfController(7), pelko::kNoController);
}

TEST_F(ControllerMap, StoredTextRoundTrips)
{
    pelko::assignController(0, 20);
    pelko::assignController(207, 127);
    pelko::RegistryStore store;
    pelko::saveControllerAssignments(store);
    std::string text = *store.readText("midicfg");
    ASSERT_EQ(text.size(), 416u);
    EXPECT_EQ(text.substr(0, 4), "1407");
    EXPECT_EQ(text.substr(414), "7F");
    pelko::assignController(0, 255);
    pelko::loadControllerAssignments(store);
    EXPECT_EQ(pelko::parameterOfController(20), 0);
    EXPECT_EQ(pelko::parameterOfController(127), 207);
}

TEST_F(ControllerMap, DamagedStoredTextLeavesParametersUnassigned)
{
    std::string text = "0Z" + std::string("05") + "C8";  // bad digits, then controller 5, then 200
    config.writeRegistry("midicfg=" + text + "\n");
    pelko::loadControllerAssignments(pelko::RegistryStore());
    EXPECT_EQ(pelko::controllerOfParameter(0), pelko::kNoController);
    EXPECT_EQ(pelko::controllerOfParameter(1), 5);
    EXPECT_EQ(pelko::controllerOfParameter(2), pelko::kNoController);  // 200 is no controller
    EXPECT_EQ(pelko::controllerOfParameter(3), pelko::kNoController);  // cut short
    EXPECT_EQ(pelko::parameterOfController(5), 1);
}

}  // namespace
