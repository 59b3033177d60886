#include "shell/device_list/device_slot.h"

#include <algorithm>

namespace norvane::shell {

SlotList::SlotList(std::span<const device::DeviceCatalogEntry> rows) : rows_(rows.size()) {
    slots_.reserve(rows.size());
    for (const auto& row : rows) {
        slots_.push_back(DeviceSlot{row, false, {}});
    }
}

std::size_t SlotList::Size() const {
    return rows_;
}

std::optional<DeviceSlot> SlotList::At(int index) const {
    if (!IsValid(index)) {
        return std::nullopt;
    }
    const std::lock_guard lock(mutex_);
    return slots_[static_cast<std::size_t>(index)];
}

bool SlotList::AnyFree() const {
    const std::lock_guard lock(mutex_);
    return std::ranges::any_of(slots_, [](const DeviceSlot& s) { return s.IsFree(); });
}

bool SlotList::IsCandidate(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t interfaceNumber,
                           std::uint16_t collectionNumber) const {
    const std::lock_guard lock(mutex_);
    return std::ranges::any_of(slots_, [&](const DeviceSlot& s) {
        return s.IsFree() && s.entry.vendorId == vendorId && s.entry.productId == productId &&
               s.entry.interfaceNumber == interfaceNumber && s.entry.collectionNumber == collectionNumber;
    });
}

int SlotList::Claim(const device::InterfaceIdentity& id, std::string_view path) {
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        DeviceSlot& s = slots_[i];
        const auto& e = s.entry;
        if (s.IsFree() && e.vendorId == id.vendorId && e.productId == id.productId &&
            e.interfaceNumber == id.interfaceNumber && e.collectionNumber == id.collectionNumber &&
            e.usagePage == id.usagePage && e.usage == id.usage) {
            s.present = true;
            s.path = std::string(path);
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<std::pair<int, std::string>> SlotList::PresentSlots() const {
    const std::lock_guard lock(mutex_);
    std::vector<std::pair<int, std::string>> out;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].present) {
            out.emplace_back(static_cast<int>(i), slots_[i].path);
        }
    }
    return out;
}

bool SlotList::Release(int index, std::string_view path) {
    if (!IsValid(index)) {
        return false;
    }
    const std::lock_guard lock(mutex_);
    DeviceSlot& s = slots_[static_cast<std::size_t>(index)];
    if (!s.present || s.path != path) {
        return false;
    }
    s.present = false;
    s.path.clear();
    return true;
}

void SlotList::Set(int index, bool present, std::string path) {
    if (!IsValid(index)) {
        return;
    }
    const std::lock_guard lock(mutex_);
    DeviceSlot& s = slots_[static_cast<std::size_t>(index)];
    s.present = present;
    s.path = std::move(path);
}

std::optional<int> SlotList::MutualPartner(int index) const {
    if (!IsValid(index)) {
        return std::nullopt;
    }
    const std::lock_guard lock(mutex_);
    const auto& e = slots_[static_cast<std::size_t>(index)].entry;
    if (!e.hasPartner || e.partnerRow >= slots_.size()) {
        return std::nullopt;
    }
    const auto& p = slots_[e.partnerRow].entry;
    if (!p.hasPartner || p.partnerRow != static_cast<std::uint16_t>(index)) {
        return std::nullopt;
    }
    return static_cast<int>(e.partnerRow);
}

std::optional<int> SlotList::UsablePartner(int index) const {
    const auto partner = MutualPartner(index);
    if (!partner) {
        return std::nullopt;
    }
    const std::lock_guard lock(mutex_);
    const DeviceSlot& p = slots_[static_cast<std::size_t>(*partner)];
    if (!p.present || p.path.empty()) {
        return std::nullopt;
    }
    return partner;
}

bool SameKey(const device::DeviceCatalogEntry& a, const device::DeviceCatalogEntry& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId && a.interfaceNumber == b.interfaceNumber &&
           a.collectionNumber == b.collectionNumber && a.kind == b.kind && a.role == b.role;
}

}  // namespace norvane::shell
