#include "shell/main_wnd/rhythm_step.h"

#include <algorithm>

namespace norvane::shell {

namespace {

constexpr std::size_t kGroupStride = 5;
constexpr std::size_t kGroupSize = 4;
constexpr std::uint32_t kDueAbove = 2;

std::uint32_t IntegerSqrt(std::uint32_t value) {
    std::uint64_t root = 0;
    std::uint64_t bit = std::uint64_t{1} << 32U;
    while (bit > value) {
        bit >>= 2U;
    }
    std::uint64_t rest = value;
    while (bit != 0) {
        if (rest >= root + bit) {
            rest -= root + bit;
            root = (root >> 1U) + bit;
        } else {
            root >>= 1U;
        }
        bit >>= 2U;
    }
    return static_cast<std::uint32_t>(root);
}

}  // namespace

std::optional<RhythmStep::Spectrum> RhythmStep::Take(std::span<const std::uint8_t> block) {
    ++calls_;
    std::array<std::uint32_t, kBlockValues> words{};
    const std::size_t bytes = std::min({block.size(), kBufferBytes, kBlockValues * 4});
    for (std::size_t i = 0; i < bytes; ++i) {
        words[i / 4] |= static_cast<std::uint32_t>(block[i]) << (8 * (i % 4));
    }
    std::array<std::int32_t, kBlockValues> raw{};
    std::transform(words.begin(), words.end(), raw.begin(),
                   [](std::uint32_t word) { return static_cast<std::int32_t>(word); });
    std::array<std::uint32_t, kBlockValues> difference{};
    for (std::size_t i = 0; i < kBlockValues; ++i) {
        const std::int32_t a = raw[i];
        const std::int32_t b = previous_[i];
        difference[i] = a > b ? static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b)
                              : static_cast<std::uint32_t>(b) - static_cast<std::uint32_t>(a);
    }
    previous_ = raw;
    for (std::size_t j = 0; j < kGroups; ++j) {
        const std::size_t first = kGroupStride * j;
        std::uint32_t sum = 0;
        for (std::size_t k = 0; k < kGroupSize; ++k) {
            sum += difference[first + k];
        }
        means_[j] = (means_[j] + sum) / 4;
        std::uint32_t squares = 0;
        for (std::size_t k = 0; k < kGroupSize; ++k) {
            const std::uint32_t deviation = difference[first + k] - means_[j];
            squares += deviation * deviation;
        }
        spreads_[j] = IntegerSqrt((spreads_[j] + squares) / 3);
    }
    if (calls_ <= kDueAbove) {
        return std::nullopt;
    }
    calls_ = 0;
    Spectrum out{};
    std::transform(means_.begin(), means_.end(), out.begin(),
                   [](std::uint32_t mean) { return static_cast<std::int32_t>(mean); });
    return out;
}

}  // namespace norvane::shell
