#pragma once

// What a profile switch did on the device, step by step (result codes; 1 = success).
namespace norvane::devices {

struct ProfileSwitchResult {
    int load = 0;
    int settings = 0;
    int macros = 0;  // WriteMacros: 0 written or nothing to write, -1 failed, > 0 events too many
    int colors = 0;  // keyboards: the custom colours (1 for devices without them)
    int keys = 0;
};

}  // namespace norvane::devices
