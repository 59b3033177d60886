#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane::shell {

// A tab option of the profile panel and the number the page and the routing know it by.
struct ProfileTab {
    std::string_view name;
    int number;
};

inline constexpr auto kProfileTabs = std::to_array<ProfileTab>({
    {"deng_Op_tab", 1},
    {"key_Op_tab", 2},
    {"macro_Op_tab", 3},
    {"system_Op_tab", 4},
    {"cursor_Op_tab", 5},
    {"6533_voice_Op_tab", 6},
    {"magic_Op_tab", 7},
    {"Virtual7.1_Op_tab", 8},
});

// Bit n-1 stands for tab number n.
constexpr std::uint8_t TabBit(int number) {
    return static_cast<std::uint8_t>(1U << static_cast<unsigned>(number - 1));
}

// Which tabs a device type hides and shows at initialisation; the others keep the layout's
// visibility.
struct ProfileTabVisibility {
    int deviceType;
    std::uint8_t hidden;
    std::uint8_t shown;
};

inline constexpr auto kProfileTabVisibility = std::to_array<ProfileTabVisibility>({
    {1, TabBit(5), 0},
    {2, 0, 0},
    {3, TabBit(5) | TabBit(3) | TabBit(4) | TabBit(2), 0},
    {4, TabBit(5) | TabBit(3) | TabBit(2), 0},
    {5, TabBit(5) | TabBit(3) | TabBit(4) | TabBit(2), 0},
    {6, 0, 0},
    {7, TabBit(5) | TabBit(3) | TabBit(4) | TabBit(2), TabBit(6) | TabBit(7) | TabBit(8)},
});

// The tab number of a tab option's name; nullopt for another name.
constexpr std::optional<int> ProfileTabNumber(std::string_view name) {
    for (const ProfileTab& tab : kProfileTabs) {
        if (tab.name == name) {
            return tab.number;
        }
    }
    return std::nullopt;
}

// The row of a device type; nullopt for a type without one (nothing changes).
constexpr std::optional<ProfileTabVisibility> ProfileTabsFor(int deviceType) {
    for (const ProfileTabVisibility& row : kProfileTabVisibility) {
        if (row.deviceType == deviceType) {
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace norvane::shell
