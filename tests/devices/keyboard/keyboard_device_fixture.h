#pragma once

#include "device/catalogue.h"
#include "devices/device_controls.h"
#include "devices/keyboard/keyboard_device.h"
#include "pages/device_key_button.h"
#include "pages/picture_controls.h"
#include "sim/firmware.h"
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
#include <thread>
#include <vector>

namespace norvane::test {

using devices::CTarnexKeyboardDevice;
namespace light = devices::light;

// The main window's part: keyboard event messages go to their object.
class KeyboardPageWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML/DeviceXml/keyboarddevice.xml"; }
    std::string_view GetWindowClassName() const override { return "KeyboardDeviceTest"; }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        (void)lparam;
        handled = norvane::devices::DeviceEventPost::Dispatch(msg, wparam);
        if (handled) {
            ++dispatched;
        }
        return 0;
    }
    int dispatched = 0;
};

// The shipped keyboard page, headless, with its device object configured as the device list
// does it and attached by cable to the simulated keyboard; profiles in a temporary folder.
class KeyboardDeviceTest : public ::testing::Test {
protected:
    KeyboardDeviceTest() {
        ui::SetCurrentPlatform(&platform);
        pages::RegisterPictureControls(ui::CControlFactory::Instance());
        devices::RegisterDeviceControls(ui::CControlFactory::Instance());
        const auto skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
        platform.Resources().SetSkinFolder(skin);
        platform.Resources().LoadLanguage(skin / "lan_en.xml");
    }
    ~KeyboardDeviceTest() override {
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
        window = std::make_unique<KeyboardPageWindow>();
        ASSERT_TRUE(window->Create(nullptr, "page"));
        window->PaintManager().UpdateLayout();
        page = dynamic_cast<CTarnexKeyboardDevice*>(window->FindControl("keyboard_device"));
        ASSERT_NE(page, nullptr);
        page->SetPageLayoutPath(window->GetSkinFile());
        page->SetMainWindow(window.get());
        page->SetTileIndex(0);
        page->SetProfileName("Profile1");
        page->SetTypeName("keyboard");
        page->SetCatalogEntry(KeyboardRow());
        page->SetLightClass(0);
        page->SetLightConfigName("velto_light");
        page->InitPage();
        ASSERT_TRUE(link.OpenCommand(page->CommandChannel(), device::LinkMode::Cable));
    }

    const device::DeviceCatalogEntry& KeyboardRow() {
        for (const auto& row : device::DeviceCatalog()) {
            if (row.vendorId == link.Device().Spec().vendorId &&
                row.productId == link.Device().Spec().productId && row.role == device::DeviceRole::Command) {
                return row;
            }
        }
        ADD_FAILURE() << "no catalogue row for the simulated keyboard";
        return device::DeviceCatalog()[0];
    }

    bool OpenEvents() {
        page->EventChannel().Cable().SetBackend(&link.Backend());
        return page->OpenEventInterface(0, link.PathOf(3));
    }

    // Slot 0 of the keyboard's settings memory.
    void SeedSettings(std::uint8_t mode, std::uint8_t multi = 0, std::uint8_t red = 255,
                      std::uint8_t green = 0, std::uint8_t blue = 0) {
        link.Device().WithFirmware([&](sim::FirmwareModel& f) {
            f.Settings()[0] = 0;
            f.Settings()[1] = mode;
            f.Settings()[2] = 4;  // brightness
            f.Settings()[3] = 0;  // speed 4
            f.Settings()[5] = multi;
            f.Settings()[6] = red;
            f.Settings()[7] = green;
            f.Settings()[8] = blue;
        });
    }

    std::vector<std::vector<std::uint8_t>> Sent() const { return link.Sent(); }
    std::vector<std::uint8_t> Commands() const {
        std::vector<std::uint8_t> commands;
        for (const auto& request : link.Sent()) {
            commands.push_back(request[3]);
        }
        return commands;
    }
    // The commands with runs of one command (a chunked transfer) folded into one.
    std::vector<std::uint8_t> Transfers() const {
        std::vector<std::uint8_t> folded;
        for (std::uint8_t c : Commands()) {
            if (folded.empty() || folded.back() != c) {
                folded.push_back(c);
            }
        }
        return folded;
    }
    std::size_t BytesOf(std::uint8_t command) const {
        std::size_t bytes = 0;
        for (const auto& request : link.Sent()) {
            bytes += request[3] == command ? request[4] : 0;
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

    bool OptionSelected(std::string_view name) {
        auto* option = dynamic_cast<ui::COptionUI*>(window->FindControl(name));
        return option != nullptr && option->IsSelected();
    }

    // Selects an option as a click does, with its notification.
    bool Select(std::string_view name) {
        auto* option = dynamic_cast<ui::COptionUI*>(window->FindControl(name));
        if (option == nullptr) {
            return false;
        }
        option->Selected(true);
        platform.Pump();
        return true;
    }

    std::filesystem::path ProfileFile() const { return page->CurrentProfileFile(); }

    TempDir data;
    ScopedEnv home{"NORVANE_DATA_HOME", data.Path().string()};
    ui::headless::HeadlessPlatform platform;
    SimLink link{"keyboard"};
    std::unique_ptr<KeyboardPageWindow> window;
    CTarnexKeyboardDevice* page = nullptr;
};

}  // namespace norvane::test
