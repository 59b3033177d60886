#include "config/json_file_store.h"
#include "config/macro_library.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(MacroEvents, DelayIsClampedAndReadFromTextOrNumber) {
    struct Case {
        const char* json;
        int delay;
    };
    for (const Case& c : {Case{R"({"Delay": "70000"})", 65535}, Case{R"({"Delay": "65534"})", 65534},
                          Case{R"({"Delay": "65535"})", 65535}, Case{R"({"Delay": 0})", 0},
                          Case{R"({"Delay": "12ms"})", 12}, Case{R"({"Delay": ""})", 0},
                          Case{R"({"Delay": -5})", 0}, Case{R"({"Delay": [1]})", 0}, Case{R"({})", 0}}) {
        const std::optional<MacroEvent> event = ReadMacroEvent(JsonFileStore::ParseJson(c.json));
        ASSERT_TRUE(event.has_value()) << c.json;
        EXPECT_EQ(event->delay, c.delay) << c.json;
    }
    EXPECT_FALSE(ReadMacroEvent(Json::Value(3)).has_value());
}

TEST(MacroEvents, PackedForm) {
    EXPECT_EQ(PackMacroEvent({10, 0x04, "down", 0x1234}).bytes,
              (std::array<std::uint8_t, 4>{0x34, 0x12, 0x8A, 0x04}));
    EXPECT_EQ(PackMacroEvent({5, 300, "up", 70000}).bytes,
              (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0x05, 300 & 0xFF}));
    EXPECT_EQ(PackMacroEvent({9, 0x02, "DOWN", 0}).bytes[2], 0x09);
}

TEST(MacroEvents, MouseEventTableRows) {
    EXPECT_EQ(FindMouseEventRow(0x020B, 2), 6U);
    EXPECT_EQ(FindMouseEventRow(0x020B, 1), 8U);
    EXPECT_EQ(FindMouseEventRow(0x020C, 1), 9U);
    EXPECT_EQ(FindMouseEventRow(0x0204), 2U);
    EXPECT_EQ(FindMouseEventRow(0x020A), std::nullopt);
    EXPECT_EQ(MouseEventOf(kMouseEventTable[12]), (MacroEvent{5, 0, "down", 0}));
    EXPECT_EQ(MouseEventOf(kMouseEventTable[3]), (MacroEvent{1, 2, "up", 0}));
}

class MacroFixture : public ::testing::Test {
protected:
    TempDir dir;
    MacroLibrary library{dir.Path()};
};

TEST_F(MacroFixture, NewMacroTakesTheSmallestFreeNumberIgnoringCase) {
    WriteText(dir / "macro.config", R"({"MacroInfo": [{"MacroName": "macro_1", "Guid": "a"},
        {"MacroName": "MACRO_2", "Guid": "b"}], "Other": 1})");
    library.Load();
    EXPECT_EQ(library.NewMacro(), "macro_3");
    const Json::Value index = JsonFileStore::ReadJsonFile(dir / "macro.config");
    ASSERT_EQ(index["MacroInfo"].size(), 3U);
    EXPECT_EQ(index["MacroInfo"][2]["MacroName"].asString(), "macro_3");
    EXPECT_EQ(index["Other"].asInt(), 1);
    MacroLibrary reloaded(dir.Path());
    reloaded.Load();
    EXPECT_EQ(reloaded.Names(), (std::vector<std::string>{"macro_1", "MACRO_2", "macro_3"}));
}

TEST_F(MacroFixture, LibraryHoldsAtMostFiftyMacros) {
    library.Load();
    for (int i = 0; i < kMaxMacros; ++i) {
        ASSERT_FALSE(library.NewMacro().empty());
    }
    const std::string before = ReadText(dir / "macro.config");
    EXPECT_EQ(library.NewMacro(), "");
    WriteText(dir / "x.mac", "{}");
    EXPECT_EQ(library.Import(dir / "x.mac"), "");
    EXPECT_EQ(library.Count(), kMaxMacros);
    EXPECT_EQ(ReadText(dir / "macro.config"), before);
}

