#pragma once

#include <string>

namespace norvane::ui {

// A font of a window's font table, sizes in unscaled pixels.
struct FontSpec {
    std::string face;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

}  // namespace norvane::ui
