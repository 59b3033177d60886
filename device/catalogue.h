#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The fixed tables of supported products: which HID interfaces are recognised, which
// tile and page each product gets, and which items the update check asks about.
namespace norvane::device {

enum class DeviceKind : std::uint16_t {
    Keyboard = 1,
    MouseCable = 2,
    MousePad = 3,
    MouseReceiver = 6,
    Headset = 7,
    KeyboardAlternate = 9,
};

// What a kind is, whatever its link: the two keyboard identities are one keyboard, the mouse
// by cable and through its receiver one mouse.
enum class DeviceFamily : std::uint8_t { Keyboard, Mouse, MousePad, Headset };

constexpr DeviceFamily FamilyOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
        case DeviceKind::KeyboardAlternate:
            return DeviceFamily::Keyboard;
        case DeviceKind::MouseCable:
        case DeviceKind::MouseReceiver:
            return DeviceFamily::Mouse;
        case DeviceKind::MousePad:
            return DeviceFamily::MousePad;
        case DeviceKind::Headset:
            break;
    }
    return DeviceFamily::Headset;
}

enum class DeviceRole : std::uint16_t {
    Command = 0,  // carries the command protocol
    Event = 255,  // consumer-control collection whose input reports the device object reads
};

// One supported HID interface. The runtime copy (present flag, device path) lives with
// the device list.
struct DeviceCatalogEntry {
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint16_t interfaceNumber;
    std::uint16_t collectionNumber;  // 0 when the path has no collection suffix
    DeviceKind kind;
    DeviceRole role;
    std::uint16_t usagePage;
    std::uint16_t usage;
    bool hasPartner;
    std::uint16_t partnerRow;  // the same product under its other identity
};

struct DeviceTileEntry {
    std::string_view tileLayout;
    std::string_view selectorGroup;
    std::string_view powerTabLayout;
    std::string_view typeName;  // device folder name and default profile stem
    std::array<std::int32_t, 3> unused;
    std::int32_t lightClass;
    std::uint16_t vendorId;
    std::uint16_t productId;
    DeviceKind kind;
    DeviceRole role;
};

struct DevicePageEntry {
    std::int32_t ledCount;
    std::int32_t keyButtonCount;
    bool wirelessCapable;
    std::int32_t mousePageParameter;
    std::string_view pageLayout;
    std::string_view lightConfigName;
};

struct FirmwareIdentityEntry {
    std::int32_t typeCode;  // 0 = the application (decimal versions), else device firmware (hexadecimal)
    std::int32_t flag;
    std::uint32_t currentVersion;  // 0 in the table, filled when the list is built
    std::string_view brand;
    std::string_view chipCode;
    std::string_view productCode;
    std::string_view secondProductCode;
    std::string_view versionText;
    std::string_view
        deviceTypeName;  // tile type name of the devices it belongs to; empty for the application
};

// Path keys plus the collection's usage, as read from an opened interface.
struct InterfaceIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t interfaceNumber = 0;
    std::uint16_t collectionNumber = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

struct CatalogMatch {
    int row;
    DeviceKind kind;
    DeviceRole role;
};

std::span<const DeviceCatalogEntry> DeviceCatalog();
std::span<const DeviceTileEntry> DeviceTiles();
std::span<const DevicePageEntry> DevicePages();
std::span<const FirmwareIdentityEntry> FirmwareIdentities();

// Candidate test on the four path keys (exact on all four).
bool IsCatalogCandidate(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t interfaceNumber,
                        std::uint16_t collectionNumber);

// The first row equal on all six values.
std::optional<CatalogMatch> IdentifyInterface(const InterfaceIdentity& identity);

// Index of the first row with this identity, or -1.
int FindCatalogRow(std::uint16_t vendorId, std::uint16_t productId, DeviceKind kind, DeviceRole role);

// Index of the first tile row with this identity, or -1; it also indexes the page table.
int FindTileRow(std::uint16_t vendorId, std::uint16_t productId, DeviceKind kind, DeviceRole role);

// The tile of the device found at a catalogue row. A receiver (kind 6) takes its
// partner's vendor and product with kind 2, so it gets the mouse's tile and page.
int FindTileRowForCatalogRow(int catalogRow);

// The partner of a row, only when both rows name each other.
std::optional<int> MutualPartner(int catalogRow);

// An open device as the firmware list sees it.
struct OpenDeviceVersion {
    int catalogRow;            // the row its command interface matched
    std::uint32_t hidVersion;  // release number read with that interface's attributes
};

// The firmware rows for the update check. Each device row takes the release number of
// an open device of the same type (paired by identity, not by tile position), read on
// the cable side: a cabled command interface, or the keyboard under its alternate
// identity. A receiver's number is the receiver's own, so a mouse reached only through
// its receiver has no row. With several candidates the main identity wins over the
// alternate one, then the first in table order. Rows without a device are left out; the
// application row takes appVersion and is left out when 0.
std::vector<FirmwareIdentityEntry> BuildFirmwareList(std::span<const OpenDeviceVersion> openDevices,
                                                     std::uint32_t appVersion);

}  // namespace norvane::device