TEST_F(MacroFixture, ImportTwiceNumbersTheName) {
    library.Load();
    TempDir source;
    const std::string bytes =
        "{\"MacroName\": \"old\", \"Events\": [{\"Type\": 10, \"Button\": 4, "
        "\"Action\": \"down\", \"Delay\": 0}]}  ";
    WriteText(source / "combo.mac", bytes);
    EXPECT_EQ(library.Import(source / "combo.mac"), "combo");
    EXPECT_EQ(library.Import(source / "combo.mac"), "combo_2");
    EXPECT_EQ(ReadText(library.MacroPath(1)), bytes);
    ASSERT_EQ(library.Open(1).size(), 1U);
    EXPECT_EQ(library.Open(1)[0], (MacroEvent{10, 4, "down", 0}));
}

TEST_F(MacroFixture, RenameRules) {
    library.Load();
    library.NewMacro();
    library.NewMacro();
    const std::string before = ReadText(dir / "macro.config");
    EXPECT_EQ(library.Rename(0, "  "), (MacroLibrary::RenameOutcome{-1, "IsEmpty"}));
    EXPECT_EQ(library.Rename(0, "macro_1").name, "");
    EXPECT_EQ(library.Rename(0, "MACRO_2").index, 0);
    EXPECT_EQ(library.Rename(5, "x").index, -1);
    EXPECT_EQ(ReadText(dir / "macro.config"), before);
    EXPECT_EQ(library.Rename(1, "Jump"), (MacroLibrary::RenameOutcome{1, "Jump"}));
    EXPECT_EQ(JsonFileStore::ReadJsonFile(dir / "macro.config")["MacroInfo"][1]["MacroName"].asString(),
              "Jump");
}

TEST_F(MacroFixture, SaveOpenAndDelete) {
    library.Load();
    library.NewMacro();
    library.NewMacro();
    const std::vector<MacroEvent> events{{10, 4, "down", 0}, {10, 4, "up", 70000}, {1, 1, "down", 25}};
    ASSERT_TRUE(library.Save(1, events));
    const Json::Value file = JsonFileStore::ReadJsonFile(library.MacroPath(1));
    EXPECT_EQ(file["Version"].asInt(), 64);
    EXPECT_EQ(file["MacroName"].asString(), "macro_2");
    EXPECT_EQ(file["Events"][0]["Delay"], Json::Value("0"));
    EXPECT_EQ(file["Events"][1]["Delay"], Json::Value("65535"));
    std::vector<MacroEvent> expected = events;
    expected[1].delay = 65535;
    EXPECT_EQ(library.Open(1), expected);
    EXPECT_TRUE(library.Open(0).empty());  // never saved

    const std::filesystem::path file1 = library.MacroPath(1);
    EXPECT_EQ(library.Delete(1), 1);
    EXPECT_FALSE(std::filesystem::exists(file1));
    EXPECT_EQ(library.Names(), std::vector<std::string>{"macro_1"});
    EXPECT_EQ(library.Delete(3), -1);

    ASSERT_TRUE(library.Save(0, events));
    ASSERT_TRUE(library.Export(0, dir / "out.mac"));
    EXPECT_EQ(ReadText(dir / "out.mac"), ReadText(library.MacroPath(0)));
    EXPECT_FALSE(library.Export(0, ""));
}

TEST_F(MacroFixture, IdentifiersThatAreNotFileNamesAreRefused) {
    // The library lies one level down, so the file it must not reach is still ours.
    std::filesystem::create_directory(dir / "device");
    MacroLibrary device(dir / "device");
    WriteText(dir / "victim.mac", "keep");
    WriteText(dir / "device" / "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "../victim"},
        {"MacroName": "b", "Guid": ""}]})");
    device.Load();
    EXPECT_TRUE(device.MacroPath(0).empty());
    EXPECT_TRUE(device.MacroPath(1).empty());
    EXPECT_FALSE(device.Save(0, {{10, 4, "down", 0}}));
    EXPECT_EQ(device.Delete(0), 0);
    EXPECT_EQ(ReadText(dir / "victim.mac"), "keep");
}

