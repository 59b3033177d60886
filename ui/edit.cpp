#include "ui/edit.h"

#include <charconv>

#include "ui/attributes.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

int Utf8Length(std::string_view text) {
    int count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
            ++count;
        }
    }
    return count;
}

namespace {

// Byte length of the first `count` code points.
std::size_t Utf8Prefix(std::string_view text, int count) {
    int seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
            if (seen == count) {
                return i;
            }
            ++seen;
        }
    }
    return text.size();
}

std::string EncodeUtf8(char32_t ch) {
    std::string out;
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x110000) {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
    return out;
}

}  // namespace

CEditUI::CEditUI() {
    SetKeyboardEnabled(true);
    SetTextPadding({8, 0, 8, 0});
}

void CEditUI::SetMaxChar(int count) {
    maxChar_ = std::max(0, count);
}

void CEditUI::SetNumberLimits(int minValue, int maxValue) {
    hasLimits_ = true;
    minNumber_ = std::min(minValue, maxValue);
    maxNumber_ = std::max(minValue, maxValue);
}

std::string CEditUI::GetHintText() const {
    if (!hintId_.empty() && manager_ != nullptr) {
        return manager_->Resources().Text(hintId_);
    }
    return hint_;
}

std::string CEditUI::FilterText(std::string_view proposed) const {
    std::string out;
    for (char c : proposed) {
        if (c == '\r' || c == '\n') {
            continue;
        }
        if (digitsOnly_ && (c < '0' || c > '9')) {
            continue;
        }
        out += c;
    }
    out.resize(Utf8Prefix(out, maxChar_));
    return out;
}

int CEditUI::CharCount() const {
    return Utf8Length(CLabelUI::GetText());
}

void CEditUI::SetText(std::string text) {
    SetTextNotify(std::move(text), false);
}

void CEditUI::SetTextNotify(std::string text, bool withNotify) {
    std::string filtered = FilterText(text);
    if (filtered == GetText() && GetTextId().empty()) {
        return;
    }
    CLabelUI::SetText(std::move(filtered));
    if (withNotify) {
        Notify(notify::kTextChanged);
    }
}

bool CEditUI::InsertText(std::string_view text) {
    if (readOnly_ || !IsEnabled()) {
        return false;
    }
    std::string current = GetText();
    std::string next = FilterText(current + std::string(text));
    if (next == current) {
        return false;
    }
    SetTextNotify(std::move(next), true);
    return true;
}

bool CEditUI::Backspace() {
    if (readOnly_ || !IsEnabled()) {
        return false;
    }
    std::string current = GetText();
    int n = Utf8Length(current);
    if (n == 0) {
        return false;
    }
    current.resize(Utf8Prefix(current, n - 1));
    SetTextNotify(std::move(current), true);
    return true;
}

void CEditUI::ApplyNumberLimits() {
    if (!digitsOnly_ || !hasLimits_) {
        return;
    }
    std::string text = GetText();
    long long value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    if (text.empty() || ec != std::errc{}) {
        value = ec == std::errc::result_out_of_range ? maxNumber_ : minNumber_;
    }
    long long clamped = std::clamp<long long>(value, minNumber_, maxNumber_);
    std::string fixed = std::to_string(clamped);
    if (fixed != text) {
        SetTextNotify(fixed, true);
    }
}

void CEditUI::DoEvent(TEventUI& event) {
    switch (event.type) {
        case EventType::SetFocus:
            if (manager_ != nullptr && manager_->Host() != nullptr && IsEnabled() && !readOnly_) {
                manager_->Host()->ShowEditOverlay(*this);
            }
            Invalidate();
            return;
        case EventType::KillFocus:
            if (manager_ != nullptr && manager_->Host() != nullptr) {
                manager_->Host()->HideEditOverlay();
            }
            ApplyNumberLimits();
            Invalidate();
            return;
        case EventType::Char:
            if (event.ch >= 0x20 && event.ch != 0x7F) {
                InsertText(EncodeUtf8(event.ch));
            }
            return;
        case EventType::KeyDown:
            if (event.key == Key::Back) {
                Backspace();
            } else if (event.key == Key::Return) {
                Notify(notify::kReturn);
            }
            return;
        default:
            CLabelUI::DoEvent(event);
    }
}

void CEditUI::PaintText(IRenderer& r) {
    std::string text = GetText();
    if (text.empty()) {
        if (!IsFocused()) {
            std::string hint = GetHintText();
            if (!hint.empty()) {
                PaintTextIn(r, hint, hintColor_ != 0 ? hintColor_ : 0xFF8A909A);
            }
        }
        return;
    }
    if (password_) {
        text = std::string(static_cast<std::size_t>(Utf8Length(text)), '*');
    }
    PaintTextIn(r, text, StateTextColor());
}

void CEditUI::PaintBorder(IRenderer& r) {
    if (IsFocused() && focusBorder_ != 0) {
        r.DrawRect(rect_, Scale(GetBorderRound()), std::max(1, Scale(1)), focusBorder_);
        return;
    }
    CLabelUI::PaintBorder(r);
}

void CEditUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "maxchar") {
        SetMaxChar(ParseInt(value));
    } else if (name == "numberonly") {
        SetDigitsOnly(ParseBool(value));
    } else if (name == "readonly") {
        SetReadOnly(ParseBool(value));
    } else if (name == "password") {
        password_ = ParseBool(value);
    } else if (name == "minnum") {
        SetNumberLimits(ParseInt(value), hasLimits_ ? maxNumber_ : ParseInt(value));
    } else if (name == "maxnum") {
        SetNumberLimits(hasLimits_ ? minNumber_ : 0, ParseInt(value));
    } else if (name == "prompttext" || name == "hint") {
        SetHintText(std::string(value));
    } else if (name == "prompttextid" || name == "hintid") {
        hintId_ = std::string(value);
    } else if (name == "prompttextcolor" || name == "hintcolor") {
        hintColor_ = ParseColor(value);
    } else if (name == "focusbordercolor") {
        focusBorder_ = ParseColor(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
