#include "device/commands.h"

#include "platform/diag.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace norvane::device {
namespace {

enum class LockKind { Command, Stream, None };

struct Transfer {
    Command command;
    LockKind lock;
    bool silent = false;
    bool dropWhileBusy = false;
    std::size_t fixedChunk = 0;  // 0: the channel's chunk size
};

int StatusCode(const Report& answer) {
    if (answer[7] == CommandPacket::kStatusFF) {
        return result::kStatusFF;
    }
    if (answer[7] == CommandPacket::kStatusFE) {
        return result::kStatusFE;
    }
    return result::kSuccess;
}

int Send(HidChannel& channel, const Transfer& transfer, const CommandPacket& request, Report& answer,
         std::optional<LinkMode> link = std::nullopt) {
    std::unique_lock<std::mutex> lock;
    if (transfer.lock == LockKind::Command) {
        lock = std::unique_lock(channel.CommandLock());
    } else if (transfer.lock == LockKind::Stream) {
        lock = std::unique_lock(channel.StreamLock());
    }
    const int code = transfer.silent ? channel.ExchangeSilent(request.bytes, answer, link)
                                     : channel.Exchange(request.bytes, answer, link);
    if (code != result::kSuccess) {
        return code;
    }
    return StatusCode(answer);
}

// A transfer is cut for the link it starts on; every chunk is sent for that link only, so a
// link switch abandons the transfer. The link is read before the chunk size: a link mode
// being set stores the chunk size first, so a new link never comes with an old chunk size.
std::pair<LinkMode, std::size_t> LinkAtStart(const HidChannel& channel) {
    const LinkMode link = channel.Link();
    return {link, channel.ChunkSize()};
}

bool FitsOffsets(std::size_t base, std::size_t length) {
    return base + length <= 0x10000;
}

// Reads into destination (length = destination.size()) at base + position.
int ChunkedRead(HidChannel& channel, const Transfer& transfer, std::span<std::uint8_t> destination,
                std::size_t base) {
    if (!FitsOffsets(base, destination.size())) {
        return result::kBadRequest;
    }
    const auto [link, chunkSize] = LinkAtStart(channel);
    const std::size_t total = destination.size();
    for (std::size_t position = 0; position < total;) {
        const std::size_t chunk = std::min<std::size_t>(chunkSize, total - position);
        const auto request = CommandPacket::Request(transfer.command, static_cast<std::uint8_t>(chunk),
                                                    static_cast<std::uint16_t>(base + position));
        Report answer{};
        const int code = Send(channel, transfer, request, answer, link);
        if (code != result::kSuccess) {
            return code;
        }
        std::copy_n(answer.begin() + CommandPacket::kDataOffset, chunk, destination.begin() + position);
        position += chunk;
    }
    return result::kSuccess;
}

int ChunkedWrite(HidChannel& channel, const Transfer& transfer, std::span<const std::uint8_t> data,
                 std::size_t base) {
    if (!FitsOffsets(base, data.size())) {
        return result::kBadRequest;
    }
    const auto [link, chunkSize] = LinkAtStart(channel);
    const std::size_t size = transfer.fixedChunk != 0 ? transfer.fixedChunk : chunkSize;
    const std::size_t total = data.size();
    for (std::size_t position = 0; position < total;) {
        const std::size_t chunk = std::min(size, total - position);
        if (transfer.dropWhileBusy && channel.IsBusy()) {
            platform::diag::Trace("放弃灯光数据");
            position += chunk;
            continue;
        }
        const auto request = CommandPacket::Request(transfer.command, static_cast<std::uint8_t>(chunk),
                                                    static_cast<std::uint16_t>(base + position),
                                                    data.subspan(position, chunk));
        Report answer{};
        const int code = Send(channel, transfer, request, answer, link);
        if (code != result::kSuccess) {
            return code;
        }
        position += chunk;
    }
    return result::kSuccess;
}

int Single(HidChannel& channel, Command command) {
    Report answer{};
    return Send(channel, {command, LockKind::Command}, CommandPacket::Request(command), answer);
}

// index x stride as a starting offset, or nullopt when it is negative or past 16 bits.
std::optional<std::size_t> ColorBase(int index, int stride) {
    if (index < 0 || stride < 0) {
        return std::nullopt;
    }
    const auto base = static_cast<std::size_t>(index) * static_cast<std::size_t>(stride);
    if (base > 0xFFFF) {
        return std::nullopt;
    }
    return base;
}

}  // namespace

