#pragma once

#include "sim/sim_backend.h"

#include <optional>
#include <string>
#include <string_view>

// Plug, unplug and link changes of a running simulator, as asked from outside (norvane-ctl sim).
namespace norvane::sim {

enum class SimAction {
    kPlug,    // the device appears
    kUnplug,  // the device goes away
    kLink,    // the mouse behind a receiver answers
    kUnlink,  // it stops answering
};

// "plug", "unplug", "link", "unlink"; nothing for any other text.
std::optional<SimAction> ParseSimAction(std::string_view text);

// Carries out an action on the device of that name ("keyboard", "keyboard-2", ...). Nothing
// when done; else why not: an unknown action or product, a product this simulator does not
// hold, or a link change on a device without a receiver. SimDevice is thread-safe, so any
// thread may call this.
std::optional<std::string> ApplySimControl(SimBackend& backend, std::string_view action,
                                           std::string_view product);

}  // namespace norvane::sim
