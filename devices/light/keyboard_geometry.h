#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The key picture of the keyboard: which key sits in which cell, and the key sequences
// of the effects. Everything past KeyMatrix, KeyRings and KeyOrder is derived from them
// here, so the tables agree with the picture by construction.
namespace norvane::devices::light {

inline constexpr std::size_t kMatrixColumns = 23;
inline constexpr std::size_t kMatrixRows = 6;
inline constexpr std::uint8_t kNoKey = 170;
inline constexpr std::uint8_t kNoCell = 255;

// Key index at each cell, column-major, each column top row first.
inline constexpr std::array<std::array<std::uint8_t, kMatrixRows>, kMatrixColumns> kKeyMatrix = {{
    {170, 120, 121, 122, 123, 124}, {170, 21, 42, 63, 84, 105},   {0, 22, 43, 64, 102, 106},
    {1, 23, 44, 65, 85, 20},        {2, 24, 45, 66, 86, 107},     {3, 25, 46, 67, 87, 126},
    {4, 26, 47, 68, 88, 127},       {18, 27, 48, 69, 89, 108},    {5, 28, 49, 70, 90, 128},
    {6, 29, 50, 71, 91, 129},       {7, 30, 51, 72, 92, 109},     {8, 31, 52, 73, 93, 125},
    {9, 32, 53, 74, 94, 110},       {10, 33, 54, 62, 100, 111},   {11, 34, 55, 75, 19, 130},
    {12, 101, 103, 79, 95, 112},    {13, 35, 56, 82, 80, 113},    {14, 36, 57, 83, 96, 114},
    {15, 37, 58, 17, 81, 115},      {170, 38, 59, 76, 97, 116},   {170, 39, 60, 77, 98, 104},
    {170, 40, 61, 78, 99, 117},     {170, 41, 16, 119, 118, 131},
}};

inline constexpr std::size_t kRingCount = 12;
inline constexpr std::size_t kRingSlots = 12;

// Keys at growing distance from key 51, the centre of the picture.
inline constexpr std::array<std::array<std::uint8_t, kRingSlots>, kRingCount> kKeyRings = {{
    {51, 170, 170, 170, 170, 170, 170, 170, 170, 170, 170, 170},
    {30, 50, 71, 72, 52, 31, 170, 170, 170, 170, 170, 170},
    {8, 29, 49, 70, 91, 92, 93, 73, 53, 32, 170, 170},
    {7, 28, 48, 69, 90, 109, 94, 74, 54, 33, 9, 62},
    {6, 27, 47, 68, 89, 110, 95, 75, 55, 34, 10, 11},
    {5, 26, 46, 67, 88, 108, 111, 112, 56, 35, 12, 125},
    {4, 25, 45, 66, 87, 113, 96, 57, 36, 13, 170, 170},
    {3, 24, 44, 65, 86, 114, 115, 58, 37, 15, 14, 170},
    {2, 23, 43, 64, 85, 107, 97, 76, 59, 38, 170, 170},
    {1, 22, 42, 63, 84, 106, 116, 98, 77, 60, 39, 102},
    {0, 21, 105, 117, 99, 78, 61, 40, 170, 170, 170, 170},
    {118, 119, 41, 170, 170, 170, 170, 170, 170, 170, 170, 170},
}};

inline constexpr std::size_t kKeyOrderSize = 126;
inline constexpr std::size_t kKeyOrderKeys = 107;

namespace geometry_detail {

template <std::size_t N>
constexpr std::size_t AppendRange(std::array<std::uint8_t, N>& out, std::size_t at, int from, int to) {
    const int step = from <= to ? 1 : -1;
    for (int key = from;; key += step) {
        out[at++] = static_cast<std::uint8_t>(key);
        if (key == to) {
            break;
        }
    }
    return at;
}

}  // namespace geometry_detail

// The keys in walking order, then kNoKey; also the keys the matrix-free modes light.
inline constexpr std::array<std::uint8_t, kKeyOrderSize> kKeyOrder = [] {
    using geometry_detail::AppendRange;
    std::array<std::uint8_t, kKeyOrderSize> order{};
    order.fill(kNoKey);
    std::size_t at = AppendRange(order, 0, 15, 0);
    for (int key : {21, 42, 63, 84, 105, 106, 107, 108, 109, 125}) {
        order[at++] = static_cast<std::uint8_t>(key);
    }
    at = AppendRange(order, at, 110, 119);
    at = AppendRange(order, at, 41, 22);
    for (int key : {43, 64, 102}) {
        order[at++] = static_cast<std::uint8_t>(key);
    }
    at = AppendRange(order, at, 85, 99);
    order[at++] = 78;
    at = AppendRange(order, at, 61, 44);
    at = AppendRange(order, at, 65, 74);
    for (int key : {62, 75, 76, 77}) {
        order[at++] = static_cast<std::uint8_t>(key);
    }
    return order;
}();

inline constexpr std::array<bool, kNoKey> kInKeyOrder = [] {
    std::array<bool, kNoKey> in{};
    for (std::uint8_t key : kKeyOrder) {
        if (key < kNoKey) {
            in[key] = true;
        }
    }
    return in;
}();

struct Cell {
    std::uint8_t column = kNoCell;
    std::uint8_t row = kNoCell;
};

// The cell of each key in kKeyMatrix; kNoCell for keys not in the picture.
inline constexpr std::array<Cell, kNoKey> kKeyCell = [] {
    std::array<Cell, kNoKey> cells{};
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            if (kKeyMatrix[c][r] < kNoKey) {
                cells[kKeyMatrix[c][r]] = {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(r)};
            }
        }
    }
    return cells;
}();

