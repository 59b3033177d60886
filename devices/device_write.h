#pragma once

#include <functional>
#include <string_view>

namespace norvane::devices {

class CTarnexUSBDevice;

// What the device write of the key and macro pages did and what the user is to be told.
struct DeviceWriteReport {
    int macros = 0;  // WriteMacros: 0 written or nothing to write, -1 failed, > 0 events too many
    int keys = 0;    // the key table write
    // The macros are not on the device: the macro-bound keys went out with their defaults.
    bool macroKeysAtDefaults = false;
    std::string_view messageId;  // empty: nothing to tell; "message_text_16" takes macros as its argument
};

inline constexpr std::string_view kMacroWriteFailedMessage = "message_text_7";
inline constexpr std::string_view kMacrosTooLargeMessage = "message_text_16";
inline constexpr std::string_view kMacroKeysAtDefaultsMessage = "keyset_macro_keys_default";

// The used macros, then the key table, then the profile saved. When the macros were not
// written, onMacrosRefused runs before the key table goes out, and every macro-bound key is
// written with its default this time while the profile keeps its bindings. beforeKeys runs
// between the macros and the key table either way.
DeviceWriteReport WriteMacrosAndKeys(CTarnexUSBDevice& device,
                                     const std::function<void(int macros)>& onMacrosRefused,
                                     const std::function<void()>& beforeKeys = {});

}  // namespace norvane::devices
