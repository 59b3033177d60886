#pragma once

#include "config/light_data.h"
#include "pages/light/light_panel.h"

#include <cstdint>
#include <span>

// What the device object asks of the panels of its page. The panels are controls of the
// page; the ones that take part implement these interfaces beside their control class.
namespace norvane::devices {

// The power panel of a wireless-capable device.
class IPowerPanel {
public:
    virtual void SetWirelessCapable(bool capable) = 0;

protected:
    virtual ~IPowerPanel() = default;
};

// A panel that shows a device's battery and link status block.
class IStatusPanel {
public:
    virtual void ShowStatus(std::span<const std::uint8_t> status) = 0;

protected:
    virtual ~IStatusPanel() = default;
};

using pages::ILightPanel;

}  // namespace norvane::devices
