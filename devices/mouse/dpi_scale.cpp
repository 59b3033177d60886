#include "devices/mouse/dpi_scale.h"

#include "config/strings.h"

#include <algorithm>

namespace norvane::devices::mouse {

DpiScale DpiScale::FromInfo(const device::DeviceInfoBlock& info) {
    return {info.SensorModel(), info.DpiStep(), info.SliderMaximum(), info.DpiBase()};
}

bool DpiScale::EntryEnabled() const {
    return step > 0 && sliderMax > 0;
}

int DpiScale::DisplayDpi(int slider) const {
    const int v = std::clamp(slider, 0, std::max(sliderMax, 0));
    if (sensor == kCoarseSensor && v > kKneeUnits) {
        return kKneeUnits * step + (v - kKneeUnits) * kCoarseStep + base;
    }
    return v * step + base;
}

int DpiScale::SliderOf(std::string_view typedText) const {
    if (!EntryEnabled()) {
        return 0;
    }
    const long long value = std::max<long long>(config::LeadingInteger(typedText), base);
    const long long knee = static_cast<long long>(kKneeUnits) * step + base;
    const long long v = sensor == kCoarseSensor && value > knee ? (value - knee) / kCoarseStep + kKneeUnits
                                                                : (value - base) / step;
    return static_cast<int>(std::clamp<long long>(v, 0, sliderMax));
}

int DpiScale::MaxTypedDpi() const {
    return EntryEnabled() ? DisplayDpi(sliderMax) : 0;
}

}  // namespace norvane::devices::mouse
