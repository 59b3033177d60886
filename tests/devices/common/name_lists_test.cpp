// The name lists from the data folder and the factory folder.
#include "devices/common/name_lists.h"
#include "config/macro_library.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::devices {
namespace {

TEST(DeviceNameLists, EachListFromItsFile) {
    test::TempDir dir;
    config::MacroLibrary library(dir.Path());
    library.Load();
    ASSERT_EQ(library.AddMacroWithName("first"), "first");
    ASSERT_EQ(library.AddMacroWithName("second"), "second");
    test::WriteText(dir / "velto_light.config", R"({"LightInfo": [
        [{"LightName": "mine", "Guid": "g0"}, {"LightName": "yours", "Guid": "g1"}],
        [{"LightName": "mouse light", "Guid": "g2"}]]})");
    const auto factory = platform::ProgramSubfolder("DefaultData");

    const DeviceNameLists lists = LoadLightNames(dir.Path(), factory, 0);
    EXPECT_EQ(lists.macroNames, (std::vector<std::string>{"first", "second"}));
    ASSERT_EQ(lists.modeNames.size(), 31u);
    ASSERT_EQ(lists.modeVisible.size(), 31u);
    ASSERT_EQ(lists.modeCodes.size(), 31u);
    EXPECT_EQ(lists.modeNames[19], "light_mode_custom");
    EXPECT_EQ(lists.modeCodes[19], 19);
    EXPECT_FALSE(lists.modeVisible[0]);
    EXPECT_TRUE(lists.modeVisible[1]);
    EXPECT_EQ(lists.zoneNames, (std::vector<std::string>{"area_keys", "area_side_strip"}));
    EXPECT_EQ(lists.customNames, (std::vector<std::string>{"mine", "yours"}));

    EXPECT_EQ(LoadLightNames(dir.Path(), factory, 1).customNames, (std::vector<std::string>{"mouse light"}));

    // Nothing readable: empty lists.
    const DeviceNameLists none = LoadLightNames(dir / "missing", dir / "missing", 0);
    EXPECT_TRUE(none.macroNames.empty());
    EXPECT_TRUE(none.modeNames.empty());
    EXPECT_TRUE(none.modeCodes.empty());
    EXPECT_TRUE(none.zoneNames.empty());
    EXPECT_TRUE(none.customNames.empty());
}

}  // namespace
}  // namespace norvane::devices
