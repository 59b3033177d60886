#pragma once

#include "config/profile_data.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CComboUI;
}  // namespace norvane::ui

// What the macro panel asks of the world around it: its device object and the user. Each is optional for the
// panel; without one the panel does what it can alone.
namespace norvane::pages {

// What a device write did and what the user is to be told.
struct MacroWriteOutcome {
    int macros = 0;                    // 0 written, -1 failed, > 0 events too many
    bool macroKeysAtDefaults = false;  // the macro-bound keys went out with their defaults
    std::string_view messageId;        // empty: nothing to tell; else the message, with macros as its %d
    std::string_view keysAtDefaultsMessageId;
};

class IMacroDeviceLink {
public:
    // The current profile's key list and, to store one, set it on the device object and save
    // the profile.
    virtual std::vector<config::KeyListEntry> CurrentKeys() const = 0;
    virtual void StoreCurrentKeys(std::vector<config::KeyListEntry> keys) = 0;
    // Every profile file of the device, and which one is current.
    virtual std::vector<std::filesystem::path> ProfileFiles() const = 0;
    virtual std::filesystem::path CurrentProfileFile() const = 0;
    // The library changed: reload the macro names the key captions use.
    virtual void ReloadMacroNames() = 0;
    virtual void RefreshKeyCaptions() = 0;
    // The key page's macro selector ("keyset_macro_combo"); null when the page has none.
    virtual ui::CComboUI* MacroSelector() = 0;

    // The device write (the macros in use, the key table, the profile saved); nullopt
    // without a device.
    virtual std::optional<MacroWriteOutcome> WriteToDevice() = 0;

protected:
    virtual ~IMacroDeviceLink() = default;
};

class IMacroPrompts {
public:
    // A question with confirm and cancel; true when confirmed.
    virtual bool Ask(std::string_view textId) = 0;
    // A message with the confirm button only; text is already in the user's language.
    virtual void Tell(std::string_view text) = 0;
    virtual std::optional<std::filesystem::path> ChooseOpenFile(std::string_view filter) = 0;
    virtual std::optional<std::filesystem::path> ChooseSaveFile(std::string_view filter) = 0;

protected:
    virtual ~IMacroPrompts() = default;
};

}  // namespace norvane::pages
