#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"

namespace norvane::pages {

// A pie or bar chart of named values with an optional legend.
class CChartViewUI : public ui::CControlUI {
public:
    enum ViewType : int { kPie = 0, kBar = 1 };
    struct Item {
        std::string name;
        double value = 0;
    };
    // Slice colours in item order (index modulo 18), as 0x00BBGGRR values.
    static constexpr std::array<std::uint32_t, 18> kPalette{
        0xF5963F, 0x015AFF, 0xC0F46A, 0x6AEAF5, 0x977BFC, 0x3FF5A2, 0xFC909D, 0xFC90D2, 0xCBB07F,
        0x71C4F4, 0x85C2A2, 0x1717BD, 0xB317BD, 0xBD1761, 0xBD2B17, 0x4C8812, 0x127988, 0x122688};
    static ui::Color PaletteColor(std::size_t index);

    std::string_view GetClass() const override { return "ChartView"; }
    void AddItem(std::string name, double value);
    void RemoveAll();
    const std::vector<Item>& Items() const { return items_; }
    int GetViewType() const { return view_; }
    void SetViewType(int view);
    bool IsShowText() const { return showText_; }

    void DoPaint(ui::IRenderer& r, const ui::Rect& dirty) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    void PaintPie(ui::IRenderer& r);
    void PaintBar(ui::IRenderer& r);
    std::vector<Item> items_;
    int view_ = kPie;
    std::string shadowImage_;
    int shadowHeight_ = 0;
    std::string pillarImage_;
    int pillarWidth_ = 0;
    bool showHtml_ = false;
    bool showText_ = true;
    int font_ = -1;
};

}  // namespace norvane::pages
