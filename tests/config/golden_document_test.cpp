// Device documents written with the keys exactly as the profile format names them: every
// getter must read them, and every setter must write them back, key for key.
#include "config/de6533_profiledata.h"
#include "config/json_file_store.h"
#include "config/keyboard_profiledata.h"
#include "config/mouse_profiledata.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::TempDir;
using test::WriteText;

constexpr const char* kLightInfo = R"("LightInfo": {"SelectItem": 11, "Light": 12, "Speed": 13, "Fx": 14,
    "MultiColor": 1, "Red": 15, "Green": 16, "Blue": 17, "ZZCCLedMode": 18, "CustomGroup": 19, "OldLedmode": 20})";
constexpr const char* kLightList = R"("LightList": [{"LEDREGMode": 51, "LEDBrightness": 52, "LEDSpeed": 53,
    "LEDDirection": true, "LEDMultiColor": true, "red": 54, "green": 55, "blue": 56}, null])";
const LightInfo kLightInfoRecord{11, 12, 13, 14, 1, 15, 16, 17, {}, 18, 19, 20, {}};
const std::vector<LightListEntry> kLightListRecords{{51, 52, 53, 1, 1, 54, 55, 56, {}, 1}, {}};

// Ten equaliser bands {"value": first}, {"value": first + 1}, …
std::string Bands(int first) {
    std::string text = "[";
    for (int band = 0; band < kEqBandCount; ++band) {
        text += (band > 0 ? ", " : "") + std::string(R"({"value": )") + std::to_string(first + band) + "}";
    }
    return text + "]";
}

EqBands BandValues(int first) {
    EqBands values{};
    for (int band = 0; band < kEqBandCount; ++band) {
        values[static_cast<std::size_t>(band)] = first + band;
    }
    return values;
}

class GoldenDocument : public ::testing::Test {
protected:
    // Loads the device document into a fresh profile object.
    void Load(CBasicProfiledata& data, const std::string& document) {
        WriteText(dir / "golden.Json", R"({"Device": [{)" + document + "}]}");
        ASSERT_EQ(data.LoadDeviceDocument(dir / "golden.Json"), LoadStatus::Loaded);
    }
    // A profile object over an empty device document, for the setters.
    void Start(CBasicProfiledata& data) {
        WriteText(dir / "written.Json", R"({"Device": [{}]})");
        data.SetProfilePath(dir / "written.Json");
        ASSERT_EQ(data.LoadDeviceDocument(dir / "written.Json"), LoadStatus::Loaded);
    }
    // Saves the object and compares the file's device document with the golden one,
    // less the members that are only ever read.
    void ExpectWritten(CBasicProfiledata& data, const std::string& document,
                       std::initializer_list<const char*> readOnly) {
        ASSERT_TRUE(data.SaveProfile());
        Json::Value expected = JsonFileStore::ParseJson("{" + document + "}");
        for (const char* member : readOnly) {
            expected.removeMember(member);
        }
        if (expected.isMember("KeyList")) {
            for (Json::Value& key : expected["KeyList"]) {
                key.removeMember("DefaultAssignment");
            }
        }
        const Json::Value written = JsonFileStore::ReadJsonFile(dir / "written.Json")["Device"][0];
        EXPECT_EQ(written, expected) << "written:\n"
                                     << written.toStyledString() << "expected:\n"
                                     << expected.toStyledString();
    }

    TempDir dir;
};

