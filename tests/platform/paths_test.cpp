#include "platform/paths.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

class UserDataFolderTest : public ::testing::Test {
protected:
    TempDir temp;
    ScopedEnv dataHome{"NORVANE_DATA_HOME", std::nullopt};
    ScopedEnv xdg{"XDG_DATA_HOME", std::nullopt};
    ScopedEnv home{"HOME", (temp / "home").string()};
};

TEST_F(UserDataFolderTest, DefaultsToLocalShareBelowHomeAndCreatesIt) {
    const fs::path expected = temp / "home/.local/share/NORVANE";
    ASSERT_FALSE(fs::exists(expected));
    EXPECT_EQ(UserDataFolder(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
}

TEST_F(UserDataFolderTest, FollowsAbsoluteXdgDataHome) {
    const ScopedEnv set("XDG_DATA_HOME", (temp / "xdg").string());
    EXPECT_EQ(UserDataFolder(), temp / "xdg/NORVANE");
    EXPECT_TRUE(fs::is_directory(temp / "xdg/NORVANE"));
}

TEST_F(UserDataFolderTest, IgnoresRelativeXdgDataHome) {
    const ScopedEnv set("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(UserDataFolder(), temp / "home/.local/share/NORVANE");
}

TEST_F(UserDataFolderTest, OverrideWinsOverXdg) {
    const ScopedEnv set("XDG_DATA_HOME", (temp / "xdg").string());
    const ScopedEnv override("NORVANE_DATA_HOME", (temp / "override/deep").string());
    EXPECT_EQ(UserDataFolder(), temp / "override/deep");
    EXPECT_TRUE(fs::is_directory(temp / "override/deep"));
    EXPECT_FALSE(fs::exists(temp / "xdg"));
}

TEST_F(UserDataFolderTest, RecreatesFolderRemovedWhileRunning) {
    const fs::path first = UserDataFolder("keyboard");
    ASSERT_FALSE(first.empty());
    fs::remove_all(temp / "home");
    EXPECT_EQ(UserDataFolder("keyboard"), first);
    EXPECT_TRUE(fs::is_directory(first));
}

TEST_F(UserDataFolderTest, EmptyWhenFolderCannotBeCreated) {
    test::WriteText(temp / "blocker", "a file where a folder should be");
    const ScopedEnv set("NORVANE_DATA_HOME", (temp / "blocker/NORVANE").string());
    EXPECT_TRUE(UserDataFolder().empty());
    EXPECT_TRUE(UserDataFolder("mouse").empty());
}

TEST_F(UserDataFolderTest, EmptyWithoutHomeOrXdg) {
    const ScopedEnv unset("HOME", std::nullopt);
    EXPECT_TRUE(UserDataFolder().empty());
}

TEST_F(UserDataFolderTest, SubfolderRefusesUnsafeNamesAndCreatesNothing) {
    for (const std::string_view name : {"", ".", "..", "../outside", "a/b", "a\\b", "/abs"}) {
        SCOPED_TRACE(std::string(name));
        EXPECT_TRUE(UserDataFolder(name).empty());
    }
    EXPECT_FALSE(fs::exists(temp / "outside"));
    EXPECT_EQ(UserDataFolder("MousePad"), temp / "home/.local/share/NORVANE/MousePad");
}

TEST(IsSafeFileNameTest, Cases) {
    struct Case {
        std::string name;
        bool safe;
    };
    const Case cases[] = {
        {"profile1", true},
        {"{6F9619FF-8B86-D011-B42D-00C04FC964FF}", true},
        {"ShootData_0.Shoot", true},
        {"..hidden", true},
        {"名字", true},
        {std::string(255, 'a'), true},
        {std::string(256, 'a'), false},
        {"", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"a\\b", false},
        {std::string("a\0b", 3), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsSafeFileName(c.name), c.safe);
    }
}

TEST(ProgramFolderTest, ExecutableFolderWhenResourcesLieBesideIt) {
    TempDir temp;
    EXPECT_EQ(ProgramFolderBeside(temp.Path()), InstalledProgramFolder());
    fs::create_directory(temp / "DefaultData");
    EXPECT_EQ(ProgramFolderBeside(temp.Path()), temp.Path());
}

TEST(ProgramFolderTest, PlainFileWithAResourceNameDoesNotCount) {
    TempDir temp;
    test::WriteText(temp / "skin", "not a folder");
    EXPECT_EQ(ProgramFolderBeside(temp.Path()), InstalledProgramFolder());
}

TEST(ProgramFolderTest, MovedInstallTreeFindsItsOwnDataFolder) {
    TempDir temp;
    fs::create_directories(temp / "usr/bin");
    fs::create_directories(temp / "usr/share/norvane");
    // An empty data folder is not taken for an installed one.
    EXPECT_EQ(ProgramFolderBeside(temp / "usr/bin"), InstalledProgramFolder());
    fs::create_directory(temp / "usr/share/norvane/skin");
    EXPECT_EQ(ProgramFolderBeside(temp / "usr/bin"), temp / "usr/share/norvane");
}

TEST(ProgramFolderTest, DataBesideTheExecutableWinsOverTheInstallLayout) {
    TempDir temp;
    fs::create_directories(temp / "usr/bin/DefaultData");
    fs::create_directories(temp / "usr/share/norvane/DefaultData");
    EXPECT_EQ(ProgramFolderBeside(temp / "usr/bin"), temp / "usr/bin");
}

TEST(ProgramFolderTest, SubfolderIsBelowProgramFolder) {
    EXPECT_EQ(ProgramSubfolder("DefaultData"), ProgramFolder() / "DefaultData");
}

}  // namespace
}  // namespace norvane::platform
