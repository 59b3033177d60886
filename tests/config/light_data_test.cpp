#include "config/json_file_store.h"
#include "config/keyboard_profiledata.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::TempDir;
using test::WriteText;

class LightFixture : public ::testing::Test {
protected:
    void Load(const std::string& deviceJson) {
        WriteText(dir / "p.Json", "{\"Device\": [" + deviceJson + "]}");
        data.SetProfilePath(dir / "p.Json");
        data.SetLightConfigPath(dir / "velto_light.config");
        data.LoadDeviceDocument(dir / "p.Json");
    }

    TempDir dir;
    CKeyboardProfiledata data;
};

TEST_F(LightFixture, LightInfoReadsMultiColourAsABoolean) {
    Load(R"({"LightInfo": {"SelectItem": 7, "Light": 260, "MultiColor": 5, "Blue": "x", "CustomGroup": 2}})");
    const LightInfo info = data.GetLightInfo();
    EXPECT_EQ(info.selectedMode, 7);
    EXPECT_EQ(info.brightness, 260 & 0xFF);
    EXPECT_EQ(info.multiColor, 1);
    EXPECT_EQ(info.blue, 0);
    EXPECT_EQ(info.customGroup, 2);
    data.SetLightInfo(info);
    const Json::Value& written = data.DeviceDocument()["LightInfo"];
    EXPECT_EQ(written["MultiColor"], Json::Value(1));
    EXPECT_EQ(written.size(), 11U);
}

TEST_F(LightFixture, MissingLightInfoGivesTheZeroRecord) {
    Load(R"({"LightInfo": 12})");
    EXPECT_EQ(data.GetLightInfo(), LightInfo{});
    Load("{}");
    EXPECT_EQ(data.GetLightInfo(), LightInfo{});
}

TEST_F(LightFixture, AudioLightAlwaysReadsForeground) {
    Load(
        R"({"AudioLightInfo": {"AudioMode": 3, "BkColorR": 10, "7ColorFlags": true, "ColorTypeFlags": false}})");
    const AudioLightInfo info = data.GetAudioLight();
    EXPECT_EQ(info.mode, 3);
    EXPECT_EQ(info.backgroundRed, 10);
    EXPECT_EQ(info.sevenColor, 1);
    EXPECT_EQ(info.colorType, 1);
    data.SetAudioLight(info);
    EXPECT_EQ(data.DeviceDocument()["AudioLightInfo"]["7ColorFlags"], Json::Value(1));
}

TEST_F(LightFixture, LightListMarksNullEntriesAbsent) {
    Load(R"({"LightList": [null, {"LEDREGMode": 2, "LEDDirection": 7, "red": 9}, "junk"]})");
    const std::vector<LightListEntry> list = data.GetLightList();
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(list[0], LightListEntry{});
    EXPECT_EQ(list[1].effectCode, 2);
    EXPECT_EQ(list[1].direction, 1);
    EXPECT_EQ(list[1].red, 9);
    EXPECT_EQ(list[1].present, 1);
    EXPECT_EQ(list[2].present, 0);
    Load("{}");
    EXPECT_TRUE(data.GetLightList().empty());
}

TEST_F(LightFixture, CustomEffectIsReadFromTheDeviceFolder) {
    // The device folder lies one level down, so the file it must not reach is still ours.
    std::filesystem::create_directory(dir / "device");
    WriteText(dir / "device" / "velto_light.config", R"({"LightInfo": [[
        {"LightName": "a", "Guid": "g0"}, {"LightName": "b", "Guid": "g1"}, {"LightName": "c", "Guid": "g2"},
        {"LightName": "d", "Guid": "g3"}, {"LightName": "e", "Guid": "../escape"}]]})");
    WriteText(dir / "device" / "g3.light",
              R"({"LEDEffectList": [{"LEDREGMode": 1, "Time": 500, "Cyle": 2, "red": 255},
                                                      {"LEDREGMode": 4, "Time": 250}]})");

    Load(R"({"LightInfo": {"SelectItem": 3}})");
    data.GetLightInfo();
    data.LoadLightConfig(dir / "device" / "velto_light.config");
    const std::vector<LightEffectStep> steps = data.GetCustomEffect();
    ASSERT_EQ(steps.size(), 2U);
    EXPECT_EQ(steps[0].duration, 500);
    EXPECT_EQ(steps[0].repetitions, 2);
    EXPECT_EQ(steps[0].red, 255);
    EXPECT_EQ(steps[1].effectCode, 4);

    // An identifier with a path in it is refused.
    WriteText(dir / "escape.light", R"({"LEDEffectList": [{"LEDREGMode": 1}]})");
    Load(R"({"LightInfo": {"SelectItem": 4}})");
    data.GetLightInfo();
    EXPECT_TRUE(data.GetCustomEffect().empty());
}

