#pragma once

#include "config/macro_library.h"
#include "devices/keyboard/factory_key_codes.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/wire.h"
#include "tests/device/sim_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::test {

using Bytes = std::vector<std::uint8_t>;

// The simulated keyboard by cable, a macro library folder, and the requests on the wire.
class KeyboardTest : public SimChannelTest {
protected:
    void SetUp() override { Connect("keyboard"); }

    // Chunked requests of one transfer, cut as the channel cuts them.
    std::vector<Bytes> Chunks(std::uint8_t command, std::size_t length, std::uint16_t base,
                              const Bytes& data = {}, std::size_t chunk = 56) const {
        std::vector<Bytes> requests;
        for (std::size_t at = 0; at < length; at += chunk) {
            const std::size_t n = std::min(chunk, length - at);
            const auto part = data.empty() ? std::span<const std::uint8_t>{} : std::span(data).subspan(at, n);
            requests.push_back(ExpectedRequest(command, static_cast<std::uint8_t>(n),
                                               static_cast<std::uint16_t>(base + at), part));
        }
        return requests;
    }
    static void Append(std::vector<Bytes>& to, const std::vector<Bytes>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }
    static Bytes Single(std::uint8_t command) { return ExpectedRequest(command, 0, 0); }

    std::vector<std::uint8_t> CommandBytes() const {
        std::vector<std::uint8_t> commands;
        for (const Bytes& request : Sent()) {
            commands.push_back(request[3]);
        }
        return commands;
    }

    Bytes DeviceKeyTable() {
        return device_->WithFirmware(
            [](sim::FirmwareModel& f) { return Bytes(f.KeyTable().begin(), f.KeyTable().begin() + 378); });
    }

    // Reads the key tables and clears the wire log.
    devices::keyboard::KeyboardTables ReadTables() {
        devices::keyboard::KeyboardTables tables;
        EXPECT_EQ(devices::keyboard::ReadKeysFromDevice(channel_, tables), 1);
        device_->ClearWireLog();
        return tables;
    }

    // A library of the given macros, each with its events.
    void MakeMacros(const std::vector<std::vector<config::MacroEvent>>& macros) {
        config::MacroLibrary library(folder_.Path());
        library.Load();
        for (const auto& events : macros) {
            ASSERT_FALSE(library.NewMacro().empty());
            ASSERT_TRUE(library.Save(library.Count() - 1, events));
        }
    }

    static std::vector<config::MacroEvent> KeyPresses(int count, int key) {
        std::vector<config::MacroEvent> events;
        for (int i = 0; i < count; ++i) {
            events.push_back({10, key, i % 2 == 0 ? "down" : "up", 20 + i});
        }
        return events;
    }

    static std::vector<config::KeyListEntry> FactoryKeys() {
        std::vector<config::KeyListEntry> keys;
        for (std::size_t i = 0; i < devices::keyboard::kKeyIndexCount; ++i) {
            const auto index = static_cast<std::uint16_t>(i);
            keys.push_back({index, devices::keyboard::kFactoryKeyCodes[i], index,
                            devices::keyboard::kFactoryKeyCodes[i]});
        }
        return keys;
    }

    // 31 light modes whose code is their index, as the factory names file has them.
    static std::vector<config::LightModeName> IndexModes() {
        std::vector<config::LightModeName> modes;
        modes.reserve(31);
        for (int i = 0; i < 31; ++i) {
            modes.push_back({"m", true, i});
        }
        return modes;
    }

    TempDir folder_;
};

}  // namespace norvane::test
