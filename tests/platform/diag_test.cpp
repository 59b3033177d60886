#include "platform/diag.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace norvane::platform::diag {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

// Re-reads the environment on entry and when leaving, so tests do not leak settings.
class TraceSetting {
public:
    explicit TraceSetting(std::optional<std::string> value) {
        env_.emplace("NORVANE_TRACE", std::move(value));
        ConfigureFromEnvironment();
    }
    ~TraceSetting() {
        env_.reset();
        ConfigureFromEnvironment();
    }
    TraceSetting(const TraceSetting&) = delete;
    TraceSetting& operator=(const TraceSetting&) = delete;

private:
    std::optional<ScopedEnv> env_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST(DiagTest, SilentUnlessSet) {
    for (const std::optional<std::string>& value : {std::optional<std::string>{}, std::optional<std::string>{""},
                                                   std::optional<std::string>{"0"}}) {
        const TraceSetting setting(value);
        EXPECT_FALSE(Enabled());
        testing::internal::CaptureStderr();
        Trace("nobody hears this");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

TEST(DiagTest, OneWritesToStderr) {
    const TraceSetting setting("1");
    EXPECT_TRUE(Enabled());
    testing::internal::CaptureStderr();
    Trace("抓取设备线程设定退出");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "抓取设备线程设定退出\n");
}

TEST(DiagTest, PathAppendsOneLinePerEvent) {
    TempDir temp;
    const fs::path log = temp / "trace.log";
    test::WriteText(log, "earlier\n");
    const TraceSetting setting(log.string());
    Trace("命令");
    Trace("two\nlines\r\nfolded");
    EXPECT_EQ(test::ReadText(log), "earlier\n命令\ntwo lines  folded\n");
}

TEST(DiagTest, UnwritablePathStaysSilent) {
    const TraceSetting setting("/nonexistent-folder/trace.log");
    EXPECT_FALSE(Enabled());
    Trace("dropped");
}

TEST(DiagTest, CaptureCollectsWhileOutputIsOff) {
    const TraceSetting setting(std::nullopt);
    Trace("before");
    {
        const ScopedCapture capture;
        EXPECT_TRUE(Enabled());
        Trace("返回");
        Trace("second");
        EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"返回", "second"}));
    }
    EXPECT_FALSE(Enabled());
}

TEST(DiagTest, ConcurrentLinesNeverInterleave) {
    TempDir temp;
    const fs::path log = temp / "trace.log";
    const TraceSetting setting(log.string());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            const std::string line(200, static_cast<char>('a' + t));
            for (int i = 0; i < 200; ++i) {
                Trace(line);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::vector<std::string> lines = Lines(test::ReadText(log));
    ASSERT_EQ(lines.size(), 800u);
    for (const std::string& line : lines) {
        ASSERT_EQ(line.size(), 200u);
        EXPECT_EQ(std::count(line.begin(), line.end(), line.front()), 200);
    }
}

}  // namespace
}  // namespace norvane::platform::diag
