#pragma once

#include "device/hid_channel.h"
#include "devices/common/config_bracket.h"

#include <filesystem>
#include <span>

// The macro memory write from the data folder's macro library ("macro.config" and the ".mac"
// files), shared by the keyboard and the mouse.
namespace norvane::devices {

// How a key table write treats keys bound to macros.
enum class MacroBindings {
    Slots,     // a binding names its device slot; one past the library gets the key's default
    Defaults,  // every macro-bound key is written with its default (the macros are not on the device)
};

struct MacroWriteResult {
    // 0 written, or nothing to write; -1 not written (no image, the channel closed, the link
    // lost or the device transaction failed); > 0 the macros are that many events too large,
    // nothing written.
    int code = 0;
    int wire = device::result::kSuccess;  // the device transaction's code (1 when none was needed)

    bool OnDevice() const { return code == 0; }
};

// The listed macros of the data folder's library, in list order (the device slots), as one
// macro memory image inside a bracket, sized against the macro memory the device reports.
// With LinkTest::EachStep the link is tested before every step through the receiver.
MacroWriteResult WriteMacros(device::HidChannel& channel, const std::filesystem::path& dataFolder,
                             std::span<const int> macroIndices, LinkTest link = LinkTest::Off);

// Number of macros in the data folder's "macro.config" (0 when unreadable).
int MacroCount(const std::filesystem::path& dataFolder);

}  // namespace norvane::devices