// Runs the scope in another current folder.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::filesystem::path& folder)
        : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
    }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::filesystem::path old_;
};

TEST_F(LightFixture, CustomEffectLiesBesideTheLoadedConfigurationNeverInTheCurrentFolder) {
    const char* config = R"({"LightInfo": [[{"Guid": "g0"}]]})";
    const char* effect = R"({"LEDEffectList": [{"LEDREGMode": 6}]})";
    std::filesystem::create_directory(dir / "cwd");
    std::filesystem::create_directory(dir / "device");
    WriteText(dir / "cwd" / "velto_light.config", config);
    WriteText(dir / "cwd" / "g0.light", effect);
    WriteText(dir / "device" / "velto_light.config", config);
    const ScopedCurrentFolder cwd(dir / "cwd");
    // The light configuration path is never set: only the folder the file was read from counts.
    CKeyboardProfiledata fresh;
    fresh.LoadLightConfig(dir / "device" / "velto_light.config");
    EXPECT_TRUE(fresh.GetCustomEffect().empty());
    WriteText(dir / "device" / "g0.light", effect);
    ASSERT_EQ(fresh.GetCustomEffect().size(), 1U);
    EXPECT_EQ(fresh.GetCustomEffect()[0].effectCode, 6);
    // A configuration read by a relative path has no folder to look in.
    fresh.LoadLightConfig("velto_light.config");
    EXPECT_TRUE(fresh.GetCustomEffect().empty());
}

TEST_F(LightFixture, CustomEffectPastTheListIsEmpty) {
    WriteText(dir / "velto_light.config", R"({"LightInfo": [[{"Guid": "g0"}, {"Guid": "g1"}]]})");
    WriteText(dir / ".light", R"({"LEDEffectList": [{"LEDREGMode": 1}]})");
    Load(R"({"LightInfo": {"SelectItem": 12}})");
    data.GetLightInfo();
    EXPECT_TRUE(data.GetCustomEffect().empty());  // no light configuration loaded yet
    data.LoadLightConfig(dir / "velto_light.config");
    EXPECT_TRUE(data.GetCustomEffect().empty());
}

TEST(LightFiles, ModeNamesAndCustomNamesByLightClass) {
    TempDir dir;
    WriteText(dir / "default_light.json", R"({
        "DefaultLightName": [[{"LightName": "k0", "visible": true, "value": 1}],
                             [{"LightName": "m0", "visible": false, "value": 9}, {"LightName": 5}]],
        "AreaLightName": [[], [{"LightName": "logo"}]]})");
    const LightNames mouse = ReadLightModeNames(dir / "default_light.json", kLightClassMouse);
    ASSERT_EQ(mouse.modes.size(), 2U);
    EXPECT_EQ(mouse.modes[0].name, "m0");
    EXPECT_FALSE(mouse.modes[0].visible);
    EXPECT_EQ(mouse.modes[0].value, 9);
    EXPECT_EQ(mouse.modes[1].name, "");
    EXPECT_EQ(mouse.zones, std::vector<std::string>{"logo"});
    EXPECT_TRUE(ReadLightModeNames(dir / "default_light.json", kLightClassHeadset).modes.empty());
    EXPECT_TRUE(ReadLightModeNames(dir / "default_light.json", -1).modes.empty());
    EXPECT_TRUE(ReadLightModeNames(dir / "missing.json", 0).modes.empty());

    const Json::Value config =
        JsonFileStore::ParseJson(R"({"LightInfo": [[], [{"LightName": "x", "Guid": "g"}]]})");
    const std::vector<CustomLightName> names = CustomLightNames(config, 1);
    ASSERT_EQ(names.size(), 1U);
    EXPECT_EQ(names[0].guid, "g");
    EXPECT_TRUE(CustomLightNames(config, 3).empty());
}

}  // namespace
}  // namespace norvane::config
