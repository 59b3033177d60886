#include "devices/device_paths.h"

#include "devices/usb_device.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::devices {
namespace {

namespace fs = std::filesystem;

class DevicePathsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv home{"NORVANE_DATA_HOME", dir.Path().string()};
};

TEST_F(DevicePathsTest, FilesOfADeviceLieInItsFolderWhichIsCreatedOnEveryAsk) {
    CTarnexUSBDevice device;
    device.SetTypeName("keyboard");
    device.SetProfileName("profile1");
    device.SetLightConfigName("velto_light");
    const fs::path folder = dir.Path() / "keyboard";
    EXPECT_EQ(device.DataFolder(), folder);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(device.CurrentProfileFile(), folder / "profile1.Json");
    fs::remove_all(folder);
    EXPECT_EQ(device.LightConfigFile(), folder / "velto_light.config");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(device.DefaultProfileFile(), platform::ProgramSubfolder("DefaultData") / "keyboard.Json");
    EXPECT_EQ(device.DefaultDataFolderPath(), platform::ProgramSubfolder("DefaultData"));
}

TEST_F(DevicePathsTest, UnsafeNamesGiveNoPathAndCreateNothing) {
    struct Case {
        const char* type;
        const char* profile;
        const char* light;
    };
    const Case cases[] = {{"../escape", "p", "l"}, {"a/b", "p", "l"},  {"", "p", "l"},       {"..", "p", "l"},
                          {"mouse", "../p", "l"},  {"mouse", "", "l"}, {"mouse", "p", "x/y"}};
    for (const Case& c : cases) {
        const bool typeOk = platform::IsSafeFileName(c.type);
        if (!typeOk) {
            EXPECT_TRUE(DeviceDataFolder(c.type).empty()) << c.type;
            EXPECT_TRUE(DefaultProfilePath(c.type).empty()) << c.type;
        }
        const bool profileOk = typeOk && platform::IsSafeFileName(c.profile);
        EXPECT_EQ(CurrentProfilePath(c.type, c.profile).empty(), !profileOk) << c.type << " " << c.profile;
        const bool lightOk = typeOk && platform::IsSafeFileName(c.light);
        EXPECT_EQ(LightConfigPath(c.type, c.light).empty(), !lightOk) << c.type << " " << c.light;
    }
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_EQ(entry.path().filename(), "mouse");
    }
    EXPECT_FALSE(fs::exists(dir.Path().parent_path() / "escape"));
}

}  // namespace
}  // namespace norvane::devices
