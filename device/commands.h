#pragma once

#include "device/command_packet.h"
#include "device/hid_channel.h"

#include <cstdint>
#include <span>

// The command operations. Each returns a result code (see result::), except QueryLink.
// Chunked operations cut their transfer into reports of the channel's chunk size and take
// their lock per chunk; the first failing chunk ends the operation with its code, and
// what was transferred before stays transferred. A transfer whose offsets would pass
// 0xFFFF, or whose buffer is shorter than the operation's length, sends nothing and
// returns -2 (result::kBadRequest). A transfer is cut for the link it starts on; when the
// link switches before its last chunk, it ends with 0.
namespace norvane::device {

int BeginConfig(HidChannel& channel);
// Pauses 10 ms, then sends.
int EndConfig(HidChannel& channel);
int ReadDeviceInfo(HidChannel& channel, DeviceInfoBlock& info);
int ReadSettings(HidChannel& channel, std::span<std::uint8_t> destination, std::uint16_t base);
int WriteSettings(HidChannel& channel, std::span<const std::uint8_t> data, std::uint16_t base);
// The channel's data size in bytes at offset 0.
int ReadKeyTable(HidChannel& channel, std::span<std::uint8_t> destination);
// The channel's data size in bytes at bank x 512; any bank but 0 returns -201 unsent.
int WriteKeyTable(HidChannel& channel, std::span<const std::uint8_t> data, int bank);
int ReadKeyColors(HidChannel& channel, std::span<std::uint8_t> destination, int index, int stride);
int WriteKeyColors(HidChannel& channel, std::span<const std::uint8_t> data, int index, int stride);
// Silent; each chunk is dropped (and counted as sent) while another exchange is in progress.
int WriteLightFrame(HidChannel& channel, std::span<const std::uint8_t> data);
int WriteMacroMemory(HidChannel& channel, std::span<const std::uint8_t> data);
// Fixed 56-byte chunks on every link; no command or stream lock.
int WriteShootData(HidChannel& channel, std::span<const std::uint8_t> data);
// One report of at most 56 bytes.
int ReadStatus(HidChannel& channel, std::span<std::uint8_t> destination, std::uint16_t offset);
// The channel's data size / 3 bytes at offset 0.
int ReadKeyLedMap(HidChannel& channel, std::span<std::uint8_t> destination);
int EnableHostLighting(HidChannel& channel);
// True by cable without sending; through the receiver true only when the device behind it
// answers as linked.
bool QueryLink(HidChannel& channel);

}  // namespace norvane::device
