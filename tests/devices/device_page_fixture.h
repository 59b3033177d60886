#pragma once

#include "devices/usb_device.h"
#include "pages/device_key_button.h"
#include "tests/ui/ui_fixture.h"
#include "ui/container.h"

#include <memory>
#include <string>
#include <vector>

namespace norvane::test {

// A device object that keeps the notifications its page hands to its message map.
class ProbeDevice : public devices::CTarnexUSBDevice {
public:
    std::vector<std::string> handled;

protected:
    void OnPageNotify(ui::TNotifyUI& msg) override {
        handled.push_back(msg.type + ":" + msg.sender->GetName());
    }
};

// A window whose root holds one device page with light buttons "light_0" ... and key
// buttons "key_0" ..., configured in the order the device list does it.
class DevicePageTest : public ui::test::UiFixture {
protected:
    void BuildPage(int ledCount, int keyCount, int buttonsBeyond = 0) {
        window = Open(R"(<HorizontalLayout name="root"/>)");
        ASSERT_TRUE(window);
        auto& root = ui::test::Ctl<ui::CContainerUI>(*window, "root");
        auto owned = std::make_unique<ProbeDevice>();
        owned->SetName("device_page");
        for (int i = 0; i < ledCount + buttonsBeyond; ++i) {
            AddButton(*owned, "light_" + std::to_string(i));
        }
        for (int i = 0; i < keyCount + buttonsBeyond; ++i) {
            AddButton(*owned, "key_" + std::to_string(i));
        }
        page = owned.get();
        root.Add(std::move(owned));
        page->SetMainWindow(window.get());
        page->SetKeyButtonCount(keyCount);
        page->SetLedCount(ledCount);
        page->SetTileIndex(0);
        page->SetTypeName("keyboard");
        page->SetCatalogEntry(device::DeviceCatalog()[0]);
        page->SetLightConfigName("velto_light");
        page->InitPage();
    }

    // The command row of a device kind.
    static const device::DeviceCatalogEntry& RowOf(device::DeviceKind kind) {
        for (const auto& row : device::DeviceCatalog()) {
            if (row.kind == kind && row.role == device::DeviceRole::Command) {
                return row;
            }
        }
        return device::DeviceCatalog()[0];
    }

    static pages::CDeviceKeyButtonUI& AddButton(ui::CContainerUI& parent, std::string name) {
        auto button = std::make_unique<pages::CDeviceKeyButtonUI>();
        button->SetName(std::move(name));
        return static_cast<pages::CDeviceKeyButtonUI&>(*parent.Add(std::move(button)));
    }

    // Every light button's overlay as (colour, level).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Overlays() const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        for (const auto* button : page->LightButtons()) {
            out.emplace_back(button->LightColor(), button->LightLevel());
        }
        return out;
    }

    std::unique_ptr<ui::test::RecordingWindow> window;
    ProbeDevice* page = nullptr;
};

}  // namespace norvane::test
