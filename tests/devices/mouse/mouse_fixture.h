#pragma once

#include "devices/mouse/button_table.h"
#include "devices/mouse/mouse_wire.h"
#include "tests/devices/wire_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::test {

// The simulated mouse by cable (11 keys, 2048 bytes of macro memory).
class MouseTest : public WireTest {
protected:
    static constexpr std::size_t kTableBytes = 33;

    void SetUp() override { Connect("mouse"); }

    Bytes DeviceKeyTable() {
        return device_->WithFirmware([](sim::FirmwareModel& f) {
            return Bytes(f.KeyTable().begin(), f.KeyTable().begin() + kTableBytes);
        });
    }
    Bytes DeviceSettings(std::size_t at, std::size_t length) {
        return device_->WithFirmware([at, length](sim::FirmwareModel& f) {
            return Bytes(f.Settings().begin() + static_cast<std::ptrdiff_t>(at),
                         f.Settings().begin() + static_cast<std::ptrdiff_t>(at + length));
        });
    }
    bool InConfig() {
        return device_->WithFirmware([](sim::FirmwareModel& f) { return f.InConfig(); });
    }

    // The first full read; clears the wire log.
    devices::mouse::MouseKeys ReadKeys() {
        devices::mouse::MouseKeys keys;
        EXPECT_EQ(devices::mouse::ReadMouseKeys(channel_, keys), 1);
        device_->ClearWireLog();
        return keys;
    }

    // One key list entry per logical button, each at its factory assignment.
    static std::vector<config::KeyListEntry> FactoryKeyList() {
        std::vector<config::KeyListEntry> keys;
        for (std::size_t i = 0; i < devices::mouse::kButtonCount; ++i) {
            const auto index = static_cast<std::uint16_t>(i);
            const config::KeyAssignment a = devices::mouse::kButtonFunctionTable[i];
            keys.push_back({index, a, index, a});
        }
        return keys;
    }
};

}  // namespace norvane::test
