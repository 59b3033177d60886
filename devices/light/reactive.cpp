#include "devices/light/reactive.h"

#include <algorithm>

namespace norvane::devices::light {

namespace {

int DecayAmount(int value, int mode) {
    if (mode == 29) {
        if ((value & 0x90) != 0) {
            return 45;
        }
        if ((value & 0x70) != 0) {
            return 35;
        }
        return 1;
    }
    if ((value & 0x80) != 0) {
        return 40;
    }
    if ((value & 0x40) != 0) {
        return 30;
    }
    if ((value & 0x20) != 0) {
        return mode == 0 ? 15 : 10;
    }
    return value > 16 ? 8 : 1;
}

}  // namespace

void DecayLedValue(ReactiveArrays& arrays, int led, int mode) {
    if (led < 0 || static_cast<std::size_t>(led) >= arrays.values.size()) {
        return;
    }
    auto& value = arrays.values[static_cast<std::size_t>(led)];
    value = static_cast<std::uint8_t>(std::max(0, value - DecayAmount(value, mode)));
}

void TriggerLedValues(ReactiveArrays& arrays) {
    for (std::size_t i = 0; i < 9; ++i) {
        if (arrays.ring[i] != 0) {
            arrays.values[i] = 255;
        }
    }
}

void RotateRing(ReactiveArrays& arrays, int direction) {
    auto& ring = arrays.ring;
    if (direction != 0) {
        std::rotate(ring.rbegin(), ring.rbegin() + 1, ring.rend());
    } else {
        std::rotate(ring.begin(), ring.begin() + 1, ring.end());
    }
}

void ClearLedEffects(ReactiveArrays& arrays) {
    arrays.values.fill(0);
    arrays.ring.fill(0);
}

}  // namespace norvane::devices::light
