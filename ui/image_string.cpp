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

std::string ScaleImageDest(std::string_view text, const std::function<int(int)>& scale) {
    std::size_t key = text.find("dest=");
    if (key == std::string_view::npos || key + 6 > text.size()) {
        return std::string(text);
    }
    const char quote = text[key + 5];
    std::size_t begin = key + 6;
    std::size_t end = text.find(quote, begin);
    if ((quote != '\'' && quote != '"') || end == std::string_view::npos) {
        return std::string(text);
    }
    Rect dest = ParseRect(text.substr(begin, end - begin));
    std::string out(text.substr(0, begin));
    out += std::to_string(scale(dest.left)) + "," + std::to_string(scale(dest.top)) + "," +
           std::to_string(scale(dest.right)) + "," + std::to_string(scale(dest.bottom));
    out += text.substr(end);
    return out;
}

}  // namespace norvane::ui