TEST(MacroLibraryFolder, SymbolicLinkLoopFailsWithoutThrowing) {
    TempDir dir;
    std::filesystem::create_directory_symlink("loop", dir / "loop");
    MacroLibrary library(dir / "loop");
    library.Load();
    EXPECT_EQ(library.NewMacro(), "");
    EXPECT_EQ(library.Count(), 0);
    EXPECT_EQ(RenumberMacroBindingsInProfiles({dir / "loop" / "a.Json"}, {}, 0), 0);
}

TEST(MacroBindings, DeleteRenumbersEveryProfile) {
    const KeyAssignment fallback{0x20, 0x00, 0x04};
    auto keys = [&](std::vector<KeyAssignment> current) {
        std::vector<KeyListEntry> list;
        for (std::size_t i = 0; i < current.size(); ++i) {
            list.push_back(
                {static_cast<std::uint16_t>(i), current[i], static_cast<std::uint16_t>(i), fallback});
        }
        return list;
    };
    std::vector<KeyListEntry> list = keys({{0x70, 0, 1}, {0x70, 1, 0}, {0x71, 2, 5}, {0x20, 1, 4}});
    EXPECT_TRUE(RenumberMacroBindings(list, 1));
    EXPECT_EQ(list[0].current, (KeyAssignment{0x70, 0, 1}));
    EXPECT_EQ(list[1].current, fallback);
    EXPECT_EQ(list[2].current, (KeyAssignment{0x71, 1, 5}));
    EXPECT_EQ(list[3].current, (KeyAssignment{0x20, 1, 4}));
    std::vector<KeyListEntry> untouched = keys({{0x70, 0, 0}, {0x10, 5, 0}});
    EXPECT_FALSE(RenumberMacroBindings(untouched, 1));

    std::vector<KeyListEntry> stale = keys({{0x70, 2, 0}, {0x71, 1, 3}});
    EXPECT_TRUE(ResetInvalidMacroBindings(stale, 2));
    EXPECT_EQ(stale[0].current, fallback);
    EXPECT_EQ(stale[1].current, (KeyAssignment{0x71, 1, 3}));

    TempDir dir;
    const char* bound = R"({"profilename": "p", "Device": [{"KeyList": [
        {"Assignment": 7340289, "DefaultAssignment": 2097156}, {"Assignment": 7340544, "DefaultAssignment": 0}]}]})";
    const char* unbound = R"({"Device": [{"KeyList": [{"Assignment": 2097156}]}]})";
    WriteText(dir / "a.Json", bound);
    WriteText(dir / "b.Json", bound);
    WriteText(dir / "c.Json", unbound);
    const int rewritten = RenumberMacroBindingsInProfiles(
        {dir / "a.Json", dir / "b.Json", dir / "c.Json", dir / "gone.Json"}, dir / "a.Json", 1);
    EXPECT_EQ(rewritten, 1);
    EXPECT_EQ(ReadText(dir / "a.Json"), bound);
    EXPECT_EQ(ReadText(dir / "c.Json"), unbound);
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.Json"));
    const Json::Value b = JsonFileStore::ReadJsonFile(dir / "b.Json");
    EXPECT_EQ(b["profilename"].asString(), "p");
    EXPECT_EQ(b["Device"][0]["KeyList"][0]["Assignment"].asInt(), 2097156);   // 0x70 0x01 → default
    EXPECT_EQ(b["Device"][0]["KeyList"][1]["Assignment"].asInt(), 0x700100);  // 0x70 0x02 → 0x70 0x01
}

}  // namespace
}  // namespace norvane::config
