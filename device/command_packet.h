#pragma once

#include "device/hid_channel.h"

#include <array>
#include <cstdint>
#include <span>

namespace norvane::device {

// Command bytes of the vendor protocol.
enum class Command : std::uint8_t {
    BeginConfig = 0x01,
    EndConfig = 0x02,
    ReadDeviceInfo = 0x03,
    ReadSettings = 0x05,
    WriteSettings = 0x06,
    ReadKeyTable = 0x07,
    WriteKeyTable = 0x09,
    ReadKeyColors = 0x0A,
    WriteKeyColors = 0x0B,
    WriteLightFrame = 0x12,
    WriteMacroMemory = 0x15,
    WriteShootData = 0x17,
    ReadStatus = 0x1A,
    ReadKeyLedMap = 0x1B,
    EnableHostLighting = 0x1C,
    QueryLink = 0xAA,
};

// One 64-byte report of the protocol: [0x04][checksum lo][checksum hi][command][length]
// [offset lo][offset hi][status][56 data bytes].
struct CommandPacket {
    static constexpr std::uint8_t kReportId = 0x04;
    static constexpr std::size_t kDataOffset = 8;
    static constexpr std::size_t kMaxData = 56;
    static constexpr std::uint8_t kStatusFF = 0xFF;
    static constexpr std::uint8_t kStatusFE = 0xFE;

    Report bytes{};

    // A request with its checksum; data beyond 56 bytes is cut off.
    static CommandPacket Request(Command command, std::uint8_t length = 0, std::uint16_t offset = 0,
                                 std::span<const std::uint8_t> data = {});

    std::uint8_t CommandByte() const { return bytes[3]; }
    std::uint8_t Length() const { return bytes[4]; }
    std::uint16_t Offset() const { return static_cast<std::uint16_t>(bytes[5] | bytes[6] << 8); }
    std::uint8_t Status() const { return bytes[7]; }
    std::span<const std::uint8_t> Data() const { return std::span(bytes).subspan(kDataOffset); }
    std::uint16_t StoredChecksum() const { return static_cast<std::uint16_t>(bytes[1] | bytes[2] << 8); }
    // Recomputes bytes 1-2 from bytes 3-63.
    void Seal();
};

// The sum of bytes 3-63 as unsigned bytes, cut to 16 bits.
std::uint16_t PacketChecksum(std::span<const std::uint8_t, kReportLength> report);

// The 34-byte block of command 0x03.
struct DeviceInfoBlock {
    static constexpr std::size_t kSize = 34;
    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t KeyCount() const { return bytes[5]; }
    std::uint8_t MacroMemoryUnits() const { return bytes[6]; }  // 128-byte units
    std::size_t MacroMemoryBytes() const { return static_cast<std::size_t>(bytes[6]) * 128; }
    std::uint16_t SensorModel() const { return static_cast<std::uint16_t>(bytes[9] | bytes[10] << 8); }
    std::uint8_t DpiStep() const { return bytes[11]; }
    std::uint16_t SliderMaximum() const { return static_cast<std::uint16_t>(bytes[12] | bytes[13] << 8); }
    std::uint16_t DpiBase() const { return static_cast<std::uint16_t>(bytes[14] | bytes[15] << 8); }
};

}  // namespace norvane::device
