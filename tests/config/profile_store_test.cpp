#include "config/profile_store.h"
#include "config/json_file_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include <sys/stat.h>

namespace norvane::config {

void PrintTo(const StoreResult& result, std::ostream* out) {
    *out << "{status " << static_cast<int>(result.status) << ", index " << result.index << "}";
}

namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

StoreResult Ok(int index) {
    return {StoreStatus::Ok, index};
}

StoreResult Failed(StoreStatus status) {
    return {status};
}

std::vector<std::string> Names(const ProfileStore& store) {
    std::vector<std::string> names;
    for (const ProfileEntry& e : store.Entries()) {
        names.push_back(e.name);
    }
    return names;
}

// The contents of the "<name>.corrupt-*" backups in the folder.
std::vector<std::string> Backups(const std::filesystem::path& folder, const std::string& name) {
    std::vector<std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(name + ".corrupt-")) {
            contents.push_back(ReadText(entry.path()));
        }
    }
    return contents;
}

class StoreFixture : public ::testing::Test {
protected:
    StoreFixture() {
        std::filesystem::create_directory(dir / "mouse");
        WriteText(dir / "factory.Json", R"({"Device": [{"LightInfo": {"SelectItem": 1},
            "CustomEQNameInfo": [], "CustomEQHzValueInfo": []}]})");
    }
    Json::Value Profile(int index) const { return JsonFileStore::ReadJsonFile(store.PathOf(index)); }

    TempDir dir;
    ProfileStore store{dir / "mouse", dir / "factory.Json"};
};

TEST_F(StoreFixture, FirstUseCreatesProfile1) {
    EXPECT_EQ(store.Initialise(), Ok(0));
    const Json::Value list = JsonFileStore::ReadJsonFile(dir / "mouse" / "ProfileList.ini");
    ASSERT_EQ(list["profilelist"].size(), 1U);
    const Json::Value& entry = list["profilelist"][0];
    EXPECT_EQ(entry["profilename"].asString(), "profile1");
    EXPECT_EQ(entry["profileislink"].asInt(), 0);
    EXPECT_EQ(entry["profilelinkmame"].asString(), "");
    EXPECT_EQ(list["profileselect"].asInt(), 0);
    const Json::Value profile = Profile(0);
    EXPECT_EQ(profile["profilename"].asString(), "profile1");
    EXPECT_EQ(profile["profileUUID"].asString(), entry["profileUUID"].asString());
    EXPECT_EQ(profile["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1);
    EXPECT_EQ(store.PathOf(0).filename().string(), entry["profileUUID"].asString() + ".Json");
    // A second initialise keeps what is there.
    EXPECT_EQ(store.Initialise(), Ok(0));
    EXPECT_EQ(store.Count(), 1);
}

TEST_F(StoreFixture, AddTakesTheFirstFreeNumberAndStopsAtFifty) {
    store.Initialise();
    ASSERT_EQ(store.Add(), Ok(1));
    ASSERT_EQ(store.Add(), Ok(2));
    ASSERT_EQ(store.Delete(2), Ok(1));
    EXPECT_EQ(store.Add(), Ok(2));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"profile1", "profile2", "profile3"}));
    EXPECT_EQ(store.SelectedIndex(), 2);
    ASSERT_TRUE(store.Rename(0, "PROFILE4").Ok());
    EXPECT_EQ(store.Add(), Ok(3));
    EXPECT_EQ(Names(store).back(), "profile1");
    while (store.Count() < kMaxProfiles) {
        ASSERT_TRUE(store.Add().Ok());
    }
    EXPECT_EQ(store.Add(), Failed(StoreStatus::Full));
    EXPECT_EQ(store.Count(), kMaxProfiles);
    // Every entry has its own file.
    std::set<std::filesystem::path> files;
    for (int i = 0; i < store.Count(); ++i) {
        files.insert(store.PathOf(i));
        EXPECT_TRUE(std::filesystem::exists(store.PathOf(i)));
    }
    EXPECT_EQ(files.size(), static_cast<std::size_t>(kMaxProfiles));
}

