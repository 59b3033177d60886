#pragma once

#include <cstdint>

namespace norvane::ui {
class CControlUI;
}  // namespace norvane::ui

namespace norvane::pages {

// A red, green or blue edit as the user left it: its leading number held to 0–255 (empty is 0),
// and the edit shows the value taken.
std::uint8_t TakeColourComponent(ui::CControlUI& edit);

}  // namespace norvane::pages
