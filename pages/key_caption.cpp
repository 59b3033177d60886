#include "pages/key_caption.h"

#include "config/strings.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace norvane::pages {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

struct Break {
    std::size_t firstEnd;     // the first line is text[0, firstEnd)
    std::size_t secondStart;  // the second is text[secondStart, end)
};

bool IsLead(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80;
}

// Byte offsets where the characters of a UTF-8 text start, and its end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLead(text[i])) {
            starts.push_back(i);
        }
    }
    starts.push_back(text.size());
    return starts;
}

// Ideographs, kana, hangul and full-width forms: a line may break between any two of them.
bool IsCjk(std::string_view character) {
    const std::wstring wide = config::Utf8ToWide(character);
    if (wide.empty()) {
        return false;
    }
    const auto cp = static_cast<std::uint32_t>(wide.front());
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF) ||
           (cp >= 0x20000 && cp <= 0x3FFFF);
}

std::vector<Break> BreakOpportunities(std::string_view text) {
    std::vector<Break> breaks;
    const std::vector<std::size_t> starts = CharacterStarts(text);
    for (std::size_t k = 1; k + 1 < starts.size(); ++k) {
        const std::size_t at = starts[k];
        const char before = text[starts[k - 1]];
        if (text[at] == ' ') {
            breaks.push_back({at, starts[k + 1]});
        } else if (before == '+' || before == '/' || before == '-') {
            breaks.push_back({at, at});
        } else if (before != ' ' && (IsCjk(text.substr(starts[k - 1], at - starts[k - 1])) ||
                                     IsCjk(text.substr(at, starts[k + 1] - at)))) {
            breaks.push_back({at, at});
        }
    }
    return breaks;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

// The longest start of text (whole characters) that fits width with the ellipsis after it.
std::string Elide(std::string_view text, int width, int size, const MeasureCaption& measure) {
    const std::vector<std::size_t> starts = CharacterStarts(text);
    for (std::size_t k = starts.size(); k-- > 0;) {
        std::string candidate(Trimmed(text.substr(0, starts[k])));
        candidate += kEllipsis;
        if (measure(candidate, size).cx <= width || k == 0) {
            return candidate;
        }
    }
    return std::string(kEllipsis);
}

std::optional<KeyCaptionLayout> FitAt(std::string_view text, ui::Size box, int size,
                                      const MeasureCaption& measure) {
    const ui::Size whole = measure(text, size);
    if (whole.cy > box.cy) {
        return std::nullopt;
    }
    if (whole.cx <= box.cx) {
        return KeyCaptionLayout{size, whole.cy, {std::string(text)}, false};
    }
    if (2 * whole.cy > box.cy) {
        return std::nullopt;
    }
    std::optional<KeyCaptionLayout> best;
    int bestWidth = 0;
    for (const Break& b : BreakOpportunities(text)) {
        const std::string_view first = Trimmed(text.substr(0, b.firstEnd));
        const std::string_view second = Trimmed(text.substr(b.secondStart));
        if (first.empty() || second.empty()) {
            continue;
        }
        const int width = std::max(measure(first, size).cx, measure(second, size).cx);
        if (width <= box.cx && (!best || width <= bestWidth)) {  // ties: the fuller first line
            best = KeyCaptionLayout{size, whole.cy, {std::string(first), std::string(second)}, false};
            bestWidth = width;
        }
    }
    return best;
}

}  // namespace

KeyCaptionLayout FitKeyCaption(std::string_view text, ui::Size box, int fontSize, int minSize,
                               const MeasureCaption& measure) {
    text = Trimmed(text);
    minSize = std::min(minSize, fontSize);
    if (text.empty()) {
        return {fontSize, measure(text, fontSize).cy, {}, false};
    }
    for (int size = fontSize; size >= minSize; --size) {
        if (std::optional<KeyCaptionLayout> fitted = FitAt(text, box, size, measure)) {
            return *fitted;
        }
    }
    const int lineHeight = measure(text, minSize).cy;
    KeyCaptionLayout cut{minSize, lineHeight, {}, true};
    if (2 * lineHeight > box.cy) {
        cut.lines.push_back(Elide(text, box.cx, minSize, measure));
        return cut;
    }
    // Fill the first line with whole characters, preferring to end it at a break.
    const std::vector<std::size_t> starts = CharacterStarts(text);
    std::size_t firstEnd = 0;
    for (std::size_t k = 1; k < starts.size(); ++k) {
        if (measure(Trimmed(text.substr(0, starts[k])), minSize).cx > box.cx) {
            break;
        }
        firstEnd = starts[k];
    }
    std::size_t secondStart = firstEnd;
    const std::size_t filled = firstEnd;
    for (const Break& b : BreakOpportunities(text)) {
        if (b.firstEnd <= filled && 2 * b.firstEnd > filled) {  // the last break in its second half
            firstEnd = b.firstEnd;
            secondStart = b.secondStart;
        }
    }
    if (firstEnd == 0) {  // not even one character fits: cut the whole on one line
        cut.lines.push_back(Elide(text, box.cx, minSize, measure));
        return cut;
    }
    cut.lines.emplace_back(Trimmed(text.substr(0, firstEnd)));
    const std::string_view rest = Trimmed(text.substr(secondStart));
    cut.lines.push_back(measure(rest, minSize).cx <= box.cx ? std::string(rest)
                                                            : Elide(rest, box.cx, minSize, measure));
    return cut;
}

}  // namespace norvane::pages