TEST_F(StoreFixture, CopyAppendsCopyToTheName) {
    store.Initialise();
    ASSERT_EQ(store.Rename(0, "Game"), Ok(0));
    ASSERT_EQ(store.Copy(0), Ok(1));
    ASSERT_EQ(store.Copy(0), Ok(2));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"Game", "Game copy", "Game copy copy"}));
    EXPECT_EQ(store.SelectedIndex(), 0);
    const Json::Value copy = Profile(2);
    EXPECT_EQ(copy["profilename"].asString(), "Game copy copy");
    EXPECT_EQ(copy["profileUUID"].asString(), store.Entries()[2].uuid);
    EXPECT_EQ(copy["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1);
}

TEST_F(StoreFixture, ImportNumbersDuplicateNames) {
    store.Initialise();
    WriteText(dir / "Game.json", R"({"profilename": "x", "profileUUID": "y", "Device": [{"tag": 7}]})");
    ASSERT_EQ(store.Import(dir / "Game.json"), Ok(1));
    ASSERT_EQ(store.Import(dir / "Game.json"), Ok(2));
    ASSERT_EQ(store.Import(dir / "Game.json"), Ok(3));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"profile1", "Game", "Game(1)", "Game(1)(2)"}));
    EXPECT_EQ(store.SelectedIndex(), 0);
    const Json::Value imported = Profile(3);
    EXPECT_EQ(imported["profilename"].asString(), "Game(1)(2)");
    EXPECT_EQ(imported["profileUUID"].asString(), store.Entries()[3].uuid);
    EXPECT_EQ(imported["Device"][0]["tag"].asInt(), 7);
    WriteText(dir / "bad.json", "[]");
    EXPECT_EQ(store.Import(dir / "bad.json"), Failed(StoreStatus::Unreadable));
}

TEST_F(StoreFixture, RenameRules) {
    store.Initialise();
    store.Add();
    ASSERT_EQ(store.Rename(1, "\xC3\x89t\xC3\xA9"), Ok(1));
    EXPECT_EQ(store.Rename(0, "   "), Failed(StoreStatus::BlankName));
    EXPECT_EQ(store.Rename(0, "\xC3\xA9T\xC3\x89"), Failed(StoreStatus::NameTaken));
    EXPECT_EQ(store.Rename(0, "Profile2"), Ok(0));
    EXPECT_EQ(store.Rename(1, "\xC3\x89t\xC3\xA9"), Ok(1));
    EXPECT_EQ(store.Rename(2, "new"), Failed(StoreStatus::BadIndex));
    EXPECT_EQ(Profile(0)["profilename"].asString(), "Profile2");
    EXPECT_EQ(Names(store), (std::vector<std::string>{"Profile2", "\xC3\x89t\xC3\xA9"}));
}

TEST_F(StoreFixture, DeleteMovesTheSelectionAndKeepsTheLastProfile) {
    store.Initialise();
    store.Add();
    store.Add();
    const std::filesystem::path first = store.PathOf(0);
    EXPECT_EQ(store.Delete(0), Ok(0));
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"profile2", "profile3"}));
    EXPECT_EQ(store.Delete(1), Ok(0));
    EXPECT_EQ(store.Delete(0), Failed(StoreStatus::LastProfile));
    EXPECT_EQ(store.Delete(5), Failed(StoreStatus::BadIndex));
    EXPECT_EQ(store.Count(), 1);
}

TEST_F(StoreFixture, ExportOfAMissingProfileFails) {
    store.Initialise();
    ASSERT_EQ(store.Export(0, dir / "out.json"), Ok(0));
    EXPECT_EQ(JsonFileStore::ReadJsonFile(dir / "out.json")["profilename"].asString(), "profile1");
    std::filesystem::remove(store.PathOf(0));
    WriteText(dir / "keep.json", "{\"kept\": 1}");
    EXPECT_EQ(store.Export(0, dir / "keep.json"), Failed(StoreStatus::Unreadable));
    EXPECT_EQ(ReadText(dir / "keep.json"), "{\"kept\": 1}");
}