TEST_F(GoldenDocument, Keyboard) {
    const std::string document = std::string(R"(
        "KeyList": [{"Assignment": 2097156, "DefaultAssignment": 2097157},
                    {"Assignment": 7340289, "DefaultAssignment": 1048832}],
        "SystemStages": {"Repeat": 1, "RepeatDelay": 2, "Key6Flag": 3, "PollingRate": 4, "WFlag": 5,
                         "WinFlag": 6, "WheelMode": 7},
        "AudioLightInfo": {"AudioMode": 21, "BkColorR": 22, "BkColorG": 23, "BkColorB": 24, "FgColorR": 25,
                           "FgColorG": 26, "FgColorB": 27, "7ColorFlags": 1, "ColorTypeFlags": 1},
        "CustomLightMode": {"CustomLightModeGroupIndex": 1, "LightColorInfo": [
            [{"Red": 31, "Green": 32, "Blue": 33, "Alpha": 34}],
            [{"Red": 35, "Green": 36, "Blue": 37, "Alpha": 38}, {"Red": 39, "Green": 40, "Blue": 41, "Alpha": 42}]]},
        )") + kLightInfo + ", " + kLightList;
    const std::vector<KeyListEntry> keys{{0, {0x20, 0x00, 0x04}, 0, {0x20, 0x00, 0x05}},
                                         {1, {0x70, 0x01, 0x01}, 1, {0x10, 0x01, 0x00}}};
    const KeyboardSettings settings{1, 2, 3, 4, 5, 6, 7};
    const AudioLightInfo audio{21, 22, 23, 24, 25, 26, 27, 1, 1};
    const std::vector<KeyColor> group0{{31, 32, 33, 34}};
    const std::vector<KeyColor> group1{{35, 36, 37, 38}, {39, 40, 41, 42}};

    CKeyboardProfiledata read;
    Load(read, document);
    EXPECT_EQ(read.GetKeyList(), keys);
    EXPECT_EQ(read.GetKeyboardSettings(), settings);
    EXPECT_EQ(read.GetAudioLight(), audio);
    EXPECT_EQ(read.GetCustomGroupIndex(), 1);
    EXPECT_EQ(read.GetCustomColors(0, 1), group0);
    EXPECT_EQ(read.GetCustomColors(1, 2), group1);
    EXPECT_EQ(read.GetLightInfo(), kLightInfoRecord);
    EXPECT_EQ(read.GetLightList(), kLightListRecords);

    CKeyboardProfiledata written;
    Start(written);
    written.SetKeyList(keys);
    written.SetKeyboardSettings(settings);
    written.SetAudioLight(audio);
    ASSERT_TRUE(written.SetCustomColors(group0, 0));
    ASSERT_TRUE(written.SetCustomColors(group1, 1));
    ASSERT_TRUE(written.SetCustomGroupIndex(1));
    written.SetLightInfo(kLightInfoRecord);
    ExpectWritten(written, document, {"LightList"});
}

TEST_F(GoldenDocument, Mouse) {
    const std::string document = std::string(R"(
        "KeyList": [{"Assignment": 1048832, "DefaultAssignment": 1049600}],
        "SystemStages": {"DoubleClickTime": 501, "MouseSpeed": 502, "PointerPrecision": 503, "ScorllPage": 504,
                         "WheelScorlllinse": 505},
        "ReportStages": {"StageActive": 506},
        "DPIStages": {"StageActive": 1, "StageDPIs": [
            {"StageActive": 1, "StageXY": 0, "StageDPIX": 800, "StageDPIY": 801, "StageColorR": 61,
             "StageColorG": 62, "StageColorB": 63},
            {"StageActive": 0, "StageXY": 1, "StageDPIX": 1600, "StageDPIY": 3200, "StageColorR": 64,
             "StageColorG": 65, "StageColorB": 66}]},
        "CorrectInfo": [{"CorrectPixThresh": 71, "CorrectMinSq": 72, "CorrectSelect": 73, "CorrectName": "Line"}],
        )") + kLightInfo + ", " + kLightList;
    const std::vector<KeyListEntry> keys{{0, {0x10, 0x01, 0x00}, 0, {0x10, 0x04, 0x00}}};
    const MouseSettings settings{501, 502, 503, 504, 505, 506};
    const std::vector<DpiStage> stages{{1, 0, 800, 801, 61, 62, 63}, {0, 1, 1600, 3200, 64, 65, 66}};

    CMouseProfiledata read;
    Load(read, document);
    EXPECT_EQ(read.GetKeyList(), keys);
    EXPECT_EQ(read.GetMouseSettings(), settings);
    EXPECT_EQ(read.GetDpiStages(), stages);
    EXPECT_EQ(read.GetCurrentDpiStage(), 1);
    EXPECT_EQ(read.GetCorrectionList(), (std::vector<CorrectionEntry>{{71, 72, 73, "Line"}}));
    EXPECT_EQ(read.GetLightInfo(), kLightInfoRecord);
    EXPECT_EQ(read.GetLightList(), kLightListRecords);

    CMouseProfiledata written;
    Start(written);
    written.SetKeyList(keys);
    written.SetMouseSettings(settings);
    written.SetDpiStages(stages);
    ASSERT_TRUE(written.SetCurrentDpiStage(1));
    written.SetLightInfo(kLightInfoRecord);
    ExpectWritten(written, document, {"LightList", "CorrectInfo"});
}

