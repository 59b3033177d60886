// What the program asks the desktop to open, through a recording launcher, and the process
// launcher itself.
#include "platform/shell.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

namespace norvane::test {
namespace {

namespace shell = platform::shell;

class RecordingLauncher final : public shell::ILauncher {
public:
    bool Launch(std::span<const std::string> argv) override {
        launched.emplace_back(argv.begin(), argv.end());
        return true;
    }
    bool Exists(std::string_view program) override { return installed.contains(std::string(program)); }
    std::set<std::string> installed;
    std::vector<std::vector<std::string>> launched;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { shell::SetLauncher(&launcher); }
    void TearDown() override { shell::SetLauncher(nullptr); }
    RecordingLauncher launcher;
};

TEST_F(ShellTest, OnlyWebAddressesGoToTheDesktopsHandler) {
    EXPECT_TRUE(shell::OpenUrl("https://example.org/a b"));
    EXPECT_FALSE(shell::OpenUrl("file:///etc/passwd"));
    EXPECT_FALSE(shell::OpenUrl("--help"));
    EXPECT_FALSE(shell::OpenUrl(""));
    ASSERT_EQ(launcher.launched.size(), 1U);
    EXPECT_EQ(launcher.launched[0], (std::vector<std::string>{"xdg-open", "https://example.org/a b"}));
}

TEST_F(ShellTest, InputSettingsOpenTheFirstInstalledDesktopsPage) {
    struct Case {
        std::set<std::string> installed;
        shell::InputSettings which;
        std::vector<std::string> argv;  // empty: nothing started
    };
    using enum shell::InputSettings;
    const Case cases[] = {
        {{"gnome-control-center", "systemsettings"}, kMouse, {"gnome-control-center", "mouse"}},
        {{"systemsettings"}, kKeyboard, {"systemsettings", "kcm_keyboard"}},
        {{"xfce4-mouse-settings"}, kKeyboard, {"xfce4-keyboard-settings"}},
        {{"xfce4-mouse-settings"}, kMouse, {"xfce4-mouse-settings"}},
        {{"lxqt-config-input"}, kMouse, {"lxqt-config-input"}},
        {{}, kMouse, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argv.empty() ? "none" : c.argv[0]);
        launcher.installed = c.installed;
        launcher.launched.clear();
        EXPECT_EQ(shell::OpenInputSettings(c.which), !c.argv.empty());
        if (c.argv.empty()) {
            EXPECT_TRUE(launcher.launched.empty());
        } else {
            ASSERT_EQ(launcher.launched.size(), 1U);
            EXPECT_EQ(launcher.launched[0], c.argv);
        }
    }
}

// The process launcher starts the program detached with its arguments as they are.
TEST(ShellProcessTest, TheProgramRunsDetachedWithItsArgumentsUntouched) {
    TempDir dir;
    const std::filesystem::path out = dir / "out";
    const std::string weird = "a \"b\" $(false) `c`; d";
    const std::vector<std::string> argv = {"sh", "-c",  "printf '%s' \"$1\" > \"$2\"",
                                           "sh", weird, out.string()};
    ASSERT_TRUE(shell::Launcher().Launch(argv));
    std::string got;
    for (int i = 0; i < 500 && got.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(out);
        std::getline(in, got);
    }
    EXPECT_EQ(got, weird);
    EXPECT_TRUE(shell::Launcher().Exists("sh"));
    EXPECT_FALSE(shell::Launcher().Exists("no-such-program-here"));
}

}  // namespace
}  // namespace norvane::test
