#include "shell/main_wnd/router.h"

#include "config/strings.h"
#include "ui/attributes.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace norvane::shell {

namespace {

struct TypeRow {
    std::string_view type;
    std::span<const RouteRow> rows;
};

constexpr auto kTypes = std::to_array<TypeRow>({
    {"click", routes::kClick},
    {"selectchanged", routes::kSelect},
    {"valuechanged", routes::kValue},
    {"movevaluechanged", routes::kMoveValue},
    {"killfocus", routes::kKillFocus},
    {"setfocus", routes::kSetFocus},
    {"itemselect", routes::kItemSelect},
    {"itemactivate", routes::kItemActivate},
    {"colorchanged", routes::kColourChanged},
    {"click_select_end", routes::kClickSelectEnd},
});

int ClampIndex(long long number) {
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

}  // namespace

std::span<const RouteRow> RoutesForType(std::string_view type) {
    const auto* row = std::ranges::find(kTypes, type, &TypeRow::type);
    return row == kTypes.end() ? std::span<const RouteRow>{} : row->rows;
}

std::optional<Route> FindRoute(std::span<const RouteRow> table, std::string_view name) {
    const auto split = config::SplitIndexedName(name);
    for (const RouteRow& row : table) {
        switch (row.match) {
            case RouteMatch::kPrefix:
                if (split && ui::EqualsNoCase(split->prefix, row.name)) {
                    return Route{row.action, ClampIndex(split->number)};
                }
                break;
            case RouteMatch::kName:
                if (ui::EqualsNoCase(name, row.name)) {
                    return Route{row.action, split ? ClampIndex(split->number) : 0};
                }
                break;
            case RouteMatch::kNameWithCase:
                if (name == row.name) {
                    return Route{row.action, split ? ClampIndex(split->number) : 0};
                }
                break;
        }
    }
    return std::nullopt;
}

std::optional<Route> RouteNotification(std::string_view type, std::string_view name) {
    return FindRoute(RoutesForType(type), name);
}

const MacroMenuRow* FindMacroMenuItem(std::string_view item) {
    const auto* row = std::ranges::find(routes::kMacroMenu, item, &MacroMenuRow::item);
    return row == routes::kMacroMenu.end() ? nullptr : row;
}

}  // namespace norvane::shell
