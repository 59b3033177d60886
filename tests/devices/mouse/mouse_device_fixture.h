#pragma once

#include "devices/mouse/mouse_device.h"
#include "tests/devices/peripheral_page_fixture.h"

namespace norvane::test {

using devices::CTarnexMouseDevice;

inline constexpr PeripheralPageSpec kMousePage{"mouse", "XML/DeviceXml/mousedevice.xml", "mouse_device", "mouse", 1};
inline constexpr PeripheralPageSpec kReceiverPage{"receiver", "XML/DeviceXml/mousedevice.xml", "mouse_device",
                                                  "mouse", 1};

// The shipped mouse page on the simulated mouse by cable.
class MouseDeviceTest : public PeripheralPageTest<CTarnexMouseDevice> {
protected:
    MouseDeviceTest() : PeripheralPageTest(kMousePage) {}
};

// The same page on the simulated receiver.
class ReceiverMouseTest : public PeripheralPageTest<CTarnexMouseDevice> {
protected:
    ReceiverMouseTest() : PeripheralPageTest(kReceiverPage) {}
};

}  // namespace norvane::test
