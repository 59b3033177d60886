// Checks the committed factory files of "DefaultData" through the readers that use them.
#include "config/de6533_profiledata.h"
#include "config/json_access.h"
#include "config/json_file_store.h"
#include "config/keyboard_profiledata.h"
#include "config/mouse_profiledata.h"
#include "config/profile_store.h"
#include "config/shoot_data.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>

namespace norvane::config {
namespace {

using test::TempDir;

std::filesystem::path Factory(std::string_view name) {
    return platform::ProgramSubfolder("DefaultData") / name;
}

template <typename Data>
Data LoadDefault(const TempDir& dir, std::string_view typeName) {
    Data data;
    data.SetDefaultPath(Factory(std::string(typeName) + ".Json"));
    data.SetProfilePath(dir / "p.Json");
    data.LoadDeviceDocument(dir / "p.Json");
    return data;
}

TEST(FactoryFiles, KeyboardProfile) {
    TempDir dir;
    auto data = LoadDefault<CKeyboardProfiledata>(dir, "keyboard");
    const std::vector<KeyListEntry> keys = data.GetKeyList();
    ASSERT_EQ(keys.size(), 170U);
    EXPECT_EQ(keys[0].defaultAssignment, (KeyAssignment{0x20, 0x00, 0x29}));
    EXPECT_EQ(keys[16].defaultAssignment, (KeyAssignment{0xA0, 0x1B, 0x00}));
    EXPECT_EQ(keys[84].defaultAssignment, (KeyAssignment{0x20, 0x02, 0x00}));
    EXPECT_EQ(keys[124].defaultAssignment, (KeyAssignment{0xD0, 0xA2, 0x05}));
    EXPECT_EQ(keys[125].defaultAssignment, (KeyAssignment{0x20, 0x80, 0x00}));
    for (std::size_t i = 126; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].defaultAssignment, (KeyAssignment{0x20, 0, 0})) << i;
    }
    for (const KeyListEntry& key : keys) {
        EXPECT_EQ(key.current, key.defaultAssignment);
    }
    const LightInfo light = data.GetLightInfo();
    EXPECT_GE(light.selectedMode, 1);
    EXPECT_LE(light.selectedMode, 30);
    EXPECT_LE(light.brightness, 4);
    EXPECT_LE(light.speed, 4);
    EXPECT_EQ(data.GetCustomColors(0, 170).size(), 170U);
    EXPECT_EQ(data.GetKeyboardSettings().pollingRate, 3);
}

TEST(FactoryFiles, MouseProfile) {
    TempDir dir;
    auto data = LoadDefault<CMouseProfiledata>(dir, "mouse");
    const std::vector<KeyListEntry> keys = data.GetKeyList();
    const std::vector<KeyAssignment> buttons{{0x10, 0x01, 0},    {0x10, 0x02, 0},   {0x10, 0x04, 0},
                                             {0x10, 0x10, 0},    {0x10, 0x08, 0},   {0x13, 0x01, 0},
                                             {0x13, 0x02, 0},    {0x13, 0x03, 0},   {0xA0, 0x1B, 0},
                                             {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02}};
    ASSERT_EQ(keys.size(), buttons.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].defaultAssignment, buttons[i]) << i;
    }
    const std::vector<DpiStage> stages = data.GetDpiStages();
    ASSERT_EQ(stages.size(), 5U);
    EXPECT_GE(data.GetCurrentDpiStage(), 0);
    EXPECT_LT(data.GetCurrentDpiStage(), 5);
    EXPECT_EQ(stages[static_cast<std::size_t>(data.GetCurrentDpiStage())].enabled, 1);
    EXPECT_LE(data.GetMouseSettings().reportRateStage, 4);
    const std::vector<CorrectionEntry> corrections = data.GetCorrectionList();
    ASSERT_FALSE(corrections.empty());
    EXPECT_NE(corrections[0].select, 0);
    EXPECT_LE(data.GetLightInfo().selectedMode, 9);
}

