#pragma once

#include "device/catalogue.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace norvane::shell {

// The runtime copy of one catalogue row: whether a matching interface is present and its path.
struct DeviceSlot {
    device::DeviceCatalogEntry entry{};
    bool present = false;
    std::string path;

    bool IsFree() const { return !present && path.empty(); }
};

// One slot per catalogue row, in table order. The scan thread writes present flags and
// paths; the UI thread reads them while it handles the thread's messages. Every access
// holds the list's lock, so a reader sees a whole slot.
class SlotList {
public:
    SlotList() : SlotList(device::DeviceCatalog()) {}
    explicit SlotList(std::span<const device::DeviceCatalogEntry> rows);

    std::size_t Size() const;
    bool IsValid(int index) const { return index >= 0 && static_cast<std::size_t>(index) < rows_; }
    // A copy of the slot; nullopt outside the list.
    std::optional<DeviceSlot> At(int index) const;

    // True while some slot is neither present nor has a path.
    bool AnyFree() const;
    // Some row has these four path keys and some slot with them is free.
    bool IsCandidate(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t interfaceNumber,
                     std::uint16_t collectionNumber) const;
    // Marks the first free slot equal on all six values present with the path; its index or -1.
    int Claim(const device::InterfaceIdentity& identity, std::string_view path);
    // The present slots with their paths, in order.
    std::vector<std::pair<int, std::string>> PresentSlots() const;
    // Clears the present flag and path when the slot still holds this path.
    bool Release(int index, std::string_view path);
    // Sets a slot as another list saw it.
    void Set(int index, bool present, std::string path);

    // The partner row when the slot has one and it names the slot back.
    std::optional<int> MutualPartner(int index) const;
    // A mutual partner that is present with a non-empty path.
    std::optional<int> UsablePartner(int index) const;

private:
    mutable std::mutex mutex_;
    std::vector<DeviceSlot> slots_;  // guarded by mutex_
    std::size_t rows_ = 0;
};

// Two records name the same device page when their identity columns are equal.
bool SameKey(const device::DeviceCatalogEntry& a, const device::DeviceCatalogEntry& b);

}  // namespace norvane::shell
