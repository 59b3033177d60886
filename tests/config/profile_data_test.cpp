#include "config/de6533_profiledata.h"
#include "config/json_file_store.h"
#include "config/keyboard_profiledata.h"
#include "config/mouse_profiledata.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

constexpr const char* kFactory = R"({
  "Device": [{
    "KeyList": [{"Assignment": 1048832, "DefaultAssignment": 1048832},
                {"Assignment": 1049088, "DefaultAssignment": 1049088}],
    "LightInfo": {"SelectItem": 2, "Light": 4, "Speed": 2, "Red": 255}
  }]
})";

// A device folder with a default data file beside it.
class ProfileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(dir / "factory.Json", kFactory);
        data.SetDefaultPath(dir / "factory.Json");
        data.SetDeviceIndex(0);
        data.SetProfilePath(dir / "p.Json");
    }
    Json::Value Root() const { return JsonFileStore::ReadJsonFile(dir / "p.Json"); }

    TempDir dir;
    CMouseProfiledata data;
};

TEST_F(ProfileFixture, MissingProfileIsCreatedFromFactorySettings) {
    ASSERT_EQ(data.LoadDeviceDocument(dir / "p.Json"), LoadStatus::Completed);
    EXPECT_EQ(data.DeviceDocument()["LightInfo"]["Red"].asInt(), 255);
    Json::Value expected;
    expected["Device"][0] = JsonFileStore::ParseJson(kFactory)["Device"][0];
    EXPECT_EQ(ReadText(dir / "p.Json"), JsonFileStore::StyledText(expected));
}

TEST_F(ProfileFixture, LoadReportsWhatItFoundAndWhetherTheCompletedFileWasWritten) {
    EXPECT_EQ(data.LoadDeviceDocument(dir / "p.Json"), LoadStatus::Completed);
    EXPECT_EQ(data.LoadDeviceDocument(dir / "p.Json"), LoadStatus::Loaded);
    // The folder is not there: the factory settings are used but could not be saved.
    EXPECT_EQ(data.LoadOtherDocument(dir / "absent" / "p.Json"), LoadStatus::NotSaved);
    EXPECT_EQ(data.OtherDocument()["LightInfo"]["Red"].asInt(), 255);
    data.SetDefaultPath(dir / "no-factory.Json");
    EXPECT_EQ(data.LoadDeviceDocument(dir / "q.Json"), LoadStatus::Missing);
    EXPECT_TRUE(data.DeviceDocument().isNull());
}

TEST_F(ProfileFixture, EmptyDeviceArrayIsCompletedAndOtherMembersSurvive) {
    WriteText(dir / "p.Json", R"({"profilename": "Game", "profileUUID": "u1", "Device": []})");
    data.LoadDeviceDocument(dir / "p.Json");
    const Json::Value root = Root();
    EXPECT_EQ(root["profilename"].asString(), "Game");
    EXPECT_EQ(root["profileUUID"].asString(), "u1");
    EXPECT_EQ(root["Device"][0]["LightInfo"]["Light"].asInt(), 4);
}

TEST_F(ProfileFixture, CorruptProfileIsKeptAsBackupBeforeItIsReplaced) {
    WriteText(dir / "p.Json", "{\"profilename\": \"Game\", \"Device\": [ {");
    data.LoadDeviceDocument(dir / "p.Json");
    EXPECT_EQ(Root()["Device"][0]["LightInfo"]["Light"].asInt(), 4);
    bool backupFound = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().starts_with("p.Json.corrupt-")) {
            backupFound = ReadText(entry.path()) == "{\"profilename\": \"Game\", \"Device\": [ {";
        }
    }
    EXPECT_TRUE(backupFound);
}

TEST_F(ProfileFixture, SaveRewritesOnlyTheDeviceElement) {
    WriteText(dir / "p.Json", R"({"profilename": "Game", "Device": [{"LightInfo": {}}, {"other": 1}]})");
    data.LoadDeviceDocument(dir / "p.Json");
    data.SetCurrentDpiStage(3);
    ASSERT_TRUE(data.SaveProfile());
    const Json::Value root = Root();
    EXPECT_EQ(root["profilename"].asString(), "Game");
    EXPECT_EQ(root["Device"][1]["other"].asInt(), 1);
    EXPECT_EQ(root["Device"][0]["DPIStages"]["StageActive"].asInt(), 3);
    EXPECT_TRUE(root["Device"][0].isMember("LightInfo"));
}

TEST_F(ProfileFixture, EmptyPathsAreIgnored) {
    data.SetProfilePath("");
    data.SetDefaultPath("");
    EXPECT_EQ(data.GetProfilePath(), dir / "p.Json");
    EXPECT_EQ(data.GetDefaultPath(), dir / "factory.Json");
}