TEST_F(StoreFixture, ResetRestoresFactorySettings) {
    store.Initialise();
    Json::Value changed = Profile(0);
    changed["Device"][0]["LightInfo"]["SelectItem"] = 5;
    changed["Device"][0]["CustomEQNameInfo"][0]["Name"] = "Mine";
    JsonFileStore::WriteJsonFile(store.PathOf(0), changed);
    ASSERT_EQ(store.Reset(0), Ok(0));
    const Json::Value reset = Profile(0);
    EXPECT_EQ(reset["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1);
    EXPECT_EQ(reset["Device"][0]["CustomEQNameInfo"].size(), 0U);
    EXPECT_EQ(reset["profilename"].asString(), "profile1");
    EXPECT_EQ(reset["profileUUID"].asString(), store.Entries()[0].uuid);
}

TEST_F(StoreFixture, HeadsetResetKeepsCustomEqualiserCurves) {
    ProfileStore headset(dir / "mouse", dir / "factory.Json", true);
    headset.Initialise();
    Json::Value changed = Profile(0);
    changed["Device"][0]["LightInfo"]["SelectItem"] = 5;
    changed["Device"][0]["CustomEQNameInfo"][0]["Name"] = "Mine";
    changed["Device"][0]["CustomEQHzValueInfo"][0][0]["value"] = 9;
    JsonFileStore::WriteJsonFile(headset.PathOf(0), changed);
    ASSERT_EQ(headset.Reset(0), Ok(0));
    const Json::Value reset = Profile(0);
    EXPECT_EQ(reset["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1);
    EXPECT_EQ(reset["Device"][0]["CustomEQNameInfo"][0]["Name"].asString(), "Mine");
    EXPECT_EQ(reset["Device"][0]["CustomEQHzValueInfo"][0][0]["value"].asInt(), 9);
}

TEST_F(StoreFixture, CorruptListIsRebuiltFromTheProfileFiles) {
    store.Initialise();
    store.Add();
    ASSERT_EQ(store.Rename(1, "Game"), Ok(1));
    WriteText(dir / "mouse" / "ProfileList.ini", "{\"profilelist\": [");
    EXPECT_EQ(store.Initialise(), Ok(0));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"profile1", "Game"}));
    bool backup = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "mouse")) {
        backup |= entry.path().filename().string().starts_with("ProfileList.ini.corrupt-");
    }
    EXPECT_TRUE(backup);
}

TEST_F(StoreFixture, ListWithoutEntriesKeepsItsOtherMembersAndFindsTheProfileFiles) {
    WriteText(dir / "mouse" / "2026_01_01_00_00_00_000.Json",
              R"({"profilename": "Game", "profileUUID": "2026_01_01_00_00_00_000"})");
    struct Case {
        const char* list;
        bool profilePresent;
        std::vector<std::string> names;
    };
    for (const Case& c : {Case{R"({"profilelist": {}, "kept": 5})", true, {"Game"}},
                          Case{R"({"profilelist": [], "kept": 5})", true, {"Game"}},
                          Case{R"({"kept": 5})", false, {"profile1"}}}) {
        SCOPED_TRACE(c.list);
        if (!c.profilePresent) {
            std::filesystem::remove(dir / "mouse" / "2026_01_01_00_00_00_000.Json");
        }
        WriteText(dir / "mouse" / "ProfileList.ini", c.list);
        EXPECT_EQ(store.Initialise(), Ok(0));
        EXPECT_EQ(Names(store), c.names);
        EXPECT_EQ(JsonFileStore::ReadJsonFile(store.ListPath())["kept"].asInt(), 5);
    }
}

