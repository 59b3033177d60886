#include "devices/keyboard/wire.h"

#include "device/commands.h"
#include "devices/common/config_bracket.h"
#include "devices/keyboard/key_colors.h"
#include "devices/keyboard/results.h"
#include "platform/diag.h"

#include <chrono>
#include <string>
#include <thread>

namespace norvane::devices::keyboard {
namespace {

namespace code = device::result;

constexpr std::chrono::milliseconds kColorRetryPause{200};

void Trace(std::string_view what, int result) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("keyboard: " + std::string(what) + " " + std::to_string(result));
    }
}

int WriteColorTable(device::HidChannel& channel, const KeyboardTables& tables,
                    std::span<const config::KeyColor> colors, int index) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    if (!tables.Valid()) {
        return result::kNoKeyTable;
    }
    const std::vector<std::uint8_t> table = BuildLedColorTable(colors, tables.maps, tables.keyCount);
    return device::WriteKeyColors(channel, table, index, kKeyColorStride);
}

}  // namespace

int ReadKeysFromDevice(device::HidChannel& channel, KeyboardTables& tables) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    ConfigBracket bracket(channel);
    if (bracket.BeginResult() != code::kSuccess) {
        Trace("begin before key read", bracket.BeginResult());
        return bracket.BeginResult();
    }
    device::DeviceInfoBlock info;
    if (const int r = device::ReadDeviceInfo(channel, info); r != code::kSuccess) {
        return r;
    }
    const int keyCount = info.KeyCount();
    if (keyCount == 0 || keyCount > static_cast<int>(kKeyIndexCount) || !channel.SetDataSize(3 * keyCount)) {
        Trace("key count refused", keyCount);
        return result::kBadKeyCount;
    }
    std::array<std::uint8_t, 2 * KeyboardTables::kHalf> read{};
    const auto keyTable = std::span(read).first(3 * static_cast<std::size_t>(keyCount));
    const auto ledMap = std::span(read).subspan(KeyboardTables::kHalf, static_cast<std::size_t>(keyCount));
    const int table = device::ReadKeyTable(channel, keyTable);
    const int leds = table == code::kSuccess ? device::ReadKeyLedMap(channel, ledMap) : table;
    const int end = bracket.Close();
    if (const int r = FirstFailure({table, leds, end}); r != code::kSuccess) {
        Trace("key read failed", r);
        return r;
    }
    tables.cached = read;
    tables.keyCount = keyCount;
    tables.macroMemoryBytes = info.MacroMemoryBytes();
    tables.maps = BuildKeyMaps(keyTable, ledMap, keyCount);
    return code::kSuccess;
}

int ReadSettingsRecord(device::HidChannel& channel, SettingsReadBack& readBack) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    std::array<std::uint8_t, 1> index{};
    if (const int r = device::ReadSettings(channel, index, 0); r != code::kSuccess) {
        return r;
    }
    SettingsRecord record{};
    if (const int r = device::ReadSettings(channel, record, SettingsSlotOffset(index[0]));
        r != code::kSuccess) {
        return r;
    }
    record[0] = index[0];
    record[16] = 0;
    readBack.activeProfile = index[0];
    readBack.record = record;
    return code::kSuccess;
}

int WriteDeviceSettings(device::HidChannel& channel, int slot, const SettingsRecord& record) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    if (slot < 0 || SettingsSlotOffset(slot) + kSettingsRecordSize > 0xFFFF + std::size_t{1}) {
        return code::kWriteFailed;
    }
    return Bracketed(channel, LinkTest::Off,
                     [&] { return device::WriteSettings(channel, record, SettingsSlotOffset(slot)); });
}

int WriteDeviceSettings(device::HidChannel& channel, int slot, std::uint8_t value,
                        const config::LightInfo& light, const config::KeyboardSettings& settings,
                        std::span<const config::LightModeName> modes) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    const std::optional<SettingsRecord> record = EncodeSettingsRecord(value, light, settings, modes);
    if (!record) {
        Trace("no light mode code for mode", light.selectedMode);
        return result::kNoModeCode;
    }
    return WriteDeviceSettings(channel, slot, *record);
}

int WriteKeyAssignments(device::HidChannel& channel, const KeyboardTables& tables, int bank,
                        std::span<const config::KeyListEntry> keys, int macroCount, MacroBindings bindings) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    if (bank != 0) {
        return code::kBadBank;
    }
    device::DeviceInfoBlock info;
    if (const int r = device::ReadDeviceInfo(channel, info); r != code::kSuccess) {
        return r;
    }
    if (!tables.Valid() || info.KeyCount() != tables.keyCount || !channel.SetDataSize(3 * tables.keyCount)) {
        Trace("key table write refused, key count", info.KeyCount());
        return result::kNoKeyTable;
    }
    const std::vector<std::uint8_t> table =
        AssembleKeyTable(tables.KeyTable(), keys, tables.maps, macroCount, bindings);
    return Bracketed(channel, LinkTest::Off, [&] { return device::WriteKeyTable(channel, table, bank); });
}

KeyWriteResult WriteKeysWithMacros(device::HidChannel& channel, const KeyboardTables& tables,
                                   const std::filesystem::path& dataFolder,
                                   std::span<const config::KeyListEntry> keys, int bank) {
    KeyWriteResult out;
    const int macroCount = MacroCount(dataFolder);
    const std::vector<int> used = ListUsedMacros(keys, tables.maps, macroCount);
    out.macros = WriteMacros(channel, dataFolder, used);
    const MacroBindings bindings = out.macros.OnDevice() ? MacroBindings::Slots : MacroBindings::Defaults;
    out.keys = WriteKeyAssignments(channel, tables, bank, keys, macroCount, bindings);
    return out;
}

int ReadCustomColors(device::HidChannel& channel, const KeyboardTables& tables, std::uint8_t brightnessLevel,
                     std::vector<config::KeyColor>& colors) {
    if (!channel.IsOpen()) {
        return code::kNoAnswer;
    }
    if (!tables.Valid()) {
        return result::kNoKeyTable;
    }
    std::vector<std::uint8_t> table(3 * static_cast<std::size_t>(tables.keyCount));
    if (const int r = device::ReadKeyColors(channel, table, 0, kKeyColorStride); r != code::kSuccess) {
        return r;
    }
    colors = KeyColorsFromLedTable(table, tables.maps, brightnessLevel);
    return code::kSuccess;
}

int WriteCustomColors(device::HidChannel& channel, const KeyboardTables& tables,
                      std::span<const config::KeyColor> colors) {
    const int r = WriteColorTable(channel, tables, colors, 0);
    if (r != code::kSuccess && channel.IsOpen()) {
        std::this_thread::sleep_for(kColorRetryPause);
    }
    return r;
}

int WriteGroupColors(device::HidChannel& channel, const KeyboardTables& tables,
                     std::span<const config::KeyColor> colors, int group) {
    if (group < 0) {
        return code::kWriteFailed;
    }
    return WriteColorTable(channel, tables, colors, group);
}

}  // namespace norvane::devices::keyboard