TEST(FactoryFiles, HeadsetAndMousepadProfiles) {
    TempDir dir;
    auto headset = LoadDefault<CDe6533Profiledata>(dir, "HD");
    const std::vector<std::vector<int>> presets{
        {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},   {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
        {10, 4, 0, -3, -4, -3, -2, -1, 0, 0}, {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},       {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
        {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},  {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
        {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},  {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
        {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},  {2, 1, -2, -4, -8, 4, 12, 16, 18, 15}};
    for (int type = 1; type <= 12; ++type) {
        EXPECT_EQ(headset.GetEqBands(type), presets[static_cast<std::size_t>(type - 1)]) << type;
    }
    const HeadsetSettings settings = headset.GetHeadsetSettings();
    EXPECT_GE(settings.eqType, 1);
    EXPECT_LE(settings.eqType, 13);
    EXPECT_TRUE(headset.GetCustomEqNames().empty());
    EXPECT_LE(headset.GetLightInfo().selectedMode, 8);

    TempDir padDir;
    auto pad = LoadDefault<CBasicProfiledata>(padDir, "MousePad");
    EXPECT_LE(pad.GetLightInfo().selectedMode, 8);
    EXPECT_TRUE(json::Member(pad.DeviceDocument(), "LightList") != nullptr);
}

TEST(FactoryFiles, LightModeNamesMatchTheLightEngines) {
    // Mode counts: keyboard modes 0-30, mouse 0-9, mousepad and headset 0-8.
    const std::vector<std::size_t> counts{31, 10, 9, 9};
    for (int lightClass = 0; lightClass < 4; ++lightClass) {
        const LightNames names = ReadLightModeNames(Factory("default_light.json"), lightClass);
        ASSERT_EQ(names.modes.size(), counts[static_cast<std::size_t>(lightClass)]) << lightClass;
        EXPECT_FALSE(names.zones.empty());
        for (std::size_t i = 0; i < names.modes.size(); ++i) {
            EXPECT_EQ(names.modes[i].value, static_cast<int>(i));
            EXPECT_TRUE(names.modes[i].name.starts_with("light_mode_")) << names.modes[i].name;
        }
    }
}

TEST(FactoryFiles, ShootPatterns) {
    TempDir dir;
    ShootData shoot(dir.Path(), platform::ProgramSubfolder("DefaultData"));
    shoot.EnsureFiles();
    for (int gun = 0; gun < kGunCount; ++gun) {
        const std::vector<MacroEvent> events = shoot.Events(gun);
        EXPECT_EQ(events.size(), 180U) << gun;
        EXPECT_TRUE(IsValidShootPattern(events)) << gun;
        for (int bullet = 0; bullet < kBulletCount; ++bullet) {
            const std::optional<Bullet> b = shoot.ReadBullet(gun, bullet);
            ASSERT_TRUE(b.has_value());
            EXPECT_FALSE(b->up);  // the cursor is pulled down against the kick
            EXPECT_GT(b->delay, 0);
        }
    }
}

TEST(FactoryFiles, LanguageAudioAndColourFiles) {
    const Json::Value languages = JsonFileStore::ReadJsonFile(Factory("Language.config"));
    ASSERT_TRUE(languages["Language"].isArray());
    EXPECT_GE(languages["Language"].size(), 9U);  // the keyboard picture has variants for indices 0-8
    EXPECT_EQ(languages["Language"][0]["Language_ID"].asInt(), 520);
    for (const Json::Value& l : languages["Language"]) {
        EXPECT_TRUE(l["Language_name"].isString());
        EXPECT_TRUE(l["Language_file"].asString().ends_with(".xml"));
        EXPECT_TRUE(l["Language_text"].isString());
    }

    const Json::Value audio =
        JsonFileStore::ReadJsonFile(Factory("AudioFile.json"))["Device"]["AudioLightInfo"];
    EXPECT_LE(audio["nAudioStyle"].asInt(), 3);
    for (int style = 0; style < 4; ++style) {
        EXPECT_TRUE(audio["nStyleName" + std::to_string(style + 1)].isString());
        for (const char* c : {"nStyleR", "nStyleG", "nStyleB"}) {
            const int level = audio[c + std::to_string(style)].asInt();
            EXPECT_GE(level, 0);
            EXPECT_LE(level, 9);
        }
    }

    const Json::Value colours =
        JsonFileStore::ReadJsonFile(Factory("color_option_info.config"))["coloroptioninfo"];
    ASSERT_EQ(colours["palletDialogcoloroption"].size(), 20U);
    ASSERT_EQ(colours["palletDialogcollectcoloroption"].size(), 20U);
    const std::regex hex8("[0-9A-F]{8}");
    for (const Json::Value& c : colours["palletDialogcoloroption"]) {
        EXPECT_TRUE(std::regex_match(c["color"].asString(), hex8));
    }
    EXPECT_EQ(colours["palletDialogcoloroption_selectitem"].asInt(), 4);
}

TEST(FactoryFiles, NewProfileFromTheFactoryFile) {
    TempDir dir;
    ProfileStore store(dir.Path(), Factory("mouse.Json"));
    store.Initialise();
    CMouseProfiledata data;
    data.SetDefaultPath(Factory("mouse.Json"));
    data.SetProfilePath(store.PathOf(0));
    data.LoadDeviceDocument(store.PathOf(0));
    EXPECT_EQ(data.GetKeyList().size(), 11U);
    EXPECT_EQ(JsonFileStore::ReadJsonFile(store.PathOf(0))["profilename"].asString(), "profile1");
}

}  // namespace
}  // namespace norvane::config
