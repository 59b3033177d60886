#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/types.h"

namespace norvane::pages {

// A caption laid out for a key cap: the font size, the line height at that size and one or
// two lines; elided when the text had to be cut to fit.
struct KeyCaptionLayout {
    int fontSize = 0;
    int lineHeight = 0;
    std::vector<std::string> lines;
    bool elided = false;
    friend bool operator==(const KeyCaptionLayout&, const KeyCaptionLayout&) = default;
};

// The extent of a text on one line at a font size (advance width, line height).
using MeasureCaption = std::function<ui::Size(std::string_view text, int fontSize)>;

// Fits a caption into a key's text box. From fontSize down to minSize, the first size that
// holds it on one line, or on two lines broken at a space, after '+', '/' or '-', or between
// CJK characters (the break that keeps the longer line shortest, on a tie the fuller first line). A caption
// no size holds is cut with an ellipsis at minSize: as much as fits on the first line, the rest on the
// second.
KeyCaptionLayout FitKeyCaption(std::string_view text, ui::Size box, int fontSize, int minSize,
                               const MeasureCaption& measure);

}  // namespace norvane::pages
