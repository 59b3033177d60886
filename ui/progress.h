#pragma once

#include "ui/label.h"

namespace norvane::ui {

// A bar filled in proportion to value within [min, max]; horizontal unless told otherwise.
class CProgressUI : public CLabelUI {
public:
    std::string_view GetClass() const override { return "Progress"; }
    int GetMinValue() const { return min_; }
    int GetMaxValue() const { return max_; }
    void SetMinValue(int value);
    void SetMaxValue(int value);
    int GetValue() const { return value_; }
    virtual void SetValue(int value);
    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    Color GetForeColor() const { return foreColor_; }
    void SetForeColor(Color color);
    const std::string& GetForeImage() const { return foreImage_; }
    void SetForeImage(std::string image);
    // Share of the range the value covers, 0..1 (0 for an empty range).
    double Fraction() const;
    void PaintStatusImage(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // The filled part of rc for the current value.
    Rect FilledRect(const Rect& rc) const;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
    Color foreColor_ = 0;
    std::string foreImage_;
};

}  // namespace norvane::ui
