#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {

class CResourceManager;

// One entry of a pop-up menu layout:
//   <Menu><MenuElement name="exit" textid="menu_exit"/><MenuSeparator/>...</Menu>
// Elements may nest for sub-menus.
struct MenuItem {
    std::string name;
    std::string text;  // resolved in the current language
    bool enabled = true;
    bool separator = false;
    std::vector<MenuItem> children;
};

// Reads a menu layout (skin-relative); empty when unreadable.
std::vector<MenuItem> LoadMenu(std::string_view file, const CResourceManager& resources);
std::vector<MenuItem> ParseMenu(std::string_view xml, const CResourceManager& resources);

}  // namespace norvane::ui
