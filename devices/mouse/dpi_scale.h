#pragma once

#include "device/command_packet.h"

#include <cstdint>
#include <string_view>

// Slider units <-> DPI for the mouse's sensor, from its device info block.
namespace norvane::devices::mouse {

struct DpiScale {
    // The sensor whose slider turns to coarse 200-DPI units above kKneeUnits.
    static constexpr std::uint16_t kCoarseSensor = 0x3325;
    static constexpr int kKneeUnits = 48;
    static constexpr int kCoarseStep = 200;

    std::uint16_t sensor = 0;
    int step = 0;       // DPI per slider unit
    int sliderMax = 0;  // slider range 0 ... sliderMax
    int base = 0;       // the DPI of slider position 0

    static DpiScale FromInfo(const device::DeviceInfoBlock& info);

    // DPI entry makes sense only with a step and a slider range (the info was read and valid).
    bool EntryEnabled() const;
    // The DPI a slider position shows; the position is clamped to 0 ... sliderMax.
    int DisplayDpi(int slider) const;
    // The slider position of a typed DPI text: empty counts as "0", read by the leading
    // integer rule, raised to the base, inverted through the display formula (coarse above
    // the knee of 48 x step + base), clamped to 0 ... sliderMax; 0 while entry is disabled.
    int SliderOf(std::string_view typedText) const;
    // The top of the DPI texts' range: the DPI the slider's top position shows, so every
    // value a slider shows can be typed (0 while entry is disabled).
    int MaxTypedDpi() const;
};

}  // namespace norvane::devices::mouse
