#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/types.h"

// Parsers for skin attribute values. Bad input gives 0 / empty values, never a failure.
namespace norvane::ui {

std::string_view Trim(std::string_view text);
int ParseInt(std::string_view text);
bool ParseBool(std::string_view text);
// "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB" or decimal.
Color ParseColor(std::string_view text);
// "l,t,r,b"; missing parts are 0.
Rect ParseRect(std::string_view text);
// "cx,cy".
Size ParseSize(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Walks key='value' or key="value" pairs (as in image strings and <Default> values).
void ForEachQuotedPair(std::string_view text,
                       const std::function<void(std::string_view, std::string_view)>& visit);

}  // namespace norvane::ui