// Seven rows: an empty row above the keys (the top edge of the waves), then the rows of
// kKeyMatrix. Row k of this matrix is bit 1 << k of a direction mask column.
inline constexpr std::size_t kMaskRows = 7;
inline constexpr std::array<std::array<std::uint8_t, kMaskRows>, kMatrixColumns> kSecondMatrix = [] {
    std::array<std::array<std::uint8_t, kMaskRows>, kMatrixColumns> matrix{};
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        matrix[c][0] = kNoCell;
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            matrix[c][r + 1] = kKeyMatrix[c][r] < kNoKey ? kKeyMatrix[c][r] : kNoCell;
        }
    }
    return matrix;
}();

// Mode 15: starting pulse position of each key row, six per column, 20 apart down a
// column and a diagonal across the columns.
inline constexpr std::array<std::uint8_t, kMatrixRows* kMatrixColumns> kPulseStart = [] {
    std::array<std::uint8_t, kMatrixRows * kMatrixColumns> table{};
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const int start = c < 2 ? 72 : static_cast<int>(120 + 20 * (c - 2)) % 190;
        for (std::size_t r = 0; r < kMatrixRows; ++r) {
            int value = start - 20 * static_cast<int>(r);
            if (value < 0) {
                value += 190;
            }
            table[r + kMatrixRows * c] = static_cast<std::uint8_t>(value);
        }
    }
    return table;
}();

// Mode 14, stage 0: one column of the picture per step, left to right.
inline constexpr std::size_t kShowSweepSteps = 20;
inline constexpr std::array<std::array<std::uint8_t, kMatrixRows>, kShowSweepSteps> kShowSweep = [] {
    std::array<std::array<std::uint8_t, kMatrixRows>, kShowSweepSteps> script{};
    for (std::size_t s = 0; s < kShowSweepSteps; ++s) {
        script[s] = kKeyMatrix[s + 1];
    }
    return script;
}();

// Mode 14, stage 1: the 32 keys nearest key 50, two per step, closing in on it.
inline constexpr std::uint8_t kShowCentreKey = 50;
inline constexpr std::size_t kShowCloseSteps = 16;
inline constexpr std::array<std::array<std::uint8_t, 2>, kShowCloseSteps> kShowClose = [] {
    constexpr Cell centre = kKeyCell[kShowCentreKey];
    auto distance = [&](std::size_t c, std::size_t r) {
        const int dc = static_cast<int>(c) - centre.column;
        const int dr = static_cast<int>(r) - centre.row;
        return (dc < 0 ? -dc : dc) + (dr < 0 ? -dr : dr);
    };
    // Keys by distance, nearest first (stable over columns, then rows).
    std::array<std::uint8_t, 32> nearest{};
    std::size_t taken = 0;
    for (int d = 0; taken < nearest.size(); ++d) {
        for (std::size_t c = 0; c < kMatrixColumns && taken < nearest.size(); ++c) {
            for (std::size_t r = 0; r < kMatrixRows && taken < nearest.size(); ++r) {
                if (kKeyMatrix[c][r] < kNoKey && distance(c, r) == d) {
                    nearest[taken++] = kKeyMatrix[c][r];
                }
            }
        }
    }
    std::array<std::array<std::uint8_t, 2>, kShowCloseSteps> script{};
    for (std::size_t s = 0; s < kShowCloseSteps; ++s) {
        script[s] = {nearest[31 - 2 * s], nearest[30 - 2 * s]};
    }
    return script;
}();

// Mode 24: a band two diagonals wide that sweeps right over 26 steps and back over 26.
inline constexpr std::size_t kRunSteps = 52;
inline constexpr std::size_t kRunKeys = 12;
inline constexpr std::array<std::array<std::uint8_t, kRunKeys>, kRunSteps> kRunSequence = [] {
    std::array<std::array<std::uint8_t, kRunKeys>, kRunSteps> runs{};
    for (std::size_t s = 0; s < kRunSteps; ++s) {
        const std::size_t t = s < kRunSteps / 2 ? s : kRunSteps - 1 - s;
        runs[s].fill(kNoKey);
        std::size_t at = 0;
        for (std::size_t c = 0; c < kMatrixColumns; ++c) {
            for (std::size_t r = 0; r < kMatrixRows; ++r) {
                if ((c + r == t || c + r == t + 1) && kKeyMatrix[c][r] < kNoKey) {
                    runs[s][at++] = kKeyMatrix[c][r];
                }
            }
        }
    }
    return runs;
}();

// Mode 21: the keys of kKeyOrder column by column, down one column and up the next,
// then kNoKey (a pause before the fill starts again).
inline constexpr std::array<std::uint8_t, kNoKey> kFillSequence = [] {
    std::array<std::uint8_t, kNoKey> fill{};
    fill.fill(kNoKey);
    std::size_t at = 0;
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        for (std::size_t i = 0; i < kMatrixRows; ++i) {
            const std::size_t r = c % 2 == 0 ? i : kMatrixRows - 1 - i;
            const std::uint8_t key = kKeyMatrix[c][r];
            if (key < kNoKey && kInKeyOrder[key]) {
                fill[at++] = key;
            }
        }
    }
    return fill;
}();

// Mode 10: the keys of kKeyOrder in a scattered order (stride 37 over the 107 keys).
inline constexpr std::array<std::uint8_t, kKeyOrderSize> kRandomPick = [] {
    std::array<std::uint8_t, kKeyOrderSize> pick{};
    for (std::size_t n = 0; n < pick.size(); ++n) {
        pick[n] = kKeyOrder[(n * 37) % kKeyOrderKeys];
    }
    return pick;
}();

}  // namespace norvane::devices::light
