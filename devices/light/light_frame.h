#pragma once

#include "devices/light/tables.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace norvane::devices::light {

// One LED: colour and a separate 0-255 level.
struct LedColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t level = 0;

    friend constexpr bool operator==(const LedColor&, const LedColor&) = default;

    static constexpr LedColor Of(Rgb colour, std::uint8_t level) {
        return {colour.red, colour.green, colour.blue, level};
    }
    constexpr std::uint32_t Pack() const {
        return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue) << 16 | static_cast<std::uint32_t>(level) << 24;
    }
    static constexpr LedColor Unpack(std::uint32_t word) {
        return {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
    }
};

// The LED frame a light thread writes and the UI thread reads. Each entry is one atomic
// word, so no entry is ever seen half-written; a reader may see a mix of two steps.
// The LED count is set before a light thread runs.
class LightFrame {
public:
    explicit LightFrame(std::size_t ledCount = 0)
        : size_(ledCount), entries_(std::make_unique<std::atomic<std::uint32_t>[]>(ledCount)) {}

    std::size_t Size() const { return size_; }

    // A new size with every entry 0; only while no other thread uses the frame.
    void Resize(std::size_t ledCount) {
        size_ = ledCount;
        entries_ = std::make_unique<std::atomic<std::uint32_t>[]>(ledCount);
    }

    void Set(int index, LedColor colour) {
        if (index >= 0 && static_cast<std::size_t>(index) < size_) {
            entries_[static_cast<std::size_t>(index)].store(colour.Pack(), std::memory_order_relaxed);
        }
    }
    LedColor Get(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= size_) {
            return {};
        }
        return LedColor::Unpack(entries_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
    }
    void Fill(LedColor colour) {
        for (std::size_t i = 0; i < size_; ++i) {
            entries_[i].store(colour.Pack(), std::memory_order_relaxed);
        }
    }
    void Clear() { Fill({}); }

private:
    std::size_t size_;
    std::unique_ptr<std::atomic<std::uint32_t>[]> entries_;
};

}  // namespace norvane::devices::light