TEST_F(ProfileFixture, KeyListWritesOnlyTheCurrentAssignment) {
    WriteText(dir / "p.Json", R"({"Device": [{"KeyList": [{"Assignment": 2097156}, {"Assignment": "x"}]}]})");
    data.LoadDeviceDocument(dir / "p.Json");
    std::vector<KeyListEntry> keys = data.GetKeyList();
    ASSERT_EQ(keys.size(), 2U);
    EXPECT_EQ(keys[0].current, (KeyAssignment{0x20, 0x00, 0x04}));
    EXPECT_EQ(keys[0].defaultAssignment, (KeyAssignment{}));
    EXPECT_EQ(keys[1].current, (KeyAssignment{}));  // wrong type reads as missing
    keys[0].current = {0x70, 0x01, 0x02};
    keys.push_back({2, {0x10, 0x01, 0x00}, 2, {}});
    data.SetKeyList(keys);
    const Json::Value& list = data.DeviceDocument()["KeyList"];
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(list[0]["Assignment"].asInt(), 0x700102);
    EXPECT_FALSE(list[0].isMember("DefaultAssignment"));
    EXPECT_EQ(list[2]["Assignment"].asInt(), 0x100100);
}

TEST_F(ProfileFixture, DpiStagesFromAShorterListKeepTheStoredTail) {
    WriteText(dir / "p.Json", R"({"Device": [{"DPIStages": {"StageActive": 1, "StageDPIs": [
        {"StageActive": 1, "StageDPIX": 8}, {"StageActive": 1, "StageDPIX": 16},
        {"StageActive": 0, "StageDPIX": 70000}]}}]})");
    data.LoadDeviceDocument(dir / "p.Json");
    std::vector<DpiStage> five(5);
    for (std::size_t i = 0; i < five.size(); ++i) {
        five[i].dpiX = static_cast<std::uint16_t>(100 + i);
    }
    data.SetDpiStages(five);
    data.LoadDeviceDocument(dir / "p.Json");
    const std::vector<DpiStage> stages = data.GetDpiStages();
    ASSERT_EQ(stages.size(), 5U);
    EXPECT_EQ(stages[0].dpiX, 8);
    EXPECT_EQ(stages[2].dpiX, 70000 & 0xFFFF);
    EXPECT_EQ(stages[3].dpiX, 103);
    EXPECT_EQ(stages[4].dpiX, 104);
    EXPECT_EQ(data.GetCurrentDpiStage(), 1);
}

TEST_F(ProfileFixture, StageAndGroupIndicesFromFilesAreChecked) {
    struct Case {
        const char* stored;
        int stage;  // of three stages
        int group;  // of kMaxCustomColorGroups groups
    };
    for (const Case& c : {Case{"2", 2, 2}, Case{"3", 0, 3}, Case{"15", 0, 15}, Case{"16", 0, 0},
                          Case{"-1", 0, 0}, Case{"4294967297", 0, 0}, Case{"\"1\"", 0, 0}}) {
        SCOPED_TRACE(c.stored);
        WriteText(dir / "p.Json",
                  std::string(R"({"Device": [{"DPIStages": {"StageDPIs": [{}, {}, {}], "StageActive": )") +
                      c.stored + R"(}, "CustomLightMode": {"CustomLightModeGroupIndex": )" + c.stored +
                      "}}]}");
        CMouseProfiledata mouse;
        mouse.LoadDeviceDocument(dir / "p.Json");
        mouse.GetDpiStages();
        EXPECT_EQ(mouse.GetCurrentDpiStage(), c.stage);
        CKeyboardProfiledata keyboard;
        keyboard.LoadDeviceDocument(dir / "p.Json");
        EXPECT_EQ(keyboard.GetCustomGroupIndex(), c.group);
    }
    CMouseProfiledata mouse;
    EXPECT_FALSE(mouse.SetCurrentDpiStage(-1));
    EXPECT_FALSE(mouse.DeviceDocument().isMember("DPIStages"));
    CKeyboardProfiledata keyboard;
    EXPECT_FALSE(keyboard.SetCustomGroupIndex(kMaxCustomColorGroups));
    EXPECT_TRUE(keyboard.SetCustomGroupIndex(kMaxCustomColorGroups - 1));
    EXPECT_EQ(keyboard.GetCustomGroupIndex(), kMaxCustomColorGroups - 1);
}

TEST_F(ProfileFixture, ReportStageNeedsSystemStages) {
    WriteText(dir / "p.Json", R"({"Device": [{"ReportStages": {"StageActive": 3}}]})");
    data.LoadDeviceDocument(dir / "p.Json");
    EXPECT_EQ(data.GetMouseSettings(), MouseSettings{});
    MouseSettings settings{500, 10, 1, 0, 3, 2};
    data.SetMouseSettings(settings);
    EXPECT_EQ(data.GetMouseSettings(), settings);
}

