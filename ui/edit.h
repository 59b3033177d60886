#pragma once

#include "ui/label.h"

namespace norvane::ui {

// Single-line text entry. While focused the backend lays a native entry over it (the Qt
// backend) or feeds it characters (headless); both go through InsertText/Backspace/SetText,
// which honour the limits: at most max characters, digits only, read-only. Each change of the
// text sends "textchanged"; Return sends "return"; losing the focus clamps a digits-only text
// into the number limits (when set) before the window hears "killfocus".
class CEditUI : public CLabelUI {
public:
    CEditUI();
    std::string_view GetClass() const override { return "Edit"; }

    int GetMaxChar() const { return maxChar_; }
    void SetMaxChar(int count);
    bool IsDigitsOnly() const { return digitsOnly_; }
    void SetDigitsOnly(bool digits) { digitsOnly_ = digits; }
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool IsPassword() const { return password_; }
    // Number limits for digits-only edits; inactive until both are set.
    void SetNumberLimits(int minValue, int maxValue);
    bool HasNumberLimits() const { return hasLimits_; }
    int GetMinNumber() const { return minNumber_; }
    int GetMaxNumber() const { return maxNumber_; }
    std::string GetHintText() const;
    void SetHintText(std::string hint) { hint_ = std::move(hint); }

    // Sets the text as given by code (cut to the limits); sends "textchanged" when notify.
    void SetText(std::string text) override;
    void SetTextNotify(std::string text, bool notify);
    // Input path: true when accepted.
    bool InsertText(std::string_view text);
    bool Backspace();
    // What the text would become if an entry field proposed it, after the limits.
    std::string FilterText(std::string_view proposed) const;
    int CharCount() const;

    void DoEvent(TEventUI& event) override;
    void PaintText(IRenderer& r) override;
    void PaintBorder(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    void ApplyNumberLimits();
    int maxChar_ = 255;
    bool digitsOnly_ = false;
    bool readOnly_ = false;
    bool password_ = false;
    bool hasLimits_ = false;
    int minNumber_ = 0;
    int maxNumber_ = 0;
    std::string hint_;
    std::string hintId_;
    Color hintColor_ = 0;
    Color focusBorder_ = 0;
};

// Number of UTF-8 code points in text.
int Utf8Length(std::string_view text);

}  // namespace norvane::ui
