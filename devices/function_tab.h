#pragma once

#include "device/catalogue.h"

#include <optional>

namespace norvane::devices {

// The pages the two function tab layouts of a device page show for a function tab type;
// an empty value leaves that layout as it is.
struct FunctionTabPages {
    std::optional<int> function;     // "device_function_switch"
    std::optional<int> keyFunction;  // "device_key_function_switch"

    friend bool operator==(const FunctionTabPages&, const FunctionTabPages&) = default;
};

FunctionTabPages FunctionTabPagesFor(int type, device::DeviceKind kind);

}  // namespace norvane::devices
