#pragma once

#include "device/catalogue.h"
#include "device/command_packet.h"
#include "devices/device_controls.h"
#include "devices/device_events.h"
#include "pages/device_key_button.h"
#include "pages/picture_controls.h"
#include "sim/firmware.h"
#include "sim/sim_device.h"
#include "tests/devices/sim_link.h"
#include "tests/support/temp_dir.h"
#include "ui/control_factory.h"
#include "ui/headless/headless_platform.h"
#include "ui/option.h"
#include "ui/window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace norvane::test {

// The main window's part: a shipped device page whose event messages go to their object.
class PeripheralPageWindow : public ui::WindowImplBase {
public:
    explicit PeripheralPageWindow(std::string skin) : skin_(std::move(skin)) {}
    std::string GetSkinFile() const override { return skin_; }
    std::string_view GetWindowClassName() const override { return "PeripheralDeviceTest"; }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        (void)lparam;
        handled = devices::DeviceEventPost::Dispatch(msg, wparam);
        return 0;
    }

private:
    std::string skin_;
};

struct PeripheralPageSpec {
    std::string_view product;  // simulated product
    std::string_view skin;     // page layout
    std::string_view root;     // name of the device object in the layout
    std::string_view typeName;
    int lightClass;
};

// A shipped device page, headless, with its device object configured as the device list does
// it and attached to the simulated device (by cable, or through the receiver for "receiver");
// profiles in a temporary folder.
template <typename Device>
class PeripheralPageTest : public ::testing::Test {
protected:
    explicit PeripheralPageTest(const PeripheralPageSpec& spec) : spec_(spec), link(spec.product) {
        ui::SetCurrentPlatform(&platform);
        pages::RegisterPictureControls(ui::CControlFactory::Instance());
        devices::RegisterDeviceControls(ui::CControlFactory::Instance());
        const auto skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
        platform.Resources().SetSkinFolder(skin);
        platform.Resources().LoadLanguage(skin / "lan_en.xml");
    }
    ~PeripheralPageTest() override {
        if (window) {
            window->CloseMessageQueue();
            if (page != nullptr) {
                page->StopDeviceThreads();
            }
        }
        window.reset();
        ui::SetCurrentPlatform(nullptr);
    }

    void SetUp() override {
        window = std::make_unique<PeripheralPageWindow>(std::string(spec_.skin));
        ASSERT_TRUE(window->Create(nullptr, "page"));
        window->PaintManager().UpdateLayout();
        page = dynamic_cast<Device*>(window->FindControl(spec_.root));
        ASSERT_NE(page, nullptr);
        page->SetPageLayoutPath(window->GetSkinFile());
        page->SetMainWindow(window.get());
        page->SetTileIndex(0);
        page->SetProfileName("Profile1");
        page->SetTypeName(std::string(spec_.typeName));
        page->SetCatalogEntry(Row());
        page->SetLightClass(spec_.lightClass);
        page->SetLightConfigName("velto_light");
        page->InitPage();
        const bool receiver = link.Device().Spec().receiver;
        ASSERT_TRUE(link.OpenCommand(page->CommandChannel(),
                                     receiver ? device::LinkMode::Receiver : device::LinkMode::Cable));
    }

    const device::DeviceCatalogEntry& Row() {
        for (const auto& row : device::DeviceCatalog()) {
            if (row.vendorId == link.Device().Spec().vendorId && row.productId == link.Device().Spec().productId &&
                row.role == device::DeviceRole::Command) {
                return row;
            }
        }
        ADD_FAILURE() << "no catalogue row for the simulated device";
        return device::DeviceCatalog()[0];
    }

    // The event collection in slot 0 (cable) or 1 (receiver).
    bool OpenEvents(int slot = 0) {
        device::HidInterface& side = slot == 0 ? page->EventChannel().Cable() : page->EventChannel().Receiver();
        side.SetBackend(&link.Backend());
        return page->OpenEventInterface(slot, link.EventPath());
    }

    std::vector<std::vector<std::uint8_t>> Sent() const { return link.Sent(); }
    // The commands with runs of one command (a chunked transfer) folded into one.
    std::vector<std::uint8_t> Transfers() const {
        std::vector<std::uint8_t> folded;
        for (const auto& request : link.Sent()) {
            if (folded.empty() || folded.back() != request[3]) {
                folded.push_back(request[3]);
            }
        }
        return folded;
    }
    std::size_t BytesOf(device::Command command) const {
        std::size_t bytes = 0;
        for (const auto& request : link.Sent()) {
            bytes += request[3] == static_cast<std::uint8_t>(command) ? request[4] : 0;
        }
        return bytes;
    }

    // Waits (bounded) for another thread's work to show.
    static bool Eventually(const std::function<bool()>& done,
                           std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Until a reader's post arrived, then dispatches it.
    bool PumpPosted() {
        if (!Eventually([this] { return window->HasPendingMessages(); })) {
            return false;
        }
        platform.Pump();
        return true;
    }

    template <typename Control>
    Control* Find(std::string_view name) {
        return dynamic_cast<Control*>(window->FindControl(name));
    }
    bool OptionSelected(std::string_view name) {
        auto* option = Find<ui::COptionUI>(name);
        return option != nullptr && option->IsSelected();
    }
    // Selects an option as a click does, with its notification.
    bool Select(std::string_view name, bool selected = true) {
        auto* option = Find<ui::COptionUI>(name);
        if (option == nullptr) {
            return false;
        }
        option->Selected(selected);
        platform.Pump();
        return true;
    }

    std::filesystem::path ProfileFile() const { return page->CurrentProfileFile(); }

    PeripheralPageSpec spec_;
    TempDir data;
    ScopedEnv home{"NORVANE_DATA_HOME", data.Path().string()};
    ui::headless::HeadlessPlatform platform;
    SimLink link;
    std::unique_ptr<PeripheralPageWindow> window;
    Device* page = nullptr;
};

}  // namespace norvane::test