TEST_F(GoldenDocument, Mousepad) {
    const std::string document = std::string(kLightInfo) + ", " + kLightList;
    CBasicProfiledata read;
    Load(read, document);
    EXPECT_EQ(read.GetLightInfo(), kLightInfoRecord);
    EXPECT_EQ(read.GetLightList(), kLightListRecords);

    CBasicProfiledata written;
    Start(written);
    written.SetLightInfo(kLightInfoRecord);
    ExpectWritten(written, document, {"LightList"});
}

TEST_F(GoldenDocument, Headset) {
    const std::string document = std::string(R"(
        "SystemSetStages": {"MagicEnable": 1, "MagicType": 2, "EqType": 3, "CustomEqSeletIndex": 4,
                            "MicInSelect": 5, "MicInValue": 6, "MicMoniterSelect": 7, "MicMoniterValue": 8},
        "EQHzValueInfo": [null, )") +
                                 Bands(100) + ", " + Bands(200) + R"(],
        "CustomEQNameInfo": [{"Name": "Rock"}, {"Name": "Voice"}],
        "CustomEQHzValueInfo": [)" +
                                 Bands(300) + ", " + Bands(400) + "], " + kLightInfo + ", " + kLightList;
    const HeadsetSettings settings{1, 2, 3, 4, 5, 6, 7, 8};
    const auto asList = [](const EqBands& bands) { return std::vector<int>(bands.begin(), bands.end()); };

    CDe6533Profiledata read;
    Load(read, document);
    EXPECT_EQ(read.GetHeadsetSettings(), settings);
    EXPECT_EQ(read.GetEqBands(0), asList(BandValues(100)));  // type 0 reads row 1
    EXPECT_EQ(read.GetEqBands(2), asList(BandValues(200)));
    EXPECT_EQ(read.GetCustomEqNames(), (std::vector<std::string>{"Rock", "Voice"}));
    EXPECT_EQ(read.GetCustomEqBands(0), asList(BandValues(300)));
    EXPECT_EQ(read.GetCustomEqBands(1), asList(BandValues(400)));
    EXPECT_EQ(read.GetLightInfo(), kLightInfoRecord);
    EXPECT_EQ(read.GetLightList(), kLightListRecords);

    CDe6533Profiledata written;
    Start(written);
    written.SetHeadsetSettings(settings);
    written.SetEqBands(1, BandValues(100));
    written.SetEqBands(2, BandValues(200));
    written.SetCustomEqNames({"Rock", "Voice"});
    ASSERT_TRUE(written.SetCustomEqBands(0, BandValues(300)));
    ASSERT_TRUE(written.SetCustomEqBands(1, BandValues(400)));
    written.SetLightInfo(kLightInfoRecord);
    ExpectWritten(written, document, {"LightList"});
}

}  // namespace
}  // namespace norvane::config
