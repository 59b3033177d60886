#pragma once

#include "shell/main_wnd/router_tables.h"

#include <optional>
#include <span>
#include <string_view>

namespace norvane::shell {

// A routed notification: the action and the index taken from the control's name (the
// number after its last '_', 0 when that is not a number).
struct Route {
    MainAction action = MainAction::kNone;
    int index = 0;
    friend bool operator==(const Route&, const Route&) = default;
};

// The rows for a notification type; empty for the types the window does not route.
std::span<const RouteRow> RoutesForType(std::string_view type);

// The first row of the table that matches the control name; nothing when none does.
std::optional<Route> FindRoute(std::span<const RouteRow> table, std::string_view name);

// RoutesForType then FindRoute.
std::optional<Route> RouteNotification(std::string_view type, std::string_view name);

// The macro action menu's row for an item name (exact); null for any other name.
const MacroMenuRow* FindMacroMenuItem(std::string_view item);

}  // namespace norvane::shell
