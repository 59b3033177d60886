#include "config/strings.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <cwctype>

namespace norvane::config {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A UTF-8 locale for towlower_l; the C library's plain locale folds ASCII only.
locale_t Utf8Locale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t l = ::newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr))) {
                return l;
            }
        }
        return static_cast<locale_t>(nullptr);
    }();
    return locale;
}

wchar_t FoldCase(wchar_t c) {
    if (locale_t l = Utf8Locale()) {
        return static_cast<wchar_t>(::towlower_l(static_cast<wint_t>(c), l));
    }
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The code points with the Unicode White_Space property.
bool IsUnicodeSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1FU;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0FU;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07U;
        } else {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        if (i + static_cast<std::size_t>(length) > bytes.size()) {
            // Cut short by the end: only the lead byte is replaced, the rest is read again.
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0U) != 0x80U) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3FU);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        if (valid && ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                      (cp >= 0xD800 && cp <= 0xDFFF))) {
            valid = false;
        }
        if (!valid) {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<char32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    const std::wstring wa = Utf8ToWide(a);
    const std::wstring wb = Utf8ToWide(b);
    if (wa.size() != wb.size()) {
        return false;
    }
    for (std::size_t i = 0; i < wa.size(); ++i) {
        if (FoldCase(wa[i]) != FoldCase(wb[i])) {
            return false;
        }
    }
    return true;
}

std::string ToHex8(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xFU];
    }
    return text;
}

void StripChar(std::string& bytes, char c) {
    std::erase(bytes, c);
}

bool IsBlank(std::string_view text) {
    const std::wstring wide = Utf8ToWide(text);
    return std::all_of(wide.begin(), wide.end(),
                       [](wchar_t c) { return IsUnicodeSpace(static_cast<char32_t>(c)); });
}

long long LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (LLONG_MAX - digit) / 10) {
            value = LLONG_MAX;
            break;
        }
        value = value * 10 + digit;
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return value;
}

std::optional<IndexedName> SplitIndexedName(std::string_view name) {
    const std::size_t underscore = name.rfind('_');
    if (underscore == std::string_view::npos) {
        return std::nullopt;
    }
    return IndexedName{std::string(name.substr(0, underscore + 1)),
                       LeadingInteger(name.substr(underscore + 1))};
}

std::string MakeTimestampId() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d",
                                     local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                     local.tm_min, local.tm_sec, static_cast<int>(millis));
    return length > 0 ? std::string(buffer) : std::string();
}

std::string FileTitleOf(const std::filesystem::path& path) {
    // Either separator ends a folder: names may come from files written elsewhere.
    std::string name = path.string();
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0) {
        name.erase(dot);
    }
    return name;
}

}  // namespace norvane::config
