#include "device/catalogue.h"

#include <algorithm>
#include <utility>

namespace norvane::device {
namespace {

using K = DeviceKind;
using R = DeviceRole;

constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kAltVendor = 0x05AC;
constexpr std::uint16_t kHeadsetVendor = 0x0C76;
constexpr std::uint16_t kVendorPage = 0xFF1C;
constexpr std::uint16_t kVendorUsage = 0x92;
constexpr std::uint16_t kConsumerPage = 0x000C;
constexpr std::uint16_t kConsumerControl = 0x01;

constexpr std::array<DeviceCatalogEntry, 13> kCatalog = {{
    {kVendor, 0x50B7, 1, 4, K::Keyboard, R::Command, kVendorPage, kVendorUsage, true, 2},
    {kVendor, 0x50B7, 1, 3, K::Keyboard, R::Event, kConsumerPage, kConsumerControl, true, 3},
    {kAltVendor, 0x024F, 1, 4, K::KeyboardAlternate, R::Command, kVendorPage, kVendorUsage, true, 0},
    {kAltVendor, 0x024F, 1, 3, K::KeyboardAlternate, R::Event, kConsumerPage, kConsumerControl, true, 1},
    {kVendor, 0x221C, 1, 4, K::MouseCable, R::Command, kVendorPage, kVendorUsage, true, 6},
    {kVendor, 0x221C, 1, 3, K::MouseCable, R::Event, kConsumerPage, kConsumerControl, true, 7},
    {kVendor, 0x221D, 1, 4, K::MouseReceiver, R::Command, kVendorPage, kVendorUsage, true, 4},
    {kVendor, 0x221D, 1, 3, K::MouseReceiver, R::Event, kConsumerPage, kConsumerControl, true, 5},
    {kVendor, 0x1004, 1, 4, K::MousePad, R::Command, kVendorPage, kVendorUsage, false, 0},
    {kVendor, 0x1004, 1, 3, K::MousePad, R::Event, kConsumerPage, kConsumerControl, false, 0},
    {kHeadsetVendor, 0x1630, 3, 0, K::Headset, R::Command, kConsumerPage, kConsumerControl, false, 0},
    {kVendor, 0x511D, 1, 4, K::Keyboard, R::Command, kVendorPage, kVendorUsage, true, 2},
    {kVendor, 0x511D, 1, 3, K::Keyboard, R::Event, kConsumerPage, kConsumerControl, true, 3},
}};

constexpr std::string_view kTileLayout = "XML/CustomControlXML/DeviceOption.xml";
constexpr std::string_view kSelectorGroup = "tab_header_device";
constexpr std::string_view kPowerTab = "device_power_switch";

constexpr std::array<DeviceTileEntry, 5> kTiles = {{
    {kTileLayout, kSelectorGroup, kPowerTab, "mouse", {0, 0, 0}, 1, kVendor, 0x221C, K::MouseCable, R::Command},
    {kTileLayout, kSelectorGroup, kPowerTab, "keyboard", {1, 1, 1}, 0, kVendor, 0x50B7, K::Keyboard, R::Command},
    {kTileLayout, kSelectorGroup, kPowerTab, "MousePad", {2, 2, 1}, 2, kVendor, 0x1004, K::MousePad, R::Command},
    {kTileLayout, kSelectorGroup, kPowerTab, "HD", {3, 3, -1}, 3, kHeadsetVendor, 0x1630, K::Headset, R::Command},
    {kTileLayout, kSelectorGroup, kPowerTab, "keyboard", {1, 1, 1}, 0, kVendor, 0x511D, K::Keyboard, R::Command},
}};

constexpr std::string_view kLightConfig = "velto_light";

constexpr std::array<DevicePageEntry, 5> kPages = {{
    {15, 11, true, -1, "XML/DeviceXml/mousedevice.xml", kLightConfig},
    {170, 170, false, -1, "XML/DeviceXml/keyboarddevice.xml", kLightConfig},
    {15, 0, false, -1, "XML/DeviceXml/mousepaddevice.xml", kLightConfig},
    {13, 0, false, -1, "XML/DeviceXml/de6533device.xml", kLightConfig},
    {170, 170, false, -1, "XML/DeviceXml/keyboarddevice.xml", kLightConfig},
}};

// The "ALL" row's version is a fixed part of the table, not the application's version.
constexpr const char* kAllRowVersionText = "V1.0.0.1";

constexpr std::array<FirmwareIdentityEntry, 4> kFirmware = {{
    {1, 1, 0, "VELTO", "TX20M1A", "MS", "MS", "", "mouse"},
    {1, 1, 0, "VELTO", "TX20K1A", "KB", "KB", "", "keyboard"},
    {2, 1, 0, "VELTO", "TX20K3A", "ZB640", "ZB640", "", "MousePad"},
    {0, 1, 0, "VELTO", "ALL", "ZB640", "ZB640", kAllRowVersionText, ""},
}};

bool ValidRow(int row) {
    return row >= 0 && static_cast<std::size_t>(row) < kCatalog.size();
}

}  // namespace

std::span<const DeviceCatalogEntry> DeviceCatalog() {
    return kCatalog;
}

std::span<const DeviceTileEntry> DeviceTiles() {
    return kTiles;
}

std::span<const DevicePageEntry> DevicePages() {
    return kPages;
}

std::span<const FirmwareIdentityEntry> FirmwareIdentities() {
    return kFirmware;
}

bool IsCatalogCandidate(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t interfaceNumber,
                        std::uint16_t collectionNumber) {
    return std::ranges::any_of(kCatalog, [&](const DeviceCatalogEntry& e) {
        return e.vendorId == vendorId && e.productId == productId && e.interfaceNumber == interfaceNumber &&
               e.collectionNumber == collectionNumber;
    });
}

std::optional<CatalogMatch> IdentifyInterface(const InterfaceIdentity& id) {
    for (std::size_t row = 0; row < kCatalog.size(); ++row) {
        const DeviceCatalogEntry& e = kCatalog[row];
        if (e.vendorId == id.vendorId && e.productId == id.productId && e.interfaceNumber == id.interfaceNumber &&
            e.collectionNumber == id.collectionNumber && e.usagePage == id.usagePage && e.usage == id.usage) {
            return CatalogMatch{static_cast<int>(row), e.kind, e.role};
        }
    }
    return std::nullopt;
}

int FindCatalogRow(std::uint16_t vendorId, std::uint16_t productId, DeviceKind kind, DeviceRole role) {
    const auto it = std::ranges::find_if(kCatalog, [&](const DeviceCatalogEntry& e) {
        return e.vendorId == vendorId && e.productId == productId && e.kind == kind && e.role == role;
    });
    return it == kCatalog.end() ? -1 : static_cast<int>(it - kCatalog.begin());
}

int FindTileRow(std::uint16_t vendorId, std::uint16_t productId, DeviceKind kind, DeviceRole role) {
    const auto it = std::ranges::find_if(kTiles, [&](const DeviceTileEntry& e) {
        return e.vendorId == vendorId && e.productId == productId && e.kind == kind && e.role == role;
    });
    return it == kTiles.end() ? -1 : static_cast<int>(it - kTiles.begin());
}

int FindTileRowForCatalogRow(int catalogRow) {
    if (!ValidRow(catalogRow)) {
        return -1;
    }
    const DeviceCatalogEntry& e = kCatalog[static_cast<std::size_t>(catalogRow)];
    if (e.kind == DeviceKind::MouseReceiver) {
        if (!e.hasPartner || !ValidRow(e.partnerRow)) {
            return -1;
        }
        const DeviceCatalogEntry& mouse = kCatalog[e.partnerRow];
        return FindTileRow(mouse.vendorId, mouse.productId, DeviceKind::MouseCable, e.role);
    }
    return FindTileRow(e.vendorId, e.productId, e.kind, e.role);
}

std::optional<int> MutualPartner(int catalogRow) {
    if (!ValidRow(catalogRow)) {
        return std::nullopt;
    }
    const DeviceCatalogEntry& e = kCatalog[static_cast<std::size_t>(catalogRow)];
    if (!e.hasPartner || !ValidRow(e.partnerRow)) {
        return std::nullopt;
    }
    const DeviceCatalogEntry& partner = kCatalog[e.partnerRow];
    if (!partner.hasPartner || partner.partnerRow != catalogRow) {
        return std::nullopt;
    }
    return static_cast<int>(e.partnerRow);
}

std::vector<FirmwareIdentityEntry> BuildFirmwareList(std::span<const OpenDeviceVersion> openDevices,
                                                     std::uint32_t appVersion) {
    // The tile type whose firmware a command interface reports, when its release number is
    // the device's firmware version: a cabled command interface, or the keyboard's
    // alternate identity (the same keyboard on its cable). A receiver's number is its own.
    const auto firmwareType = [](int row) -> std::optional<std::string_view> {
        if (!ValidRow(row)) {
            return std::nullopt;
        }
        const DeviceCatalogEntry& e = kCatalog[static_cast<std::size_t>(row)];
        if (e.role != DeviceRole::Command || e.kind == DeviceKind::MouseReceiver) {
            return std::nullopt;
        }
        if (e.kind == DeviceKind::KeyboardAlternate) {
            const std::optional<int> partner = MutualPartner(row);
            if (!partner) {
                return std::nullopt;
            }
            row = *partner;
        }
        const int tile = FindTileRowForCatalogRow(row);
        return tile < 0 ? std::nullopt : std::optional(kTiles[static_cast<std::size_t>(tile)].typeName);
    };
    // Several candidates: the main identity before the alternate one, then table order.
    const auto rank = [](int row) {
        const bool alternate = kCatalog[static_cast<std::size_t>(row)].kind == DeviceKind::KeyboardAlternate;
        return std::pair(alternate, row);
    };
    std::vector<FirmwareIdentityEntry> list;
    for (FirmwareIdentityEntry entry : kFirmware) {
        if (entry.deviceTypeName.empty()) {
            entry.currentVersion = appVersion;
        } else {
            const OpenDeviceVersion* chosen = nullptr;
            for (const OpenDeviceVersion& device : openDevices) {
                if (firmwareType(device.catalogRow) == entry.deviceTypeName &&
                    (chosen == nullptr || rank(device.catalogRow) < rank(chosen->catalogRow))) {
                    chosen = &device;
                }
            }
            entry.currentVersion = chosen != nullptr ? chosen->hidVersion : 0;
        }
        if (entry.currentVersion != 0) {
            list.push_back(entry);
        }
    }
    return list;
}

}  // namespace norvane::device
