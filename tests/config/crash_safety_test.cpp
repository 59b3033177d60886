#include "config/json_file_store.h"
#include "config/mouse_profiledata.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <random>

namespace norvane::config {
namespace {

using test::ReadText;
using test::TempDir;

// A device document large enough that a save takes a while.
Json::Value BigDocument(int marker) {
    Json::Value doc;
    for (int i = 0; i < 4000; ++i) {
        doc["KeyList"][i]["Assignment"] = marker * 65536 + i;
        doc["KeyList"][i]["DefaultAssignment"] = i;
    }
    return doc;
}

TEST(CrashSafety, KilledWriterLeavesTheOldOrTheNewProfile) {
    TempDir dir;
    const std::filesystem::path path = dir / "profile1.Json";
    const Json::Value first = BigDocument(1);
    const Json::Value second = BigDocument(2);
    Json::Value rootFirst;
    rootFirst["Device"][0] = first;
    Json::Value rootSecond;
    rootSecond["Device"][0] = second;
    const std::string textFirst = JsonFileStore::StyledText(rootFirst);
    const std::string textSecond = JsonFileStore::StyledText(rootSecond);
    ASSERT_TRUE(JsonFileStore::WriteJsonFile(path, rootFirst));

    std::mt19937 random(12345);
    int kills = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CMouseProfiledata data;
            data.SetProfilePath(path);
            for (int i = 0;; ++i) {
                data.SaveDocumentTo(i % 2 == 0 ? second : first, path);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + random() % 30000));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        kills += WIFSIGNALED(status) ? 1 : 0;
        const std::string text = ReadText(path);
        ASSERT_TRUE(text == textFirst || text == textSecond)
            << "round " << round << ": " << text.size() << " bytes";
    }
    EXPECT_EQ(kills, 25);
}

}  // namespace
}  // namespace norvane::config
