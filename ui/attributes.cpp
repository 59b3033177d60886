#include "ui/attributes.h"

#include <cctype>
#include <charconv>

namespace norvane::ui {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

int ParseInt(std::string_view text) {
    text = Trim(text);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool ParseBool(std::string_view text) {
    return EqualsNoCase(Trim(text), "true") || Trim(text) == "1";
}

Color ParseColor(std::string_view text) {
    text = Trim(text);
    int base = 10;
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
        base = 16;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc{}) {
        return 0;
    }
    if (base == 16 && end - text.data() == 6) {
        value |= 0xFF000000U;
    }
    return value;
}

Rect ParseRect(std::string_view text) {
    int parts[4] = {0, 0, 0, 0};
    for (int& part : parts) {
        auto comma = text.find(',');
        part = ParseInt(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return {parts[0], parts[1], parts[2], parts[3]};
}

Size ParseSize(std::string_view text) {
    Rect r = ParseRect(text);
    return {r.left, r.top};
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void ForEachQuotedPair(std::string_view text,
                       const std::function<void(std::string_view, std::string_view)>& visit) {
    while (true) {
        text = Trim(text);
        auto eq = text.find('=');
        if (eq == std::string_view::npos || eq + 1 >= text.size()) {
            return;
        }
        std::string_view key = Trim(text.substr(0, eq));
        char quote = text[eq + 1];
        if (quote != '\'' && quote != '"') {
            return;
        }
        auto close = text.find(quote, eq + 2);
        if (close == std::string_view::npos) {
            return;
        }
        visit(key, text.substr(eq + 2, close - eq - 2));
        text.remove_prefix(close + 1);
    }
}

}  // namespace norvane::ui
