#include "platform/registry.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

class RegistryTest : public ::testing::Test {
protected:
    TempDir temp;
    Registry registry{temp / "config/NORVANE/settings.ini"};
};

TEST_F(RegistryTest, MissingFileReadsNothing) {
    EXPECT_FALSE(registry.ReadString("LANGUAGE"));
    EXPECT_FALSE(ReadSavedLanguage(registry));
}

TEST_F(RegistryTest, WritesCreateFolderAndKeepOtherValues) {
    ASSERT_TRUE(SaveLanguage(1033, registry));
    ASSERT_TRUE(registry.WriteString("DisplayVersion", "2.3.10"));
    ASSERT_TRUE(SaveLanguage(2052, registry));
    EXPECT_EQ(ReadSavedLanguage(registry), 2052u);
    EXPECT_EQ(registry.ReadString("DisplayVersion"), "2.3.10");
    EXPECT_EQ(test::ReadText(registry.File()), "DisplayVersion=2.3.10\nLANGUAGE=2052\n");
}

TEST_F(RegistryTest, DwordParsing) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"520", 520u},        {"0", 0u},           {"4294967295", 4294967295u},
        {"4294967296", {}},   {"-1", {}},          {"12x", {}},
        {"", {}},             {" 7", {}},          {"0x10", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(registry.WriteString("LANGUAGE", c.text));
        EXPECT_EQ(registry.ReadDword("LANGUAGE"), c.value);
    }
}

TEST_F(RegistryTest, RefusesNamesAndValuesThatWouldBreakTheFile) {
    ASSERT_TRUE(registry.WriteString("LANGUAGE", "520"));
    const std::string before = test::ReadText(registry.File());
    EXPECT_FALSE(registry.WriteString("", "x"));
    EXPECT_FALSE(registry.WriteString("A=B", "x"));
    EXPECT_FALSE(registry.WriteString("A\nB", "x"));
    EXPECT_FALSE(registry.WriteString("A", "x\nLANGUAGE=1"));
    EXPECT_FALSE(registry.WriteString("A", std::string("x\0y", 3)));
    EXPECT_EQ(test::ReadText(registry.File()), before);
}

TEST_F(RegistryTest, ToleratesHandEditedFile) {
    fs::create_directories(registry.File().parent_path());
    test::WriteText(registry.File(), "# comment\r\nLANGUAGE=1041\r\nno equals sign\n=orphan\nDisplayVersion=1.2.3");
    EXPECT_EQ(ReadSavedLanguage(registry), 1041u);
    EXPECT_EQ(InstalledVersionText(registry), "1.2.3");
}

TEST_F(RegistryTest, OversizeFileReadsAsEmpty) {
    fs::create_directories(registry.File().parent_path());
    test::WriteText(registry.File(), "LANGUAGE=1033\n" + std::string(1 << 20, '#'));
    EXPECT_FALSE(ReadSavedLanguage(registry));
}

TEST_F(RegistryTest, InstalledVersionIsCompiledInUnlessOverridden) {
    EXPECT_EQ(InstalledVersionText(registry), "1.0.0.1");
    ASSERT_TRUE(registry.WriteString("DisplayVersion", "2.3.10"));
    EXPECT_EQ(InstalledVersionText(registry), "2.3.10");
    ASSERT_TRUE(registry.WriteString("DisplayVersion", ""));
    EXPECT_EQ(InstalledVersionText(registry), "1.0.0.1");
}

TEST_F(RegistryTest, WriteFailsWhenFolderCannotBeMade) {
    test::WriteText(temp / "file", "x");
    const Registry blocked(temp / "file/NORVANE/settings.ini");
    EXPECT_FALSE(SaveLanguage(1033, blocked));
}

TEST_F(RegistryTest, ConcurrentWritersLoseNoValue) {
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([this, t] {
            for (int i = 0; i < 10; ++i) {
                EXPECT_TRUE(registry.WriteDword("V" + std::to_string(t) + "_" + std::to_string(i),
                                                static_cast<std::uint32_t>(i)));
            }
        });
    }
    for (std::thread& w : writers) {
        w.join();
    }
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(registry.ReadDword("V" + std::to_string(t) + "_" + std::to_string(i)),
                      static_cast<std::uint32_t>(i));
        }
    }
}

TEST(RegistryForUserTest, FollowsXdgConfigHomeElseHome) {
    TempDir temp;
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", (temp / "xdg").string());
        EXPECT_EQ(Registry::ForUser().File(), temp / "xdg/NORVANE/settings.ini");
    }
    const ScopedEnv xdg("XDG_CONFIG_HOME", "relative");
    const ScopedEnv home("HOME", (temp / "home").string());
    EXPECT_EQ(Registry::ForUser().File(), temp / "home/.config/NORVANE/settings.ini");
    ASSERT_TRUE(SaveLanguage(1033));
    EXPECT_EQ(ReadSavedLanguage(), 1033u);
}

}  // namespace
}  // namespace norvane::platform