int BeginConfig(HidChannel& channel) {
    return Single(channel, Command::BeginConfig);
}

int EndConfig(HidChannel& channel) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Single(channel, Command::EndConfig);
}

int ReadDeviceInfo(HidChannel& channel, DeviceInfoBlock& info) {
    return ChunkedRead(channel, {Command::ReadDeviceInfo, LockKind::Command}, info.bytes, 0);
}

int ReadSettings(HidChannel& channel, std::span<std::uint8_t> destination, std::uint16_t base) {
    return ChunkedRead(channel, {Command::ReadSettings, LockKind::Command}, destination, base);
}

int WriteSettings(HidChannel& channel, std::span<const std::uint8_t> data, std::uint16_t base) {
    return ChunkedWrite(channel, {Command::WriteSettings, LockKind::Command}, data, base);
}

int ReadKeyTable(HidChannel& channel, std::span<std::uint8_t> destination) {
    const std::size_t size = channel.DataSize();
    if (destination.size() < size) {
        return result::kBadRequest;
    }
    return ChunkedRead(channel, {Command::ReadKeyTable, LockKind::Command}, destination.first(size), 0);
}

int WriteKeyTable(HidChannel& channel, std::span<const std::uint8_t> data, int bank) {
    if (bank != 0) {
        return result::kBadBank;
    }
    const std::size_t size = channel.DataSize();
    if (data.size() < size) {
        return result::kBadRequest;
    }
    return ChunkedWrite(channel, {Command::WriteKeyTable, LockKind::Command}, data.first(size), 0);
}

int ReadKeyColors(HidChannel& channel, std::span<std::uint8_t> destination, int index, int stride) {
    const auto base = ColorBase(index, stride);
    if (!base) {
        return result::kBadRequest;
    }
    return ChunkedRead(channel, {Command::ReadKeyColors, LockKind::Stream}, destination, *base);
}

int WriteKeyColors(HidChannel& channel, std::span<const std::uint8_t> data, int index, int stride) {
    const auto base = ColorBase(index, stride);
    if (!base) {
        return result::kBadRequest;
    }
    return ChunkedWrite(channel, {Command::WriteKeyColors, LockKind::Stream}, data, *base);
}

int WriteLightFrame(HidChannel& channel, std::span<const std::uint8_t> data) {
    const Transfer transfer{Command::WriteLightFrame, LockKind::Stream, true, true};
    return ChunkedWrite(channel, transfer, data, 0);
}

int WriteMacroMemory(HidChannel& channel, std::span<const std::uint8_t> data) {
    return ChunkedWrite(channel, {Command::WriteMacroMemory, LockKind::Command}, data, 0);
}

int WriteShootData(HidChannel& channel, std::span<const std::uint8_t> data) {
    const Transfer transfer{Command::WriteShootData, LockKind::None, false, false, CommandPacket::kMaxData};
    return ChunkedWrite(channel, transfer, data, 0);
}

int ReadStatus(HidChannel& channel, std::span<std::uint8_t> destination, std::uint16_t offset) {
    if (destination.size() > CommandPacket::kMaxData) {
        return result::kBadRequest;
    }
    const auto request =
        CommandPacket::Request(Command::ReadStatus, static_cast<std::uint8_t>(destination.size()), offset);
    Report answer{};
    const int code = Send(channel, {Command::ReadStatus, LockKind::Command}, request, answer);
    if (code == result::kSuccess) {
        std::copy_n(answer.begin() + CommandPacket::kDataOffset, destination.size(), destination.begin());
    }
    return code;
}

int ReadKeyLedMap(HidChannel& channel, std::span<std::uint8_t> destination) {
    const std::size_t size = channel.DataSize() / 3;
    if (destination.size() < size) {
        return result::kBadRequest;
    }
    return ChunkedRead(channel, {Command::ReadKeyLedMap, LockKind::Command}, destination.first(size), 0);
}

int EnableHostLighting(HidChannel& channel) {
    return Single(channel, Command::EnableHostLighting);
}

bool QueryLink(HidChannel& channel) {
    if (!channel.IsWireless()) {
        return true;
    }
    Report answer{};
    const std::lock_guard lock(channel.CommandLock());
    const auto request = CommandPacket::Request(Command::QueryLink);
    return channel.Exchange(request.bytes, answer) == result::kSuccess && answer[8] == 0xFF &&
           answer[7] != CommandPacket::kStatusFF && answer[7] != CommandPacket::kStatusFE;
}

}  // namespace norvane::device
