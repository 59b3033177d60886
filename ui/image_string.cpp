#include "ui/image_string.h"

#include "ui/attributes.h"

namespace norvane::ui {

ImageSpec ParseImageString(std::string_view text) {
    ImageSpec spec;
    if (text.find('=') == std::string_view::npos) {
        spec.file = std::string(Trim(text));
        return spec;
    }
    ForEachQuotedPair(text, [&](std::string_view key, std::string_view value) {
        if (key == "file" || key == "res") {
            spec.file = std::string(value);
        } else if (key == "source") {
            spec.source = ParseRect(value);
        } else if (key == "dest") {
            spec.dest = ParseRect(value);
        } else if (key == "corner") {
            spec.corner = ParseRect(value);
        } else if (key == "mask") {
            spec.mask = ParseColor(value);
        } else if (key == "fade") {
            spec.fade = std::clamp(ParseInt(value), 0, 255);
        } else if (key == "hole") {
            spec.hole = ParseBool(value);
        } else if (key == "xtiled") {
            spec.xtiled = ParseBool(value);
        } else if (key == "ytiled") {
            spec.ytiled = ParseBool(value);
        } else if (key == "hsl") {
            spec.hsl = ParseBool(value);
        }
    });
    return spec;
}

}  // namespace norvane::ui
