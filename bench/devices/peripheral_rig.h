// The mouse and mousepad objects of the device benchmarks, and the light scenes they run.
#pragma once

#include "bench/devices/sim_rig.h"
#include "devices/mouse/mouse_device.h"
#include "devices/mousepad/mousepad_device.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace norvane::bench {

// What a profile lights: the light info, the light list and the custom steps.
struct Scene {
    std::uint8_t mode;
    std::uint8_t speed;
    bool animatedList;  // a breathing entry on LED 0 (laid over the frame on the pad)
    bool customSteps;
};

// Indexed by the benchmarks' "scene" argument.
inline constexpr std::array<Scene, 6> kScenes = {{
    {0, 4, false, false},  // 0: wave, many colours
    {5, 4, false, false},  // 1: mouse ring over rows (the pad plays custom in 5)
    {6, 4, false, false},  // 2: mouse reactive, idle; pad ring over the LEDs
    {3, 4, false, false},  // 3: static
    {10, 4, false, true},  // 4: custom effect, breathing then a wave
    {3, 4, true, false},   // 5: static under an animated light list entry
}};

inline constexpr std::array<config::LightEffectStep, 2> kCustomSteps = {{
    {.effectCode = 0, .brightness = 4, .speed = 3, .multiColor = 1, .duration = 2000},
    {.effectCode = 4, .brightness = 4, .speed = 3, .multiColor = 1, .duration = 2000},
}};

// The scene into the object's lighting, as a profile's lighting goes there.
inline void LightScene(devices::PeripheralLighting& lighting, const Scene& scene) {
    config::LightInfo info;
    info.selectedMode = scene.mode;
    info.brightness = 4;
    info.speed = scene.speed;
    info.multiColor = 1;
    info.red = 0x20;
    info.green = 0x80;
    info.blue = 0xFF;
    std::vector<config::LightListEntry> list;
    if (scene.animatedList) {
        list.push_back({.effectCode = 0, .brightness = 4, .speed = 3, .multiColor = 1, .present = 1});
    }
    const auto steps = scene.customSteps ? std::span<const config::LightEffectStep>(kCustomSteps)
                                         : std::span<const config::LightEffectStep>();
    lighting.Apply(info, list, steps);
}

struct MouseByCable : Attached<devices::CTarnexMouseDevice> {
    explicit MouseByCable(sim::SimBackend& bus)
        : Attached(bus, "mouse", "mouse", devices::CTarnexMouseDevice::kMouseLightClass) {}
};

struct MousePad : Attached<devices::CTarnexMousePadDevice> {
    explicit MousePad(sim::SimBackend& bus)
        : Attached(bus, "mousepad", "MousePad", devices::CTarnexMousePadDevice::kPadLightClass) {}
};

}  // namespace norvane::bench
