#pragma once

#include <array>
#include <cstdint>

// Which key picture a keyboard shows for the interface language.
namespace norvane::devices::keyboard {

inline constexpr std::uint16_t kVariantVendorId = 0x320F;
inline constexpr std::uint16_t kVariantProductId = 0x511D;

// Only the keyboard with product 0x511D has more than one picture; any other keyboard, and
// a language index outside 0-8, shows variant 0.
constexpr int LayoutVariant(std::uint16_t vendorId, std::uint16_t productId, int languageIndex) {
    constexpr std::array<int, 9> kVariantOfLanguage = {0, 0, 0, 2, 0, 0, 1, 3, 4};
    if (vendorId != kVariantVendorId || productId != kVariantProductId || languageIndex < 0 ||
        languageIndex >= static_cast<int>(kVariantOfLanguage.size())) {
        return 0;
    }
    return kVariantOfLanguage[static_cast<std::size_t>(languageIndex)];
}

}  // namespace norvane::devices::keyboard
