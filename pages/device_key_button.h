#pragma once

#include <cstdint>
#include <string>

#include "pages/key_caption.h"
#include "ui/button.h"

namespace norvane::pages {

// One key or LED spot of a device picture: shows the LED's colour over the key and a mark
// on a reassigned key. The light colour is stored as the device objects give it
// (red | blue << 8 | green << 16) and decoded only for drawing. The caption shrinks and wraps
// to stay on the key; a caption cut even so gives way to its short form (the language text
// "<text id>_short") when there is one.
class CDeviceKeyButtonUI : public ui::CButtonUI {
public:
    std::string_view GetClass() const override { return "DeviceKeyButton"; }

    void SetLightOverlay(std::uint32_t color, std::uint32_t level, bool shown);
    void SetKeySetHidden(std::uint32_t flag);
    std::uint32_t GetSelect() const { return selected_; }
    void SetSelect(std::uint32_t flag);

    std::uint32_t LightColor() const { return lightColor_; }
    std::uint32_t LightLevel() const { return lightLevel_; }
    bool IsLightShown() const { return lightShown_ != 0; }
    bool IsKeySetHidden() const { return keySetHidden_ != 0; }
    const std::string& LightImage() const { return lightImage_; }

    void DoEvent(ui::TEventUI& event) override;
    void PaintStatusImage(ui::IRenderer& r) override;
    void PaintBorder(ui::IRenderer& r) override;
    void PaintText(ui::IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    // The stored device colour as opaque ARGB.
    static ui::Color DeviceColorToArgb(std::uint32_t color);

    // Smallest caption size, unscaled pixels.
    static constexpr int kMinCaptionSize = 9;
    // The caption laid out as the key draws it with a renderer's text measure.
    KeyCaptionLayout CaptionLayout(ui::IRenderer& r);
    // Where the caption goes: the key inside its border.
    ui::Rect CaptionBox() const;

private:
    KeyCaptionLayout Fit(ui::IRenderer& r, const std::string& text, const ui::FontSpec& font) const;

    // The last layout and what it was made for: keys repaint with every light frame.
    KeyCaptionLayout caption_;
    std::string captionText_;
    ui::Size captionBox_;
    ui::FontSpec captionFont_;

    std::string lightImage_;
    std::string keySetImage_;
    std::uint32_t keySetHidden_ = 1;
    std::uint8_t lightShown_ = 0;
    std::uint32_t lightColor_ = 255;
    std::uint32_t lightLevel_ = 200;
    std::uint32_t selected_ = 0;
};

}  // namespace norvane::pages
