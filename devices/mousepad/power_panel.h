#pragma once

#include "devices/page_panels.h"
#include "ui/container.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace norvane::ui {
class CControlFactory;
class CLabelUI;
class CProgressUI;
}  // namespace norvane::ui

namespace norvane::devices {

// The power panel on a device's tile: battery or charge level, power state, the receiver
// mark of a mouse and the phone on a mousepad's charger.
class CMpDevicePowerUI : public ui::CHorizontalLayoutUI, public IPowerPanel, public IStatusPanel {
public:
    static constexpr std::string_view kClassName = "MpDevicePower";
    static constexpr std::string_view kLayout = "XML/CustomControlXML/MpDevicePower.xml";

    static constexpr std::string_view kValueName = "device_power_value";
    static constexpr std::string_view kReceiverLogoName = "device_wuxian_logo";
    static constexpr std::string_view kProgressName = "device_Power_progress";
    static constexpr std::string_view kStatusName = "device_power_status";
    static constexpr std::string_view kPhoneTypeName = "device_phone_type";
    static constexpr std::string_view kPowerLayoutName = "device_power_Layout";

    // Device kinds with parts of their own on the panel.
    static constexpr int kMouseKind = 2;
    static constexpr int kMousePadKind = 3;

    std::string_view GetClass() const override { return kClassName; }

    // The device kind of the tile and the number the device list gives with it.
    void SetDeviceKind(int kind, int number);
    int DeviceKind() const { return kind_; }
    int Number() const { return number_; }

    void SetWirelessCapable(bool capable) override { wirelessCapable_ = capable; }
    bool IsWirelessCapable() const { return wirelessCapable_; }

    // A status record of up to 64 bytes (shorter ones read as padded with zeros): level,
    // power state, receiver flag (byte 3), phone type (byte 5). Nothing is shown while any
    // of the named children is missing.
    void ShowStatus(std::span<const std::uint8_t> status) override;
    // Shows or hides "device_power_Layout" (when present).
    void ShowPowerLayout(bool show);

    // Sends "selectchanged" for the panel.
    bool Activate() override;
    void DoEvent(ui::TEventUI& event) override;

private:
    // Finds the named children once; false while any is missing.
    bool FindChildren();

    int kind_ = 0;
    int number_ = 0;
    bool wirelessCapable_ = false;
    bool found_ = false;
    ui::CLabelUI* value_ = nullptr;
    ui::CControlUI* receiverLogo_ = nullptr;
    ui::CProgressUI* progress_ = nullptr;
    ui::CControlUI* status_ = nullptr;
    ui::CControlUI* phoneType_ = nullptr;
    ui::CControlUI* powerLayout_ = nullptr;
};

// Registers the panel's class with the control factory.
void RegisterPowerPanel(ui::CControlFactory& factory);

}  // namespace norvane::devices
