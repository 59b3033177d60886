#include "sim/sim_control.h"

#include "sim/products.h"

#include <array>
#include <utility>

namespace norvane::sim {
namespace {

constexpr std::array<std::pair<std::string_view, SimAction>, 4> kActions = {{
    {"plug", SimAction::kPlug},
    {"unplug", SimAction::kUnplug},
    {"link", SimAction::kLink},
    {"unlink", SimAction::kUnlink},
}};

// "keyboard-2" is the second device of "keyboard".
std::string_view ProductOfName(std::string_view name) {
    const auto dash = name.rfind('-');
    if (dash != std::string_view::npos && dash + 1 < name.size() &&
        name.find_first_not_of("0123456789", dash + 1) == std::string_view::npos) {
        return name.substr(0, dash);
    }
    return name;
}

}  // namespace

std::optional<SimAction> ParseSimAction(std::string_view text) {
    for (const auto& [name, action] : kActions) {
        if (name == text) {
            return action;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ApplySimControl(SimBackend& backend, std::string_view action,
                                           std::string_view product) {
    const auto parsed = ParseSimAction(action);
    if (!parsed) {
        return "unknown action '" + std::string(action) + "' (plug, unplug, link, unlink)";
    }
    SimDevice* device = backend.Find(product);
    if (device == nullptr) {
        if (!FindSimProduct(product) && !FindSimProduct(ProductOfName(product))) {
            return "unknown product '" + std::string(product) + "'";
        }
        return "'" + std::string(product) + "' is not simulated in this run";
    }
    switch (*parsed) {
        case SimAction::kPlug:
            device->Plug();
            return std::nullopt;
        case SimAction::kUnplug:
            device->Unplug();
            return std::nullopt;
        case SimAction::kLink:
        case SimAction::kUnlink:
            if (!device->Spec().receiver) {
                return "'" + std::string(product) + "' has no receiver link";
            }
            device->SetLinked(*parsed == SimAction::kLink);
            return std::nullopt;
    }
    return "unknown action";
}

}  // namespace norvane::sim
