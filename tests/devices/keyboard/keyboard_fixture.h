#pragma once

#include "devices/keyboard/factory_key_codes.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/wire.h"
#include "tests/devices/wire_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::test {

// The simulated keyboard by cable.
class KeyboardTest : public WireTest {
protected:
    void SetUp() override { Connect("keyboard"); }

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
};

}  // namespace norvane::test
