#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace norvane::shell {

// The beat of the companion's kind 1 blocks: each block's change against the one before, in 25
// groups, averaged over the calls; every third block gives the group means to the keyboard's
// music lighting. All arithmetic is on 32-bit integers, as the blocks carry them.
class RhythmStep {
public:
    static constexpr std::size_t kBlockValues = 500;
    static constexpr std::size_t kBufferBytes = 4200;
    static constexpr std::size_t kGroups = 25;
    using Spectrum = std::array<std::int32_t, kBlockValues>;

    // Takes a block (its first 4200 bytes; a shorter block's missing values count as 0). When
    // due, the 25 means followed by 475 zeros, for FeedAudioSpectrum.
    std::optional<Spectrum> Take(std::span<const std::uint8_t> block);

    const std::array<std::uint32_t, kGroups>& Means() const { return means_; }
    const std::array<std::uint32_t, kGroups>& Spreads() const { return spreads_; }
    std::uint32_t Calls() const { return calls_; }

private:
    std::uint32_t calls_ = 0;
    std::array<std::int32_t, kBlockValues> previous_{};
    std::array<std::uint32_t, kGroups> means_{};
    std::array<std::uint32_t, kGroups> spreads_{};
};

}  // namespace norvane::shell
