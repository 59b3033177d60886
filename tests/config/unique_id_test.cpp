#include "config/unique_id.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

namespace norvane::config {
namespace {

using test::TempDir;
using test::WriteText;

TEST(UniqueTimestampId, PassesOverTakenIdsAndIdsThatNameAFile) {
    TempDir dir;
    std::set<std::string> refused;
    // The first id is taken by an entry, the second by a file made as it is offered.
    const std::optional<std::string> id =
        UniqueTimestampId(dir.Path(), ".Json", [&](std::string_view candidate) {
            if (refused.empty()) {
                refused.emplace(candidate);
                return true;
            }
            if (refused.size() == 1) {
                refused.emplace(candidate);
                WriteText(dir / (std::string(candidate) + ".Json"), "{}");
            }
            return false;
        });
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(refused.size(), 2U);
    EXPECT_EQ(refused.count(*id), 0U);
    EXPECT_FALSE(std::filesystem::exists(dir / (*id + ".Json")));
}

TEST(UniqueTimestampId, FailsRatherThanGiveAnIdInUse) {
    TempDir dir;
    int offered = 0;
    EXPECT_EQ(UniqueTimestampId(dir.Path(), ".mac",
                                [&](std::string_view) {
                                    ++offered;
                                    return true;
                                }),
              std::nullopt);
    EXPECT_EQ(offered, kUniqueIdTries);

    // A folder that cannot be searched gives no id at once.
    std::filesystem::create_directory_symlink("loop", dir / "loop");
    offered = 0;
    EXPECT_EQ(UniqueTimestampId(dir / "loop", ".mac",
                                [&](std::string_view) {
                                    ++offered;
                                    return false;
                                }),
              std::nullopt);
    EXPECT_EQ(offered, 1);
}

}  // namespace
}  // namespace norvane::config