TEST_F(ProfileFixture, CorrectionListComesFromTheDocument) {
    WriteText(dir / "p.Json", R"({"Device": [{"CorrectInfo": [
        {"CorrectPixThresh": 3, "CorrectMinSq": 300, "CorrectSelect": 1, "CorrectName": "Lin\u00e9aire"}]}]})");
    data.LoadDeviceDocument(dir / "p.Json");
    const std::vector<CorrectionEntry> list = data.GetCorrectionList();
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0].minSquare, 300 & 0xFF);
    EXPECT_EQ(list[0].name,
              "Lin\xC3\xA9"
              "aire");
}

TEST(HeadsetProfile, EqualiserRows) {
    CDe6533Profiledata data;
    // Type 13 has no preset row and writes nothing.
    EXPECT_TRUE(data.GetEqBands(13).empty());
    EXPECT_TRUE(data.DeviceDocument().isNull());
    // A missing row reads as zeros and is created in the document.
    EXPECT_EQ(data.GetEqBands(5), std::vector<int>(10, 0));
    const Json::Value& row5 = data.DeviceDocument()["EQHzValueInfo"][5];
    ASSERT_EQ(row5.size(), 10U);
    EXPECT_EQ(row5[9]["value"].asInt(), 0);
    // Types 0, 20 and negative ones read row 1.
    data.SetEqBands(1, {7, 11, 2, -3, -1, 4, 9, 12, 9, 5});
    for (int type : {0, 20, -4}) {
        EXPECT_EQ(data.GetEqBands(type), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5})) << type;
    }
    data.SetEqBands(13, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(data.DeviceDocument()["EQHzValueInfo"].size(), 6U);
    // Custom slots are bounded.
    EXPECT_TRUE(data.GetCustomEqBands(-1).empty());
    EXPECT_TRUE(data.GetCustomEqBands(20).empty());
    EXPECT_FALSE(data.SetCustomEqBands(1000000, {}));
    EXPECT_FALSE(data.DeviceDocument().isMember("CustomEQHzValueInfo"));
}

TEST(HeadsetProfile, CustomCurvesKeepNamesAndBandsTogether) {
    CDe6533Profiledata data;
    data.SetCustomEqNames({"Bass", "\xE4\xBA\xBA\xE5\xA3\xB0"});
    data.SetCustomEqBands(0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    data.SetCustomEqBands(1, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_EQ(data.GetCustomEqNames(), (std::vector<std::string>{"Bass", "\xE4\xBA\xBA\xE5\xA3\xB0"}));
    ASSERT_TRUE(data.RemoveCustomEq(0));
    EXPECT_EQ(data.GetCustomEqNames(), (std::vector<std::string>{"\xE4\xBA\xBA\xE5\xA3\xB0"}));
    EXPECT_EQ(data.GetCustomEqBands(0), std::vector<int>(10, 2));
}

TEST(HeadsetProfile, SettingsRoundTripAndMissingMemberGivesZeros) {
    CDe6533Profiledata data;
    EXPECT_EQ(data.GetHeadsetSettings(), HeadsetSettings{});
    const HeadsetSettings settings{1, 3, 13, 2, 1, 80, 0, 45};
    data.SetHeadsetSettings(settings);
    EXPECT_EQ(data.GetHeadsetSettings(), settings);
    EXPECT_EQ(data.DeviceDocument()["SystemSetStages"]["MicMoniterValue"].asInt(), 45);
}

TEST(KeyboardProfile, SettingsAndCustomColours) {
    CKeyboardProfiledata data;
    EXPECT_EQ(data.GetKeyboardSettings(), KeyboardSettings{});
    const KeyboardSettings settings{30, 500, 1, 3, 0, 1, 2};
    data.SetKeyboardSettings(settings);
    EXPECT_EQ(data.GetKeyboardSettings(), settings);

    // A document without per-key colours gets the group filled with zeros.
    const std::vector<KeyColor> colors = data.GetCustomColors(1, 3);
    EXPECT_EQ(colors, std::vector<KeyColor>(3));
    const Json::Value& group = data.DeviceDocument()["CustomLightMode"]["LightColorInfo"][1];
    ASSERT_EQ(group.size(), 3U);
    EXPECT_EQ(group[2]["Alpha"].asInt(), 0);

    ASSERT_TRUE(data.SetCustomColors({{1, 2, 3, 255}, {4, 5, 6, 255}}, 1));
    EXPECT_EQ(data.GetCustomColors(1, 3), (std::vector<KeyColor>{{1, 2, 3, 255}, {4, 5, 6, 255}, {}}));
    // Group indices from the outside are bounded.
    EXPECT_TRUE(data.GetCustomColors(-1, 3).empty());
    EXPECT_TRUE(data.GetCustomColors(100000, 3).empty());
    EXPECT_FALSE(data.SetCustomColors({{1, 2, 3, 4}}, 16));
    EXPECT_EQ(data.DeviceDocument()["CustomLightMode"]["LightColorInfo"].size(), 2U);

    EXPECT_EQ(data.GetCustomGroupIndex(), 0);
    data.SetCustomGroupIndex(2);
    EXPECT_EQ(data.GetCustomGroupIndex(), 2);
}

}  // namespace
}  // namespace norvane::config
