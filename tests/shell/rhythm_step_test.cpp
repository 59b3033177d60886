#include "shell/main_wnd/rhythm_step.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <vector>

namespace norvane::shell {
namespace {

// A kind 1 block of 500 little-endian 32-bit values, zero except the given positions.
std::vector<std::uint8_t> Block(const std::map<std::size_t, std::int32_t>& values,
                                std::size_t bytes = RhythmStep::kBlockValues * 4) {
    std::vector<std::uint8_t> out(bytes, 0);
    for (const auto& [at, value] : values) {
        const auto word = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < 4 && at * 4 + i < bytes; ++i) {
            out[at * 4 + i] = static_cast<std::uint8_t>(word >> (8 * i));
        }
    }
    return out;
}

// Hand-computed: group 0 (positions 0-3) and group 1 (positions 5-8) over three calls;
// position 4 (every fifth) and 130 (past the 25 groups) take no part.
TEST(RhythmStepTest, MeansAndSpreadsFollowTheBlocksAndEveryThirdCallFeedsTheMeans) {
    struct Call {
        std::map<std::size_t, std::int32_t> block;
        std::uint32_t mean0, spread0, mean1, spread1;
        bool fed;
    };
    const std::vector<Call> calls = {
        // differences 8,4,4,0 -> mean (0+16)/4 = 4; deviations 4,0,0,-4 -> 32/3 = 10 -> 3.
        // group 1: difference 10 at 5 -> mean 10/4 = 2; deviations 8,-2,-2,-2 -> 76/3 = 25 -> 5.
        {{{0, 8}, {1, 4}, {2, -4}, {4, 100}, {5, -10}, {130, 1000}}, 4, 3, 2, 5, false},
        // differences 8,0,0,0 -> (4+8)/4 = 3; 25+9+9+9 = 52, (3+52)/3 = 18 -> 4.
        // group 1 unchanged -> (2+0)/4 = 0; (5+0)/3 = 1 -> 1.
        {{{0, 0}, {1, 4}, {2, -4}, {4, 7}, {5, -10}}, 3, 4, 0, 1, false},
        // differences 0,4,4,0 -> (3+8)/4 = 2; 4+4+4+4 = 16, (4+16)/3 = 6 -> 2.
        // group 1: 10 -> (0+10)/4 = 2; 76, (1+76)/3 = 25 -> 5.
        {{}, 2, 2, 2, 5, true},
    };
    RhythmStep step;
    for (std::size_t n = 0; n < calls.size(); ++n) {
        SCOPED_TRACE("call " + std::to_string(n + 1));
        const Call& call = calls[n];
        const auto fed = step.Take(Block(call.block));
        EXPECT_EQ(step.Means()[0], call.mean0);
        EXPECT_EQ(step.Spreads()[0], call.spread0);
        EXPECT_EQ(step.Means()[1], call.mean1);
        EXPECT_EQ(step.Spreads()[1], call.spread1);
        for (std::size_t j = 2; j < RhythmStep::kGroups; ++j) {
            EXPECT_EQ(step.Means()[j], 0U) << j;
        }
        ASSERT_EQ(fed.has_value(), call.fed);
        if (fed) {
            EXPECT_EQ((*fed)[0], 2);
            EXPECT_EQ((*fed)[1], 2);
            for (std::size_t i = 2; i < fed->size(); ++i) {
                EXPECT_EQ((*fed)[i], 0) << i;
            }
        }
    }
    EXPECT_EQ(step.Calls(), 0U);
    // The counter starts again: the sixth call feeds next.
    EXPECT_FALSE(step.Take(Block({})));
    EXPECT_FALSE(step.Take(Block({})));
    EXPECT_TRUE(step.Take(Block({})));
}

TEST(RhythmStepTest, DifferencesAreUnsignedAndSumsWrapAtThirtyTwoBits) {
    RhythmStep step;
    // Group 2: |INT_MAX - 0| + |INT_MIN - 0| = 0x7FFFFFFF + 0x80000000 = 0xFFFFFFFF.
    step.Take(Block({{10, INT32_MAX}, {11, INT32_MIN}}));
    EXPECT_EQ(step.Means()[2], 0xFFFFFFFFU / 4);
    // Back to zero: the same differences again, and the mean sum wraps: (0x3FFFFFFF + 0xFFFFFFFF) mod 2^32
    // / 4.
    step.Take(Block({}));
    EXPECT_EQ(step.Means()[2], (0x3FFFFFFFU + 0xFFFFFFFFU) / 4);
    // Fed as the same 32 bits, signed.
    const auto fed = step.Take(Block({}));
    ASSERT_TRUE(fed);
    EXPECT_EQ(static_cast<std::uint32_t>((*fed)[2]), step.Means()[2]);
}

TEST(RhythmStepTest, AShortBlockCountsItsMissingValuesAsZeroAndALongOneIsCut) {
    RhythmStep step;
    // Six bytes: value 0 whole, value 1 only its low half (0x0028 of 0x10028), the rest zero.
    step.Take(Block({{0, 40}, {1, 0x10028}, {2, 40}}, 6));
    EXPECT_EQ(step.Means()[0], (40U + 40U) / 4);
    // 5000 bytes of 0xFF: only the first 500 values (-1 each) count.
    step.Take(std::vector<std::uint8_t>(5000, 0xFF));
    // differences |-1 - 40|, |-1 - 40|, 1, 1 -> (20 + 84) / 4.
    EXPECT_EQ(step.Means()[0], (20U + 41 + 41 + 1 + 1) / 4);
    EXPECT_EQ(step.Means()[24], (0U + 4) / 4);
}

}  // namespace
}  // namespace norvane::shell
