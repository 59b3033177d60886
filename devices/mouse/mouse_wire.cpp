#include "devices/mouse/mouse_wire.h"

#include "config/shoot_data.h"
#include "device/commands.h"
#include "devices/common/config_bracket.h"
#include "devices/common/macro_image.h"
#include "devices/mouse/button_table.h"
#include "devices/mouse/results.h"
#include "platform/diag.h"

#include <limits>
#include <string>

namespace norvane::devices::mouse {
namespace {

namespace code = device::result;

// Every mouse sequence tests the link of a receiver before each step.
constexpr LinkTest kLink = LinkTest::EachStep;

void Trace(std::string_view what, int result) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("mouse: " + std::string(what) + " " + std::to_string(result));
    }
}

std::size_t TableBytes(int keyCount) {
    return 3 * static_cast<std::size_t>(keyCount);
}

}  // namespace

bool MouseKeys::Complete() const {
    const int count = KeyCount();
    return count > 0 && count <= kMaxMouseKeys && factoryTable.size() == TableBytes(count) &&
           buttonMap.size() >= kButtonCount;
}

int ReadMouseKeys(device::HidChannel& channel, MouseKeys& keys) {
    device::DeviceInfoBlock info;
    std::vector<std::uint8_t> table;
    const int r = Bracketed(channel, kLink, [&] {
        if (const int read = device::ReadDeviceInfo(channel, info); read != code::kSuccess) {
            return read;
        }
        const int count = info.KeyCount();
        if (count == 0 || count > kMaxMouseKeys ||
            !channel.SetDataSize(static_cast<int>(TableBytes(count)))) {
            Trace("key count refused", count);
            return result::kBadKeyCount;
        }
        if (!LinkUp(channel, kLink)) {
            return code::kNoAnswer;
        }
        table.assign(TableBytes(count), 0);
        return device::ReadKeyTable(channel, table);
    });
    if (r != code::kSuccess) {
        Trace("key read failed", r);
        return r;
    }
    keys.buttonMap = BuildButtonMap(table, info.KeyCount());
    keys.factoryTable = std::move(table);
    keys.info = info;
    return code::kSuccess;
}

int WriteMouseSettings(device::HidChannel& channel, int block, const MouseSettingsBlock& settings) {
    const long long offset = static_cast<long long>(block) * kMouseSettingsStride;
    if (block < 0 || offset + static_cast<long long>(kMouseSettingsSize) > 0x10000) {
        return code::kBadRequest;
    }
    return Bracketed(channel, kLink, [&] {
        return device::WriteSettings(channel, settings, static_cast<std::uint16_t>(offset));
    });
}

int WriteMouseSettings(device::HidChannel& channel, int block, const MouseSettingsInputs& inputs) {
    const std::optional<MouseSettingsBlock> settings = BuildMouseSettingsBlock(inputs);
    if (!settings) {
        Trace("no light mode code for mode", inputs.light.selectedMode);
        return result::kNoModeCode;
    }
    return WriteMouseSettings(channel, block, *settings);
}

int ReadMouseSettings(device::HidChannel& channel, MouseSettingsReadBack& readBack) {
    if (!LinkUp(channel, kLink)) {
        return code::kNoAnswer;
    }
    std::array<std::uint8_t, 1> index{};
    if (const int r = device::ReadSettings(channel, index, 0); r != code::kSuccess) {
        return r;
    }
    if (!LinkUp(channel, kLink)) {
        return code::kNoAnswer;
    }
    MouseReadBack block{};
    const auto offset = static_cast<std::uint16_t>(index[0] * kMouseSettingsStride);
    if (const int r = device::ReadSettings(channel, block, offset); r != code::kSuccess) {
        return r;
    }
    readBack.activeBlock = index[0];
    readBack.block = block;
    return code::kSuccess;
}

int WriteMouseKeyTable(device::HidChannel& channel, const MouseKeys& keys, int bank,
                       std::span<const config::KeyListEntry> keyList, int macroCount,
                       MacroBindings bindings) {
    if (bank != 0) {
        return code::kBadBank;
    }
    if (!LinkUp(channel, kLink)) {
        return code::kNoAnswer;
    }
    device::DeviceInfoBlock info;
    if (const int r = device::ReadDeviceInfo(channel, info); r != code::kSuccess) {
        return r;
    }
    if (!keys.Complete() || info.KeyCount() != keys.KeyCount() ||
        !channel.SetDataSize(static_cast<int>(TableBytes(keys.KeyCount())))) {
        Trace("key table write refused, key count", info.KeyCount());
        return result::kNoKeyTable;
    }
    const std::vector<std::uint8_t> table =
        AssembleMouseKeyTable(keys.factoryTable, keys.buttonMap, keyList, macroCount, bindings);
    return Bracketed(channel, kLink, [&] { return device::WriteKeyTable(channel, table, bank); });
}

MacroWriteResult WriteMouseMacros(device::HidChannel& channel, const std::filesystem::path& dataFolder,
                                  std::span<const int> macroIndices) {
    return WriteMacros(channel, dataFolder, macroIndices, kLink);
}

int WriteShootPatterns(device::HidChannel& channel, const std::filesystem::path& dataFolder) {
    if (!LinkUp(channel, kLink)) {
        return code::kNoAnswer;
    }
    device::DeviceInfoBlock info;
    if (const int r = device::ReadDeviceInfo(channel, info); r != code::kSuccess) {
        return r;
    }
    const config::ShootData shoot(dataFolder, {});
    std::vector<std::vector<config::PackedMacroEvent>> patterns;
    for (int gun = 0; gun < config::kGunCount; ++gun) {
        const std::vector<config::MacroEvent> events = shoot.Events(gun);
        if (!events.empty() && !config::IsValidShootPattern(events)) {
            Trace("recoil pattern refused, gun", gun);
            return result::kBadShootPattern;
        }
        patterns.push_back(config::PackMacroEvents(events));
    }
    const MacroImage image = BuildMacroMemoryImage(patterns, std::numeric_limits<std::size_t>::max());
    if (image.result != 0) {
        return result::kBadShootPattern;
    }
    return Bracketed(channel, kLink, [&] { return device::WriteShootData(channel, image.bytes); });
}

}  // namespace norvane::devices::mouse
