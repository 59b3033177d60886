#include "sim/firmware.h"

#include "sim/bounded_log.h"

#include <algorithm>

namespace norvane::sim {

using device::Command;
using device::CommandPacket;

FirmwareModel::FirmwareModel(const FirmwareLayout& layout)
    : info_(layout.info),
      settings_(layout.settingsSize),
      keyTable_(layout.keyTableSize),
      ledMap_(layout.ledMapSize),
      keyColors_(layout.keyColorSize),
      macro_(layout.info.MacroMemoryBytes()),
      shoot_(layout.shootSize),
      lightFrame_(layout.lightFrameSize),
      status_(layout.statusSize) {
}

std::vector<std::uint8_t>* FirmwareModel::Area(Command command) {
    switch (command) {
        case Command::ReadDeviceInfo:
            infoBytes_.assign(info_.bytes.begin(), info_.bytes.end());
            return &infoBytes_;
        case Command::ReadSettings:
        case Command::WriteSettings:
            return &settings_;
        case Command::ReadKeyTable:
        case Command::WriteKeyTable:
            return &keyTable_;
        case Command::ReadKeyColors:
        case Command::WriteKeyColors:
            return &keyColors_;
        case Command::WriteLightFrame:
            return &lightFrame_;
        case Command::WriteMacroMemory:
            return &macro_;
        case Command::WriteShootData:
            return &shoot_;
        case Command::ReadStatus:
            return &status_;
        case Command::ReadKeyLedMap:
            return &ledMap_;
        default:
            return nullptr;
    }
}

void FirmwareModel::RecordOutputReport(std::span<const std::uint8_t> report) {
    AppendBounded(outputReports_, std::vector<std::uint8_t>(report.begin(), report.end()));
}

device::Report FirmwareModel::Answer(const device::Report& request) {
    device::Report answer{};
    std::copy_n(request.begin(), CommandPacket::kDataOffset, answer.begin());
    answer[7] = 0;
    if (receiver_ && !linked_) {
        answer[3] = static_cast<std::uint8_t>(Command::QueryLink);
        return answer;
    }
    CommandPacket packet;
    packet.bytes = request;
    if (packet.StoredChecksum() != device::PacketChecksum(request)) {
        answer[7] = CommandPacket::kStatusFE;
        return answer;
    }
    const auto command = static_cast<Command>(packet.CommandByte());
    const std::size_t length = packet.Length();
    const std::size_t offset = packet.Offset();
    switch (command) {
        case Command::BeginConfig:
            inConfig_ = true;
            ++brackets_;
            return answer;
        case Command::EndConfig:
            inConfig_ = false;
            return answer;
        case Command::EnableHostLighting:
            hostLighting_ = true;
            return answer;
        case Command::QueryLink:
            answer[8] = 0xFF;
            return answer;
        default:
            break;
    }
    std::vector<std::uint8_t>* area = Area(command);
    if (area == nullptr) {
        answer[7] = CommandPacket::kStatusFE;
        return answer;
    }
    if (length > CommandPacket::kMaxData || offset + length > area->size()) {
        answer[7] = CommandPacket::kStatusFF;
        return answer;
    }
    const bool read = command == Command::ReadDeviceInfo || command == Command::ReadSettings ||
                      command == Command::ReadKeyTable || command == Command::ReadKeyColors ||
                      command == Command::ReadStatus || command == Command::ReadKeyLedMap;
    const auto start = area->begin() + static_cast<std::ptrdiff_t>(offset);
    if (read) {
        std::copy_n(start, length, answer.begin() + CommandPacket::kDataOffset);
    } else {
        std::copy_n(request.begin() + CommandPacket::kDataOffset, length, start);
    }
    return answer;
}

}  // namespace norvane::sim
