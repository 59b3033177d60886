#include "config/music_style.h"
#include "config/json_file_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(MusicStyle, ReadLimitsStyleAndLevels) {
    const Json::Value device = JsonFileStore::ParseJson(R"({"AudioLightInfo": {"nAudioStyle": 7,
        "nStyleName1": "A", "nStyleName4": "\u7b2c\u56db\u7ec4", "nStyleR0": 300, "nStyleG0": 5,
        "nStyleB3": "9", "nStyleG2": -1}})");
    const MusicStyleInfo info = ReadMusicStyle(device);
    EXPECT_EQ(info.style, 3);
    EXPECT_EQ(info.names[0], "A");
    EXPECT_EQ(info.names[1], "");
    EXPECT_EQ(info.names[3], "\xE7\xAC\xAC\xE5\x9B\x9B\xE7\xBB\x84");
    EXPECT_EQ(info.levels[0][0], 9);  // 300 keeps its low 8 bits (44), then the level range
    EXPECT_EQ(info.levels[0][1], 5);
    EXPECT_EQ(info.levels[3][2], 0);  // wrong type reads as missing
    EXPECT_EQ(info.levels[2][1], 9);  // -1 is 255 in 8 bits
    EXPECT_EQ(ReadMusicStyle(Json::Value()), MusicStyleInfo{});
}

TEST(MusicStyle, FileRoundTripKeepsOtherMembers) {
    TempDir dir;
    WriteText(dir / "factory.json", R"({"Device": {"AudioLightInfo": {"nAudioStyle": 2}}})");
    Json::Value device = LoadAudioFile(dir / "AudioFile.json", dir / "factory.json");
    EXPECT_EQ(ReadText(dir / "AudioFile.json"), ReadText(dir / "factory.json"));
    EXPECT_EQ(ReadMusicStyle(device).style, 2);

    WriteText(dir / "AudioFile.json", R"({"Other": 1, "Device": {"Keep": true}})");
    device = LoadAudioFile(dir / "AudioFile.json", dir / "factory.json");
    MusicStyleInfo info;
    info.style = 1;
    info.names = {"a", "b", "c", "d"};
    info.levels[1] = {1, 2, 3};
    WriteMusicStyle(device, info);
    ASSERT_TRUE(SaveAudioFile(dir / "AudioFile.json", device));
    const Json::Value root = JsonFileStore::ReadJsonFile(dir / "AudioFile.json");
    EXPECT_EQ(root["Other"].asInt(), 1);
    EXPECT_TRUE(root["Device"]["Keep"].asBool());
    EXPECT_EQ(root["Device"]["AudioLightInfo"].size(), 17U);
    EXPECT_EQ(ReadMusicStyle(root["Device"]), info);

    device = ResetAudioFile(dir / "AudioFile.json", dir / "factory.json");
    EXPECT_EQ(ReadText(dir / "AudioFile.json"), ReadText(dir / "factory.json"));
    EXPECT_EQ(ReadMusicStyle(device).style, 2);
}

TEST(MusicStyle, UnreadableAudioFileIsKeptAsideBeforeTheFactoryCopyReplacesIt) {
    TempDir dir;
    WriteText(dir / "factory.json", R"({"Device": {"AudioLightInfo": {"nAudioStyle": 2}}})");
    WriteText(dir / "AudioFile.json", "{}");
    const auto oversize = static_cast<std::uintmax_t>(17) * 1024 * 1024;
    std::filesystem::resize_file(dir / "AudioFile.json", oversize);
    EXPECT_EQ(ReadMusicStyle(LoadAudioFile(dir / "AudioFile.json", dir / "factory.json")).style, 2);
    EXPECT_EQ(ReadText(dir / "AudioFile.json"), ReadText(dir / "factory.json"));
    std::vector<std::uintmax_t> backups;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().starts_with("AudioFile.json.corrupt-")) {
            backups.push_back(entry.file_size());
        }
    }
    EXPECT_EQ(backups, std::vector<std::uintmax_t>{oversize});
}

}  // namespace
}  // namespace norvane::config
