#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace norvane::sim {

// A simulated device that streams light frames for hours must not keep every report it saw:
// its logs hold the newest records only.
inline constexpr std::size_t kMaxLoggedRecords = 4096;

// Appends a record, first dropping the older half when the log is full.
template <typename T>
void AppendBounded(std::vector<T>& log, T record) {
    if (log.size() >= kMaxLoggedRecords) {
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(kMaxLoggedRecords / 2));
    }
    log.push_back(std::move(record));
}

}  // namespace norvane::sim
