#include "devices/mousepad/pad_wire.h"

#include "device/commands.h"
#include "devices/common/light_mode_code.h"
#include "devices/common/results.h"
#include "platform/diag.h"

#include <algorithm>
#include <array>
#include <string>

namespace norvane::devices::mousepad {
namespace {

namespace code = device::result;
namespace at = light::light_record;

void Trace(std::string_view what, int result) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("mousepad: " + std::string(what) + " " + std::to_string(result));
    }
}

constexpr std::uint8_t InvertSpeed(std::uint8_t speed) {
    return static_cast<std::uint8_t>(kMaxSpeed - std::min(speed, kMaxSpeed));
}

}  // namespace

std::optional<light::PeripheralLightRecord> EncodePadBlock(const light::PeripheralLightRecord& record,
                                                           int selectedMode,
                                                           std::span<const config::LightModeName> modes) {
    const int mode = selectedMode >= kSentModeLimit ? 0 : selectedMode;
    const std::optional<std::uint8_t> modeCode = LightModeCode(modes, mode);
    if (!modeCode) {
        return std::nullopt;
    }
    light::PeripheralLightRecord sent = record;
    sent.bytes[at::kMode] = *modeCode;
    sent.bytes[at::kSpeed] = InvertSpeed(record.Speed());
    return sent;
}

int WritePadSettings(device::HidChannel& channel, int block, const light::PeripheralLightRecord& record,
                     int selectedMode, std::span<const config::LightModeName> modes) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    if (block < 0 ||
        block * std::size_t{kWriteBlockStride} + light::kLightRecordSize > 0xFFFF + std::size_t{1}) {
        return code::kWriteFailed;
    }
    const std::optional<light::PeripheralLightRecord> sent = EncodePadBlock(record, selectedMode, modes);
    if (!sent) {
        Trace("no light mode code for mode", selectedMode);
        return devices::result::kNoModeCode;
    }
    const int begin = device::BeginConfig(channel);
    const int write = begin == code::kSuccess
                          ? device::WriteSettings(channel, sent->bytes, WriteBlockOffset(block))
                          : begin;
    const int end = device::EndConfig(channel);
    const int result = begin != code::kSuccess ? begin : write != code::kSuccess ? write : end;
    if (result != code::kSuccess) {
        Trace("settings write failed", result);
    }
    return result;
}

int ReadPadSettings(device::HidChannel& channel, std::span<const config::LightModeName> modes,
                    light::PeripheralLightRecord& record) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    std::array<std::uint8_t, 1> active{};
    if (const int r = device::ReadSettings(channel, active, 0); r != code::kSuccess) {
        Trace("active block read failed", r);
        return r;
    }
    std::array<std::uint8_t, kReadBlockSize> block{};
    if (const int r = device::ReadSettings(channel, block, ReadBlockOffset(active[0])); r != code::kSuccess) {
        Trace("settings block read failed", r);
        return r;
    }
    light::PeripheralLightRecord read;
    std::copy_n(block.begin(), light::kLightRecordSize, read.bytes.begin());
    read.SetActiveBlock(active[0]);
    read.SetMode(LightModeIndex(modes, block[at::kMode], record.Mode()));
    read.SetSpeed(InvertSpeed(block[at::kSpeed]));
    record = read;
    return code::kSuccess;
}

}  // namespace norvane::devices::mousepad
