#include "devices/light/keyboard_geometry.h"

#include <gtest/gtest.h>

#include <set>

namespace norvane::devices::light {
namespace {

std::set<int> MatrixKeys() {
    std::set<int> keys;
    for (const auto& column : kKeyMatrix) {
        for (std::uint8_t key : column) {
            if (key != kNoKey) {
                EXPECT_TRUE(keys.insert(key).second) << "key " << int{key} << " twice in the matrix";
            }
        }
    }
    return keys;
}

TEST(KeyboardGeometry, KeyOrderHolds107DistinctKeysOfThePicture) {
    const std::set<int> matrix = MatrixKeys();
    std::set<int> order;
    for (std::size_t n = 0; n < kKeyOrderSize; ++n) {
        const int key = kKeyOrder[n];
        if (n < kKeyOrderKeys) {
            ASSERT_NE(key, kNoKey) << n;
            EXPECT_TRUE(order.insert(key).second) << key;
            EXPECT_TRUE(matrix.contains(key)) << key;
        } else {
            EXPECT_EQ(key, kNoKey) << n;
        }
    }
    EXPECT_EQ(kKeyOrder[15], 0);
    EXPECT_EQ(kKeyOrder[16], 21);
    EXPECT_EQ(kKeyOrder[106], 77);
}

TEST(KeyboardGeometry, RingsGrowOutwardFromKey51) {
    std::set<int> seen;
    const Cell centre = kKeyCell[51];
    ASSERT_EQ(centre.column, 10);
    ASSERT_EQ(centre.row, 2);
    for (std::size_t r = 0; r < kRingCount; ++r) {
        for (std::uint8_t key : kKeyRings[r]) {
            if (key == kNoKey) {
                continue;
            }
            EXPECT_TRUE(seen.insert(key).second) << int{key};
            EXPECT_TRUE(kInKeyOrder[key]) << int{key};
            // Every ring key lies within r + 1 columns of the centre (rings are not exact
            // circles, so allow one column of slack).
            const int dc = std::abs(kKeyCell[key].column - centre.column);
            EXPECT_LE(dc, static_cast<int>(r) + 1) << int{key} << " ring " << r;
        }
    }
}

TEST(KeyboardGeometry, DerivedSequencesUseKeysOfThePicture) {
    const std::set<int> matrix = MatrixKeys();
    auto check = [&](std::uint8_t key, const char* table) {
        if (key != kNoKey) {
            EXPECT_TRUE(matrix.contains(key)) << table << " key " << int{key};
        }
    };
    for (const auto& step : kShowSweep) {
        for (std::uint8_t key : step) {
            check(key, "sweep");
        }
    }
    for (const auto& step : kRunSequence) {
        std::set<int> once;
        for (std::uint8_t key : step) {
            check(key, "run");
            if (key != kNoKey) {
                EXPECT_TRUE(once.insert(key).second);
            }
        }
    }
    // The fill lights each walking-order key once, then pauses.
    std::set<int> filled;
    for (std::uint8_t key : kFillSequence) {
        if (key != kNoKey) {
            EXPECT_TRUE(kInKeyOrder[key]) << int{key};
            EXPECT_TRUE(filled.insert(key).second) << int{key};
        }
    }
    EXPECT_EQ(filled.size(), kKeyOrderKeys);
    // Random picks cover every walking-order key.
    std::set<int> picked(kRandomPick.begin(), kRandomPick.end());
    EXPECT_FALSE(picked.contains(kNoKey));
    EXPECT_EQ(picked.size(), kKeyOrderKeys);
}

TEST(KeyboardGeometry, ShowClosesInOnKey50) {
    EXPECT_EQ(kShowClose.back()[1], 50);
    const Cell centre = kKeyCell[50];
    int previous = 1000;
    for (const auto& step : kShowClose) {
        for (std::uint8_t key : step) {
            ASSERT_NE(key, kNoKey);
            const int d =
                std::abs(kKeyCell[key].column - centre.column) + std::abs(kKeyCell[key].row - centre.row);
            EXPECT_LE(d, previous) << int{key};
            previous = d;
        }
    }
}

TEST(KeyboardGeometry, SecondMatrixAndPulseStartsFollowTheMatrix) {
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        EXPECT_EQ(kSecondMatrix[c][0], kNoCell);
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            const std::uint8_t key = kKeyMatrix[c][r];
            EXPECT_EQ(kSecondMatrix[c][r + 1], key == kNoKey ? kNoCell : key);
        }
    }
    const std::uint8_t telling[] = {72, 52,  32,  12,  182, 162, 72, 52, 32,
                                    12, 182, 162, 120, 100, 80,  60, 40, 20};
    for (std::size_t i = 0; i < std::size(telling); ++i) {
        EXPECT_EQ(kPulseStart[i], telling[i]) << i;
    }
    for (std::uint8_t start : kPulseStart) {
        EXPECT_LT(start, 192);
    }
}

}  // namespace
}  // namespace norvane::devices::light