TEST_F(StoreFixture, AddAndImportKeepACorruptListAndRebuildItFirst) {
    WriteText(dir / "Game.json", R"({"Device": [{"tag": 7}]})");
    struct Case {
        const char* label;
        std::function<StoreResult(ProfileStore&)> operation;
        const char* added;
    };
    for (const Case& c :
         {Case{"add", [](ProfileStore& s) { return s.Add(); }, "profile2"},
          Case{"import", [&](ProfileStore& s) { return s.Import(dir / "Game.json"); }, "Game(1)"}}) {
        SCOPED_TRACE(c.label);
        const std::filesystem::path folder = dir / c.label;
        std::filesystem::create_directory(folder);
        ProfileStore s(folder, dir / "factory.Json");
        s.Initialise();
        s.Add();
        ASSERT_EQ(s.Rename(1, "Game"), Ok(1));
        WriteText(folder / "ProfileList.ini", "{\"profilelist\": [");
        ASSERT_EQ(c.operation(s), Ok(2));
        EXPECT_EQ(Names(s), (std::vector<std::string>{"profile1", "Game", c.added}));
        EXPECT_EQ(Backups(folder, "ProfileList.ini"), std::vector<std::string>{"{\"profilelist\": ["});
    }
}

TEST_F(StoreFixture, WriteFailuresAreReportedAndChangeNothing) {
    ProfileStore absent(dir / "absent", dir / "factory.Json");
    EXPECT_EQ(absent.Initialise(), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(absent.Add(), Failed(StoreStatus::WriteFailed));

    // A list that cannot be replaced leaves no profile file behind.
    std::filesystem::create_directories(dir / "blocked" / "ProfileList.ini" / "inside");
    ProfileStore blockedList(dir / "blocked", dir / "factory.Json");
    EXPECT_EQ(blockedList.Initialise(), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "blocked"), {}), 1);

    // A profile file that cannot be replaced (a folder stands in its place).
    store.Initialise();
    store.Add();
    const std::filesystem::path blocked = store.PathOf(1);
    std::filesystem::remove(blocked);
    std::filesystem::create_directories(blocked / "inside");
    EXPECT_EQ(store.Rename(1, "Game"), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"profile1", "profile2"}));
    EXPECT_EQ(store.Reset(1), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(store.Export(0, dir / "missing" / "out.json"), Failed(StoreStatus::WriteFailed));
}

TEST_F(StoreFixture, FoldersThatCannotBeSearchedOrReadFailWithoutThrowingOrBlocking) {
    // Every lookup inside a symbolic link loop fails with ELOOP.
    std::filesystem::create_directory_symlink("loop", dir / "loop");
    ProfileStore loop(dir / "loop", dir / "factory.Json");
    EXPECT_EQ(loop.Initialise(), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(loop.Add(), Failed(StoreStatus::WriteFailed));
    EXPECT_EQ(loop.Count(), 0);

    // A FIFO among the profile files is passed over while the list is rebuilt.
    store.Initialise();
    ASSERT_EQ(::mkfifo((dir / "mouse" / "pipe.Json").c_str(), 0600), 0);
    WriteText(dir / "mouse" / "ProfileList.ini", "[");
    EXPECT_EQ(store.Initialise(), Ok(0));
    EXPECT_EQ(Names(store), std::vector<std::string>{"profile1"});
}

TEST_F(StoreFixture, IdentifiersThatAreNotFileNamesAreRefused) {
    WriteText(dir / "victim.Json", "{\"keep\": true}");
    WriteText(dir / "mouse" / "ProfileList.ini", R"({"profilelist": [
        {"profilename": "a", "profileUUID": "../victim"}, {"profilename": "b", "profileUUID": "/etc/x"},
        {"profilename": "c", "profileUUID": "ok"}], "profileselect": 0})");
    WriteText(dir / "mouse" / "ok.Json", "{}");
    EXPECT_TRUE(store.PathOf(0).empty());
    EXPECT_TRUE(store.PathOf(1).empty());
    EXPECT_EQ(store.PathOf(2), dir / "mouse" / "ok.Json");
    EXPECT_EQ(store.Reset(0), Failed(StoreStatus::BadIndex));
    EXPECT_EQ(store.Export(0, dir / "out.json"), Failed(StoreStatus::BadIndex));
    EXPECT_EQ(store.Rename(0, "renamed"), Ok(0));
    EXPECT_EQ(store.Delete(0), Ok(0));
    EXPECT_EQ(ReadText(dir / "victim.Json"), "{\"keep\": true}");
    EXPECT_EQ(Names(store), (std::vector<std::string>{"b", "c"}));
}

}  // namespace
}  // namespace norvane::config
