#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/types.h"

namespace norvane::ui {

// A parsed image string: either a bare file name or key='value' pairs
// (file, res, restype, dest, source, corner, mask, fade, hole, xtiled, ytiled, hsl).
struct ImageSpec {
    std::string file;
    Rect source;  // empty: the whole image
    Rect dest;    // relative to the control; empty: the whole control
    Rect corner;  // nine-patch insets
    Color mask = 0;
    int fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
    bool hsl = false;
};

ImageSpec ParseImageString(std::string_view text);

// The image string with the four numbers of its dest='l,t,r,b' passed through scale (a window's
// DPI scaling: dest is written for 96 DPI like every other size); other text is kept as it is.
std::string ScaleImageDest(std::string_view text, const std::function<int(int)>& scale);

// The light tint passed with an image: colour, level 0..255 and whether it is drawn.
struct ImageTint {
    Color color = 0;
    int level = 255;
    bool shown = false;
};

}  // namespace norvane::ui
