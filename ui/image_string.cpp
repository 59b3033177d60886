#include "ui/image_string.h"

#include "ui/attributes.h"

namespace norvane::ui {

ImageSpec ParseImageString(std::string_view text) {
    ImageSpec imageSpec;
    if (text.find('=') == std::string_view::npos) {
        imageSpec.file = std::string(Trim(text));
        return imageSpec;
    }
    ForEachQuotedPair(text, [&](std::string_view key, std::string_view value) {
        if (key == "file" || key == "res") {
            imageSpec.file = std::string(value);
        } else if (key == "source") {
            imageSpec.source = ParseRect(value);
        } else if (key == "dest") {
            imageSpec.dest = ParseRect(value);
        } else if (key == "corner") {
            imageSpec.corner = ParseRect(value);
        } else if (key == "mask") {
            imageSpec.mask = ParseColor(value);
        } else if (key == "fade") {
            imageSpec.fade = std::clamp(ParseInt(value), 0, 255);
        } else if (key == "hole") {
            imageSpec.hole = ParseBool(value);
        } else if (key == "xtiled") {
            imageSpec.xtiled = ParseBool(value);
        } else if (key == "ytiled") {
            imageSpec.ytiled = ParseBool(value);
        } else if (key == "hsl") {
            imageSpec.hsl = ParseBool(value);
        }
    });
    return imageSpec;
}

}  // namespace norvane::ui
