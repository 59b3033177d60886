#include "devices/function_tab.h"

namespace norvane::devices {

FunctionTabPages FunctionTabPagesFor(int type, device::DeviceKind kind) {
    switch (type) {
        case 2:
        case 6:
            return {0, 1};
        case 3:
        case 8:
            return {1, std::nullopt};
        case 4:
            if (kind == device::DeviceKind::Keyboard || kind == device::DeviceKind::MouseCable) {
                return {3, std::nullopt};
            }
            return {0, 2};
        case 7:
            return {0, 2};
        case 5:
            return {2, std::nullopt};
        default:
            return {0, 0};
    }
}

}  // namespace norvane::devices
