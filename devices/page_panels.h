#pragma once

#include "config/light_data.h"

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

// The lighting panel: shows the music-light settings and gives back what the user set.
class ILightPanel {
public:
    virtual void ShowAudioLightState(const config::AudioLightInfo& state) = 0;
    virtual config::AudioLightInfo ReadAudioLightState() const = 0;

protected:
    virtual ~ILightPanel() = default;
};

}  // namespace norvane::devices
