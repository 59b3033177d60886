#include "device/command_packet.h"

#include <algorithm>

namespace norvane::device {

std::uint16_t PacketChecksum(std::span<const std::uint8_t, kReportLength> report) {
    std::uint32_t sum = 0;
    for (std::size_t i = 3; i < report.size(); ++i) {
        sum += report[i];
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void CommandPacket::Seal() {
    const std::uint16_t sum = PacketChecksum(bytes);
    bytes[1] = static_cast<std::uint8_t>(sum & 0xFF);
    bytes[2] = static_cast<std::uint8_t>(sum >> 8);
}

CommandPacket CommandPacket::Request(Command command, std::uint8_t length, std::uint16_t offset,
                                     std::span<const std::uint8_t> data) {
    CommandPacket packet;
    packet.bytes[0] = kReportId;
    packet.bytes[3] = static_cast<std::uint8_t>(command);
    packet.bytes[4] = length;
    packet.bytes[5] = static_cast<std::uint8_t>(offset & 0xFF);
    packet.bytes[6] = static_cast<std::uint8_t>(offset >> 8);
    packet.bytes[7] = 0;
    std::copy_n(data.begin(), std::min(data.size(), kMaxData), packet.bytes.begin() + kDataOffset);
    packet.Seal();
    return packet;
}

}  // namespace norvane::device
