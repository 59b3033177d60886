#include "config/shoot_data.h"
#include "config/json_file_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

Json::Value Pattern(int seed) {
    Json::Value root;
    root["Comment"] = "factory";
    for (int b = 0; b < kBulletCount; ++b) {
        for (const MacroEvent& e : BulletEvents({b + seed, b % 2 == 0, 2 * b, true, 20 + b})) {
            root["Events"].append(MacroEventToJson(e, DelayForm::Integer));
        }
    }
    return root;
}

class ShootFixture : public ::testing::Test {
protected:
    ShootFixture() {
        std::filesystem::create_directories(dir / "DefaultData");
        std::filesystem::create_directories(dir / "mouse");
        for (int gun = 0; gun < kGunCount; ++gun) {
            JsonFileStore::WriteJsonFile(shoot.FactoryFile(gun), Pattern(gun));
        }
    }
    TempDir dir;
    ShootData shoot{dir / "mouse", dir / "DefaultData"};
};

TEST_F(ShootFixture, EnsureReplacesOnlyUnreadableUserFiles) {
    WriteText(shoot.UserFile(1), "{\"Events\": []}");
    WriteText(shoot.UserFile(2), "{ broken");
    shoot.EnsureFiles();
    EXPECT_EQ(ReadText(shoot.UserFile(0)), ReadText(shoot.FactoryFile(0)));
    EXPECT_EQ(ReadText(shoot.UserFile(1)), "{\"Events\": []}");
    EXPECT_EQ(ReadText(shoot.UserFile(2)), ReadText(shoot.FactoryFile(2)));
    EXPECT_EQ(ReadText(shoot.UserFile(3)), ReadText(shoot.FactoryFile(3)));
    // Only the unreadable file is kept aside before it is replaced.
    std::vector<std::string> backups;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "mouse")) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            backups.push_back(entry.path().filename().string().substr(0, 17) + ": " + ReadText(entry.path()));
        }
    }
    EXPECT_EQ(backups, std::vector<std::string>{"ShootData_2.Shoot: { broken"});
}

TEST_F(ShootFixture, WritingBullet29ChangesOnlyItsSixEvents) {
    shoot.EnsureFiles();
    const Json::Value before = JsonFileStore::ReadJsonFile(shoot.UserFile(1));
    const std::optional<Bullet> stored = shoot.WriteBullet(1, 29, {300, true, 7, false, 70000});
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, (Bullet{255, true, 7, false, 65535}));
    EXPECT_EQ(shoot.ReadBullet(1, 29), stored);
    const Json::Value after = JsonFileStore::ReadJsonFile(shoot.UserFile(1));
    EXPECT_EQ(after["Comment"], before["Comment"]);
    ASSERT_EQ(after["Events"].size(), 180U);
    for (Json::ArrayIndex i = 0; i < 174; ++i) {
        ASSERT_EQ(after["Events"][i], before["Events"][i]) << i;
    }
    EXPECT_EQ(after["Events"][174]["Delay"], Json::Value(10));
    EXPECT_EQ(after["Events"][176]["Button"].asInt(), 255);
    EXPECT_EQ(after["Events"][176]["Action"].asString(), "down");
    EXPECT_EQ(after["Events"][177]["Action"].asString(), "up");
    EXPECT_EQ(after["Events"][177]["Delay"], Json::Value(65535));
    EXPECT_EQ(shoot.WriteBullet(1, 30, {}), std::nullopt);
    EXPECT_EQ(shoot.WriteBullet(4, 0, {}), std::nullopt);
}

TEST_F(ShootFixture, ReadBulletDirections) {
    shoot.EnsureFiles();
    EXPECT_EQ(shoot.ReadBullet(0, 0), (Bullet{0, true, 0, true, 20}));
    EXPECT_EQ(shoot.ReadBullet(2, 3), (Bullet{5, false, 6, true, 23}));  // "up" reads as right
    WriteText(shoot.UserFile(3), R"({"Events": [{"Type": 1}]})");
    EXPECT_EQ(shoot.ReadBullet(3, 0), std::nullopt);
}

TEST_F(ShootFixture, ReadBulletShowsWhatTheMouseReceives) {
    struct Case {
        std::string x, y, delay;  // as stored
        Bullet shown;
    };
    for (const Case& c : {Case{"300", "7", "\"250\"", {44, true, 7, true, 250}},
                          Case{"-1", "256", "70000", {255, true, 0, true, 65535}},
                          Case{"\"12\"", "3.9", "\"70000ms\"", {0, true, 3, true, 65535}}}) {
        SCOPED_TRACE(c.x + " " + c.y + " " + c.delay);
        WriteText(shoot.UserFile(1), R"({"Events": [{"Type": 1, "Button": 1, "Action": "down", "Delay": 10},
            {"Type": 1, "Button": 1, "Action": "up", "Delay": 0},
            {"Type": 4, "Action": "down", "Delay": 5, "Button": )" +
                                         c.x + R"(},
            {"Type": 5, "Action": "down", "Button": )" +
                                         c.y + R"(, "Delay": )" + c.delay + "}]}");
        EXPECT_EQ(shoot.ReadBullet(1, 0), c.shown);
        const std::vector<PackedMacroEvent> packed = shoot.PackedEvents(1);
        ASSERT_EQ(packed.size(), 4U);
        EXPECT_EQ(packed[2].bytes[3], c.shown.x);
        EXPECT_EQ(packed[3].bytes[3], c.shown.y);
        EXPECT_EQ(packed[3].bytes[0] | (packed[3].bytes[1] << 8), c.shown.delay);
    }
}

