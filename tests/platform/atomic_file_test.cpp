#include "platform/atomic_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <random>
#include <thread>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::size_t EntriesIn(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

TEST(WriteFileAtomicallyTest, CreatesAndReplacesLeavingNoTemporaryFiles) {
    TempDir temp;
    const fs::path file = temp / "profile1.json";
    ASSERT_TRUE(WriteFileAtomically(file, "first"));
    ASSERT_TRUE(WriteFileAtomically(file, "second, longer"));
    EXPECT_EQ(test::ReadText(file), "second, longer");
    ASSERT_TRUE(WriteFileAtomically(file, ""));
    EXPECT_EQ(test::ReadText(file), "");
    EXPECT_EQ(EntriesIn(temp.Path()), 1u);
}

TEST(WriteFileAtomicallyTest, KeepsPermissionsOfReplacedFile) {
    TempDir temp;
    const fs::path file = temp / "settings.ini";
    ASSERT_TRUE(WriteFileAtomically(file, "a"));
    EXPECT_EQ(
        fs::status(file).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileAtomically(file, "b"));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(WriteFileAtomicallyTest, FailureLeavesOldStateAndNoLitter) {
    TempDir temp;
    // Target is a folder: rename fails, the folder stays, no temporary file is left.
    fs::create_directory(temp / "target");
    EXPECT_FALSE(WriteFileAtomically(temp / "target", "data"));
    EXPECT_TRUE(fs::is_directory(temp / "target"));
    EXPECT_EQ(EntriesIn(temp.Path()), 1u);
    // Missing folder: nothing can be created.
    EXPECT_FALSE(WriteFileAtomically(temp / "missing/file.json", "data"));
    EXPECT_FALSE(fs::exists(temp / "missing"));
}

TEST(WriteFileAtomicallyTest, ReadOnlyFolderKeepsOldContent) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores folder permissions";
    }
    TempDir temp;
    const fs::path file = temp / "profile1.json";
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    fs::permissions(temp.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomically(file, "new"));
    fs::permissions(temp.Path(), fs::perms::owner_all);
    EXPECT_EQ(test::ReadText(file), "old");
}

// A writer killed at a random moment leaves the old or the new content, whole.
TEST(WriteFileAtomicallyTest, KilledWriterLeavesOldOrNewNeverAMix) {
    TempDir temp;
    const fs::path file = temp / "profile1.json";
    const std::string oldContent(512 * 1024, 'o');
    const std::string newContent(768 * 1024, 'n');
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    for (int round = 0; round < 25; ++round) {
        ASSERT_TRUE(WriteFileAtomically(file, oldContent));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                WriteFileAtomically(file, newContent);
                WriteFileAtomically(file, oldContent);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string left = test::ReadText(file);
        ASSERT_TRUE(left == oldContent || left == newContent) << "round " << round << ": " << left.size();
    }
}

TEST(ReadFileLimitedTest, Cases) {
    TempDir temp;
    test::WriteText(temp / "small", "abc");
    test::WriteText(temp / "empty", "");
    test::WriteText(temp / "big", std::string(101, 'x'));
    fs::create_directory(temp / "folder");
    EXPECT_EQ(ReadFileLimited(temp / "small", 100), "abc");
    EXPECT_EQ(ReadFileLimited(temp / "empty", 100), "");
    EXPECT_EQ(ReadFileLimited(temp / "small", 3), "abc");
    EXPECT_FALSE(ReadFileLimited(temp / "small", 2));
    EXPECT_FALSE(ReadFileLimited(temp / "big", 100));
    EXPECT_FALSE(ReadFileLimited(temp / "missing", 100));
    EXPECT_FALSE(ReadFileLimited(temp / "folder", 100));
    EXPECT_FALSE(ReadFileLimited("/dev/zero", 100));
}

TEST(ReadFileLimitedTest, FifoIsRefusedWithoutWaitingForAWriter) {
    TempDir temp;
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileLimited(temp / "fifo", 100));
}

}  // namespace
}  // namespace norvane::platform