TEST_F(ShootFixture, WriteIntoAShortFileFillsTheBulletsBefore) {
    WriteText(shoot.UserFile(0), R"({"Events": []})");
    ASSERT_TRUE(shoot.WriteBullet(0, 2, {4, false, 5, true, 9}).has_value());
    const std::vector<MacroEvent> events = shoot.Events(0);
    ASSERT_EQ(events.size(), 18U);
    EXPECT_TRUE(IsValidShootPattern(events));
    EXPECT_EQ(events[0], (MacroEvent{1, 1, "down", 10}));
    EXPECT_EQ(shoot.ReadBullet(0, 2), (Bullet{4, false, 5, true, 9}));
}

TEST_F(ShootFixture, ResetImportAndExportCopyBytes) {
    shoot.EnsureFiles();
    shoot.WriteBullet(2, 0, {9, true, 9, true, 9});
    shoot.WriteBullet(3, 0, {9, true, 9, true, 9});
    const std::string gun3 = ReadText(shoot.UserFile(3));
    ASSERT_TRUE(shoot.Reset(2));
    EXPECT_EQ(ReadText(shoot.UserFile(2)), ReadText(shoot.FactoryFile(2)));
    EXPECT_EQ(ReadText(shoot.UserFile(3)), gun3);

    ASSERT_TRUE(shoot.Export(3, dir / "out.shoot"));
    EXPECT_EQ(ReadText(dir / "out.shoot"), gun3);
    ASSERT_TRUE(shoot.Import(0, dir / "out.shoot"));
    EXPECT_EQ(ReadText(shoot.UserFile(0)), gun3);
    const std::string gun1 = ReadText(shoot.UserFile(1));
    EXPECT_FALSE(shoot.Import(1, ""));
    EXPECT_FALSE(shoot.Export(1, ""));
    EXPECT_EQ(ReadText(shoot.UserFile(1)), gun1);
}

TEST_F(ShootFixture, ImportRefusesWhatTheMouseWouldNotTake) {
    shoot.EnsureFiles();
    const std::string before = ReadText(shoot.UserFile(1));
    const std::string click = R"({"Type": 1, "Button": 1, "Action": "down", "Delay": 10})";
    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"not JSON", "{ broken"},
        {"not an object", "[1, 2]"},
        {"no events", R"({"Other": 1})"},
        {"events not a list", R"({"Events": {}})"},
        {"empty pattern", R"({"Events": []})"},
        {"an element that is no event", R"({"Events": [)" + click + R"(, 7]})"},
        {"a key event", R"({"Events": [{"Type": 2, "Button": 4, "Action": "down", "Delay": 0}]})"},
        {"a distance over a byte", R"({"Events": [{"Type": 4, "Button": 300, "Action": "up", "Delay": 5}]})"},
        {"an unknown action", R"({"Events": [{"Type": 4, "Button": 3, "Action": "left", "Delay": 5}]})"},
        {"more than 30 bullets", [&] {
             std::string events;
             for (int i = 0; i < kBulletCount * kEventsPerBullet + 1; ++i) {
                 events += (i > 0 ? "," : "") + click;
             }
             return R"({"Events": [)" + events + "]}";
         }()},
    };
    for (const Case& c : cases) {
        WriteText(dir / "in.shoot", c.text);
        EXPECT_FALSE(shoot.Import(1, dir / "in.shoot")) << c.what;
        EXPECT_EQ(ReadText(shoot.UserFile(1)), before) << c.what;
    }
    // A folder or a missing file is no pattern either.
    EXPECT_FALSE(shoot.Import(1, dir.Path()));
    EXPECT_FALSE(shoot.Import(1, dir / "missing.shoot"));
    EXPECT_EQ(ReadText(shoot.UserFile(1)), before);

    // A short but sound pattern is taken byte for byte.
    const std::string shortPattern = R"({"Events": [)" + click + R"(], "Name": "mine"})";
    WriteText(dir / "in.shoot", shortPattern);
    EXPECT_TRUE(shoot.Import(1, dir / "in.shoot"));
    EXPECT_EQ(ReadText(shoot.UserFile(1)), shortPattern);
}

TEST_F(ShootFixture, PackedEventsForTheDevice) {
    shoot.EnsureFiles();
    const std::vector<PackedMacroEvent> packed = shoot.PackedEvents(0);
    ASSERT_EQ(packed.size(), 180U);
    EXPECT_EQ(packed[0].bytes, (std::array<std::uint8_t, 4>{10, 0, 0x81, 1}));
    EXPECT_EQ(packed[3].bytes, (std::array<std::uint8_t, 4>{20, 0, 0x85, 0}));
    EXPECT_TRUE(shoot.PackedEvents(7).empty());
}

TEST(ShootPattern, Validation) {
    EXPECT_FALSE(IsValidShootPattern({}));
    EXPECT_TRUE(IsValidShootPattern({{1, 1, "down", 10}}));
    EXPECT_FALSE(IsValidShootPattern({{10, 4, "down", 0}}));
    EXPECT_FALSE(IsValidShootPattern({{4, 300, "down", 0}}));
    EXPECT_FALSE(IsValidShootPattern({{4, 3, "sideways", 0}}));
    EXPECT_FALSE(IsValidShootPattern(std::vector<MacroEvent>(181, {1, 1, "up", 0})));
}

}  // namespace
}  // namespace norvane::config
